#include "app/Silent.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace {

using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;

TEST(Silent, OptionsComeFromAnyArgumentWithoutRegardToCase) {
  const app::SilentOptions none = app::ReadSilentOptions({"/ready", "/dir"});
  EXPECT_FALSE(none.silent);
  EXPECT_FALSE(none.dir.has_value());

  const app::SilentOptions all =
      app::ReadSilentOptions({"/DIR=D:\\Ziel mit Leer  ", "/Silent", "/group=Werkzeuge\\Demo"});
  EXPECT_TRUE(all.silent);
  EXPECT_EQ(all.dir, "D:\\Ziel mit Leer");
  EXPECT_EQ(all.group, "Werkzeuge\\Demo");
}

TEST(Silent, QuietBoxesAreNotedAndAnsweredAsClosedOnes) {
  platform::sim::SimPlatform sim;
  app::QuietDialogs dialogs(sim.platform().dialogs);
  EXPECT_EQ(dialogs.MessageBox("Titel", "Text", MsgButtons::YesNo, MsgIcon::Question),
            MsgAnswer::Yes)
      << "shown while not quiet";
  ASSERT_EQ(sim.Messages().size(), 1u);

  dialogs.BeQuiet();
  EXPECT_EQ(dialogs.MessageBox("Frage", "Weiter?", MsgButtons::YesNo, MsgIcon::Question),
            MsgAnswer::No);
  EXPECT_EQ(dialogs.MessageBox("Medium", "Bitte\rlegen", MsgButtons::OkCancel, MsgIcon::None),
            MsgAnswer::Cancel);
  EXPECT_EQ(dialogs.MessageBox("Fehler", "Kaputt.", MsgButtons::Ok, MsgIcon::Error), MsgAnswer::Ok);
  app::QuietShell shell(sim.platform().shell, dialogs);
  shell.BeQuiet();
  sim.QueueFolderChoices({"E:\\"});
  EXPECT_EQ(shell.BrowseForFolder("Wo ist Disk2.id?"), std::nullopt);

  EXPECT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(dialogs.Notes(),
            (std::vector<std::string>{"Frage: Weiter?", "Medium: Bitte legen", "Fehler: Kaputt.",
                                      "Ordnerauswahl nicht angezeigt: Wo ist Disk2.id?"}));
}

TEST(Silent, ProposedValuesAreThoseOfThePagesUnlessTheCommandLineGivesThem) {
  platform::sim::SimPlatform sim;
  sim.PutFile("C:\\Programme\\x", "");
  core::SetupState state;
  state.Company = "Firma";
  state.ProductTitle = "Demo 1.0";
  state.ProgramFolder = "Firma";
  state.NoShortcuts = true;

  app::ProposeUnattendedValues(sim.platform(), state, {.silent = true, .dir = {}, .group = {}},
                               "C:\\Programme");
  EXPECT_EQ(state.TargetDir, "C:\\Programme\\Firma\\Demo 1.0");
  EXPECT_EQ(state.ProgramFolder, "Firma");
  EXPECT_FALSE(state.NoShortcuts);

  app::ProposeUnattendedValues(sim.platform(), state, {.silent = true, .dir = {}, .group = {}},
                               "C:\\Gibtsnicht");
  EXPECT_EQ(state.TargetDir, "");

  app::ProposeUnattendedValues(sim.platform(), state,
                               {.silent = true, .dir = "D:\\Ziel", .group = "Werkzeuge"},
                               "C:\\Programme");
  EXPECT_EQ(state.TargetDir, "D:\\Ziel");
  EXPECT_EQ(state.ProgramFolder, "Werkzeuge");

  // An installed product is updated where it is, unless /dir says otherwise.
  state.Installed = core::InstalledProduct{
      .Dir = "C:\\Alt\\Demo 0.9", .Version = "0.9", .Title = "Demo 0.9", .Recorded = false};
  app::ProposeUnattendedValues(sim.platform(), state, {.silent = true, .dir = {}, .group = {}},
                               "C:\\Programme");
  EXPECT_EQ(state.TargetDir, "C:\\Alt\\Demo 0.9");
  app::ProposeUnattendedValues(sim.platform(), state,
                               {.silent = true, .dir = "D:\\Ziel", .group = {}}, "C:\\Programme");
  EXPECT_EQ(state.TargetDir, "D:\\Ziel");
}

TEST(Silent, TheLogLiesBesideUninstallInfOrElseInTheTemporaryFolder) {
  platform::sim::SimPlatform sim;
  core::SetupState state;
  state.ProductTitle = "Demo 1.0";
  state.TargetDir = "C:\\Ziel";
  state.ProgramFolder = "Firma";
  const std::string temporary = sim.platform().files.TempDirectory() + "Tessarwolden-Setup.log";

  EXPECT_EQ(app::WriteUnattendedLog(sim.platform(), state,
                                    {"Fehler: Das Verzeichnis kann nicht "
                                     "erstellt werden."},
                                    4),
            temporary);
  EXPECT_EQ(sim.platform().files.ReadFile(temporary),
            "\xEF\xBB\xBFUnbeaufsichtigte Installation von Demo 1.0\r\nZielverzeichnis: "
            "C:\\Ziel\r\nProgrammordner: Firma\r\nFehler: Das Verzeichnis kann nicht erstellt "
            "werden.\r\nErgebnis: 4\r\n");

  sim.PutFile("C:\\Ziel\\Uninstall.inf", "");
  EXPECT_EQ(app::WriteUnattendedLog(sim.platform(), state, {}, 0), "C:\\Ziel\\Setup.log");

  // A full drive keeps the earlier log whole; this one goes to the
  // temporary folder.
  sim.AddDrive('D', platform::DriveType::Fixed);
  sim.PutFile("D:\\Ziel\\Setup.log", "das Protokoll von gestern");
  sim.SetFreeSpace('D', 20);
  state.TargetDir = "D:\\Ziel";
  EXPECT_EQ(app::WriteUnattendedLog(sim.platform(), state, {}, 4), temporary);
  EXPECT_EQ(sim.platform().files.ReadFile("D:\\Ziel\\Setup.log"), "das Protokoll von gestern");
  EXPECT_EQ(sim.platform().files.ListDirectory("D:\\Ziel").size(), 1u) << "no half-written file";
}

}  // namespace

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/ExampleUninstallInf.h"
#include "tests/unit/engine/RunFixture.h"
#include "uninstall/RemovalView.h"
#include "uninstall/UninstallProgram.h"

namespace engine_test {
namespace {

using platform::RegRoot;

constexpr const char* kPrograms = "C:\\WINDOWS\\Startmenü\\Programme";
constexpr const char* kDesktop = "C:\\Users\\Anna\\Desktop";
constexpr const char* kWebUpdate = "Software\\Vormek\\TW_UPD_WEB";
constexpr const char* kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";
// Where the wizard proposes to install 1.2; 1.3 updates it there.
constexpr const char* kTarget = "C:\\Programme\\Firma\\Produkt 1.2";

// Version 1.2 of Produkt: a help file, an extra folder, a registry value, a
// desktop shortcut and Apps & Features values that 1.3 no longer has.
constexpr const char* kVersion12 =
    "[Settings]\r\nAppName=Produkt\r\nVersion=1.2\r\nCompany=Firma\r\nStandardReg=1\r\n"
    "ExtendedUninstall=1\r\nCreateUninstallShortcut=1\r\nMarrowlink=1\r\n"
    "[UninstallInfo]\r\nDisplayName=Produkt 1.2\r\nDisplayVersion=1.2\r\nPublisher=Firma\r\n"
    "HelpLink=https://example.com/hilfe\r\nURLInfoAbout=https://example.com\r\n"
    "URLUpdateInfo=https://example.com/neu\r\n"
    "[Directories]\r\nFolderCount=1\r\nFolder1=\\Alt\r\n"
    "[Registry]\r\nRegCount=2\r\n"
    "[Reg1]\r\nRoot=HKCU\r\nKey=\\Software\\Firma\\Produkt\r\nTitle=Pfad\r\nValue=%selected%\r\n"
    "[Reg2]\r\nRoot=hkcu\r\nKey=Software\\Firma\\Produkt\\Alt\r\nTitle=Ansicht\r\nValue=klein\r\n"
    "[Marrowlink]\r\nUpdateID=PRD-12\r\nProgramName=Produkt\r\n"
    "[Links]\r\nLinkCount=2\r\n"
    "[Link1]\r\nFolder=%InstStandard%\r\nTitle=Produkt\r\nFile=%selected%\\produkt.exe\r\n"
    "[Link2]\r\nFolder=%Desktop%\r\nTitle=Produkt 1.2 Hilfe\r\nFile=%selected%\\Hilfe\\alt.txt\r\n";

std::string Version13(std::string_view moreSettings = "") {
  return "[Settings]\r\nAppName=Produkt\r\nVersion=1.3\r\nCompany=Firma\r\nStandardReg=1\r\n"
         "CreateUninstallShortcut=1\r\nMarrowlink=1\r\n" +
         std::string(moreSettings) +
         "[UninstallInfo]\r\nDisplayName=Produkt 1.3\r\n"
         "[Directories]\r\nFolderCount=1\r\nFolder1=\\Daten\r\n"
         "[Registry]\r\nRegCount=1\r\n"
         "[Reg1]\r\nRoot=HKCU\r\nKey=\\Software\\Firma\\Produkt\r\nTitle=Pfad\r\n"
         "Value=%selected%\r\n"
         "[Marrowlink]\r\nUpdateID=PRD-13\r\nProgramName=Produkt\r\n"
         "[Links]\r\nLinkCount=1\r\n"
         "[Link1]\r\nFolder=%InstStandard%\r\nTitle=Produkt\r\nFile=%selected%\\produkt.exe\r\n";
}

class NoView : public uninstall::RemovalView {
 public:
  void Open(std::string_view, int) override {}
  void SetStatus(std::string_view) override {}
  void SetProgress(int) override {}
  void Finish() override {}
};

// A machine on which Produkt 1.2 is installed, as a user of the wizard
// installs it: below a company folder the run makes, with the program
// folder the wizard proposes.
class Update : public RunFixture {
 public:
  Update() {
    for (auto [name, folder] : {std::pair{"Programs", kPrograms}, {"Desktop", kDesktop}}) {
      sim.PutRegString(RegRoot::CurrentUser, kShellFolders, name, folder);
      sim.PutFile(std::string(folder) + "\\desktop.ini", "");
    }
    sim.SetSpecialFolder(platform::SpecialFolder::Programs, kPrograms);
    sim.SetSpecialFolder(platform::SpecialFolder::Desktop, kDesktop);
    sim.PutRegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount", "4");
    sim.PutRegString(RegRoot::LocalMachine,
                     "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Anderes",
                     "DisplayName", "Anderes");
    untouched = sim.Describe();
  }
  void TestBody() override {}

  using RunFixture::EndAt;
  using RunFixture::events;
  using RunFixture::left;
  using RunFixture::sim;

  /// Start-up over `setupInf` and `payload` as a fresh Setup.exe does it,
  /// then the run into `target` with the program folder "Firma".
  engine::RunEnd Install(std::string_view setupInf, const std::string& payload,
                         const std::string& target, bool noShortcuts = false) {
    state = {};
    SetupInf(setupInf);
    Payload(payload);
    StartUp(target, noShortcuts ? "" : "Firma");
    state.NoShortcuts = noShortcuts;
    return Run();
  }

  void InstallVersion12() {
    ASSERT_EQ(Install(kVersion12, "version-1.2.szp", kTarget), engine::RunEnd::Completed);
    ASSERT_EQ(Content(std::string(kTarget) + "\\Hilfe\\alt.txt"), "Hilfe zu 1.2\r\n");
  }

  /// Removes what `Uninstall.inf` in `folder` records, as Apps & Features
  /// starts the uninstaller: unattended.
  int Uninstall(const std::string& folder) {
    sim.SetArguments({folder + "\\Uninstall.inf", "/silent"});
    NoView view;
    return uninstall::RunUninstaller(sim.platform(), view);
  }

  std::optional<std::string> EntryValue(std::string_view name) {
    return sim.RegString(RegRoot::LocalMachine, kEntry, name);
  }

  /// The machine without the setup's own files in C:\Setup.
  std::string Machine() {
    for (const char* file : {"C:\\Setup\\Setup.inf", "C:\\Setup\\Setup.szp"})
      sim.platform().files.DeleteFile(file);
    return sim.Describe();
  }

  /// The machine before anything was installed.
  std::string untouched;
};

TEST_F(Update, InPlaceOneRecordHoldsBothVersionsAndOneUninstallRemovesEverything) {
  InstallVersion12();
  ASSERT_EQ(sim.RegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount"), "5");

  ASSERT_EQ(Install(Version13(), "version-1.3.szp", kTarget), engine::RunEnd::Completed);
  ASSERT_TRUE(state.Installed);
  EXPECT_EQ(state.Installed->Dir, kTarget);
  EXPECT_EQ(state.Installed->Version, "1.2");
  const std::string t = kTarget;
  const std::string p = std::string(kPrograms) + "\\Firma";
  const std::vector<std::string> tail = {
      "[Files]",
      "FileCount=4",
      "File1=" + t + "\\produkt.exe",
      "File2=" + t + "\\liesmich.txt",
      "File3=" + t + "\\neu.txt",
      "File4=" + t + "\\Hilfe\\alt.txt",
      "[ExtraFiles]",
      "ExtraCount=4",
      "ExFile1=" + t + "\\produkt.exe",
      "ExFile2=" + t + "\\liesmich.txt",
      "ExFile3=" + t + "\\neu.txt",
      "ExFile4=" + t + "\\Hilfe\\alt.txt",
      "[ExtraDir]",
      "DirCount=2",
      "Dir1=" + t + "\\Daten",
      "Dir2=" + t + "\\Alt",
      "[Registry]",
      "RegCount=4",
      "[Reg1]",
      "Root=HKCU",
      "Key=\\Software\\Firma\\Produkt",
      "Title=Pfad",
      "[Reg2]",
      "Root=hkcu",
      "Key=Software\\Firma\\Produkt\\Alt",
      "Title=Ansicht",
      "[Reg3]",
      "Root=HKLM",
      "Key=\\Software\\Firma\\Produkt\\1.2",
      "Title=Company",
      "[Reg4]",
      "Root=HKLM",
      "Key=\\Software\\Firma\\Produkt\\1.2",
      "Title=Name",
      "[Marrowlink]",
      "ProgramID=PRD-13",
      "[Links]",
      "LinkCount=3",
      "[Link1]",
      "Path=\"" + p + "\\Produkt.lnk\"",
      "[Link2]",
      "Path=\"" + p + "\\Produkt 1.3 deinstallieren.lnk\"",
      "[Link3]",
      "Path=\"" + std::string(kDesktop) + "\\Produkt 1.2 Hilfe.lnk\"",
      "[ProgramPath]",
      "Path=\"" + p + "\"",
  };
  const std::string record = AnsiLines(testing_support::Joined(
      testing_support::ProduktHeaderLines("Firma", "1.3", true, true, t), tail));
  EXPECT_EQ(Content(t + "\\Uninstall.inf"), record);
  EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove.inf"), record);
  EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove_extra.inf"),
            Content(t + "\\UninstallExtra.inf"));
  EXPECT_NE(Content(t + "\\UninstallExtra.inf").find("=C:\\Programme\\Firma\r\n"),
            std::string::npos)
      << "the company folder 1.2 made goes with the product";

  // One entry in Apps & Features, of 1.3: what only 1.2 wrote there is gone.
  EXPECT_EQ(EntryValue("DisplayName"), "Produkt 1.3");
  EXPECT_EQ(EntryValue("DisplayVersion"), std::nullopt);
  EXPECT_EQ(EntryValue("URLInfoAbout"), std::nullopt);
  EXPECT_EQ(EntryValue("UninstallString"),
            "\"C:\\Windows\\Inst_Produkt_remove.exe\" \"" + t + "\\Uninstall.inf\"");
  // The web-update entry of 1.2 is updated, not made again.
  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount"), "5");
  EXPECT_EQ(
      sim.RegString(RegRoot::LocalMachine, std::string(kWebUpdate) + "\\Program5", "UpdateID"),
      "PRD-13");
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, std::string(kWebUpdate) + "\\Program6"));
  EXPECT_FALSE(Exists(p + "\\Produkt 1.2 deinstallieren.lnk"));
  EXPECT_EQ(Content(t + "\\produkt.exe"), "MZ produkt 1.3");

  EXPECT_EQ(Uninstall(t), uninstall::kRemoved);
  // Only the web-update counter stays raised: its numbers are never used
  // again.
  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount"), "5");
  sim.PutRegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount", "4");
  EXPECT_EQ(Machine(), untouched);
}

// The second installation of 1.2 makes no shortcuts: those of the first
// stay recorded.
TEST_F(Update, TheSameVersionAgainForgetsNothingOfTheFirstInstallation) {
  InstallVersion12();
  ASSERT_EQ(Install(kVersion12, "version-1.2.szp", kTarget, true), engine::RunEnd::Completed);

  const std::string record = Content(std::string(kTarget) + "\\Uninstall.inf");
  for (const char* link : {"\\Firma\\Produkt.lnk\"", "\\Firma\\Produkt 1.2 deinstallieren.lnk\"",
                           "\\Produkt 1.2 Hilfe.lnk\""}) {
    EXPECT_NE(record.find(link), std::string::npos) << link;
  }
  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount"), "5");
  EXPECT_EQ(Uninstall(kTarget), uninstall::kRemoved);
  sim.PutRegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount", "4");
  EXPECT_EQ(Machine(), untouched);
}

TEST_F(Update, AskedForRemoveObsoleteTheUpdateTakesAwayWhatOnlyTheEarlierVersionHad) {
  InstallVersion12();
  const std::string t = kTarget;
  // A file of the user's beside the help file keeps its folder.
  sim.PutFile(t + "\\Alt\\notiz.txt", "vom Benutzer");

  ASSERT_EQ(Install(Version13("RemoveObsolete=1\r\n"), "version-1.3.szp", kTarget),
            engine::RunEnd::Completed);
  EXPECT_EQ(Matching("status Setup entfernt nicht").size(), 1u);
  for (const std::string& gone :
       {t + "\\Hilfe\\alt.txt", t + "\\Hilfe", std::string(kDesktop) + "\\Produkt 1.2 Hilfe.lnk"})
    EXPECT_FALSE(Exists(gone)) << gone;
  EXPECT_EQ(Content(t + "\\Alt\\notiz.txt"), "vom Benutzer");
  EXPECT_EQ(sim.RegValueType(RegRoot::CurrentUser, "Software\\Firma\\Produkt\\Alt", "Ansicht"),
            std::nullopt);
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, "Software\\Firma\\Produkt\\1.2"));
  EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Pfad"), t + "\\");
  // Nothing of 1.2 is left to record: 1.3's record is its own.
  const std::string record = Content(t + "\\Uninstall.inf");
  EXPECT_NE(record.find("FileCount=3\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("DirCount=2\r\nDir1=" + t + "\\Daten\r\nDir2=" + t + "\\Alt\r\n"),
            std::string::npos)
      << "the folder with the user's file stays the product's";
  EXPECT_NE(record.find("RegCount=1\r\n"), std::string::npos) << record;
  EXPECT_NE(record.find("LinkCount=2\r\n"), std::string::npos) << record;

  EXPECT_EQ(Uninstall(t), uninstall::kRemoved);
  EXPECT_EQ(Content(t + "\\Alt\\notiz.txt"), "vom Benutzer");
}

TEST_F(Update, InAnotherFolderTheEarlierInstallationGoesFirst) {
  InstallVersion12();
  const std::string mine = std::string(kTarget) + "\\meine Notizen.txt";
  sim.PutFile(mine, "vom Benutzer");
  const std::string other = "C:\\Produkt";

  ASSERT_EQ(Install(Version13(), "version-1.3.szp", other), engine::RunEnd::Completed);
  EXPECT_EQ(Matching("status Setup entfernt die bisherige Installation...").size(), 1u);
  for (const std::string& gone :
       {std::string(kTarget) + "\\produkt.exe", std::string(kTarget) + "\\Hilfe",
        std::string(kDesktop) + "\\Produkt 1.2 Hilfe.lnk",
        std::string(kPrograms) + "\\Firma\\Produkt 1.2 deinstallieren.lnk"}) {
    EXPECT_FALSE(Exists(gone)) << gone;
  }
  EXPECT_EQ(Content(mine), "vom Benutzer");
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::CurrentUser, "Software\\Firma\\Produkt\\Alt"));
  EXPECT_EQ(EntryValue("InstallLocation"), other);
  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount"), "5");
  EXPECT_EQ(
      sim.RegString(RegRoot::LocalMachine, std::string(kWebUpdate) + "\\Program5", "InstallPath"),
      other);
  EXPECT_EQ(Content(other + "\\Uninstall.inf").find(kTarget), std::string::npos)
      << "nothing of the removed installation is recorded";

  EXPECT_EQ(Uninstall(other), uninstall::kRemoved);
  sim.PutRegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount", "4");
  sim.platform().files.DeleteFile(mine);
  for (const char* folder : {kTarget, "C:\\Programme\\Firma", "C:\\Programme"})
    sim.platform().files.RemoveDirectory(folder);
  EXPECT_EQ(Machine(), untouched) << "but the folders that held the user's file";
}

TEST_F(Update, AnEarlierInstallationThatCannotBeRemovedWholeStaysWholeAndNothingIsInstalled) {
  InstallVersion12();
  const std::string before = Machine();
  // A file of 1.2 that cannot be deleted (in use, say) after other parts of
  // it were already removed.
  sim.DenyWrites(std::string(kTarget) + "\\Hilfe");

  try {
    Install(Version13(), "version-1.3.szp", "C:\\Produkt");
    ADD_FAILURE() << "the run went on";
  } catch (const engine::EInstallError& error) {
    EXPECT_EQ(std::string(error.what()),
              "Die bisherige Installation in \"" + std::string(kTarget) +
                  "\" lässt sich nicht vollständig entfernen; vielleicht wird das Programm noch "
                  "verwendet. Nicht entfernt werden konnte: " +
                  kTarget + "\\Hilfe\\alt.txt");
  }
  EXPECT_TRUE(left.empty());
  sim.DenyWrites(std::string(kTarget) + "\\Hilfe", false);
  EXPECT_EQ(Machine(), before);
}

struct Place {
  std::string name;
  std::string target;
};

void PrintTo(const Place& place, std::ostream* out) {
  *out << place.name;
}

class UpdateUndone : public Update, public testing::WithParamInterface<Place> {};

// An update stopped or failed at any step leaves the earlier installation
// exactly as it was: its files, shortcuts, values, web-update entry, its
// Uninstall.inf and the run's copies of its records.
TEST_P(UpdateUndone, AtAnyStepLeavesTheEarlierInstallationAsItWas) {
  size_t steps = 0;
  {
    Update whole;
    whole.InstallVersion12();
    whole.events.clear();
    ASSERT_EQ(whole.Install(Version13(), "version-1.3.szp", GetParam().target),
              engine::RunEnd::Completed);
    steps = whole.events.size();
  }
  for (size_t at = 0; at < steps; ++at) {
    for (const bool fail : {false, true}) {
      SCOPED_TRACE((fail ? "error at step " : "stop at step ") + std::to_string(at));
      Update machine;
      machine.InstallVersion12();
      const std::string before = machine.Machine();
      machine.EndAt(at, fail);
      engine::RunEnd end = engine::RunEnd::Completed;
      try {
        end = machine.Install(Version13(), "version-1.3.szp", GetParam().target);
      } catch (const std::runtime_error&) {
        end = engine::RunEnd::Stopped;
      }
      // An error inside the registry region is that region's own.
      if (end == engine::RunEnd::Completed)
        continue;
      EXPECT_EQ(machine.Machine(), before);
      EXPECT_TRUE(machine.left.empty());
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Update, UpdateUndone,
                         testing::Values(Place{"InItsFolder", kTarget},
                                         Place{"InAnotherFolder", "C:\\Produkt"}),
                         [](const testing::TestParamInfo<Place>& info) { return info.param.name; });

}  // namespace
}  // namespace engine_test

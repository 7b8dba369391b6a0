#include "app/Startup.h"

#include "app/ExitCode.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/Recovery.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/RecordingUi.h"

namespace {

using core::WindowId;
using platform::RegRoot;
using platform::sim::SimPlatform;
using testing_support::RecordingUi;

constexpr std::string_view kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::string_view kNtCurrentVersion = "Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class StartupTest : public ::testing::Test {
 protected:
  StartupTest() { sim.SetModulePath("C:\\Setup\\Setup.exe"); }

  void WriteSettings(std::string_view lines) {
    sim.PutFile("C:\\Setup\\Setup.inf", "[Settings]\r\n" + std::string(lines));
  }

  bool RunStartup() {
    app::Startup startup(sim.platform(), state, ui,
                         [this](std::string_view dir) { libraryDir = std::string(dir); });
    return startup.Run();
  }

  SimPlatform sim;
  core::SetupState state;
  RecordingUi ui;
  std::string libraryDir;
};

TEST_F(StartupTest, OnlyOneSetupRunsAtATime) {
  EXPECT_TRUE(app::HoldSingleInstance(sim.platform(), state));
  EXPECT_TRUE(sim.Messages().empty());

  platform::sim::SimPlatform other;
  other.HoldLockElsewhere(engine::kSingleInstanceLock);
  EXPECT_FALSE(app::HoldSingleInstance(other.platform(), state));
  ASSERT_EQ(other.Messages().size(), 1u);
  EXPECT_EQ(other.Messages()[0].caption, "Setup");
  EXPECT_EQ(other.Messages()[0].text,
            "Setup wird bereits ausgeführt.\rBitte warten Sie, bis das laufende Setup beendet "
            "ist, und starten Sie es dann erneut.");
  EXPECT_EQ(state.Outcome, core::RunOutcome::AlreadyRunning);
}

TEST_F(StartupTest, MissingControlFileStopsWithTheErrorAndEndsTheProgram) {
  EXPECT_FALSE(RunStartup());

  ASSERT_EQ(sim.Messages().size(), 1u);
  const auto& box = sim.Messages()[0];
  EXPECT_EQ(box.caption, "Fehler beim Initialisieren");
  EXPECT_EQ(box.text,
            "Die Steuerdatei \"Setup.inf\" wurde nicht gefunden. Setup kann nicht ausgeführt "
            "werden.\rWenden Sie sich bitte an den Hersteller des zu installierenden Programms, "
            "um Hilfe zu erhalten!");
  EXPECT_EQ(box.icon, platform::MsgIcon::Error);
  EXPECT_EQ(box.buttons, platform::MsgButtons::Ok);
  EXPECT_EQ(state.ExitState, -1);
  EXPECT_EQ(state.Outcome, core::RunOutcome::ControlFileMissing);
  EXPECT_TRUE(sim.QuitPosted());
  EXPECT_TRUE(ui.Log().empty()) << "no other step may run";
  EXPECT_TRUE(libraryDir.empty());
}

TEST_F(StartupTest, TitleIsFormattedUntrimmedIntoTheFirstCaptionsAndTrimmedLater) {
  WriteSettings("AppName=\r\nVersion=1.0\r\n");
  ASSERT_TRUE(RunStartup());

  EXPECT_EQ(ui.Text(WindowId::Hauptprogramm, "Label1"), "Setup für  1.0");
  EXPECT_EQ(ui.Text(WindowId::Install, "Label12"),
            " 1.0 Setup führt die gewünschten Operationen aus.");
  EXPECT_EQ(ui.Text(WindowId::Ready, "Label1"), "Die Installation von  1.0 wurde beendet.");
  EXPECT_EQ(ui.Text(WindowId::Schritt1, "Label1"),
            "Willkommen zum Tessarwolden-Assistenten für 1.0");
  EXPECT_EQ(ui.Text(WindowId::Schritt1, "Label2"),
            "Es wird jetzt 1.0 auf Ihrem Computer installiert.");
  EXPECT_EQ(ui.Text(WindowId::Schritt4, "Label4"),
            "Bitte geben Sie an, in welchem Verzeichnis Sie 1.0 installieren wollen:");
  EXPECT_EQ(state.ProductTitle, "1.0");
}

TEST_F(StartupTest, MissingTitleKeysGiveTheDefaults) {
  WriteSettings("");
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(state.ProductTitle, "%s 2.0");
  EXPECT_EQ(ui.Text(WindowId::Hauptprogramm, "Label1"), "Setup für %s 2.0");
  EXPECT_EQ(state.Company, "%s");
  EXPECT_EQ(state.ProgramFolder, "%s");
  EXPECT_EQ(ui.Text(WindowId::Schritt6, "Edit1"), "%s");
}

TEST_F(StartupTest, CompanyIsTrimmedAndAnEmptyCompanyMakesTheTitleTheProgramFolder) {
  struct Case {
    std::string line;
    std::string company;
    std::string folder;
  };
  for (const Case& c : std::vector<Case>{
           {"Company=  Firma GmbH \t\r\n", "Firma GmbH", "Firma GmbH"},
           {"Company=\r\n", "", "Demo 1.0"},
           {"Company=   \r\n", "", "Demo 1.0"},
       }) {
    SCOPED_TRACE(c.line);
    WriteSettings("AppName=  Demo\r\nVersion=1.0\r\n" + c.line);
    state = {};
    ASSERT_TRUE(RunStartup());
    EXPECT_EQ(state.Company, c.company);
    EXPECT_EQ(state.ProgramFolder, c.folder);
  }
}

TEST_F(StartupTest, TextFlagsAcceptOnlyTheirOwnSpelling) {
  struct Case {
    std::string value;
    bool exactFlag;    // Reboot, Splitted: "true" only
    bool anyCaseFlag;  // License, Information: "True" in any case
  };
  for (const Case& c : std::vector<Case>{
           {"true", true, true},
           {"True", false, true},
           {"TRUE", false, true},
           {"tRUE", false, true},
           {"\"true\"", true, true},
           {"1", false, false},
           {"yes", false, false},
           {"true ", true, true},
           {"", false, false},
       }) {
    SCOPED_TRACE(c.value);
    WriteSettings("Reboot=" + c.value + "\r\nSplitted=" + c.value + "\r\nLicense=" + c.value +
                  "\r\nInformation=" + c.value + "\r\n");
    state = {};
    ASSERT_TRUE(RunStartup());
    EXPECT_EQ(state.RebootRequired, c.exactFlag);
    EXPECT_EQ(state.SplitPayload, c.exactFlag);
    EXPECT_EQ(state.LicensePage, c.anyCaseFlag);
    EXPECT_EQ(state.InformationPage, c.anyCaseFlag);
  }
}

TEST_F(StartupTest, BooleanKeysTakeNumbersNotWords) {
  struct Case {
    std::string value;
    bool expected;
  };
  for (const Case& c : std::vector<Case>{
           {"1", true},
           {"0", false},
           {"0x10", true},
           {"0X0", false},
           {"$1", true},
           {"-1", true},
           {"true", false},
           {"yes", false},
           {"", false},
           {"1 0", false},
           {"0x", false},
       }) {
    SCOPED_TRACE(c.value);
    WriteSettings("CreateUninstallShortcut=" + c.value + "\r\nExtendedUninstall=" + c.value +
                  "\r\nStandardReg=" + c.value + "\r\nMarrowlink=" + c.value + "\r\n");
    state = {};
    ASSERT_TRUE(RunStartup());
    EXPECT_EQ(state.CreateUninstallShortcut, c.expected);
    EXPECT_EQ(state.ExtendedUninstall, c.expected);
    EXPECT_EQ(state.StandardReg, c.expected);
    EXPECT_EQ(state.Marrowlink, c.expected);
  }
}

TEST_F(StartupTest, SplitFileCountIsReadOnlyForASplitPayload) {
  struct Case {
    std::string lines;
    int32_t count;
  };
  for (const Case& c : std::vector<Case>{
           {"Splitted=true\r\n", 1},
           {"Splitted=true\r\nSplitFileCount=3\r\n", 3},
           {"Splitted=true\r\nSplitFileCount=0x10\r\n", 16},
           {"Splitted=true\r\nSplitFileCount=$10\r\n", 16},
           {"Splitted=true\r\nSplitFileCount=-2\r\n", -2},
           // A bare "x" is no prefix here, though the strict conversion of
           // the counts takes it.
           {"Splitted=true\r\nSplitFileCount=x10\r\n", 1},
           {"Splitted=true\r\nSplitFileCount=X1\r\n", 1},
           {"Splitted=true\r\nSplitFileCount=0x\r\n", 1},
           {"Splitted=true\r\nSplitFileCount=drei\r\n", 1},
           {"Splitted=false\r\nSplitFileCount=5\r\n", 0},
           {"Splitted=True\r\nSplitFileCount=5\r\n", 0},
       }) {
    SCOPED_TRACE(c.lines);
    WriteSettings(c.lines);
    state = {};
    ASSERT_TRUE(RunStartup());
    EXPECT_EQ(state.SplitFileCount, c.count);
  }
}

TEST_F(StartupTest, UserDataComesFromTheSecondKeyOnlyWhenTheFirstHasNeither) {
  WriteSettings("");
  sim.PutRegString(RegRoot::LocalMachine, kNtCurrentVersion, "RegisteredOwner", "NT Besitzer");
  sim.PutRegString(RegRoot::LocalMachine, kNtCurrentVersion, "RegisteredOrganization", "NT Firma");

  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(state.UserName, "NT Besitzer");
  EXPECT_EQ(state.UserCompany, "NT Firma");
  EXPECT_EQ(ui.Text(WindowId::Schritt5, "Edit1"), "NT Besitzer");
  EXPECT_EQ(ui.Text(WindowId::Schritt5, "Edit2"), "NT Firma");

  sim.PutRegString(RegRoot::LocalMachine, kCurrentVersion, "RegisteredOwner", "Besitzer");
  state = {};
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(state.UserName, "Besitzer");
  EXPECT_EQ(state.UserCompany, "") << "one value in the first key keeps the second unread";
}

TEST_F(StartupTest, RegistryValuesAreTakenAsStoredAndRefusedKeysReadEmpty) {
  WriteSettings("");
  sim.PutRegString(RegRoot::LocalMachine, kCurrentVersion, "RegisteredOwner", "%USERNAME%",
                   platform::RegType::ExpandString);
  sim.PutRegString(RegRoot::LocalMachine, kCurrentVersion, "ProgramFilesDir", "C:\\Programme");
  sim.PutFile("C:\\Programme\\keep.txt", "");
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(state.UserName, "%USERNAME%");
  EXPECT_EQ(ui.TreePaths(), std::vector<std::string>{"C:\\Programme"});

  sim.DenyRegistryRoot(RegRoot::LocalMachine);
  state = {};
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(state.UserName, "");
  EXPECT_EQ(state.UserCompany, "");
  EXPECT_EQ(ui.TreePaths().back(), "");
}

TEST_F(StartupTest, ProgramFolderListShowsVisibleSubfoldersSortedWithoutRegardToCase) {
  WriteSettings("");
  sim.PutRegString(RegRoot::CurrentUser, kShellFolders, "Programs", "C:\\Startmenue\\Programme");
  for (std::string_view dir :
       {"zubehör", "Übersetzer", "Autostart", "äpfel", "beta", "Versteckt", "System"}) {
    sim.PutFile("C:\\Startmenue\\Programme\\" + std::string(dir) + "\\x.lnk", "");
  }
  sim.PutFile("C:\\Startmenue\\Programme\\Datei.lnk", "");
  sim.SetAttributes("C:\\Startmenue\\Programme\\Versteckt",
                    platform::attr::Directory | platform::attr::Hidden);
  sim.SetAttributes("C:\\Startmenue\\Programme\\System",
                    platform::attr::Directory | platform::attr::System);

  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(ui.Lines(WindowId::Schritt6, "ListBox1"),
            (std::vector<std::string>{"äpfel", "Autostart", "beta", "Übersetzer", "zubehör"}));
}

TEST_F(StartupTest, WithoutProgramsPathTheListShowsTheStartDirectory) {
  WriteSettings("");
  sim.PutFile("C:\\Arbeit\\Eins\\x", "");
  sim.SetCurrentDirectory("C:\\Arbeit");
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(ui.Lines(WindowId::Schritt6, "ListBox1"), std::vector<std::string>{"Eins"});
}

TEST_F(StartupTest, LicenceAndInformationTextsLoadOnlyWhenAskedFor) {
  sim.PutFile("C:\\Setup\\License.txt", "Zeile 1\r\nZeile 2\rZeile 3\nZeile \xE4");
  WriteSettings("License=TRUE\r\nInformation=True\r\n");
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(ui.Lines(WindowId::Schritt2, "Memo1"),
            (std::vector<std::string>{"Zeile 1", "Zeile 2", "Zeile 3", "Zeile ä"}));
  EXPECT_EQ(ui.Lines(WindowId::Schritt3, "Memo1"),
            std::vector<std::string>{"Setup konnte keine Informationen finden."});

  sim.PutFile("C:\\Setup\\Information.txt", "Info");
  sim.PutFile("C:\\Setup\\License.txt", "\xEF\xBB\xBFUTF-8 \xC3\xBC");
  WriteSettings("License=True\r\nInformation=false\r\n");
  ui = RecordingUi();
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(ui.Lines(WindowId::Schritt2, "Memo1"), std::vector<std::string>{"UTF-8 ü"});
  EXPECT_TRUE(ui.Lines(WindowId::Schritt3, "Memo1").empty()) << "not read without the flag";

  sim.PutFile("C:\\Setup\\License.txt", "");
  std::filesystem::remove(sim.HostPath("C:\\Setup\\License.txt"));
  ui = RecordingUi();
  ASSERT_TRUE(RunStartup());
  EXPECT_EQ(ui.Lines(WindowId::Schritt2, "Memo1"),
            std::vector<std::string>{"Setup konnte keine Lizenzangaben finden."});
}

TEST_F(StartupTest, StatusTextsAndProgressRunInOrderToFull) {
  WriteSettings("AppName=Demo\r\nVersion=1.0\r\n");
  ASSERT_TRUE(RunStartup());

  std::vector<std::string> steps;
  for (const std::string& entry : ui.Log()) {
    if (entry.starts_with("SetText 0 Label3=") || entry.starts_with("SetPosition 0 ") ||
        entry.starts_with("Repaint 0")) {
      steps.push_back(entry.substr(entry.find(' ', entry.find(' ') + 1) + 1));
    }
  }
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "",  // the repaint after the first captions
                       "Label3=Setup initialisiert Steuerdatei...",
                       "ProgressBar1=10",
                       "ProgressBar1=20",
                       "Label3=Setup liest Anwendungsname...",
                       "ProgressBar1=30",
                       "Label3=Setup liest Optionen...",
                       "ProgressBar1=40",
                       "Label3=Setup erstellt Dateilisten...",
                       "ProgressBar1=50",
                       "ProgressBar1=70",
                       "ProgressBar1=80",
                       "ProgressBar1=90",
                       "Label3=Setup startet...",
                       "ProgressBar1=100",
                   }));
  EXPECT_EQ(libraryDir, "C:\\Setup\\");
  EXPECT_EQ(state.ExitState, 0);
  EXPECT_FALSE(sim.QuitPosted());
}

TEST_F(StartupTest, PicturesAreCopiedFromTheStartupFormAndTheWelcomePage) {
  WriteSettings("");
  ASSERT_TRUE(RunStartup());
  std::map<WindowId, WindowId> expected = {{WindowId::Ready, WindowId::Schritt1}};
  for (WindowId w :
       {WindowId::Schritt2, WindowId::Schritt3, WindowId::Schritt4, WindowId::Schritt5,
        WindowId::Schritt6, WindowId::Schritt7, WindowId::Install, WindowId::RebootForm}) {
    expected[w] = WindowId::Hauptprogramm;
  }
  EXPECT_EQ(ui.PictureSources(), expected);
}

TEST(FirstPage, OnlyTheExactFirstArgumentReadyOpensTheFinishPage) {
  struct Case {
    std::vector<std::string> args;
    WindowId page;
  };
  for (const Case& c : std::vector<Case>{
           {{"/ready"}, WindowId::Ready},
           {{"/ready", "x"}, WindowId::Ready},
           {{}, WindowId::Schritt1},
           {{"-ready"}, WindowId::Schritt1},
           {{"/READY"}, WindowId::Schritt1},
           {{"/ready "}, WindowId::Schritt1},
           {{"x", "/ready"}, WindowId::Schritt1},
       }) {
    EXPECT_EQ(app::FirstPage(c.args), c.page) << (c.args.empty() ? "" : c.args[0]);
  }
}

TEST(MainWindow, ClosesOnlyOnceSomethingEndedTheProgram) {
  core::SetupState state;
  EXPECT_FALSE(app::MayCloseMainWindow(state));
  state.ExitState = -1;
  EXPECT_TRUE(app::MayCloseMainWindow(state));
}

constexpr std::string_view kUninstallEntry =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";

// Produkt 1.2 installed by the run: its copy of Uninstall.inf names where,
// in which version and with which program folder.
TEST_F(StartupTest, AnInstalledProductIsFoundWithItsFolderAndProgramFolder) {
  WriteSettings("AppName=Produkt\r\nVersion=1.3\r\nCompany=Firma\r\n");
  sim.PutRegString(RegRoot::CurrentUser, kShellFolders, "Programs", "C:\\Startmenü\\Programme");
  sim.PutFile("C:\\Alt\\Produkt 1.2\\Uninstall.inf", "");
  sim.PutFile("C:\\Windows\\Inst_Produkt_remove.inf",
              sim.platform().system.Utf8ToAnsi(
                  ";\r\n[Settings]\r\nSignature=\"#$Meravlunx_Tessarwolden$#\"\r\n"
                  "AppName=\"Produkt\"\r\nVersion=\"1.2\"\r\n[Directories]\r\n"
                  "MainDir=C:\\Alt\\Produkt 1.2\r\n[ProgramPath]\r\n"
                  "Path=\"C:\\Startmenü\\Programme\\Werkzeuge\\Produkt\"\r\n"));

  ASSERT_TRUE(RunStartup());
  ASSERT_TRUE(state.Installed);
  EXPECT_EQ(state.Installed->Dir, "C:\\Alt\\Produkt 1.2");
  EXPECT_EQ(state.Installed->Version, "1.2");
  EXPECT_EQ(state.Installed->Title, "Produkt 1.2");
  EXPECT_TRUE(state.Installed->Recorded);
  EXPECT_EQ(ui.TreePaths().back(), "C:\\Alt\\Produkt 1.2") << "the tree shows where it is";
  EXPECT_EQ(state.ProgramFolder, "Werkzeuge\\Produkt");
  EXPECT_EQ(ui.Text(WindowId::Schritt6, "Edit1"), "Werkzeuge\\Produkt");
  EXPECT_TRUE(sim.Messages().empty());
}

struct VersionOrder {
  std::string installed;
  std::string version;
  bool asked;
};

void PrintTo(const VersionOrder& row, std::ostream* out) {
  *out << row.installed << " installed, " << row.version << " to install";
}

class OlderOverNewer : public StartupTest, public testing::WithParamInterface<VersionOrder> {};

// Versions are numbers joined by dots; one that is not cannot be put in
// order, and the product is updated without the question.
TEST_P(OlderOverNewer, AsksOnlyWhenTheInstalledVersionIsNewerAndNoEndsWithExitCode7) {
  const VersionOrder& row = GetParam();
  WriteSettings("AppName=Produkt\r\nVersion=" + row.version + "\r\nCompany=Firma\r\n");
  sim.PutRegString(RegRoot::LocalMachine, kUninstallEntry, "InstallLocation", "C:\\Produkt");
  sim.PutRegString(RegRoot::LocalMachine, kUninstallEntry, "DisplayVersion", row.installed);
  sim.QueueAnswers({platform::MsgAnswer::No});

  EXPECT_EQ(RunStartup(), !row.asked);
  if (!row.asked) {
    EXPECT_TRUE(sim.Messages().empty());
    EXPECT_EQ(ui.Text(WindowId::Hauptprogramm, "Label3"), "Setup startet...");
    return;
  }
  ASSERT_EQ(sim.Messages().size(), 1u);
  const auto& box = sim.Messages()[0];
  EXPECT_EQ(box.caption, "Setup");
  EXPECT_EQ(box.text, "Auf diesem Computer ist bereits die neuere Version " + row.installed +
                          " von Produkt installiert.\r\rMöchten Sie trotzdem Produkt " +
                          row.version + " installieren? Die neuere Version wird dabei ersetzt.");
  EXPECT_EQ(box.buttons, platform::MsgButtons::YesNo);
  EXPECT_EQ(box.icon, platform::MsgIcon::Question);
  EXPECT_EQ(state.ExitState, -1);
  EXPECT_EQ(app::ExitCodeOf(state), 7);
  EXPECT_TRUE(sim.QuitPosted());
}

INSTANTIATE_TEST_SUITE_P(
    Startup, OlderOverNewer,
    testing::Values(VersionOrder{"1.3", "1.2", true}, VersionOrder{"1.10", "1.9", true},
                    VersionOrder{"2", "1.99.99", true}, VersionOrder{"1.9", "1.10", false},
                    VersionOrder{"1.2.0", "1.2", false}, VersionOrder{"1.02", "1.2", false},
                    VersionOrder{"2.0 beta", "1.0", false}, VersionOrder{"", "1.0", false},
                    VersionOrder{"1.3", "", false}));

TEST_F(StartupTest, AnsweredYesTheOlderVersionGoesOn) {
  WriteSettings("AppName=Produkt\r\nVersion=1.2\r\nCompany=Firma\r\n");
  sim.PutRegString(RegRoot::LocalMachine, kUninstallEntry, "InstallLocation", "C:\\Produkt");
  sim.PutRegString(RegRoot::LocalMachine, kUninstallEntry, "DisplayVersion", "1.3");
  sim.QueueAnswers({platform::MsgAnswer::Yes});

  EXPECT_TRUE(RunStartup());
  EXPECT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(state.ExitState, 0);
  ASSERT_TRUE(state.Installed);
  EXPECT_FALSE(state.Installed->Recorded) << "an uninstall entry without the run's copy";
}

}  // namespace

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "core/Convert.h"
#include "engine/Directories.h"
#include "tests/support/ExampleUninstallInf.h"
#include "tests/unit/engine/RunFixture.h"
#include "tools/builder/Description.h"
#include "tools/builder/SetupBuilder.h"

namespace engine_test {
namespace {

constexpr const char* kExampleInf =
    "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\nStandardReg=1\r\n"
    "CreateUninstallShortcut=1\r\nMarrowlink=0\r\n"
    "[Directories]\r\nFolderCount=1\r\nFolder1=\\Daten\r\n"
    "[Registry]\r\nRegCount=1\r\n[Reg1]\r\nRoot=HKCU\r\nKey=\\Software\\Firma\\Produkt\r\n"
    "Title=Pfad\r\nValue=%selected%\r\n"
    "[Links]\r\nLinkCount=1\r\n[Link1]\r\nTitle=Produkt\r\nFile=%selected%\\produkt.exe\r\n";
constexpr const char* kExampleTarget = "C:\\Programme\\Firma\\Produkt 2.1";

class PayloadRun : public RunFixture {
 protected:
  // Uninstall.inf of the documented example.
  std::string ExampleUninstallInf() { return AnsiLines(testing_support::ExampleUninstallLines()); }
};

TEST_F(PayloadRun, DocumentedExampleInstallsItsFilesAndWritesUninstallInf) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  StartUp(kExampleTarget);

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(Shown(), std::vector<std::string>{});
  EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\produkt.exe"), "MZ produkt");
  EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\liesmich.txt"), "Bitte lesen.\r\n");
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Programme\\Firma\\Produkt 2.1\\Daten"));
  EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove.exe"), "MZ uninstaller image");
  for (const char* gone : {"\\in32i$$.ex_", "\\1", "\\2"})
    EXPECT_FALSE(Exists(std::string(kExampleTarget) + gone)) << gone;
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_EQ(Content("C:\\Setup\\Setup.szp"), PayloadBytes("example.szp"));

  EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf"), ExampleUninstallInf());
  // The folders the run made, for the uninstaller, in the order made.
  EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\UninstallExtra.inf"),
            "\xEF\xBB\xBF[Created]\r\nFolderCount=8\r\nFolder1=C:\\Programme\r\n"
            "Folder2=C:\\Programme\\Firma\r\nFolder3=C:\\Programme\\Firma\\Produkt 2.1\r\n"
            "Folder4=C:\\Programme\\Firma\\Produkt 2.1\\Daten\r\n"
            "Folder5=C:\\WINDOWS\\Startmenü\r\nFolder6=C:\\WINDOWS\\Startmenü\\Programme\r\n"
            "Folder7=C:\\WINDOWS\\Startmenü\\Programme\\Firma\r\n"
            "Folder8=C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\r\n");
  // Copies of both, byte for byte, where only administrators can write.
  EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove.inf"), ExampleUninstallInf());
  EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove_extra.inf"),
            Content("C:\\Programme\\Firma\\Produkt 2.1\\UninstallExtra.inf"));
  // 24 bytes placed: 1 KB begun.
  EXPECT_EQ(sim.RegDWord(platform::RegRoot::LocalMachine,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt",
                         "EstimatedSize"),
            1u);

  EXPECT_EQ(Matching("detail "),
            (std::vector<std::string>{
                "Datei \"%selected%\\produkt.exe\" wird extrahiert...",
                "Verzeichnisse aktualisieren...",
                "Datei \"C:\\Programme\\Firma\\Produkt 2.1\\produkt.exe\" wird kopiert...",
                "Datei \"1\" wird entfernt...",
                "Datei \"%SELECTED%\\liesmich.txt\" wird extrahiert...",
                "Verzeichnisse aktualisieren...",
                "Datei \"C:\\Programme\\Firma\\Produkt 2.1\\liesmich.txt\" wird kopiert...",
                "Datei \"2\" wird entfernt...",
                "",
                "Verzeichnisbaum \"\\Daten\" wird erstellt...",
                "",
            }));
  EXPECT_EQ(Matching("position "), (std::vector<std::string>{"50", "100"}));
  EXPECT_EQ(events.back(), "status Fertig.");
  EXPECT_FALSE(result.restartPage);
}

TEST_F(PayloadRun, TheExampleMadeByTheSetupBuilderInstallsAlikeWholeOrSplit) {
  namespace fs = std::filesystem;
  const fs::path source = sim.HostPath("C:\\Quelle");
  fs::create_directories(source);
  std::ofstream(source / "produkt.exe", std::ios::binary) << "MZ produkt";
  std::ofstream(source / "liesmich.txt", std::ios::binary) << "Bitte lesen.\r\n";
  std::ofstream(source / "uninstall.bin", std::ios::binary) << "MZ uninstaller image";
  for (const char* split : {"", "Media=3\n"}) {
    SCOPED_TRACE(split);
    const builder::Description description = builder::ParseDescription(
        std::string("[Builder]\nUninstaller=uninstall.bin\n") + split +
            "[Files]\nprodukt.exe=%selected%\\produkt.exe\n"
            "liesmich.txt=%SELECTED%\\liesmich.txt\n"
            "[Settings]\nAppName=Produkt\nVersion=2.1\nCompany=Firma\nStandardReg=1\n"
            "CreateUninstallShortcut=1\nMarrowlink=0\n"
            "[UninstallInfo]\nDisplayName=Produkt 2.1\n"
            "[Directories]\nFolderCount=1\nFolder1=\\Daten\n"
            "[Registry]\nRegCount=1\n[Reg1]\nRoot=HKCU\nKey=\\Software\\Firma\\Produkt\n"
            "Title=Pfad\nValue=%selected%\n"
            "[Links]\nLinkCount=1\n[Link1]\nFolder=%InstStandard%\nTitle=Produkt\n"
            "File=%selected%\\produkt.exe\n",
        source);
    const fs::path setup = sim.HostPath("C:\\Setup");
    fs::remove_all(setup);
    builder::BuildOptions options;
    options.output = setup;
    builder::BuildSetupFolder(description, options);
    // All media in one folder: every part is found where the program is.
    for (const fs::directory_entry& medium : fs::directory_iterator(setup)) {
      if (!medium.is_directory())
        continue;
      for (const fs::directory_entry& file : fs::directory_iterator(medium.path()))
        fs::rename(file.path(), setup / file.path().filename());
      fs::remove(medium.path());
    }
    sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
    StartUp(kExampleTarget);
    ASSERT_EQ(state.SplitPayload, *split != '\0');

    ASSERT_EQ(Run(), engine::RunEnd::Completed);
    EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\produkt.exe"), "MZ produkt");
    EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\liesmich.txt"), "Bitte lesen.\r\n");
    EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove.exe"), "MZ uninstaller image");
    EXPECT_EQ(Content("C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf"), ExampleUninstallInf());
    EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  }
}

TEST_F(PayloadRun, DestinationsResolveByPlaceholderOrDriveAndAreLoggedAsPlaced) {
  sim.AddDrive('D', platform::DriveType::Fixed);
  SetupInf(
      "[Settings]\r\nAppName=Mix\r\nStandardReg=1\r\n[Directories]\r\nFolderCount=0\r\n"
      "[Registry]\r\nRegCount=0\r\n[Links]\r\nLinkCount=0\r\n");
  Payload("mixed.szp");
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(Content("C:\\Ziel\\bin\\tool.exe"), "MZ tool");
  EXPECT_EQ(Content("C:\\Daten\\Gemeinsam\\a.txt"), "a");
  EXPECT_EQ(Content("C:\\Windows\\Übersicht.ini"), sim.platform().system.Utf8ToAnsi("[Ü]\r\n"));
  EXPECT_EQ(Content("D:\\Außen\\b.txt"), "b");
  const std::string log = Content("C:\\Ziel\\Uninstall.inf");
  EXPECT_NE(
      log.find(AnsiLines({"[Files]", "FileCount=4", "File1=C:\\Ziel\\bin\\tool.exe",
                          "File2=C:\\Daten\\Gemeinsam\\a.txt", "File3=C:\\Windows\\Übersicht.ini",
                          "File4=D:\\Außen\\b.txt", "[ExtraFiles]", "ExtraCount=4"})),
      std::string::npos)
      << log;
  EXPECT_NE(log.find(AnsiLines({"[ExtraDir]", "DirCount=0", "[ProgramPath]"})), std::string::npos);
}

TEST_F(PayloadRun, FilesNamedLikeEntriesInTheTargetAreNeitherInstalledNorDeleted) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  sim.PutFile("C:\\Ziel\\1", "meine Datei");
  sim.PutFile("C:\\Ziel\\2", "noch eine");
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(Content("C:\\Ziel\\produkt.exe"), "MZ produkt");
  EXPECT_EQ(Content("C:\\Ziel\\liesmich.txt"), "Bitte lesen.\r\n");
  EXPECT_EQ(Content("C:\\Ziel\\1"), "meine Datei");
  EXPECT_EQ(Content("C:\\Ziel\\2"), "noch eine");
}

// Ordinary users may make folders in the Temp folder: one planted under the
// very name the run draws first is passed over, whatever it holds.
TEST_F(PayloadRun, AFolderPlantedUnderTheWorkFoldersNameIsNeitherUsedNorTouched) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  const std::string stale = "C:\\Windows\\Temp\\tewol_inst-0000000000000001\\";
  sim.PutFile(stale + "(listfile)", "[Listfile]\r\nFileCount=1\r\n1=C:\\Fremd\\x.txt\r\n");
  sim.PutFile(stale + "Setup.szp", PayloadBytes("mixed.szp"));
  sim.PutFile(stale + "1", "alt");
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(Content("C:\\Ziel\\produkt.exe"), "MZ produkt");
  EXPECT_FALSE(Exists("C:\\Fremd"));
  EXPECT_EQ(Content(stale + "1"), "alt");
  EXPECT_EQ(Content(stale + "Setup.szp"), PayloadBytes("mixed.szp"));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{"tewol_inst-0000000000000001"})
      << "this run's own folder is removed";
}

// Something that lies where an entry is to be extracted is never taken for
// the entry: the run ends in an error and leaves it where it is.
TEST_F(PayloadRun, AFileInTheWayOfAnEntryIsAFaultNeverTheEntry) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  StartUp("C:\\Ziel");
  const std::string planted = "C:\\Windows\\Temp\\tewol_inst-0000000000000001\\1";
  view.onEvent = [&](const std::string& event) {
    if (event.ends_with("wird extrahiert...") && !Exists(planted))
      sim.PutFile(planted, "untergeschoben");
  };
  try {
    Run();
    ADD_FAILURE() << "the run did not fail";
  } catch (const engine::EInstallError& error) {
    EXPECT_EQ(error.what(), "Im Arbeitsordner liegt schon \"" + planted +
                                "\", bevor Setup es entpackt hat. Setup verwendet nichts, was "
                                "es nicht selbst entpackt hat");
  }
  EXPECT_FALSE(Exists("C:\\Ziel"));
  EXPECT_EQ(Content(planted), "untergeschoben");
}

TEST_F(PayloadRun, CancelConfirmedDuringTheRunExtractsNothingMoreAndUndoesWhatWasPlaced) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  StartUp("C:\\Ziel");
  size_t loadsAtCancel = 0;
  view.onEvent = [&](const std::string& event) {
    if (!stop.stop_requested() && event.find("liesmich") != std::string::npos) {
      stop.request_stop();  // the cancel question answered Yes
      loadsAtCancel = sim.LoadedLibraries().size();
    }
  };

  EXPECT_EQ(Run(), engine::RunEnd::Stopped);
  ASSERT_GT(loadsAtCancel, 0u);
  EXPECT_EQ(sim.LoadedLibraries().size(), loadsAtCancel);
  EXPECT_FALSE(Exists("C:\\Ziel")) << "the file placed before the cancel and its folder go";
  EXPECT_FALSE(Exists("C:\\Ziel\\liesmich.txt"));
  EXPECT_FALSE(Exists("C:\\Ziel\\in32i$$.ex_"));
  EXPECT_FALSE(Exists("C:\\Windows\\Inst_Produkt_remove.exe"));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(Exists("C:\\Ziel\\Uninstall.inf"));
}

TEST_F(PayloadRun, AnUndoneRunTakesItsCopiesOfTheRecordsAndPutsBackThoseOfTheRunBefore) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  sim.PutFile("C:\\Windows\\Inst_Produkt_remove.inf", "die Installation davor");
  StartUp("C:\\Ziel");
  // Everything is saved when the run fails on its very last step.
  view.onEvent = [](const std::string& event) {
    if (event == "status Fertig.")
      throw std::runtime_error("eingeschleuster Fehler");
  };

  EXPECT_THROW(Run(), std::runtime_error);
  EXPECT_TRUE(left.empty());
  EXPECT_EQ(Content("C:\\Windows\\Inst_Produkt_remove.inf"), "die Installation davor");
  EXPECT_FALSE(Exists("C:\\Windows\\Inst_Produkt_remove_extra.inf"));
  EXPECT_FALSE(Exists("C:\\Ziel"));
}

// The start-up refuses such a name; a Setup.inf changed after it still
// places nothing outside the Windows directory.
TEST_F(PayloadRun, AnAppNameThatLeadsOutOfTheWindowsDirectoryPlacesNothingThere) {
  for (const char* appName : {"x\\..\\..\\Außen", "x/../../Außen", "..", "C:Außen"}) {
    SCOPED_TRACE(appName);
    const std::string rest =
        "\r\nStandardReg=1\r\nCreateUninstallShortcut=1\r\n[Links]\r\nLinkCount=0\r\n";
    SetupInf("[Settings]\r\nAppName=Produkt" + rest);
    Payload("example.szp");
    StartUp("C:\\Ziel");
    SetupInf(std::string("[Settings]\r\nAppName=") + appName + rest);

    ASSERT_EQ(Run(), engine::RunEnd::Completed);
    EXPECT_TRUE(Exists("C:\\Ziel\\Uninstall.inf"));
    for (const char* path : {"C:\\Außen_remove.exe", "C:\\Außen_remove.inf",
                             "C:\\Außen_remove_extra.inf", "C:\\Windows\\Außen_remove.exe"}) {
      EXPECT_FALSE(Exists(path)) << path;
    }
    for (const platform::DirEntry& entry : sim.platform().files.ListDirectory("C:\\Windows"))
      EXPECT_FALSE(entry.name.starts_with("Inst_")) << entry.name;
    phases.reset();
  }
}

TEST_F(PayloadRun, TheCopiesOfTheRecordsOfAnEmptyAppNameAreNamedAsTheUninstallerLooksForThem) {
  SetupInf("[Settings]\r\nAppName=\r\nStandardReg=1\r\n");
  Payload("example.szp");
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(Content("C:\\Windows\\Inst_1_remove.inf"), Content("C:\\Ziel\\Uninstall.inf"));
  EXPECT_TRUE(Exists("C:\\Windows\\Inst_1_remove_extra.inf"));
}

struct BrokenCase {
  const char* fixture;
  const char* error;  // empty: the run completes
};

class BrokenPayload : public RunFixture, public ::testing::WithParamInterface<BrokenCase> {};

TEST_P(BrokenPayload, EndsInItsMessageAndLosesNothing) {
  SetupInf(kExampleInf);
  Payload(GetParam().fixture);
  sim.PutFile("C:\\Ziel\\meine.txt", "vom Benutzer");
  StartUp("C:\\Ziel");

  const std::string expected = GetParam().error;
  if (expected.empty()) {
    EXPECT_EQ(Run(), engine::RunEnd::Completed);
  } else {
    try {
      Run();
      ADD_FAILURE() << "the run did not fail";
    } catch (const std::exception& error) {
      EXPECT_EQ(error.what(), expected);
    }
  }
  EXPECT_EQ(Content("C:\\Ziel\\meine.txt"), "vom Benutzer");
  EXPECT_EQ(Content("C:\\Setup\\Setup.szp"), PayloadBytes(GetParam().fixture));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(Exists("C:\\Ziel\\1"));
}

INSTANTIATE_TEST_SUITE_P(
    Faults, BrokenPayload,
    ::testing::Values(
        BrokenCase{"no-list.szp",
                   "Die Datei \"C:\\Windows\\Temp\\tewol_inst-0000000000000001\\(listfile)\" kann "
                   "nicht geöffnet werden"},
        BrokenCase{"plain-list.szp", "Das Verzeichnis kann nicht erstellt werden"},
        BrokenCase{"missing-entry.szp",
                   "Die Datei \"%selected%\\zwei.txt\" kann nicht entpackt werden: "
                   "sie fehlt im Installationsarchiv"},
        BrokenCase{"crc-damaged.szp",
                   "Die Datei \"%SELECTED%\\liesmich.txt\" kann nicht entpackt "
                   "werden: das Installationsarchiv ist beschädigt"}));

TEST_F(PayloadRun, AReadOnlyDestinationOrAFullTargetEndsTheRunWithoutLoss) {
  SetupInf(kExampleInf);
  Payload("example.szp");
  sim.PutFile("C:\\Ziel\\liesmich.txt", "schreibgeschützt");
  sim.SetAttributes("C:\\Ziel\\liesmich.txt", platform::attr::ReadOnly);
  StartUp("C:\\Ziel");
  try {
    Run();
    ADD_FAILURE() << "the run did not fail";
  } catch (const engine::EInstallError& error) {
    EXPECT_STREQ(error.what(),
                 "Die Datei \"C:\\Ziel\\liesmich.txt\" kann nicht geschrieben werden");
  }
  EXPECT_EQ(Content("C:\\Ziel\\liesmich.txt"), "schreibgeschützt");

  sim.PutFile("C:\\Voll\\meine.txt", "vom Benutzer");
  sim.DenyWrites("C:\\Voll");
  state.TargetDir = "C:\\Voll";
  events.clear();
  try {
    Run();
    ADD_FAILURE() << "the run did not fail";
  } catch (const engine::EInstallError& error) {
    EXPECT_STREQ(error.what(), "Die Datei \"C:\\Voll\\produkt.exe\" kann nicht geschrieben werden");
  }
  EXPECT_EQ(Content("C:\\Voll\\meine.txt"), "vom Benutzer");
  EXPECT_FALSE(Exists("C:\\Voll\\produkt.exe"));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

TEST_F(PayloadRun, NoFilesGiveAnEmptyFilesBlockAndNoProgress) {
  SetupInf(kExampleInf);
  Payload("empty.szp");
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  const std::string log = Content("C:\\Ziel\\Uninstall.inf");
  EXPECT_NE(log.find("[Files]\r\nFileCount=0\r\n[ExtraDir]\r\n"), std::string::npos) << log;
  EXPECT_EQ(Matching("position "), std::vector<std::string>{});
}

TEST_F(PayloadRun, DisplayIconNamesTheInstalledFileOfItsEntry) {
  struct Case {
    const char* line;
    const char* icon;
  };
  for (const Case& c : std::vector<Case>{
           {"DisplayIcon=2\r\n", "C:\\Ziel\\liesmich.txt"},
           {"DisplayIcon=[Tessarwolden]\r\n", "[Tessarwolden]"},
           {"DisplayIcon=kein\r\n", "C:\\Ziel\\produkt.exe"},
           {"", "C:\\Ziel\\produkt.exe"},
       }) {
    SetupInf(std::string(kExampleInf) + "[UninstallInfo]\r\n" + c.line);
    Payload("example.szp");
    StartUp("C:\\Ziel");
    ASSERT_EQ(Run(), engine::RunEnd::Completed);
    EXPECT_EQ(phases->Files().DisplayIconPath(), c.icon) << c.line;
  }
}

TEST_F(PayloadRun, ExtraDirectoriesAreMadeBelowOrBesideTheTargetAsWritten) {
  struct Case {
    const char* section;
    std::vector<const char*> made;
    const char* logged;
  };
  for (const Case& c : std::vector<Case>{
           {"", {"C:\\Ziel1"}, "[ExtraDir]\r\nDirCount=1\r\nDir1=C:\\Ziel1\r\n"},
           {"[Directories]\r\nFolderCount=0\r\n", {}, "[ExtraDir]\r\nDirCount=0\r\n[ProgramPath]"},
           {"[Directories]\r\nFolderCount=2\r\nFolder1=\\Daten\\Bilder\r\nFolder2=Daten\r\n",
            {"C:\\Ziel\\Daten\\Bilder", "C:\\ZielDaten"},
            "DirCount=2\r\nDir1=C:\\Ziel\\Daten\\Bilder\r\nDir2=C:\\ZielDaten\r\n"},
       }) {
    SetupInf(std::string("[Settings]\r\nAppName=Produkt\r\nStandardReg=1\r\n[Registry]\r\n"
                         "RegCount=0\r\n[Links]\r\nLinkCount=0\r\n") +
             c.section);
    Payload("example.szp");
    StartUp("C:\\Ziel");
    ASSERT_EQ(Run(), engine::RunEnd::Completed);
    for (const char* dir : c.made)
      EXPECT_TRUE(sim.platform().files.DirectoryExists(dir)) << dir;
    EXPECT_NE(Content("C:\\Ziel\\Uninstall.inf").find(c.logged), std::string::npos) << c.section;
  }
}

TEST_F(PayloadRun, FolderCountThatIsNoNumberEndsTheRunBeforeTheUninstallerIsPlaced) {
  SetupInf(
      "[Settings]\r\nAppName=Produkt\r\nStandardReg=1\r\n[Directories]\r\nFolderCount=zwei\r\n");
  Payload("example.szp");
  StartUp("C:\\Ziel");

  EXPECT_THROW(Run(), core::EConvertError);
  EXPECT_FALSE(Exists("C:\\Ziel\\Uninstall.inf"));
  EXPECT_FALSE(Exists("C:\\Windows\\Inst_Produkt_remove.exe"));
  EXPECT_FALSE(Exists("C:\\Ziel")) << "undone";
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

TEST_F(PayloadRun, UninstallerIsCopiedOnlyForTheRegistrationOrTheShortcut) {
  struct Case {
    const char* settings;
    const char* copy;  // empty: none
  };
  for (const Case& c : std::vector<Case>{
           {"AppName=Produkt\r\n", ""},
           {"AppName=Produkt\r\nCreateUninstallShortcut=1\r\n",
            "C:\\Windows\\Inst_Produkt_remove.exe"},
           {"StandardReg=1\r\n", "C:\\Windows\\Inst_1_remove.exe"},
       }) {
    sim.PutFile("C:\\Windows\\Inst_1_remove.exe", "ältere Version");
    sim.PutFile("C:\\Windows\\Inst_Produkt_remove.exe", "ältere Version");
    SetupInf(std::string("[Settings]\r\n") + c.settings);
    Payload("example.szp");
    StartUp("C:\\Ziel");
    ASSERT_EQ(Run(), engine::RunEnd::Completed);
    for (const char* copy :
         {"C:\\Windows\\Inst_1_remove.exe", "C:\\Windows\\Inst_Produkt_remove.exe"}) {
      EXPECT_EQ(Content(copy),
                std::string(copy) == c.copy ? "MZ uninstaller image" : "ältere Version")
          << c.settings << copy;
    }
    EXPECT_FALSE(Exists("C:\\Ziel\\in32i$$.ex_"));
  }
}

}  // namespace
}  // namespace engine_test

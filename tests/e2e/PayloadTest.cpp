#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

constexpr std::string_view kInsertCaption = "Installationsmedium einlegen - Tessarwolden";

class Payload : public Scenario {
 protected:
  std::string Target() const { return folder_.Path() + "Ziel\\Produkt 2.1"; }

  // What the product of tests/e2e/setups leaves once installed, and that
  // the run took its temporary files away again.
  void ExpectInstalled() {
    const std::string target = Target();
    const std::string windows = WindowsDirectory();
    EXPECT_EQ(ReadBytes(target + "\\produkt.exe"), "MZ Produkt 2.1\r\n");
    EXPECT_EQ(ReadBytes(target + "\\Liesmich.txt"), "Bitte lesen Sie diese Datei.\r\n");
    EXPECT_EQ(ReadBytes(target + "\\Daten\\Beispiel.txt"), "Beispieldaten\r\n");
    EXPECT_EQ(ReadBytes(windows + "\\Produkt.ini"), "[Produkt]\r\nSprache=Deutsch\r\n");
    EXPECT_TRUE(PathExists(target + "\\Protokolle"));
    EXPECT_EQ(ReadBytes(windows + "\\Inst_Produkt_remove.exe"),
              "MZ uninstaller image of the end-to-end product\r\n");
    for (const char* temporary : {"\\in32i$$.ex_", "\\1", "\\4"})
      EXPECT_FALSE(PathExists(target + temporary)) << temporary;
    EXPECT_FALSE(PathExists(windows + "\\Temp\\tewol_inst"));

    std::vector<std::string> expected = ProduktUninstallHeader(target, false);
    expected.insert(expected.end(), {
                                        "[Files]",
                                        "FileCount=4",
                                        "File1=" + target + "\\produkt.exe",
                                        "File2=" + target + "\\Liesmich.txt",
                                        "File3=" + target + "\\Daten\\Beispiel.txt",
                                        "File4=" + windows + "\\Produkt.ini",
                                        "[ExtraFiles]",
                                        "ExtraCount=4",
                                        "ExFile1=" + target + "\\produkt.exe",
                                        "ExFile2=" + target + "\\Liesmich.txt",
                                        "ExFile3=" + target + "\\Daten\\Beispiel.txt",
                                        "ExFile4=" + windows + "\\Produkt.ini",
                                        "[ExtraDir]",
                                        "DirCount=1",
                                        "Dir1=" + target + "\\Protokolle",
                                        "[ProgramPath]",
                                        "Path=\"" + ShellFolder(L"Programs") + "\\Firma\"",
                                    });
    EXPECT_EQ(ReadBytes(target + "\\Uninstall.inf"), CrLfLines(expected));
  }

  void Answer(SetupProcess& setup, std::string_view caption, std::string_view text) {
    MessageDialog box = setup.WaitForMessageBox(caption);
    EXPECT_EQ(box.Text(), text);
    box.Press(IDOK);
    setup.WaitForGone(box.Handle());
  }
  void InsertMedium(SetupProcess& setup, int medium) {
    Answer(setup, kInsertCaption,
           "Bitte legen Sie Medium " + std::to_string(medium) + " ein und klicken Sie auf [OK]!");
  }

  // Moves parts 2 and 3 of the split product onto a "second medium": the
  // desktop, where the folder browser starts.
  std::string MovePartsAway() {
    wchar_t desktop[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)))
      throw HarnessError("the prefix has no desktop folder");
    const std::string medium = platform::win32::Narrow(desktop);
    for (const char* part : {"Disk2.id", "Disk3.id"}) {
      if (!MoveFileW(platform::win32::Widen(folder_.Path() + part).c_str(),
                     platform::win32::Widen(medium + "\\" + part).c_str())) {
        throw HarnessError(std::string("cannot move ") + part);
      }
    }
    return medium;
  }
};

TEST_F(Payload, ABuilderMadeSetupInstallsItsFilesThroughTheWizard) {
  folder_.CopyPrepared("produkt");
  SetupProcess& setup = Start();

  StartInstallation(setup, Target());
  HWND finish = setup.WaitForVisible("TReady");
  ExpectInstalled();
  EXPECT_TRUE(PathExists(folder_.Path() + "Setup.szp")) << "the payload stays on its medium";
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

// Unattended, the product lands as the wizard would have placed it with the
// same answers, and no window shows.
TEST_F(Payload, ASilentRunInstallsAsTheWizardWouldWithoutAWindow) {
  folder_.CopyPrepared("produkt");
  SetupProcess& setup = Start("/silent \"/dir=" + Target() + "\"");
  EXPECT_EQ(setup.WaitForExit(), 0u);
  EXPECT_EQ(setup.SeenVisible(), std::set<std::string>{});
  ExpectInstalled();
  const std::string log = ReadBytes(Target() + "\\Setup.log");
  EXPECT_NE(log.find("Ergebnis: 0\r\n"), std::string::npos) << log;
}

TEST_F(Payload, ASilentRunProposesTheProgramFilesFolderAndTakesTheGroup) {
  folder_.CopyPrepared("produkt");
  SetupProcess& setup = Start("/silent \"/group=Werkzeuge\\Produkt\"");
  EXPECT_EQ(setup.WaitForExit(), 0u);
  wchar_t programFiles[MAX_PATH] = {};
  DWORD size = sizeof programFiles;
  ASSERT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion",
                         L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr, programFiles, &size),
            ERROR_SUCCESS);
  const std::string target = platform::win32::Narrow(programFiles) + "\\Firma\\Produkt 2.1";
  EXPECT_EQ(ReadBytes(target + "\\produkt.exe"), "MZ Produkt 2.1\r\n");
  EXPECT_NE(ReadBytes(target + "\\Uninstall.inf")
                .find("[ProgramPath]\r\nPath=\"" + ShellFolder(L"Programs") +
                      "\\Werkzeuge\\Produkt\"\r\n"),
            std::string::npos);
}

TEST_F(Payload, ASilentRunWithoutItsControlFileEndsWithItsCodeAndALog) {
  SetupProcess& setup = Start("/silent");
  EXPECT_EQ(setup.WaitForExit(), 2u);
  EXPECT_EQ(setup.SeenVisible(), std::set<std::string>{});
  wchar_t temporary[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temporary);
  const std::string log = ReadBytes(platform::win32::Narrow(temporary) + "Tessarwolden-Setup.log");
  EXPECT_NE(log.find("Fehler beim Initialisieren: Die Steuerdatei \"Setup.inf\" wurde nicht "
                     "gefunden."),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Ergebnis: 2\r\n"), std::string::npos) << log;
}

TEST_F(Payload, ASplitSetupIsJoinedFromItsMediaWithAPartFoundThroughTheBrowser) {
  folder_.CopyPrepared("geteilt");
  const std::string medium = MovePartsAway();
  SetupProcess& setup = Start();

  StartInstallation(setup, Target());
  InsertMedium(setup, 2);
  InsertMedium(setup, 3);
  Answer(setup, "Pfad nicht gefunden - Tessarwolden",
         "Die Installationsdatei\r    \"Disk2.id\"\rkonnte im Pfad\r    \"" + folder_.Path() +
             "\"\rnicht gefunden werden. Bitte geben Sie den Pfad an, indem sich die Datei "
             "befindet!");
  setup.AnswerFolderBrowser(true);
  InsertMedium(setup, 4);
  InsertMedium(setup, 1);
  HWND finish = setup.WaitForVisible("TReady");
  ExpectInstalled();
  EXPECT_TRUE(PathExists(folder_.Path() + "Disk1.id"));
  for (const char* part : {"\\Disk2.id", "\\Disk3.id"})
    EXPECT_TRUE(PathExists(medium + part)) << part;
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST_F(Payload, CancellingTheFolderBrowserEndsTheSetupBeforeAnythingIsInstalled) {
  folder_.CopyPrepared("geteilt");
  MovePartsAway();
  SetupProcess& setup = Start();

  StartInstallation(setup, Target());
  InsertMedium(setup, 2);
  InsertMedium(setup, 3);
  MessageDialog notFound = setup.WaitForMessageBox("Pfad nicht gefunden - Tessarwolden");
  notFound.Press(IDOK);
  setup.WaitForGone(notFound.Handle());
  setup.AnswerFolderBrowser(false);
  Answer(setup, "Abbruch der Installation - Tessarwolden",
         "Damit keine Schäden auf Ihrem System entstehen, wird Setup nun beendet.\rSollten Ihnen "
         "Installationsmedien fehlen, informieren Sie bitte den Hersteller.");
  EXPECT_EQ(setup.WaitForExit(), 3u) << "the exit code of a stop while joining the media";
  EXPECT_FALSE(PathExists(Target() + "\\produkt.exe"));
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));
}

}  // namespace
}  // namespace e2e

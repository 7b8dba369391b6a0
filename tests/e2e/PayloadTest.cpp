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
    EXPECT_EQ(WorkFolders(), std::vector<std::string>{});

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

  // Lays out the product split over four media in two places: media 1 and 2
  // (the program and part 1) in the setup folder, media 3 and 4 (parts 2
  // and 3) on the desktop, where the folder browser starts.
  std::string CopySplitProduct() {
    wchar_t desktop[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop)))
      throw HarnessError("the prefix has no desktop folder");
    const std::string other = platform::win32::Narrow(desktop) + "\\";
    folder_.CopyPrepared("geteilt\\Medium1");
    folder_.CopyPrepared("geteilt\\Medium2");
    CopyPreparedInto("geteilt\\Medium3", other);
    CopyPreparedInto("geteilt\\Medium4", other);
    return other;
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
  const std::string medium = CopySplitProduct();
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
  for (const char* part : {"Disk2.id", "Disk3.id"})
    EXPECT_TRUE(PathExists(medium + part)) << part;
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

// The builder's media for three media, offered one at a time in one drive as
// Setup.exe asks for them: medium 2, medium 3, and medium 1 again at the end.
TEST_F(Payload, ASetupBuiltForThreeMediaInstallsFromThemInTheOrderItAsks) {
  std::string media[4];
  for (int k = 1; k <= 3; ++k) {
    media[k] = folder_.Path() + "Medium" + std::to_string(k) + "\\";
    CopyPreparedInto("medien\\Medium" + std::to_string(k), media[k]);
  }
  ChangeMedium(media[1]);
  SetupProcess& setup = StartFrom(kMediaDrive);

  StartInstallation(setup, Target());
  for (int medium : {2, 3, 1}) {
    MessageDialog box = setup.WaitForMessageBox(kInsertCaption);
    EXPECT_EQ(box.Text(), "Bitte legen Sie Medium " + std::to_string(medium) +
                              " ein und klicken Sie auf [OK]!");
    ChangeMedium(media[medium]);
    box.Press(IDOK);
    setup.WaitForGone(box.Handle());
  }
  HWND finish = setup.WaitForVisible("TReady");
  ExpectInstalled();
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST_F(Payload, CancellingTheFolderBrowserEndsTheSetupBeforeAnythingIsInstalled) {
  CopySplitProduct();
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

// The installation run works on a thread of its own: the window answers
// while it runs, a cancel stops it at any moment, and nothing that shows the
// installation form again starts a second run.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Widen;

void TypeInto(HWND edit, const std::string& text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

// Restoring the program from the taskbar shows every owned window along
// with its owner (SW_PARENTOPENING); that is no showing of the page itself.
using RestoredFromTheTaskbar = Scenario;

TEST_F(RestoredFromTheTaskbar, Page4KeepsThePathTheUserTyped) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();
  Click(setup.WaitForVisible("TSchritt1"), "Button2");
  HWND page4 = setup.WaitForVisible("TSchritt4");
  const std::string typed = folder_.Path() + "Eigener Ordner";
  TypeInto(Control(page4, "Edit1"), typed);

  SendMessageW(page4, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
  EXPECT_EQ(ControlText(page4, "Edit1"), typed);

  Click(page4, "Button1");
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(setup.WaitForExit(), 1u);
}

TEST_F(RestoredFromTheTaskbar, TheInstallationRunsOnceAndEndsOnTheFinishPage) {
  folder_.CopyPrepared("gross");
  SetupProcess& setup = Start();
  const std::string target = folder_.Path() + "Ziel";

  HWND install = StartInstallation(setup, target);
  SendMessageW(install, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
  WaitUntil("the run under way", [&] {
    return ControlText(install, "Label2") != "Setup bereitet die Installation vor...";
  });
  SendMessageW(install, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
  // A real hiding and showing of the form, as another program might do it.
  ShowWindow(install, SW_HIDE);
  ShowWindow(install, SW_SHOWNOACTIVATE);

  HWND finish = setup.WaitForVisible("TReady");
  // The form takes the run's last status at its next paint (every 40 ms),
  // which may come just after the finish page.
  WaitUntil("the form's last status", [&] { return ControlText(install, "Label2") == "Fertig."; });
  EXPECT_TRUE(PathExists(target + "\\Liesmich.txt"));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{}) << "a second run left a work folder";
  EXPECT_FALSE(setup.SeenVisible().contains("#32770")) << "a second run met the first one";
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

using CancelDuringTheRun = Scenario;

TEST_F(CancelDuringTheRun, ALargeFileIsStoppedAndLeavesNoPartOfIt) {
  folder_.CopyPrepared("gross");
  SetupProcess& setup = Start();
  const std::string target = folder_.Path() + "Ziel";

  HWND install = StartInstallation(setup, target);
  WaitUntil("the large file's extraction",
            [&] { return ControlText(install, "Label5").find("gross.bin") != std::string::npos; });
  Click(install, "Button1");
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  setup.WaitForMessageBox("Installation rückgängig gemacht - Tessarwolden").Press(IDOK);
  EXPECT_EQ(setup.WaitForExit(), 6u);
  EXPECT_FALSE(PathExists(target)) << "what the run placed went again";

  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));
}

TEST_F(CancelDuringTheRun, InTheMiddleOfManyFilesLeavesTheMachineAsItWas) {
  folder_.CopyPrepared("viele");
  const Snapshot before = Snapshot::Take();
  SetupProcess& setup = Start();

  HWND install = StartInstallation(setup, folder_.Path() + "Firma\\Viele");
  WaitUntil("the middle of the files",
            [&] { return ControlText(install, "Label5").find("\\d08\\") != std::string::npos; });
  Click(install, "Button1");
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  setup.WaitForMessageBox("Installation rückgängig gemacht - Tessarwolden").Press(IDOK);
  EXPECT_EQ(setup.WaitForExit(), 6u);

  const Snapshot after = Snapshot::Take();
  EXPECT_EQ(Minus(after.files, before.files), std::vector<std::string>{});
  EXPECT_EQ(Minus(before.files, after.files), std::vector<std::string>{});
  EXPECT_EQ(Minus(after.registry, before.registry), std::vector<std::string>{});
  EXPECT_EQ(Minus(before.registry, after.registry), std::vector<std::string>{});
}

TEST_F(CancelDuringTheRun, AComponentProgramStillRunningIsEnded) {
  folder_.CopyPrepared("wartet");
  SetupProcess& setup = Start();

  HWND install = StartInstallation(setup, folder_.Path() + "Ziel");
  WaitUntil("the component program's start", [] { return PathExists("C:\\gestartet.txt"); });
  const auto clicked = std::chrono::steady_clock::now();
  Click(install, "Button1");
  MessageDialog question = setup.WaitForMessageBox("Setup beenden");
  std::printf(
      "figure: the cancel question came %lld ms after the click, a component program "
      "running\n",
      static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - clicked)
                                 .count()));
  question.Press(IDYES);
  setup.WaitForMessageBox("Installation rückgängig gemacht - Tessarwolden").Press(IDOK);
  EXPECT_EQ(setup.WaitForExit(), 6u);
  // The program was ended, so its folder could go with the work folder.
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

// The process dies in the middle of the large file, in its extraction or
// in its copy to the target: the next Setup.exe puts the machine back before
// anything else and then installs as if nothing had happened.
class KilledDuringTheRun : public Scenario, public testing::WithParamInterface<const char*> {};

TEST_P(KilledDuringTheRun, TheNextSetupUndoesItAndInstallsCleanly) {
  folder_.CopyPrepared("gross");
  const std::string target = folder_.Path() + "Ziel";
  {
    SetupProcess& setup = Start();
    HWND install = StartInstallation(setup, target);
    const std::string moment = std::string("gross.bin\" ") + GetParam();
    WaitUntil(moment,
              [&] { return ControlText(install, "Label5").find(moment) != std::string::npos; });
    setup.Kill();
  }
  ASSERT_FALSE(WorkFolders().empty()) << "the dead run left its work";

  SetupProcess& again = Start();
  HWND page1 = again.WaitForVisible("TSchritt1");
  EXPECT_FALSE(PathExists(target)) << "the machine is as it was before the dead run";
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(again.SeenVisible().contains("#32770")) << "all was put back: nothing to tell";
  Click(page1, "Button1");
  again.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(again.WaitForExit(), 1u);

  SetupProcess& third = Start();
  StartInstallation(third, target);
  Click(third.WaitForVisible("TReady"), "Button1");
  EXPECT_EQ(third.WaitForExit(), 0u);
  EXPECT_TRUE(PathExists(target + "\\gross.bin"));
  EXPECT_TRUE(PathExists(target + "\\Uninstall.inf"));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(Moments, KilledDuringTheRun,
                         testing::Values("wird extrahiert", "wird kopiert"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.index == 0 ? "InTheExtraction" : "InTheCopy");
                         });

// A count far beyond the entries of its section ends with the last entry.
using HugeCounts = Scenario;

TEST_F(HugeCounts, AFolderCountOf2147483647EndsAfterTheFoldersPresent) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf",
                "[Settings]\r\nAppName=Demo\r\nVersion=1.0\r\nCompany=Firma\r\nStandardReg=1\r\n"
                "[Directories]\r\nFolderCount=2147483647\r\nFolder1=\\Daten\r\n"
                "[Registry]\r\nRegCount=0\r\n[Links]\r\nLinkCount=0\r\n");
  SetupProcess& setup = Start();
  const std::string target = folder_.Path() + "Ziel";

  StartInstallation(setup, target);
  HWND finish = setup.WaitForVisible("TReady");
  EXPECT_TRUE(PathExists(target + "\\Daten"));
  EXPECT_NE(ReadBytes(target + "\\Uninstall.inf").find("\r\nDirCount=1\r\n"), std::string::npos);
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace
}  // namespace e2e

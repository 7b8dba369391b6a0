// The installation run works on a thread of its own: the window answers
// while it runs, a cancel stops it at any moment, and nothing that shows the
// installation form again starts a second run.
#include <chrono>
#include <cstdio>
#include <string>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Widen;

void TypeInto(HWND edit, const std::string& text) {
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

std::string WorkFolder() {
  return WindowsDirectory() + "\\Temp\\tewol_inst";
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
  EXPECT_EQ(ControlText(install, "Label2"), "Fertig.");
  EXPECT_TRUE(PathExists(target + "\\Liesmich.txt"));
  EXPECT_FALSE(PathExists(WorkFolder() + "2")) << "a second run took a work folder";
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

  EXPECT_FALSE(PathExists(WorkFolder() + "\\1"));
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));
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
  EXPECT_FALSE(PathExists(WorkFolder()));
}

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

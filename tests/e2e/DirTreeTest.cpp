#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <string>
#include <thread>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// The program files folder Setup.exe opens its tree at.
std::string ProgramFilesDir() {
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion",
                   L"ProgramFilesDir", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    throw HarnessError("the prefix has no ProgramFilesDir");
  }
  return Narrow(value);
}

class DirTreePage : public Scenario {
 protected:
  HWND OpenPage4() {
    folder_.CopyPrepared("produkt");
    folder_.Write("Setup.inf", kDemoSetupInf);
    SetupProcess& setup = Start();
    Click(setup.WaitForVisible("TSchritt1"), "Button2");
    return setup.WaitForVisible("TSchritt4");
  }

  // Waits until the edit field shows `expected` (compared without regard to
  // case); false after the bound.
  static bool EditShows(HWND page4, const std::string& expected) {
    for (int tenth = 0; tenth < 300; ++tenth) {
      if (Lower(ControlText(page4, "Edit1")) == Lower(expected))
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
  }

  // A key pressed and released over the control.
  static void Key(HWND control, WPARAM key) {
    Post(control, WM_KEYDOWN, key, 1);
    Post(control, WM_KEYUP, key, 0xC0000001);
  }
};

TEST_F(DirTreePage, OpensAtTheProgramFilesFolder) {
  HWND page4 = OpenPage4();
  EXPECT_TRUE(EditShows(page4, ProgramFilesDir() + "\\Firma\\Demo 1.0"))
      << ControlText(page4, "Edit1");
}

TEST_F(DirTreePage, ClickOnADriveProposesItsRoot) {
  HWND page4 = OpenPage4();
  ASSERT_TRUE(EditShows(page4, ProgramFilesDir() + "\\Firma\\Demo 1.0"));
  HWND tree = Control(page4, "DirTree1");
  // The second row is drive C:, a level below the computer; its label
  // starts after two indents and the icon.
  const int height = TreeView_GetItemHeight(tree);
  const int indent = static_cast<int>(TreeView_GetIndent(tree));
  const LPARAM point = MAKELPARAM(2 * indent + 16 + 12, height + height / 2);
  Post(tree, WM_LBUTTONDOWN, MK_LBUTTON, point);
  Post(tree, WM_LBUTTONUP, 0, point);
  EXPECT_TRUE(EditShows(page4, "C:\\Firma\\Demo 1.0")) << ControlText(page4, "Edit1");
}

TEST_F(DirTreePage, TypedPathIsOpenedAndEnterChoosesItsFolder) {
  HWND page4 = OpenPage4();
  ASSERT_TRUE(EditShows(page4, ProgramFilesDir() + "\\Firma\\Demo 1.0"));
  HWND tree = Control(page4, "DirTree1");
  HWND edit = Control(page4, "Edit1");

  // Enter on the computer changes nothing; on the drive below it proposes
  // the drive's root.
  Key(tree, VK_HOME);
  Key(tree, VK_RETURN);
  Key(tree, VK_DOWN);
  Key(tree, VK_RETURN);
  ASSERT_TRUE(EditShows(page4, "C:\\Firma\\Demo 1.0")) << ControlText(page4, "Edit1");

  // Typing opens the path in the tree and leaves the typed text; Enter then
  // chooses the folder the tree selected.
  std::string typed = folder_.Path();
  typed.pop_back();
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(typed).c_str()));
  Key(edit, VK_END);
  Key(tree, VK_RETURN);
  EXPECT_TRUE(EditShows(page4, typed + "\\Firma\\Demo 1.0")) << ControlText(page4, "Edit1");
}

}  // namespace
}  // namespace e2e

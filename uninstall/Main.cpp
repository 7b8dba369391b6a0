#include <windows.h>

#include <commctrl.h>

#include <exception>

#include "controls/ExceptionDisplay.h"
#include "platform/win32/Win32Platform.h"
#include "uninstall/TUninstall.h"
#include "uninstall/UninstallProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::win32::LoadLibrariesFromTheSystemFolderOnly();
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  try {
    platform::win32::Win32Platform machine;
    uninstall::TUninstall window;
    return uninstall::RunUninstaller(machine.platform(), window);
  } catch (const std::exception& error) {
    controls::ShowException(error);
    return uninstall::kRefusedOrFailed;
  }
}

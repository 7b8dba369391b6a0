#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/Program.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform::win32::LoadLibrariesFromTheSystemFolderOnly();
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                         ICC_TREEVIEW_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  // Once for the program's one thread: the shell's folder browser and its
  // shortcut objects are COM objects.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int exitCode = 0;
  {
    app::Program program;
    exitCode = program.Run();
  }
  CoUninitialize();
  return exitCode;
}

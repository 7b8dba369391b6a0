#include <windows.h>

#include <commctrl.h>

#include "app/Program.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS |
                                                         ICC_TREEVIEW_CLASSES | ICC_LINK_CLASS};
  InitCommonControlsEx(&controls);
  app::Program program;
  return program.Run();
}

#include "uninstall/TUninstall.h"

#include <commctrl.h>

namespace uninstall {

TUninstall::TUninstall()
    : controls::Form(core::WindowId::Uninstall, L"TUninstall", controls::FrameKind::Plain) {}

void TUninstall::OnCreate() {
  AddLabel("Label1", {.bold = true, .wordWrap = false});
  AddLabel("Label2", {.wordWrap = false});
  AddProgressBar("ProgressBar1", 1);
}

void TUninstall::Open(std::string_view caption, int steps) {
  if (!Control("Label1") && !Create(nullptr))
    return;
  SetText("", caption);
  SetText("Label1", "Bitte warten Sie, während die Bestandteile entfernt werden.");
  SetText("Label2", "");
  SendMessageW(Control("ProgressBar1"), PBM_SETRANGE32, 0, steps > 0 ? steps : 1);
  SetPosition("ProgressBar1", 0);
  Show();
  Repaint();
}

void TUninstall::SetStatus(std::string_view text) {
  SetText("Label2", text);
  PaintNow("Label2");
}

void TUninstall::SetProgress(int done) {
  SetPosition("ProgressBar1", done);
  PaintNow("ProgressBar1");
}

void TUninstall::Finish() {
  Hide();
}

void TUninstall::PaintNow(std::string_view control) {
  if (HWND hwnd = Control(control))
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

}  // namespace uninstall

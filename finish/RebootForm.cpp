#include "finish/RebootForm.h"

namespace finish {

TRebootForm::TRebootForm()
    : controls::Form(core::WindowId::RebootForm, L"TRebootForm", 492, 354,
                     controls::FrameKind::Page) {}

void TRebootForm::OnCreate() {
  // Choosing between restarting now and later is not built yet: the page
  // offers its cancel button, and "&Weiter" does nothing so far.
  AddPageFrame([this] { FormClose(); }, [] {}, nullptr);
  const int width = ClientWidth() - 48;
  AddLabel("Label2", 24, 72, width, 44);
  AddLabel("Label5", 24, 124, width, 16);
  AddRadioButton("RadioButton1", 40, 148, width - 16, 18, true);
  AddRadioButton("RadioButton2", 40, 170, width - 16, 18, false);
  SendMessageW(Control("RadioButton1"), BM_SETCHECK, BST_CHECKED, 0);
  AddLabel("Label6", 24, 200, width, 30);
}

bool TRebootForm::FormClose() {
  if (handlers_.cancelQuestion)
    handlers_.cancelQuestion();
  return false;
}

}  // namespace finish

#include "finish/RebootForm.h"

namespace finish {

TRebootForm::TRebootForm()
    : controls::Form(core::WindowId::RebootForm, L"TRebootForm", 492, 354,
                     controls::FrameKind::Page) {}

void TRebootForm::OnCreate() {
  AddPageHeader();
  const int width = ClientWidth() - 48;
  AddLabel("Label2", 24, 72, width, 44);
  AddLabel("Label5", 24, 124, width, 16);
  AddRadioButton("RadioButton1", 40, 148, width - 16, 18, true);
  AddRadioButton("RadioButton2", 40, 170, width - 16, 18, false);
  SetChecked("RadioButton1", true);
  AddLabel("Label6", 24, 200, width, 30);
  AddPageButtons();
}

}  // namespace finish

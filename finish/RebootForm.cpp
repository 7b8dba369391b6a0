#include "finish/RebootForm.h"

namespace finish {

TRebootForm::TRebootForm()
    : controls::Form(core::WindowId::RebootForm, L"TRebootForm", controls::FrameKind::Page) {}

void TRebootForm::OnCreate() {
  AddPageHeader();
  AddLabel("Label2");
  AddLabel("Label5");
  AddRadioButton("RadioButton1", true);
  AddRadioButton("RadioButton2", false);
  SetChecked("RadioButton1", true);
  AddLabel("Label6");
  AddPageButtons();
}

}  // namespace finish

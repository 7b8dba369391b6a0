#include "wizard/Schritt6.h"

namespace wizard {

void TSchritt6::CreateBody() {
  AddLabel("Label5", 24, kBodyTop, 441, 42);
  AddLabel("Label6", 24, kBodyTop + 46, 441, 16);
  AddEdit("Edit1", 24, kBodyTop + 64, 441, 21);
  AddListBox("ListBox1", 24, kBodyTop + 85, 441, 121);
  AddCheckBox("CheckBox1", 24, kBodyTop + 210, 200, 17);
  AddLabel("Label2", 24, kBodyTop + 232, 441, 16);
}

}  // namespace wizard

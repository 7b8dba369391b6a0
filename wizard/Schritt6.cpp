#include "wizard/Schritt6.h"

namespace wizard {

void TSchritt6::CreateBody() {
  AddLabel("Label5");
  AddLabel("Label6");
  AddEdit("Edit1");
  AddListBox("ListBox1");
  AddCheckBox("CheckBox1");
  AddLabel("Label2");
}

}  // namespace wizard

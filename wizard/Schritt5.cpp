#include "wizard/Schritt5.h"

namespace wizard {

void TSchritt5::CreateBody() {
  AddLabel("Label5", {.alignRight = true});
  AddEdit("Edit1");
  AddLabel("Label6", {.alignRight = true});
  AddEdit("Edit2");
  AddLabel("Label2");
}

}  // namespace wizard

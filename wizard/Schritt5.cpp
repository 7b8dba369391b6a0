#include "wizard/Schritt5.h"

namespace wizard {

void TSchritt5::CreateBody() {
  AddLabel("Label5", 40, kBodyTop + 40, 80, 16, {.alignRight = true});
  AddEdit("Edit1", 128, kBodyTop + 37, 225, 21);
  AddLabel("Label6", 40, kBodyTop + 72, 80, 16, {.alignRight = true});
  AddEdit("Edit2", 128, kBodyTop + 69, 225, 21);
  AddLabel("Label2", 16, kBodyTop + 200, ClientWidth() - 32, 30);
}

}  // namespace wizard

#include "wizard/Schritt4.h"

namespace wizard {

void TSchritt4::CreateBody() {
  AddEdit("Edit1", 40, kBodyTop + 4, 409, 21);
  // Typing a path opens it in the tree.
  ReportInput("Edit1", false);
  AddLabel("Label2", 40, kBodyTop + 212, 409, 16);
}

}  // namespace wizard

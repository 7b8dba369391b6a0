#include "wizard/Schritt2.h"

namespace wizard {

void TSchritt2::CreateBody() {
  AddMemo("Memo1");
  AddLabel("Label2");
}

}  // namespace wizard

#include "wizard/Schritt3.h"

namespace wizard {

void TSchritt3::CreateBody() {
  AddMemo("Memo1");
  AddLabel("Label2");
}

}  // namespace wizard

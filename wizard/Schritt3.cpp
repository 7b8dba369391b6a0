#include "wizard/Schritt3.h"

namespace wizard {

void TSchritt3::CreateBody() {
  AddMemo("Memo1", 16, kBodyTop, ClientWidth() - 32, 196);
  AddLabel("Label2", 16, kBodyTop + 204, ClientWidth() - 32, 30);
}

}  // namespace wizard

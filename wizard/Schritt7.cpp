#include "wizard/Schritt7.h"

namespace wizard {

void TSchritt7::CreateBody() {
  for (auto [caption, value] : {std::pair{"Label2", "Label10"}, std::pair{"Label7", "Label11"},
                                std::pair{"Label5", "Label8"}, std::pair{"Label6", "Label9"}}) {
    AddLabel(caption, {.alignRight = true});
    AddLabel(value, {.bold = true, .wordWrap = false});
  }
  AddLabel("Label13");
  AddLabel("Label12");
}

}  // namespace wizard

#include "wizard/Schritt7.h"

namespace wizard {

void TSchritt7::CreateBody() {
  constexpr int kCaptionLeft = 8;
  constexpr int kCaptionWidth = 140;
  constexpr int kValueLeft = kCaptionLeft + kCaptionWidth + 6;
  int top = kBodyTop + 8;
  for (auto [caption, value] : {std::pair{"Label2", "Label10"}, std::pair{"Label7", "Label11"},
                                std::pair{"Label5", "Label8"}, std::pair{"Label6", "Label9"}}) {
    AddLabel(caption, kCaptionLeft, top, kCaptionWidth, 16, {.alignRight = true});
    AddLabel(value, kValueLeft, top, 331, 16, {.bold = true, .wordWrap = false});
    top += 24;
  }
  AddLabel("Label13", 24, kBodyTop + 106, ClientWidth() - 48, 28);
  AddLabel("Label12", 24, kBodyTop + 140, ClientWidth() - 48, 56);
}

}  // namespace wizard

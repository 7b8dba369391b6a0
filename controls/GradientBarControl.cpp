#include "controls/GradientBarControl.h"

#include <string>

namespace controls {

GradientBarControl::GradientBarControl() : bar_(graphics_) {}

void GradientBarControl::Create(HWND parent, int x, int y, int width, int height) {
  parent_ = parent;
  bar_.SetBounds(x, y, width, height);
  bar_.SetHost(this);
}

std::string GradientBarControl::Text() const {
  return std::to_string(bar_.Position());
}

void GradientBarControl::Paint(HDC dc) {
  if (!bar_.Visible())
    return;
  GdiCanvas canvas(dc, bar_.Left(), bar_.Top());
  bar_.Paint(canvas);
}

void GradientBarControl::Invalidate() {
  if (!parent_)
    return;
  RECT area = {bar_.Left(), bar_.Top(), bar_.Left() + bar_.Width(), bar_.Top() + bar_.Height()};
  InvalidateRect(parent_, &area, FALSE);
}

void GradientBarControl::PaintNow() {
  if (!parent_ || !IsWindowVisible(parent_))
    return;
  HDC dc = GetDC(parent_);
  Paint(dc);
  ReleaseDC(parent_, dc);
}

}  // namespace controls

#pragma once

#include "controls/FormControl.h"
#include "controls/GdiCanvas.h"
#include "controls/GradientBar.h"

namespace controls {

/// TGradientBar on a form: windowless, painting into the form's area with
/// the form's paints and, for a position change, at once through a context
/// of the form's window.
class GradientBarControl : public FormControl, public ControlHost {
 public:
  GradientBarControl();

  TGradientBar& Bar() { return bar_; }

  void Create(HWND parent, int x, int y, int width, int height) override;
  std::string Text() const override;
  void SetPosition(int position) override { bar_.SetPosition(position); }
  void Move(int x, int y, int width, int height) override { bar_.SetBounds(x, y, width, height); }
  void SetDpi(int dpi) override { bar_.SetDpi(dpi); }
  void Paint(HDC dc) override;

  void Invalidate() override;
  void PaintNow() override;

 private:
  GdiGraphics graphics_;
  TGradientBar bar_;
  HWND parent_ = nullptr;
};

}  // namespace controls

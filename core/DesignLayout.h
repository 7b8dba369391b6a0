#pragma once

#include <functional>
#include <span>
#include <string_view>

#include "core/Ui.h"

namespace core {

/// The DPI the windows are designed at: Tahoma 8 on a display at 100 %. The
/// layout below is in pixels at this DPI; every other scale is derived from
/// it by ScaleToDpi, and nowhere else.
inline constexpr int kDesignDpi = 96;

/// A rectangle of a window's client area: its top left corner and its size.
struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const Bounds&) const = default;
};

/// The size a text needs.
struct TextSize {
  int width = 0;
  int height = 0;
  bool operator==(const TextSize&) const = default;
};

/// `value` pixels at 96 DPI as pixels at `dpi`: value × dpi / 96, rounded to
/// the nearest integer with halves away from zero, as Windows' MulDiv rounds
/// when it scales dialogs.
int ScaleToDpi(int value, int dpi);
/// Each edge scaled on its own, so that controls that touch at 96 DPI touch
/// at every scale, and none overlaps its neighbour by a rounding.
Bounds ScaleToDpi(const Bounds& bounds, int dpi);

/// A control of a window where it is designed to be, in pixels at 96 DPI.
/// The control "" is the window itself: its client area.
struct DesignPlace {
  WindowId window;
  std::string_view control;
  Bounds bounds;
};

/// Where every control of every window stands at 96 DPI, and the client size
/// of every window.
std::span<const DesignPlace> DesignLayout();

/// The designed bounds of a control, or of the window's client area for "";
/// raises std::logic_error when the layout does not place it.
Bounds DesignBoundsOf(WindowId window, std::string_view control);

/// The frame of the wizard pages at 96 DPI: the white header band at the top
/// and the button band at the bottom, each with its etched line.
inline constexpr int kHeaderBandHeight = 57;
inline constexpr int kButtonBandHeight = 36;
/// How close to the window's edge a control may grow to hold its text.
inline constexpr int kFitMargin = 8;

/// How a control's text is measured: for a width, the width and height it
/// needs there (a text that wraps needs fewer lines where it is wider).
using MeasureText = std::function<TextSize(int width)>;

/// Where a control goes so that its text is not cut: its bounds when the
/// text fits them; otherwise the narrowest widening up to the right edge of
/// `room` (the left edge when `growLeft`, as for right-aligned text) at
/// which it fits, and when even the whole room's width is not enough, that
/// width with the height the text needs there, as far down as `room` goes.
/// A control never shrinks below its bounds.
Bounds FitText(const Bounds& bounds, const Bounds& room, bool growLeft, const MeasureText& measure);

}  // namespace core

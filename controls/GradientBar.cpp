#include "controls/GradientBar.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <utility>

#include "core/DesignLayout.h"

namespace controls {

namespace {

// MulDiv of the Windows API for a positive divisor: the exact product,
// divided with rounding to the nearest integer, halves away from zero.
int64_t MulDiv(int64_t a, int64_t b, int64_t divisor) {
  const int64_t product = a * b;
  const int64_t half = divisor / 2;
  return product >= 0 ? (product + half) / divisor : (product - half) / divisor;
}

// A share of `total` in floating point, rounded to the nearest integer with
// ties to even. Far beyond any bitmap size the value is held, so that a Max
// lowered far below Position cannot overflow what is computed from it.
int64_t RoundedShare(double share, int total) {
  const double value = std::nearbyint(share * total);
  constexpr double kLimit = 1e15;
  if (value > kLimit)
    return static_cast<int64_t>(kLimit);
  if (value < -kLimit)
    return -static_cast<int64_t>(kLimit);
  return static_cast<int64_t>(value);
}

// A coordinate computed in 64 bits, held to what a drawing call can take.
int Clamped(int64_t value) {
  constexpr int64_t kLimit = 1 << 30;
  return static_cast<int>(value > kLimit ? kLimit : (value < -kLimit ? -kLimit : value));
}

}  // namespace

Color GradientColor(Color start, Color end, int index, int count) {
  if (index < 1 || index > count)
    throw std::out_of_range("Colour index out of range 1 to " + std::to_string(count));
  if (count == 1)
    return start;
  const auto channel = [&](uint8_t s, uint8_t e) {
    const int64_t value = s + MulDiv(index - 1, static_cast<int64_t>(e) - s, count - 1);
    return static_cast<uint8_t>(((value % 256) + 256) % 256);
  };
  return Rgb(channel(RedOf(start), RedOf(end)), channel(GreenOf(start), GreenOf(end)),
             channel(BlueOf(start), BlueOf(end)));
}

TGradientBar::TGradientBar(Graphics& graphics)
    : buffer_(graphics.NewBitmap()),
      fillCache_(graphics.NewBitmap()),
      picture_(graphics.NewBitmap()) {
  buffer_->SetFont(font_);
}

int TGradientBar::Line() const {
  return std::max(1, core::ScaleToDpi(1, dpi_));
}

void TGradientBar::Changed() {
  if (host_)
    host_->Invalidate();
}

void TGradientBar::SetBackgroundColor(Color value) {
  backgroundColor_ = value;
  Changed();
}

void TGradientBar::SetBarBitmap(const Bitmap& picture) {
  picture_->Resize(picture.Width(), picture.Height());
  if (!picture.Empty())
    picture_->Draw(0, 0, picture);
  Changed();
}

void TGradientBar::SetBarColor1(Color value) {
  barColor1_ = value;
  Changed();
}

void TGradientBar::SetBarColor2(Color value) {
  barColor2_ = value;
  Changed();
}

void TGradientBar::SetBarColor3(Color value) {
  barColor3_ = value;
  Changed();
}

void TGradientBar::SetBarColorStyle(TBarColorStyle value) {
  barColorStyle_ = value;
  Changed();
}

void TGradientBar::SetBorderColor1(Color value) {
  borderColor1_ = value;
  Changed();
}

void TGradientBar::SetBorderColor2(Color value) {
  borderColor2_ = value;
  Changed();
}

void TGradientBar::SetDirection(TProgressDirection value) {
  direction_ = value;
  Changed();
}

void TGradientBar::SetMax(int value) {
  max_ = value;
  Changed();
}

void TGradientBar::SetMin(int value) {
  min_ = value;
  Changed();
}

void TGradientBar::SetPercentage(bool value) {
  percentage_ = value;
  Changed();
}

void TGradientBar::SetPosition(int value) {
  if (value == position_ || value > max_ || value < min_)
    return;
  position_ = value;
  if (!host_)
    return;
  // The paint of a position change reuses the fill cache.
  struct CacheReuse {
    bool& flag;
    explicit CacheReuse(bool& f) : flag(f) { flag = false; }
    ~CacheReuse() { flag = true; }
  } reuse(cacheFlag_);
  host_->PaintNow();
}

void TGradientBar::SetPosTextPrefix(std::string value) {
  posTextPrefix_ = std::move(value);
  Changed();
}

void TGradientBar::SetPosTextSuffix(std::string value) {
  posTextSuffix_ = std::move(value);
  Changed();
}

void TGradientBar::SetShowBlocks(bool value) {
  showBlocks_ = value;
  Changed();
}

void TGradientBar::SetShowBorder(bool value) {
  showBorder_ = value;
  Changed();
}

void TGradientBar::SetShowPosText(bool value) {
  showPosText_ = value;
  Changed();
}

void TGradientBar::SetFont(const controls::Font& font) {
  font_ = font;
  font_.dpi = dpi_;
  buffer_->SetFont(font_);
  Changed();
}

void TGradientBar::SetDpi(int dpi) {
  dpi_ = dpi;
  font_.dpi = dpi;
  buffer_->SetFont(font_);
  Changed();
}

void TGradientBar::SetVisible(bool value) {
  visible_ = value;
  Changed();
}

void TGradientBar::SetBounds(int left, int top, int width, int height) {
  // The old area needs repainting as well as the new one.
  Changed();
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

bool TGradientBar::Horizontal() const {
  return direction_ == TProgressDirection::pdLeftToRight ||
         direction_ == TProgressDirection::pdRightToLeft;
}

void TGradientBar::Paint(Canvas& target) {
  buffer_->Resize(width_, height_);
  DrawBar();
  if (showBorder_)
    DrawBorder();
  if (showPosText_)
    DrawPosText();
  target.Draw(0, 0, *buffer_);
}

void TGradientBar::DrawBar() {
  const int w = width_;
  const int h = height_;
  // A cache that was never built, or built for another size, is rebuilt even
  // for a position change: it would leave part of the bar unpainted.
  const bool rebuild = cacheFlag_ || fillCache_->Width() != w || fillCache_->Height() != h;
  if (!picture_->Empty()) {
    if (rebuild) {
      fillCache_->Resize(w, h);
      TilePicture();
    }
    buffer_->Draw(0, 0, *fillCache_);
  } else if (barColorStyle_ == TBarColorStyle::cs1Color) {
    buffer_->SetBrush(barColor1_);
    buffer_->FillRect(0, 0, w, h);
  } else {
    if (rebuild) {
      fillCache_->Resize(w, h);
      DrawGradient();
    }
    buffer_->Draw(0, 0, *fillCache_);
  }

  const int border = showBorder_ ? Line() : 0;
  const int left = border;
  const int top = border;
  const int right = w - border;
  const int bottom = h - border;
  const int length = (Horizontal() ? w : h) - 2 * border;

  int64_t filled = 0;
  if (min_ < position_ && max_ != min_) {
    const double span = std::abs(static_cast<double>(max_) - static_cast<double>(min_));
    filled = RoundedShare((static_cast<double>(position_) - min_) / span, length);
  }

  // Blocks need a cross size above two lines; below that the bar is drawn
  // without them.
  const int block = (Horizontal() ? h : w) - 2 * Line();
  if (showBlocks_ && block > 0) {
    const int64_t whole = filled / block;
    filled = (2 * (filled % block) >= block ? whole + 1 : whole) * block;
    DrawSeparators(left, top, right, bottom, block);
  }

  const int64_t unfilled = length - filled;
  if (unfilled <= 0)
    return;
  const int u = Clamped(unfilled);
  buffer_->SetBrush(backgroundColor_);
  switch (direction_) {
    case TProgressDirection::pdLeftToRight:
      buffer_->FillRect(right - u, top, right, bottom);
      break;
    case TProgressDirection::pdRightToLeft:
      buffer_->FillRect(left, top, left + u, bottom);
      break;
    case TProgressDirection::pdTopToBottom:
      buffer_->FillRect(left, bottom - u, right, bottom);
      break;
    case TProgressDirection::pdBottomToTop:
      buffer_->FillRect(left, top, right, top + u);
      break;
  }
}

void TGradientBar::DrawSeparators(int left, int top, int right, int bottom, int block) {
  buffer_->SetPen(backgroundColor_);
  buffer_->SetClearBrush();
  const int line = Line();
  // The outline of the inner area, as a rectangle outline is drawn: its right
  // column and bottom row lie inside; one outline inside the other for each
  // pixel of its thickness.
  for (int k = 0; k < line; ++k) {
    buffer_->MoveTo(left + k, top + k);
    buffer_->LineTo(right - 1 - k, top + k);
    buffer_->LineTo(right - 1 - k, bottom - 1 - k);
    buffer_->LineTo(left + k, bottom - 1 - k);
    buffer_->LineTo(left + k, top + k);
  }
  // A separator is two lines, at the block's edge and before it.
  const auto vertical = [&](int x) {
    for (int k = 0; k < line; ++k) {
      buffer_->MoveTo(x + k, top);
      buffer_->LineTo(x + k, bottom);
      buffer_->MoveTo(x - 1 - k, top);
      buffer_->LineTo(x - 1 - k, bottom);
    }
  };
  const auto horizontal = [&](int y) {
    for (int k = 0; k < line; ++k) {
      buffer_->MoveTo(left, y + k);
      buffer_->LineTo(right, y + k);
      buffer_->MoveTo(left, y - 1 - k);
      buffer_->LineTo(right, y - 1 - k);
    }
  };
  switch (direction_) {
    case TProgressDirection::pdLeftToRight:
      for (int x = left; x < right;) {
        x += block;
        vertical(x);
      }
      break;
    case TProgressDirection::pdRightToLeft:
      for (int x = right; x > left;) {
        x -= block;
        vertical(x);
      }
      break;
    case TProgressDirection::pdTopToBottom:
      for (int y = top; y < bottom;) {
        y += block;
        horizontal(y);
      }
      break;
    case TProgressDirection::pdBottomToTop:
      for (int y = bottom; y > top;) {
        y -= block;
        horizontal(y);
      }
      break;
  }
}

void TGradientBar::DrawBorder() {
  const int w = width_;
  const int h = height_;
  const int line = Line();
  // The top and left lines in the first colour; the bottom and right lines,
  // drawn after them, in the second, which so owns the top right and the
  // bottom left corner.
  buffer_->SetBrush(borderColor1_);
  buffer_->FillRect(0, 0, w - line, line);
  buffer_->FillRect(0, 0, line, h - line);
  buffer_->SetBrush(borderColor2_);
  buffer_->FillRect(0, h - line, w, h);
  buffer_->FillRect(w - line, 0, w, h);
}

void TGradientBar::DrawPosText() {
  int64_t number = position_;
  if (percentage_) {
    // A percentage of a Max of 0 has no value; the text shows 0 then.
    number = max_ == 0 ? 0 : RoundedShare(static_cast<double>(position_) / max_, 100);
  }
  const std::string text = posTextPrefix_ + std::to_string(number) + posTextSuffix_;
  buffer_->SetClearBrush();
  const Extent extent = buffer_->TextExtent(text);
  buffer_->TextOut(width_ / 2 - extent.width / 2, height_ / 2 - extent.height / 2, text);
}

void TGradientBar::TilePicture() {
  const int pw = picture_->Width();
  const int ph = picture_->Height();
  for (int row = 0; row <= height_ / ph; ++row) {
    for (int column = 0; column <= width_ / pw; ++column)
      fillCache_->Draw(column * pw, row * ph, *picture_);
  }
}

void TGradientBar::DrawGradient() {
  const int cw = fillCache_->Width();
  const int ch = fillCache_->Height();
  const bool horizontal = Horizontal();
  const bool fromStart = direction_ == TProgressDirection::pdLeftToRight ||
                         direction_ == TProgressDirection::pdTopToBottom;
  const bool three = barColorStyle_ == TBarColorStyle::cs3Colors;
  const int total = horizontal ? cw : ch;
  const int first = three ? total / 2 : total;

  const auto line = [&](int at, Color color) {
    fillCache_->SetPen(color);
    if (horizontal) {
      fillCache_->MoveTo(at, 0);
      fillCache_->LineTo(at, ch);
    } else {
      fillCache_->MoveTo(0, at);
      fillCache_->LineTo(cw, at);
    }
  };
  const auto run = [&](int offset, int count, Color start, Color end) {
    const Color s = fillCache_->ToRgb(start);
    const Color e = fillCache_->ToRgb(end);
    for (int k = 1; k <= count; ++k)
      line(offset + k - 1, GradientColor(s, e, k, count));
  };

  if (fromStart) {
    run(0, first, barColor1_, barColor2_);
  } else if (three) {
    run(0, first, barColor3_, barColor2_);
  } else {
    run(0, first, barColor2_, barColor1_);
  }
  if (three)
    run(first, total - first, barColor2_, fromStart ? barColor3_ : barColor1_);
}

}  // namespace controls

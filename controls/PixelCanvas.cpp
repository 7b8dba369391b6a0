#include "controls/PixelCanvas.h"

#include "core/DesignLayout.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace controls {

PixelBitmap::PixelBitmap(int width, int height, Color fill) {
  Resize(width, height);
  std::fill(pixels_.begin(), pixels_.end(), ToRgb(fill));
}

Color PixelBitmap::ToRgb(Color color) const {
  if (!(color & kSystemColorFlag))
    return color & 0xFFFFFF;
  const auto found = systemColors.find(static_cast<int>(color & 0xFF));
  return found == systemColors.end() ? 0 : found->second;
}

void PixelBitmap::SetBrush(Color color) {
  brush_ = ToRgb(color);
  clearBrush_ = false;
}

void PixelBitmap::Resize(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
  texts_.clear();
}

void PixelBitmap::Plot(int x, int y, Color color) {
  if (x >= 0 && y >= 0 && x < width_ && y < height_)
    pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)] = color;
}

Color PixelBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_)
    throw std::out_of_range("pixel outside the bitmap");
  return pixels_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
}

void PixelBitmap::SetPixel(int x, int y, Color color) {
  Plot(x, y, ToRgb(color));
}

void PixelBitmap::FillRect(int left, int top, int right, int bottom) {
  if (clearBrush_)
    return;
  for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, width_); ++x)
      Plot(x, y, brush_);
  }
}

void PixelBitmap::LineTo(int x, int y) {
  if (x != current_.x && y != current_.y)
    throw std::logic_error("the pixel canvas draws horizontal and vertical lines only");
  const int dx = x > current_.x ? 1 : (x < current_.x ? -1 : 0);
  const int dy = y > current_.y ? 1 : (y < current_.y ? -1 : 0);
  for (Point p = current_; p.x != x || p.y != y; p.x += dx, p.y += dy)
    Plot(p.x, p.y, pen_);
  current_ = {x, y};
}

Extent PixelBitmap::TextExtent(std::string_view text) {
  const int charWidth = core::ScaleToDpi(font_.points - 2 + (font_.bold ? 1 : 0), font_.dpi);
  return {static_cast<int>(text.size()) * charWidth, core::ScaleToDpi(font_.points + 5, font_.dpi)};
}

void PixelBitmap::TextOut(int x, int y, std::string_view text) {
  if (!clearBrush_) {
    const Extent extent = TextExtent(text);
    FillRect(x, y, x + extent.width, y + extent.height);
  }
  texts_.push_back({x, y, std::string(text), font_, clearBrush_});
}

void PixelBitmap::Draw(int x, int y, const Bitmap& source) {
  const auto* pixels = dynamic_cast<const PixelBitmap*>(&source);
  if (!pixels)
    throw std::invalid_argument("a pixel bitmap copies only pixel bitmaps");
  for (int sy = 0; sy < pixels->height_; ++sy) {
    for (int sx = 0; sx < pixels->width_; ++sx)
      Plot(x + sx, y + sy, pixels->Pixel(sx, sy));
  }
  for (TextRecord text : pixels->texts_) {
    text.x += x;
    text.y += y;
    texts_.push_back(std::move(text));
  }
}

}  // namespace controls

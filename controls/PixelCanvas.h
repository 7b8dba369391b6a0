#pragma once

#include <map>
#include <string>
#include <vector>

#include "controls/Canvas.h"

namespace controls {

/// A bitmap in memory, for checking drawings pixel by pixel. Pixels hold RGB
/// colours; drawing outside the bitmap is clipped. Lines may only be
/// horizontal or vertical. Text is not rendered but recorded (and copied
/// along with the pixels it was drawn on); at 96 DPI every character
/// measures (points - 2) by (points + 5) pixels, one pixel wider in bold,
/// and at other DPIs those sizes scaled.
class PixelBitmap : public Bitmap {
 public:
  struct TextRecord {
    int x = 0;
    int y = 0;
    std::string text;
    Font font;
    bool clearBrush = false;
  };

  PixelBitmap() = default;
  PixelBitmap(int width, int height, Color fill);

  Color ToRgb(Color color) const override;
  void SetPen(Color color) override { pen_ = ToRgb(color); }
  void SetBrush(Color color) override;
  void SetClearBrush() override { clearBrush_ = true; }
  void SetFont(const Font& font) override { font_ = font; }
  void FillRect(int left, int top, int right, int bottom) override;
  void MoveTo(int x, int y) override { current_ = {x, y}; }
  void LineTo(int x, int y) override;
  Extent TextExtent(std::string_view text) override;
  void TextOut(int x, int y, std::string_view text) override;
  void Draw(int x, int y, const Bitmap& source) override;

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Resize(int width, int height) override;

  /// The colour at (x, y), which must lie inside the bitmap.
  Color Pixel(int x, int y) const;
  void SetPixel(int x, int y, Color color);
  /// The texts drawn so far, in order.
  const std::vector<TextRecord>& Texts() const { return texts_; }
  const Font& CurrentFont() const { return font_; }

  /// RGB values of the system colours by index; an index missing here draws
  /// black.
  std::map<int, Color> systemColors = {
      {8, Rgb(0, 0, 0)},
      {15, Rgb(240, 240, 240)},
      {16, Rgb(160, 160, 160)},
      {20, Rgb(255, 255, 255)},
  };

 private:
  void Plot(int x, int y, Color color);

  int width_ = 0;
  int height_ = 0;
  std::vector<Color> pixels_;
  Color pen_ = 0;
  Color brush_ = Rgb(255, 255, 255);
  bool clearBrush_ = false;
  Font font_;
  Point current_;
  std::vector<TextRecord> texts_;
};

/// Makes PixelBitmaps.
class PixelGraphics : public Graphics {
 public:
  std::unique_ptr<Bitmap> NewBitmap() override { return std::make_unique<PixelBitmap>(); }
};

}  // namespace controls

#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace controls {

/// A toolkit colour: red in the lowest byte, then green, then blue. A value
/// with the top bit set names a system colour (its low byte is the system
/// colour index) and becomes RGB only when it is drawn.
using Color = uint32_t;

inline constexpr Color kSystemColorFlag = 0x80000000u;

inline constexpr Color Rgb(uint8_t red, uint8_t green, uint8_t blue) {
  return red | (static_cast<Color>(green) << 8) | (static_cast<Color>(blue) << 16);
}
inline constexpr uint8_t RedOf(Color c) {
  return static_cast<uint8_t>(c & 0xFF);
}
inline constexpr uint8_t GreenOf(Color c) {
  return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline constexpr uint8_t BlueOf(Color c) {
  return static_cast<uint8_t>((c >> 16) & 0xFF);
}

inline constexpr Color clBtnFace = kSystemColorFlag | 15;
inline constexpr Color clBtnShadow = kSystemColorFlag | 16;
inline constexpr Color clBtnHighlight = kSystemColorFlag | 20;
inline constexpr Color clWindowText = kSystemColorFlag | 8;
inline constexpr Color clGreen = Rgb(0, 128, 0);
inline constexpr Color clYellow = Rgb(255, 255, 0);
inline constexpr Color clRed = Rgb(255, 0, 0);
inline constexpr Color clGray = Rgb(128, 128, 128);

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Extent {
  int width = 0;
  int height = 0;
  bool operator==(const Extent&) const = default;
};

/// A text font as the controls describe it. Its size is in points; how many
/// pixels they are depends on the DPI the text is drawn at.
struct Font {
  std::string name = "Tahoma";
  int points = 8;
  bool bold = false;
  Color color = clWindowText;
  int dpi = 96;
  bool operator==(const Font&) const = default;
};

class Bitmap;

/// Something to draw on. Rectangles are half-open: their right column and
/// bottom row are not painted; a rectangle with no width or height paints
/// nothing. A line does not paint its end point.
class Canvas {
 public:
  virtual ~Canvas() = default;

  /// The RGB value of a colour, system colours resolved.
  virtual Color ToRgb(Color color) const = 0;

  virtual void SetPen(Color color) = 0;
  virtual void SetBrush(Color color) = 0;
  /// Rectangle fills paint nothing and text is drawn without background.
  virtual void SetClearBrush() = 0;
  virtual void SetFont(const Font& font) = 0;

  /// Fills (left, top)-(right, bottom) with the brush.
  virtual void FillRect(int left, int top, int right, int bottom) = 0;
  virtual void MoveTo(int x, int y) = 0;
  /// A line with the pen from the current point to (x, y), which becomes the
  /// current point.
  virtual void LineTo(int x, int y) = 0;

  /// The size of `text` in the current font.
  virtual Extent TextExtent(std::string_view text) = 0;
  /// Draws `text` with its top left corner at (x, y), on the brush's colour
  /// unless the brush is clear.
  virtual void TextOut(int x, int y, std::string_view text) = 0;

  /// Copies the whole of `source` with its top left corner at (x, y).
  virtual void Draw(int x, int y, const Bitmap& source) = 0;
};

/// An off-screen picture with a canvas of its own.
class Bitmap : public Canvas {
 public:
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  /// Gives the bitmap a new size; its content is then undefined.
  virtual void Resize(int width, int height) = 0;
  bool Empty() const { return Width() <= 0 || Height() <= 0; }
};

/// Makes bitmaps of one kind (GDI, or pixels in memory).
class Graphics {
 public:
  virtual ~Graphics() = default;
  /// A new bitmap of no size.
  virtual std::unique_ptr<Bitmap> NewBitmap() = 0;
};

}  // namespace controls

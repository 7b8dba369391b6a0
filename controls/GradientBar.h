#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "controls/Canvas.h"
#include "controls/Control.h"

namespace controls {

enum class TProgressDirection { pdLeftToRight, pdRightToLeft, pdBottomToTop, pdTopToBottom };
enum class TBarColorStyle { cs1Color, cs2Colors, cs3Colors };

/// The colour of line `index` (1 to `count`) of a gradient run from `start`
/// to `end` (both RGB): each channel moves by MulDiv(index - 1, end - start,
/// count - 1), taken modulo 256. A run of one line has the start colour.
/// Throws std::out_of_range for an index outside 1 to `count`.
Color GradientColor(Color start, Color end, int index, int count);

/// The program's own progress bar: a windowless control that paints into its
/// parent. Every paint is composed in an off-screen buffer and copied in one
/// step; the gradient or tiled picture is kept in a fill cache that a
/// position change reuses, so that the bar can move many times a second.
class TGradientBar {
 public:
  explicit TGradientBar(Graphics& graphics);
  TGradientBar(const TGradientBar&) = delete;
  TGradientBar& operator=(const TGradientBar&) = delete;

  /// The parent that repaints the bar; without one, nothing is painted.
  void SetHost(ControlHost* host) { host_ = host; }

  Color BackgroundColor() const { return backgroundColor_; }
  void SetBackgroundColor(Color value);
  /// The bar's own copy of the picture; empty when there is none.
  const Bitmap& BarBitmap() const { return *picture_; }
  /// Copies `picture` (an empty one removes the picture).
  void SetBarBitmap(const Bitmap& picture);
  Color BarColor1() const { return barColor1_; }
  void SetBarColor1(Color value);
  Color BarColor2() const { return barColor2_; }
  void SetBarColor2(Color value);
  Color BarColor3() const { return barColor3_; }
  void SetBarColor3(Color value);
  TBarColorStyle BarColorStyle() const { return barColorStyle_; }
  void SetBarColorStyle(TBarColorStyle value);
  Color BorderColor1() const { return borderColor1_; }
  void SetBorderColor1(Color value);
  Color BorderColor2() const { return borderColor2_; }
  void SetBorderColor2(Color value);
  TProgressDirection Direction() const { return direction_; }
  void SetDirection(TProgressDirection value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Min() const { return min_; }
  void SetMin(int value);
  bool Percentage() const { return percentage_; }
  void SetPercentage(bool value);
  int Position() const { return position_; }
  /// Ignored for the current value and for values outside Min to Max;
  /// otherwise paints at once, reusing the fill cache.
  void SetPosition(int value);
  const std::string& PosTextPrefix() const { return posTextPrefix_; }
  void SetPosTextPrefix(std::string value);
  const std::string& PosTextSuffix() const { return posTextSuffix_; }
  void SetPosTextSuffix(std::string value);
  bool ShowBlocks() const { return showBlocks_; }
  void SetShowBlocks(bool value);
  bool ShowBorder() const { return showBorder_; }
  void SetShowBorder(bool value);
  bool ShowPosText() const { return showPosText_; }
  void SetShowPosText(bool value);

  const controls::Font& Font() const { return font_; }
  /// A new font, taken into the buffer as well.
  void SetFont(const controls::Font& font);
  /// The DPI of the window the bar is on. The bar's geometry is designed in
  /// pixels at 96 DPI: the border, the inner outline and the block
  /// separators are as many pixels thick as one pixel scales to, and the
  /// font's points become pixels at this DPI. Its bounds are given at this
  /// DPI already.
  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);

  /// Draws the whole bar onto `target`, the control's area with its origin
  /// at the control's top left corner.
  void Paint(Canvas& target);

 private:
  bool Horizontal() const;
  /// How many pixels one pixel of the design is at the bar's DPI.
  int Line() const;
  void Changed();
  void DrawBar();
  void DrawBorder();
  void DrawPosText();
  void TilePicture();
  void DrawGradient();
  void DrawSeparators(int left, int top, int right, int bottom, int block);

  ControlHost* host_ = nullptr;
  std::unique_ptr<Bitmap> buffer_;
  std::unique_ptr<Bitmap> fillCache_;
  std::unique_ptr<Bitmap> picture_;
  bool cacheFlag_ = true;

  Color backgroundColor_ = clBtnFace;
  Color barColor1_ = clGreen;
  Color barColor2_ = clYellow;
  Color barColor3_ = clRed;
  TBarColorStyle barColorStyle_ = TBarColorStyle::cs3Colors;
  Color borderColor1_ = clBtnShadow;
  Color borderColor2_ = clBtnHighlight;
  TProgressDirection direction_ = TProgressDirection::pdLeftToRight;
  int max_ = 100;
  int min_ = 0;
  bool percentage_ = false;
  int position_ = 0;
  std::string posTextPrefix_;
  std::string posTextSuffix_;
  bool showBlocks_ = false;
  bool showBorder_ = true;
  bool showPosText_ = true;

  controls::Font font_;
  int dpi_ = 96;
  bool visible_ = true;
  int left_ = 0;
  int top_ = 0;
  int width_ = 200;
  int height_ = 20;
};

}  // namespace controls

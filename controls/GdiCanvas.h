#pragma once

#include <windows.h>

#include <memory>

#include "controls/Canvas.h"

namespace controls {

/// The drawing state of one device context: the pen, brush and font it
/// draws with, created as they are set and freed with it. Text needs a font
/// set first.
class GdiPainter {
 public:
  GdiPainter() = default;
  ~GdiPainter();
  GdiPainter(const GdiPainter&) = delete;
  GdiPainter& operator=(const GdiPainter&) = delete;

  /// Draws on `dc` with (x, y) at (originX, originY) of the context.
  void Attach(HDC dc, int originX, int originY);
  static Color ToRgb(Color color);
  void SetPen(Color color);
  void SetBrush(Color color);
  void SetClearBrush() { clear_ = true; }
  void SetFont(const Font& font);
  void FillRect(int left, int top, int right, int bottom);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  Extent TextExtent(std::string_view text);
  void TextOut(int x, int y, std::string_view text);
  void Draw(int x, int y, const Bitmap& source);

 private:
  HDC dc_ = nullptr;
  int originX_ = 0;
  int originY_ = 0;
  HPEN pen_ = nullptr;
  COLORREF brushColor_ = 0;
  bool clear_ = false;
  Font font_;
  HFONT hfont_ = nullptr;
  HGDIOBJ oldPen_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
};

/// A window's device context as a canvas, with its origin moved to a
/// control's top left corner. The context stays the caller's.
class GdiCanvas : public Canvas {
 public:
  GdiCanvas(HDC dc, int originX, int originY) { painter_.Attach(dc, originX, originY); }

  Color ToRgb(Color color) const override { return GdiPainter::ToRgb(color); }
  void SetPen(Color color) override { painter_.SetPen(color); }
  void SetBrush(Color color) override { painter_.SetBrush(color); }
  void SetClearBrush() override { painter_.SetClearBrush(); }
  void SetFont(const Font& font) override { painter_.SetFont(font); }
  void FillRect(int l, int t, int r, int b) override { painter_.FillRect(l, t, r, b); }
  void MoveTo(int x, int y) override { painter_.MoveTo(x, y); }
  void LineTo(int x, int y) override { painter_.LineTo(x, y); }
  Extent TextExtent(std::string_view text) override { return painter_.TextExtent(text); }
  void TextOut(int x, int y, std::string_view text) override { painter_.TextOut(x, y, text); }
  void Draw(int x, int y, const Bitmap& source) override { painter_.Draw(x, y, source); }

 private:
  GdiPainter painter_;
};

/// An off-screen GDI bitmap in a memory context compatible with the screen.
class GdiBitmap : public Bitmap {
 public:
  GdiBitmap();
  ~GdiBitmap() override;
  GdiBitmap(const GdiBitmap&) = delete;
  GdiBitmap& operator=(const GdiBitmap&) = delete;

  HDC Dc() const { return dc_; }

  Color ToRgb(Color color) const override { return GdiPainter::ToRgb(color); }
  void SetPen(Color color) override { painter_->SetPen(color); }
  void SetBrush(Color color) override { painter_->SetBrush(color); }
  void SetClearBrush() override { painter_->SetClearBrush(); }
  void SetFont(const Font& font) override { painter_->SetFont(font); }
  void FillRect(int l, int t, int r, int b) override { painter_->FillRect(l, t, r, b); }
  void MoveTo(int x, int y) override { painter_->MoveTo(x, y); }
  void LineTo(int x, int y) override { painter_->LineTo(x, y); }
  Extent TextExtent(std::string_view text) override { return painter_->TextExtent(text); }
  void TextOut(int x, int y, std::string_view text) override { painter_->TextOut(x, y, text); }
  void Draw(int x, int y, const Bitmap& source) override { painter_->Draw(x, y, source); }

  int Width() const override { return width_; }
  int Height() const override { return height_; }
  void Resize(int width, int height) override;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  std::unique_ptr<GdiPainter> painter_;
};

/// Makes GdiBitmaps.
class GdiGraphics : public Graphics {
 public:
  std::unique_ptr<Bitmap> NewBitmap() override { return std::make_unique<GdiBitmap>(); }
};

}  // namespace controls

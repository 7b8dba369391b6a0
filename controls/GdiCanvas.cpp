#include "controls/GdiCanvas.h"

#include <stdexcept>

#include "platform/win32/Utf16.h"

namespace controls {

using platform::win32::Widen;

GdiPainter::~GdiPainter() {
  if (dc_) {
    if (oldPen_)
      SelectObject(dc_, oldPen_);
    if (oldFont_)
      SelectObject(dc_, oldFont_);
  }
  if (pen_)
    DeleteObject(pen_);
  if (hfont_)
    DeleteObject(hfont_);
}

void GdiPainter::Attach(HDC dc, int originX, int originY) {
  dc_ = dc;
  originX_ = originX;
  originY_ = originY;
}

Color GdiPainter::ToRgb(Color color) {
  if (color & kSystemColorFlag)
    return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0xFFFFFF;
}

void GdiPainter::SetPen(Color color) {
  HPEN pen = CreatePen(PS_SOLID, 1, ToRgb(color));
  HGDIOBJ previous = SelectObject(dc_, pen);
  if (!oldPen_)
    oldPen_ = previous;
  if (pen_)
    DeleteObject(pen_);
  pen_ = pen;
}

void GdiPainter::SetBrush(Color color) {
  brushColor_ = ToRgb(color);
  clear_ = false;
}

void GdiPainter::SetFont(const Font& font) {
  font_ = font;
  const int height = -MulDiv(font.points, font.dpi, 72);
  HFONT created =
      CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                  DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, Widen(font.name).c_str());
  HGDIOBJ previous = SelectObject(dc_, created);
  if (!oldFont_)
    oldFont_ = previous;
  if (hfont_)
    DeleteObject(hfont_);
  hfont_ = created;
}

void GdiPainter::FillRect(int left, int top, int right, int bottom) {
  if (clear_ || right <= left || bottom <= top)
    return;
  RECT rect = {left + originX_, top + originY_, right + originX_, bottom + originY_};
  HBRUSH brush = CreateSolidBrush(brushColor_);
  ::FillRect(dc_, &rect, brush);
  DeleteObject(brush);
}

void GdiPainter::MoveTo(int x, int y) {
  MoveToEx(dc_, x + originX_, y + originY_, nullptr);
}

void GdiPainter::LineTo(int x, int y) {
  ::LineTo(dc_, x + originX_, y + originY_);
}

Extent GdiPainter::TextExtent(std::string_view text) {
  const std::wstring wide = Widen(text);
  SIZE size = {};
  GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return {size.cx, size.cy};
}

void GdiPainter::TextOut(int x, int y, std::string_view text) {
  const std::wstring wide = Widen(text);
  SetTextColor(dc_, ToRgb(font_.color));
  SetBkMode(dc_, clear_ ? TRANSPARENT : OPAQUE);
  SetBkColor(dc_, brushColor_);
  ::TextOutW(dc_, x + originX_, y + originY_, wide.c_str(), static_cast<int>(wide.size()));
}

void GdiPainter::Draw(int x, int y, const Bitmap& source) {
  const auto* gdi = dynamic_cast<const GdiBitmap*>(&source);
  if (!gdi)
    throw std::invalid_argument("a GDI canvas copies only GDI bitmaps");
  BitBlt(dc_, x + originX_, y + originY_, gdi->Width(), gdi->Height(), gdi->Dc(), 0, 0, SRCCOPY);
}

GdiBitmap::GdiBitmap() {
  dc_ = CreateCompatibleDC(nullptr);
  Resize(0, 0);
}

GdiBitmap::~GdiBitmap() {
  painter_.reset();
  if (oldBitmap_)
    SelectObject(dc_, oldBitmap_);
  if (bitmap_)
    DeleteObject(bitmap_);
  DeleteDC(dc_);
}

void GdiBitmap::Resize(int width, int height) {
  width_ = width > 0 ? width : 0;
  height_ = height > 0 ? height : 0;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap =
      CreateCompatibleBitmap(screen, width_ > 0 ? width_ : 1, height_ > 0 ? height_ : 1);
  ReleaseDC(nullptr, screen);
  HGDIOBJ previous = SelectObject(dc_, bitmap);
  if (!oldBitmap_)
    oldBitmap_ = previous;
  if (bitmap_)
    DeleteObject(bitmap_);
  bitmap_ = bitmap;
  // Pen and font stay selected in the context across bitmaps.
  if (!painter_) {
    painter_ = std::make_unique<GdiPainter>();
    painter_->Attach(dc_, 0, 0);
  }
}

}  // namespace controls

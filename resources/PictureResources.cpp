#include "resources/PictureResources.h"

#include <cstring>

#include "resources/Pictures.h"

namespace resources {

std::span<const uint8_t> PictureBytes(int resourceId) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
  if (info == nullptr) {
    return {};
  }
  const DWORD size = SizeofResource(module, info);
  HGLOBAL handle = LoadResource(module, info);
  if (handle == nullptr || size == 0) {
    return {};
  }
  // Resource memory belongs to the loaded image; it is never freed or unlocked.
  const void* data = LockResource(handle);
  if (data == nullptr) {
    return {};
  }
  return {static_cast<const uint8_t*>(data), size};
}

HBITMAP LoadPictureBitmap(int resourceId) {
  const std::optional<Picture> picture = DecodeJpeg(PictureBytes(resourceId));
  if (!picture) {
    return nullptr;
  }

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = picture->width;
  // A negative height makes the rows run top-down, as the decoder delivers them.
  info.bmiHeader.biHeight = -picture->height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;

  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    return nullptr;
  }
  std::memcpy(bits, picture->bgra.data(), picture->bgra.size());
  return bitmap;
}

}  // namespace resources

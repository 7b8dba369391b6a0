#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

namespace resources {

/// The bytes of the RCDATA resource `resourceId` of the running program; they
/// stay valid as long as the program runs. An empty span when the program has
/// no such resource or it cannot be loaded.
std::span<const uint8_t> PictureBytes(int resourceId);

/// Decodes the JPEG stored as RCDATA `resourceId` into a new 32-bit top-down
/// DIB section that the caller owns (DeleteObject). nullptr when the resource
/// is missing, is not a decodable JPEG, or the bitmap cannot be created.
HBITMAP LoadPictureBitmap(int resourceId);

}  // namespace resources

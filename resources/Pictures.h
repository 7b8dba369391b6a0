#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace resources {

/// A decoded picture: rows from top to bottom, 4 bytes per pixel in the order
/// blue, green, red, alpha, so that it maps straight onto a 32-bit DIB.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bgra;
};

/// Decodes a baseline or progressive JPEG. Alpha is 255 everywhere. Returns
/// nullopt when the bytes are empty, not a JPEG, truncated or otherwise broken.
std::optional<Picture> DecodeJpeg(std::span<const uint8_t> bytes);

}  // namespace resources

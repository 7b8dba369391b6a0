#include "resources/Pictures.h"

#include <climits>
#include <memory>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_NO_STDIO
#include <stb_image.h>

namespace resources {

namespace {

struct StbFree {
  void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

}  // namespace

std::optional<Picture> DecodeJpeg(std::span<const uint8_t> bytes) {
  // stb_image takes the length as an int.
  if (bytes.empty() || bytes.size() > static_cast<size_t>(INT_MAX)) {
    return std::nullopt;
  }
  int width = 0;
  int height = 0;
  int channelsInFile = 0;
  std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(
      bytes.data(), static_cast<int>(bytes.size()), &width, &height, &channelsInFile, 4));
  if (!rgba || width <= 0 || height <= 0) {
    return std::nullopt;
  }

  Picture picture;
  picture.width = width;
  picture.height = height;
  const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
  picture.bgra.resize(pixelCount * 4);
  const stbi_uc* in = rgba.get();
  uint8_t* out = picture.bgra.data();
  for (size_t i = 0; i < pixelCount; ++i, in += 4, out += 4) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
    out[3] = in[3];
  }
  return picture;
}

}  // namespace resources

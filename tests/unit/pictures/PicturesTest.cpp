#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "resources/Pictures.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadPicture(const std::string& name) {
  std::ifstream in(std::string(PICTURES_DIR) + "/" + name, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot open " << name;
    return {};
  }
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

struct RgbImage {
  int width = 0;
  int height = 0;
  Bytes rgb;
};

struct JpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

void OnJpegError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// The reference decode: IJG libjpeg, which shares no code with stb_image.
std::optional<RgbImage> DecodeWithLibjpeg(const Bytes& bytes) {
  jpeg_decompress_struct info{};
  JpegErrors errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = OnJpegError;
  RgbImage image;
  if (setjmp(errors.jump) != 0) {
    jpeg_destroy_decompress(&info);
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  image.width = static_cast<int>(info.output_width);
  image.height = static_cast<int>(info.output_height);
  const size_t stride = static_cast<size_t>(image.width) * 3;
  image.rgb.resize(stride * static_cast<size_t>(image.height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.rgb.data() + stride * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return image;
}

struct Difference {
  int max = 0;
  double mean = 0;
};

// Per-channel difference between a BGRA decode and an RGB reference of the
// same size.
Difference Compare(const resources::Picture& picture, const RgbImage& reference) {
  Difference d;
  long sum = 0;
  const size_t pixels = reference.rgb.size() / 3;
  for (size_t i = 0; i < pixels; ++i) {
    for (int c = 0; c < 3; ++c) {
      const int ours = picture.bgra[i * 4 + 2 - c];
      const int theirs = reference.rgb[i * 3 + c];
      const int diff = std::abs(ours - theirs);
      d.max = std::max(d.max, diff);
      sum += diff;
    }
  }
  d.mean = static_cast<double>(sum) / static_cast<double>(pixels * 3);
  return d;
}

// The two decoders round their inverse DCTs differently: on these pictures
// they are at most 2 levels apart, 0.02 on average. Swapped red and blue or
// upside-down rows put them 170 levels apart at worst and 13 on average.
constexpr int kMaxDifference = 8;
constexpr double kMeanDifference = 1.0;

struct ShippedPicture {
  const char* file;
  int width;
  int height;
};

// Where the entropy-coded data begins: just past the start-of-scan header.
size_t ScanDataOffset(const Bytes& bytes) {
  for (size_t i = 0; i + 3 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xDA) {
      return i + 2 + (size_t{bytes[i + 2]} << 8 | bytes[i + 3]);
    }
  }
  return bytes.size();
}

class ShippedPictureTest : public testing::TestWithParam<ShippedPicture> {};

TEST_P(ShippedPictureTest, DecodesToTheSizeItsWindowShowsAndMatchesLibjpeg) {
  const ShippedPicture& expected = GetParam();
  const Bytes bytes = ReadPicture(expected.file);

  const std::optional<resources::Picture> picture = resources::DecodeJpeg(bytes);
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(picture->width, expected.width);
  EXPECT_EQ(picture->height, expected.height);
  ASSERT_EQ(picture->bgra.size(), static_cast<size_t>(expected.width) * expected.height * 4);

  const std::optional<RgbImage> reference = DecodeWithLibjpeg(bytes);
  ASSERT_TRUE(reference.has_value());
  ASSERT_EQ(reference->width, picture->width);
  ASSERT_EQ(reference->height, picture->height);

  const Difference d = Compare(*picture, *reference);
  EXPECT_LE(d.max, kMaxDifference);
  EXPECT_LE(d.mean, kMeanDifference);

  for (size_t i = 3; i < picture->bgra.size(); i += 4) {
    ASSERT_EQ(picture->bgra[i], 255) << "alpha of pixel " << i / 4;
  }
}

TEST_P(ShippedPictureTest, RejectsEveryTruncation) {
  const Bytes bytes = ReadPicture(GetParam().file);
  ASSERT_FALSE(bytes.empty());

  // Every length through the marker segments and into the scan, a spread
  // through the rest of the scan, and the last few bytes, where only the end
  // marker goes missing.
  std::vector<size_t> lengths;
  const size_t dense = std::min(bytes.size(), ScanDataOffset(bytes) + 64);
  for (size_t length = 0; length < dense; ++length) {
    lengths.push_back(length);
  }
  for (size_t length = dense; length < bytes.size(); length += bytes.size() / 100) {
    lengths.push_back(length);
  }
  for (size_t missing = 1; missing <= 3; ++missing) {
    lengths.push_back(bytes.size() - missing);
  }

  for (size_t length : lengths) {
    EXPECT_FALSE(resources::DecodeJpeg(std::span(bytes).first(length)).has_value())
        << "prefix of " << length << " of " << bytes.size() << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(Resources, ShippedPictureTest,
                         testing::Values(ShippedPicture{"header.jpg", 53, 53},
                                         ShippedPicture{"side.jpg", 163, 354},
                                         ShippedPicture{"logo.jpg", 128, 65},
                                         ShippedPicture{"header@2x.jpg", 106, 106},
                                         ShippedPicture{"side@2x.jpg", 326, 708},
                                         ShippedPicture{"logo@2x.jpg", 256, 130}),
                         [](const testing::TestParamInfo<ShippedPicture>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           if (const size_t at = name.find('@'); at != std::string::npos)
                             name.replace(at, 1, "_");
                           return name;
                         });

Bytes RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_int_distribution<int> byte(0, 255);
  Bytes bytes(count);
  for (uint8_t& b : bytes) {
    b = static_cast<uint8_t>(byte(generator));
  }
  return bytes;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The header picture with the height and width of its frame header set to 0.
Bytes WithEmptyFrame() {
  Bytes bytes = ReadPicture("header.jpg");
  for (size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
      std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(i) + 5, 4, 0);
      return bytes;
    }
  }
  ADD_FAILURE() << "header.jpg has no baseline frame header";
  return {};
}

struct BrokenInput {
  const char* name;
  Bytes bytes;
};

TEST(DecodeJpegTest, RejectsWhatIsNotAWholeJpeg) {
  const Bytes soi = {0xFF, 0xD8};
  const Bytes eoi = {0xFF, 0xD9};
  const std::vector<BrokenInput> cases = {
      {"empty", {}},
      {"start marker only", soi},
      {"start and end marker", Concat(soi, eoi)},
      {"PNG signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D}},
      {"random bytes", RandomBytes(4096, 1)},
      {"random bytes after a start marker", Concat(soi, RandomBytes(4096, 2))},
      {"frame of 0 by 0 pixels", WithEmptyFrame()},
  };
  for (const BrokenInput& input : cases) {
    EXPECT_FALSE(resources::DecodeJpeg(input.bytes).has_value()) << input.name;
  }
}

}  // namespace

#include "unpack/EntryName.h"

#include <array>

namespace unpack {
namespace {

// Windows-1252, bytes 0x80 to 0x9F; the rest of the high half is Latin-1.
// The five unassigned bytes map to the C1 control with the same number, as
// Windows itself converts them.
constexpr std::array<char16_t, 32> kCp1252C1 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98
};

void AppendUtf8(std::string& out, char16_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

template <typename HighByte>
std::string Convert(std::string_view text, HighByte high) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) {
      out += ch;
    } else {
      AppendUtf8(out, high(b));
    }
  }
  return out;
}

}  // namespace

bool IsAscii(std::string_view text) {
  for (char ch : text) {
    if (static_cast<unsigned char>(ch) >= 0x80)
      return false;
  }
  return true;
}

bool NameIsOem(uint16_t versionMadeBy, NameCodePage codePage) {
  unsigned host = versionMadeBy >> 8;
  unsigned version = versionMadeBy & 0xFF;
  if (codePage == NameCodePage::Oem)
    return true;
  if (host == 6)
    return true;
  if (host == 11 && version == 50)
    return true;
  return host == 0 && codePage == NameCodePage::Auto;
}

std::string SingleByteToUtf8(std::string_view text, const std::array<char16_t, 128>& high) {
  return Convert(text, [&high](unsigned char b) { return high[b - 0x80]; });
}

std::string Cp1252ToUtf8(std::string_view text) {
  return Convert(text, [](unsigned char b) {
    return b < 0xA0 ? kCp1252C1[b - 0x80] : static_cast<char16_t>(b);
  });
}

bool IsValidUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    auto b = static_cast<unsigned char>(text[i]);
    size_t len;
    uint32_t cp;
    if (b < 0x80) {
      ++i;
      continue;
    } else if ((b & 0xE0) == 0xC0) {
      len = 2;
      cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      len = 3;
      cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      len = 4;
      cp = b & 0x07;
    } else {
      return false;
    }
    if (i + len > text.size())
      return false;
    for (size_t k = 1; k < len; ++k) {
      auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80)
        return false;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode cannot be turned
    // into UTF-16 file names.
    static constexpr uint32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

std::string EntryTextToUtf8(std::string_view raw, uint16_t versionMadeBy, uint16_t flags,
                            NameCodePage codePage, const OemDecoder& oemToUtf8) {
  if (IsAscii(raw))
    return std::string(raw);
  if ((flags & kFlagUtf8) && IsValidUtf8(raw))
    return std::string(raw);
  if (NameIsOem(versionMadeBy, codePage))
    return oemToUtf8(raw);
  return Cp1252ToUtf8(raw);
}

}  // namespace unpack

namespace unpack {
namespace {

bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ')
    stem.remove_suffix(1);
  std::string upper;
  for (char c : stem)
    upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
  static constexpr std::string_view kPlain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (auto d : kPlain) {
    if (upper == d)
      return true;
  }
  if (!upper.starts_with("COM") && !upper.starts_with("LPT"))
    return false;
  // A port number: 1 to 9, or the superscript digits 1 to 3 (in UTF-8),
  // which Windows takes as digits here.
  const std::string_view number = std::string_view(upper).substr(3);
  static constexpr std::string_view kSuperscripts[] = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
  for (auto s : kSuperscripts) {
    if (number == s)
      return true;
  }
  return number.size() == 1 && number[0] >= '1' && number[0] <= '9';
}

}  // namespace

std::optional<std::string> FlatFileName(std::string_view name) {
  size_t cut = name.find_last_of("/\\");
  std::string_view base = cut == std::string_view::npos ? name : name.substr(cut + 1);
  if (base.empty() || base == "." || base == "..")
    return std::nullopt;
  for (char c : base) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
      return std::nullopt;
    }
  }
  if (base.back() == '.' || base.back() == ' ')
    return std::nullopt;
  if (IsDeviceName(base))
    return std::nullopt;
  return std::string(base);
}

}  // namespace unpack

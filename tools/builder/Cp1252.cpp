#include "tools/builder/Cp1252.h"

#include <array>
#include <cstdint>
#include <cstdio>

#include "tools/builder/BuildError.h"

namespace builder {
namespace {

// The characters of bytes 0x80 to 0x9F; 0 where the code page assigns none.
// The rest of the high half is Latin-1.
constexpr std::array<char32_t, 32> kHighC1 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98
};

// The code point at `pos`, advancing `pos` past it; nullopt for a broken,
// overlong or surrogate sequence.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  size_t length;
  char32_t cp;
  if (lead < 0x80) {
    ++pos;
    return lead;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    cp = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + length > text.size())
    return std::nullopt;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[pos + k]);
    if ((next & 0xC0) != 0x80)
      return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  static constexpr char32_t kShortest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kShortest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    return std::nullopt;
  pos += length;
  return cp;
}

std::optional<char> EncodeCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
    return static_cast<char>(cp);
  for (size_t k = 0; k < kHighC1.size(); ++k) {
    if (kHighC1[k] == cp)
      return static_cast<char>(0x80 + k);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> Utf8ToCp1252(std::string_view utf8, std::string* problem) {
  std::string out;
  out.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const size_t start = pos;
    const std::optional<char32_t> cp = DecodeUtf8(utf8, pos);
    if (!cp) {
      if (problem != nullptr) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<uint8_t>(utf8[start]));
        *problem = std::string("Kein gültiges UTF-8 (Byte ") + byte + ")";
      }
      return std::nullopt;
    }
    const std::optional<char> encoded = EncodeCp1252(*cp);
    if (!encoded) {
      if (problem != nullptr) {
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(*cp));
        *problem = "Das Zeichen \"" + std::string(utf8.substr(start, pos - start)) + "\" (" + code +
                   ") gibt es in Windows-1252 nicht";
      }
      return std::nullopt;
    }
    out += *encoded;
  }
  return out;
}

std::string ToCp1252(int line, std::string_view utf8) {
  std::string problem;
  std::optional<std::string> converted = Utf8ToCp1252(utf8, &problem);
  if (!converted)
    throw BuildError(line, problem);
  return *std::move(converted);
}

std::string Cp1252Lower(std::string_view cp1252) {
  std::string out(cp1252);
  for (char& c : out) {
    const auto b = static_cast<uint8_t>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) {
      c = static_cast<char>(b + 0x20);
    } else if (b == 0x8A || b == 0x8C || b == 0x8E) {  // Š Œ Ž
      c = static_cast<char>(b + 0x10);
    } else if (b == 0x9F) {  // Ÿ
      c = static_cast<char>(0xFF);
    }
  }
  return out;
}

}  // namespace builder

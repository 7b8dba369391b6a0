#include "platform/sim/SimText.h"

#include <array>
#include <cstdint>

namespace platform::sim {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Windows-1252 from 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> kAnsi80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code page 850 from 0x80 to 0xFF; the lower half is ASCII.
constexpr std::array<char16_t, 128> kOem80 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0, 0x00A9, 0x2563, 0x2551, 0x2557,
    0x255D, 0x00A2, 0x00A5, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4, 0x00F0, 0x00D0, 0x00CA, 0x00CB,
    0x00C8, 0x0131, 0x00CD, 0x00CE, 0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE, 0x00DE, 0x00DA, 0x00DB, 0x00D9,
    0x00FD, 0x00DD, 0x00AF, 0x00B4, 0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (c >> 10));
    out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
  }
}

// Decodes one UTF-8 sequence at `i` and advances past it; an invalid sequence
// yields U+FFFD and skips one byte.
char32_t NextUtf8(std::string_view s, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
  const uint8_t lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  size_t length = 0;
  char32_t c = 0;
  char32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, c = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, c = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, c = lead & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + length > s.size()) {
    ++i;
    return kReplacement;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += length;
  return c;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();)
    AppendUtf16(out, NextUtf8(utf8, i));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string AnsiToUtf16(std::string_view ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (const char ch : ansi) {
    const auto b = static_cast<uint8_t>(ch);
    out += (b >= 0x80 && b < 0xA0) ? kAnsi80[b - 0x80] : char16_t{b};
  }
  return out;
}

std::string Utf16ToAnsi(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (const char16_t unit : utf16) {
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
      out += static_cast<char>(unit);
      continue;
    }
    char mapped = '?';
    for (size_t k = 0; k < kAnsi80.size(); ++k) {
      if (kAnsi80[k] == unit)
        mapped = static_cast<char>(0x80 + k);
    }
    out += mapped;
  }
  return out;
}

std::u16string OemToUtf16(std::string_view oem) {
  std::u16string out;
  out.reserve(oem.size());
  for (const char ch : oem) {
    const auto b = static_cast<uint8_t>(ch);
    out += b >= 0x80 ? kOem80[b - 0x80] : char16_t{b};
  }
  return out;
}

char16_t FoldCase(char16_t c) {
  if (c < 0x80)
    return (c >= 'A' && c <= 'Z') ? static_cast<char16_t>(c + 0x20) : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return static_cast<char16_t>(c + 0x20);
  }
  if (c >= 0x400 && c <= 0x40F)
    return static_cast<char16_t>(c + 0x50);
  if (c == 0x178)
    return 0xFF;
  // Latin Extended-A pairs capital and small letters as even and odd code
  // points, except in the two runs where the capital is the odd one.
  const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x17F) {
    if (oddCapital && (c & 1) == 1)
      return static_cast<char16_t>(c + 1);
    if (!oddCapital && (c & 1) == 0)
      return static_cast<char16_t>(c + 1);
  }
  return c;
}

std::string FoldCase(std::string_view utf8) {
  std::u16string wide = Utf8ToUtf16(utf8);
  for (char16_t& c : wide)
    c = FoldCase(c);
  return Utf16ToUtf8(wide);
}

}  // namespace platform::sim

namespace platform::sim {

namespace {

// The base letters of Latin-1's accented letters from U+00C0 on, lower case;
// "ae", "ss" and "th" where the letter sorts as two; "" where the character
// is no letter and sorts as itself.
constexpr std::array<std::u16string_view, 64> kLatin1Base = {
    u"a", u"a", u"a", u"a", u"a",  u"a",  u"ae", u"c", u"e", u"e", u"e",  u"e", u"i",
    u"i", u"i", u"i", u"d", u"n",  u"o",  u"o",  u"o", u"o", u"o", u"",   u"o", u"u",
    u"u", u"u", u"u", u"y", u"th", u"ss", u"a",  u"a", u"a", u"a", u"a",  u"a", u"ae",
    u"c", u"e", u"e", u"e", u"e",  u"i",  u"i",  u"i", u"i", u"d", u"n",  u"o", u"o",
    u"o", u"o", u"o", u"",  u"o",  u"u",  u"u",  u"u", u"u", u"y", u"th", u"y"};

std::u16string PrimaryKey(std::u16string_view name) {
  std::u16string key;
  for (char16_t c : name) {
    if (c >= 0xC0 && c <= 0xFF && !kLatin1Base[c - 0xC0].empty())
      key += kLatin1Base[c - 0xC0];
    else
      key += FoldCase(c);
  }
  return key;
}

std::u16string SecondaryKey(std::u16string_view name) {
  std::u16string key(name);
  for (char16_t& c : key)
    c = FoldCase(c);
  return key;
}

}  // namespace

int CompareNamesForUser(std::u16string_view a, std::u16string_view b) {
  if (int primary = PrimaryKey(a).compare(PrimaryKey(b)); primary != 0)
    return primary;
  return SecondaryKey(a).compare(SecondaryKey(b));
}

}  // namespace platform::sim

#include "core/Convert.h"

#include <algorithm>
#include <cstdint>

namespace core {

namespace {

bool IsBlankOrControl(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::optional<int32_t> TryStrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ')
    ++i;
  std::string_view rest = text.substr(i);
  if (rest.empty())
    return std::nullopt;

  size_t hexStart = 0;
  if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') {
    hexStart = 1;
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    hexStart = 2;
  }
  if (hexStart > 0) {
    std::string_view digits = rest.substr(hexStart);
    if (digits.empty())
      return std::nullopt;
    uint64_t value = 0;
    for (char c : digits) {
      int d = HexDigit(c);
      if (d < 0)
        return std::nullopt;
      value = value * 16 + static_cast<uint64_t>(d);
      if (value > 0xFFFFFFFFull)
        return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(value));
  }

  bool negative = false;
  if (rest[0] == '-' || rest[0] == '+') {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }
  if (rest.empty())
    return std::nullopt;
  int64_t value = 0;
  for (char c : rest) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 0x80000000ll)
      return std::nullopt;
  }
  if (negative)
    value = -value;
  if (value > INT32_MAX)
    return std::nullopt;
  return static_cast<int32_t>(value);
}

int32_t StrToInt(std::string_view text) {
  if (auto value = TryStrToInt(text))
    return *value;
  throw EConvertError("'" + std::string(text) + "' ist kein gültiger Integerwert");
}

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlankOrControl(text[begin]))
    ++begin;
  while (end > begin && IsBlankOrControl(text[end - 1]))
    --end;
  return std::string(text.substr(begin, end - begin));
}

std::string TrimRight(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlankOrControl(text[end - 1]))
    --end;
  return std::string(text.substr(0, end));
}

std::string FormatText(std::string_view format, std::string_view value) {
  std::string out;
  out.reserve(format.size() + value.size());
  bool filled = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !filled) {
        out += value;
        filled = true;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.emplace_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
      start = ++i;
    } else {
      ++i;
    }
  }
  if (start < text.size())
    lines.emplace_back(text.substr(start));
  return lines;
}

bool SameTextIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i]))
      return false;
  }
  return true;
}

std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string FoldName(std::string_view text) {
  std::string folded(text);
  for (size_t k = 0; k < folded.size(); ++k) {
    char& c = folded[k];
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (static_cast<unsigned char>(c) == 0xC3 && k + 1 < folded.size()) {
      // U+00E0 to U+00FE but U+00F7 (the division sign): one lower case
      // letter each, 0x20 above its capital.
      auto& next = reinterpret_cast<unsigned char&>(folded[k + 1]);
      if (next >= 0xA0 && next <= 0xBE && next != 0xB7)
        next = static_cast<unsigned char>(next - 0x20);
      ++k;
    }
  }
  return folded;
}

bool SameName(std::string_view a, std::string_view b) {
  return FoldName(a) == FoldName(b);
}

std::string DirectoryOf(std::string_view path) {
  size_t slash = path.find_last_of("\\/:");
  if (slash == std::string_view::npos)
    return {};
  std::string dir(path.substr(0, slash + 1));
  if (dir.back() == ':')
    dir += '\\';
  return dir;
}

std::string ErrorDisplayText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && text.back() != '.')
    text += '.';
  return text;
}

}  // namespace core

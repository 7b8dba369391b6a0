#include "platform/sim/SimProfile.h"

#include <algorithm>
#include <optional>

#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

// The reader hands back at most this many UTF-16 units (a buffer of 2048).
constexpr size_t kMaxValue = 2047;

// White space as the profile reader sees it: the C white-space characters and
// the DOS end-of-file mark.
bool IsBlank(char16_t c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

std::u16string Decode(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF"))
    return Utf8ToUtf16(bytes.substr(3));
  const bool littleEndian = bytes.starts_with("\xFF\xFE");
  if (littleEndian || bytes.starts_with("\xFE\xFF")) {
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      const auto first = static_cast<uint8_t>(bytes[i]);
      const auto second = static_cast<uint8_t>(bytes[i + 1]);
      text += littleEndian ? static_cast<char16_t>(first | (second << 8))
                           : static_cast<char16_t>((first << 8) | second);
    }
    return text;
  }
  return AnsiToUtf16(bytes);
}

std::u16string Folded(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char16_t>(c + 0x20);
  }
  return folded;
}

// Every section of the text with its keys. Names match without regard to
// the case of ASCII letters; other letters must match exactly, as in Wine.
SimProfile::Sections Parse(std::u16string_view text) {
  SimProfile::Sections sections;
  SimProfile::Keys* current = nullptr;
  size_t next = 0;
  while (next < text.size()) {
    // A line ends at '\n'; a file without any '\n' is split at '\r'.
    size_t end = text.find(u'\n', next);
    if (end == std::u16string_view::npos)
      end = text.find(u'\r', next);
    if (end == std::u16string_view::npos)
      end = text.size();
    const std::u16string_view line = Trim(text.substr(next, end - next));
    next = end + 1;
    if (line.empty())
      continue;

    if (line.front() == u'[') {
      const size_t close = line.rfind(u']');
      if (close != std::u16string_view::npos) {
        const std::u16string_view name = Trim(line.substr(1, close - 1));
        const auto [section, isNew] =
            sections.try_emplace(Folded(name), SimProfile::Section{std::u16string(name), {}});
        current = isNew ? &section->second.keys : nullptr;
        continue;
      }
    }
    if (!current)
      continue;

    const size_t equals = line.find(u'=');
    std::optional<std::u16string> value;
    if (equals != std::u16string_view::npos)
      value = std::u16string(Trim(line.substr(equals + 1)));
    const std::u16string_view name = Trim(line.substr(0, equals));
    current->try_emplace(Folded(name), SimProfile::Key{std::u16string(name), std::move(value)});
  }
  return sections;
}

// Copies a value into the 2048-unit buffer, removing one pair of enclosing
// quotes the way the Windows reader does: the closing quote is dropped from
// what fits in the buffer, which costs the last character when the value
// without its opening quote just fills it.
std::u16string Copy(std::u16string_view value) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::u16string out(value.substr(0, kMaxValue));
  if (quoted && kMaxValue + 1 >= value.size() && !out.empty())
    out.pop_back();
  return out;
}

}  // namespace

std::string SimProfile::Read(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view fallback) {
  std::u16string fallbackText = Utf8ToUtf16(fallback);
  // Trailing blanks of the fallback go, but a fallback of blanks keeps one.
  while (fallbackText.size() > 1 && fallbackText.back() == u' ')
    fallbackText.pop_back();
  fallbackText.resize(std::min(fallbackText.size(), kMaxValue));

  const Sections* sections = Load(file);
  if (!sections)
    return Utf16ToUtf8(fallbackText);
  const auto found = sections->find(Folded(Trim(Utf8ToUtf16(section))));
  if (found == sections->end())
    return Utf16ToUtf8(fallbackText);
  const auto value = found->second.keys.find(Folded(Trim(Utf8ToUtf16(key))));
  if (value == found->second.keys.end() || !value->second.value)
    return Utf16ToUtf8(fallbackText);
  return Utf16ToUtf8(Copy(*value->second.value));
}

std::vector<std::string> SimProfile::KeyNames(std::string_view file, std::string_view section) {
  std::vector<std::string> names;
  const Sections* sections = Load(file);
  if (!sections)
    return names;
  const auto found = sections->find(Folded(Trim(Utf8ToUtf16(section))));
  if (found == sections->end())
    return names;
  // A line without '=' names no key Windows lists.
  for (const auto& [folded, key] : found->second.keys) {
    if (key.value)
      names.push_back(Utf16ToUtf8(key.name));
  }
  return names;
}

std::vector<std::string> SimProfile::SectionNames(std::string_view file) {
  std::vector<std::string> names;
  if (const Sections* sections = Load(file)) {
    for (const auto& [folded, section] : *sections)
      names.push_back(Utf16ToUtf8(section.name));
  }
  return names;
}

const SimProfile::Sections* SimProfile::Load(std::string_view file) {
  std::string path(file);
  if (path.find_first_of("\\/:") == std::string::npos) {
    path = files_.WindowsDirectory() + "\\" + path;
  }
  std::optional<std::string> bytes = files_.ReadFile(path);
  if (!bytes)
    return nullptr;
  if (last_.path != path || last_.bytes != *bytes) {
    last_.sections = Parse(Decode(*bytes));
    last_.path = std::move(path);
    last_.bytes = std::move(*bytes);
  }
  return &last_.sections;
}

}  // namespace platform::sim

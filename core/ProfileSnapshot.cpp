#include "core/ProfileSnapshot.h"

#include <algorithm>

#include "core/Convert.h"

namespace core {

namespace {

// The profile reader hands back at most this many UTF-16 units.
constexpr size_t kMaxValue = 2047;

// White space as the profile reader sees it: the C white-space characters and
// the DOS end-of-file mark.
bool IsBlank(char c) {
  return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x1A;
}

std::string_view TrimProfile(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

// The UTF-16 units `text` takes.
size_t Units(std::string_view text) {
  size_t units = 0;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (!IsContinuation(byte))
      units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

// The longest start of `text` that fits into `units` UTF-16 units.
std::string_view Fit(std::string_view text, size_t units) {
  size_t end = 0;
  while (end < text.size()) {
    size_t next = end + 1;
    while (next < text.size() && IsContinuation(static_cast<unsigned char>(text[next])))
      ++next;
    const size_t need = Units(text.substr(end, next - end));
    if (need > units)
      break;
    units -= need;
    end = next;
  }
  return text.substr(0, end);
}

// A value as the 2048-unit buffer of the profile reader takes it: one pair
// of enclosing quotes goes, and the closing quote is dropped from what fits,
// which costs the last character when the value without its opening quote
// just fills the buffer.
std::string Copy(std::string_view value) {
  bool quoted = false;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    quoted = true;
    value.remove_prefix(1);
  }
  std::string out(Fit(value, kMaxValue));
  if (quoted && kMaxValue + 1 >= Units(value) && !out.empty()) {
    size_t last = out.size() - 1;
    while (last > 0 && IsContinuation(static_cast<unsigned char>(out[last])))
      --last;
    out.resize(last);
  }
  return out;
}

}  // namespace

ProfileSnapshot::ProfileSnapshot(std::string path, std::string_view text) : path_(std::move(path)) {
  std::unordered_map<std::string, Key>* current = nullptr;
  size_t next = 0;
  while (next < text.size()) {
    // A line ends at '\n'; a text without any '\n' is split at '\r'.
    size_t end = text.find('\n', next);
    if (end == std::string_view::npos)
      end = text.find('\r', next);
    if (end == std::string_view::npos)
      end = text.size();
    const std::string_view line = TrimProfile(text.substr(next, end - next));
    next = end + 1;
    if (line.empty())
      continue;

    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close != std::string_view::npos) {
        const std::string_view name = TrimProfile(line.substr(1, close - 1));
        const auto [section, isNew] =
            sections_.try_emplace(UpperAscii(name), Section{std::string(name), {}});
        current = isNew ? &section->second.keys : nullptr;
        continue;
      }
    }
    if (!current)
      continue;

    const size_t equals = line.find('=');
    std::optional<std::string> value;
    if (equals != std::string_view::npos)
      value = std::string(TrimProfile(line.substr(equals + 1)));
    const std::string_view name = TrimProfile(line.substr(0, equals));
    current->try_emplace(UpperAscii(name), Key{std::string(name), std::move(value)});
  }
}

const ProfileSnapshot::Section* ProfileSnapshot::Find(std::string_view file,
                                                      std::string_view section) const {
  if (!SameTextIgnoreCase(file, path_))
    return nullptr;
  const auto found = sections_.find(UpperAscii(TrimProfile(section)));
  return found == sections_.end() ? nullptr : &found->second;
}

std::string ProfileSnapshot::Read(std::string_view file, std::string_view section,
                                  std::string_view key, std::string_view fallback) {
  std::string_view fallbackText = fallback;
  // Trailing blanks of the fallback go, but a fallback of blanks keeps one.
  while (fallbackText.size() > 1 && fallbackText.back() == ' ')
    fallbackText.remove_suffix(1);
  if (const Section* found = Find(file, section)) {
    const auto value = found->keys.find(UpperAscii(TrimProfile(key)));
    if (value != found->keys.end() && value->second.value)
      return Copy(*value->second.value);
  }
  return std::string(Fit(fallbackText, kMaxValue));
}

std::vector<std::string> ProfileSnapshot::KeyNames(std::string_view file,
                                                   std::string_view section) {
  std::vector<std::string> names;
  if (const Section* found = Find(file, section)) {
    // A line without '=' names no key Windows lists.
    for (const auto& [folded, key] : found->keys) {
      if (key.value)
        names.push_back(key.name);
    }
  }
  return names;
}

std::vector<std::string> ProfileSnapshot::SectionNames(std::string_view file) {
  std::vector<std::string> names;
  if (SameTextIgnoreCase(file, path_)) {
    for (const auto& [folded, section] : sections_)
      names.push_back(section.name);
  }
  return names;
}

}  // namespace core

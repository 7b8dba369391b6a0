#include "core/IniReader.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

#include "core/Convert.h"

namespace core {

std::string IniReader::ReadString(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  return profile_.Read(path_, section, key, fallback);
}

int32_t IniReader::ReadInteger(std::string_view section, std::string_view key,
                               int32_t fallback) const {
  const std::string text = ReadString(section, key, "");
  // The strict conversion also takes a bare "x" or "X" before hexadecimal
  // digits; the control file's rule does not.
  const size_t first = text.find_first_not_of(' ');
  if (first != std::string::npos && (text[first] == 'x' || text[first] == 'X'))
    return fallback;
  return TryStrToInt(text).value_or(fallback);
}

bool IniReader::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

namespace {

// n when `name` is `prefix` followed by n in decimal without leading zeros,
// else 0.
int32_t NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || !SameTextIgnoreCase(name.substr(0, prefix.size()), prefix))
    return 0;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.front() == '0' || digits.size() > 10 ||
      digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return 0;
  }
  const int64_t n = std::stoll(std::string(digits));
  return n > std::numeric_limits<int32_t>::max() ? 0 : static_cast<int32_t>(n);
}

int32_t LastNumbered(const std::vector<std::string>& names, std::string_view prefix) {
  int32_t last = 0;
  for (const std::string& name : names)
    last = std::max(last, NumberAfter(name, prefix));
  return last;
}

}  // namespace

int32_t IniReader::LastNumberedKey(std::string_view section, std::string_view prefix) const {
  return LastNumbered(profile_.KeyNames(path_, section), prefix);
}

int32_t IniReader::LastNumberedSection(std::string_view prefix) const {
  return LastNumbered(profile_.SectionNames(path_), prefix);
}

int32_t EntriesToVisit(int32_t count, int32_t lastPresent) {
  return std::min(count, std::max(lastPresent, 1));
}

}  // namespace core

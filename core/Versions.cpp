#include "core/Versions.h"

#include <string>
#include <vector>

#include "core/Convert.h"

namespace core {

namespace {

// The parts of a version without their leading zeros; nullopt when it is
// no version.
std::optional<std::vector<std::string>> Parts(std::string_view version) {
  const std::string text = Trim(version);
  if (text.empty())
    return std::nullopt;
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == '.') {
      parts.emplace_back();
    } else if (c >= '0' && c <= '9') {
      // Leading zeros do not count: "1.02" is "1.2".
      if (parts.back() == "0")
        parts.back().clear();
      parts.back() += c;
    } else {
      return std::nullopt;
    }
  }
  for (const std::string& part : parts) {
    if (part.empty())
      return std::nullopt;
  }
  return parts;
}

// Compares two numbers written without leading zeros, of any length.
int CompareNumbers(const std::string& a, const std::string& b) {
  if (a.size() != b.size())
    return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

std::optional<int> CompareVersions(std::string_view a, std::string_view b) {
  const auto left = Parts(a);
  const auto right = Parts(b);
  if (!left || !right)
    return std::nullopt;
  const std::string zero = "0";
  for (size_t k = 0; k < left->size() || k < right->size(); ++k) {
    const std::string& x = k < left->size() ? (*left)[k] : zero;
    const std::string& y = k < right->size() ? (*right)[k] : zero;
    if (const int order = CompareNumbers(x, y); order != 0)
      return order;
  }
  return 0;
}

}  // namespace core

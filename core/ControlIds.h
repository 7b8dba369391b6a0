#pragma once

#include <string_view>

namespace core {

/// The numeric id a control of the windows carries, derived from its name so
/// that anything that finds a window can find its controls: "Label12" is
/// 1012, "Button2" 2002, and so on. 0 for a name outside the scheme.
constexpr int ControlId(std::string_view name) {
  constexpr struct {
    std::string_view prefix;
    int base;
  } kKinds[] = {
      {"Label", 1000},   {"Button", 2000},   {"Edit", 3000},        {"Memo", 4000},
      {"ListBox", 5000}, {"CheckBox", 6000}, {"RadioButton", 7000}, {"ProgressBar", 8000},
      {"Image", 9000},   {"DirTree", 10000},
  };
  for (const auto& kind : kKinds) {
    if (!name.starts_with(kind.prefix))
      continue;
    std::string_view digits = name.substr(kind.prefix.size());
    if (digits.empty() || digits.size() > 3)
      return 0;
    int number = 0;
    for (char c : digits) {
      if (c < '0' || c > '9')
        return 0;
      number = number * 10 + (c - '0');
    }
    return kind.base + number;
  }
  return 0;
}

static_assert(ControlId("Label12") == 1012);
static_assert(ControlId("Button2") == 2002);
static_assert(ControlId("RadioButton1") == 7001);
static_assert(ControlId("Signature") == 0);

}  // namespace core

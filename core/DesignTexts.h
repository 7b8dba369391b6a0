#pragma once

#include <span>
#include <string_view>

#include "core/Ui.h"

namespace core {

/// A text a window carries from its creation: a caption, a label, a button.
struct DesignText {
  WindowId window;
  std::string_view control;  // "" for the window caption
  std::string_view text;
};

/// Every text the windows carry when they are created. Texts with "%s" are
/// formats that start-up fills with the product title.
std::span<const DesignText> DesignTexts();

/// The design text of a control; the empty text when it has none.
std::string_view DesignTextOf(WindowId window, std::string_view control);

/// The maker's addresses the finish page shows.
inline constexpr std::string_view kProductAddress = "www.tessarwolden.example";
inline constexpr std::string_view kMakerAddress = "www.wolden-software.example";
inline constexpr std::string_view kSupportAddress = "support@tessarwolden.example";

}  // namespace core

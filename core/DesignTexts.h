#pragma once

#include <span>
#include <string_view>

#include "core/Ui.h"

namespace core {

/// A control of a window with the text it carries from its creation (empty
/// for controls without one: edit fields, lists, pictures, bars, the tree).
/// The table of them is the one list of the controls each window has: the
/// windows create nothing else and the logic names nothing else.
struct DesignText {
  WindowId window;
  std::string_view control;  // "" for the window caption
  std::string_view text;
};

/// Every control of every window and, for control "", the window captions.
/// Texts with "%s" are formats that start-up fills with the product title.
std::span<const DesignText> DesignTexts();

/// Whether `window` has a control of that name ("" is the window itself).
bool HasControl(WindowId window, std::string_view control);
/// Raises std::logic_error when `window` has no control of that name.
void RequireControl(WindowId window, std::string_view control);

/// The design text of a control; the empty text when it has none.
std::string_view DesignTextOf(WindowId window, std::string_view control);

/// The maker's addresses the finish page shows.
inline constexpr std::string_view kProductAddress = "www.tessarwolden.example";
inline constexpr std::string_view kMakerAddress = "www.wolden-software.example";
inline constexpr std::string_view kSupportAddress = "support@tessarwolden.example";

}  // namespace core

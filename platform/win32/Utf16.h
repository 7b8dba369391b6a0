#pragma once

#include <string>
#include <string_view>

namespace platform::win32 {

/// UTF-8 to UTF-16 for a W call; invalid sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
/// UTF-16 from a W call to UTF-8; unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view utf16);

}  // namespace platform::win32

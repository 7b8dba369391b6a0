#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace core {

/// Raised when a text that must be an integer is none.
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// The strict integer conversion: leading blanks, then an optional sign and
/// decimal digits, or a hexadecimal number after "$", "x", "X", "0x" or "0X".
/// Hexadecimal numbers take all 32 bits ("$FFFFFFFF" is -1). nullopt for
/// anything else, trailing blanks included.
std::optional<int32_t> TryStrToInt(std::string_view text);

/// TryStrToInt that raises EConvertError "'<text>' ist kein gültiger
/// Integerwert" instead of giving up.
int32_t StrToInt(std::string_view text);

/// Removes leading and trailing blanks and control characters.
std::string Trim(std::string_view text);
/// Removes trailing blanks and control characters.
std::string TrimRight(std::string_view text);

/// Fills the first "%s" of `format` with `value` ("%%" stands for "%"); a
/// format without "%s" comes back unchanged.
std::string FormatText(std::string_view format, std::string_view value);

/// Splits a text into lines at CR, LF or CR LF. A final line break does not
/// start another line.
std::vector<std::string> SplitLines(std::string_view text);

/// Compares two texts without regard to the case of the letters A to Z. The
/// program compares only against ASCII words, which no other letter equals
/// in any case.
bool SameTextIgnoreCase(std::string_view a, std::string_view b);
/// The text with the letters a to z in upper case; other characters stay.
std::string UpperAscii(std::string_view text);

/// The text with the letters of ASCII and of Latin-1 (as UTF-8) in upper
/// case, as Windows compares file names.
std::string FoldName(std::string_view text);
bool SameName(std::string_view a, std::string_view b);

/// The directory of `path`, ending in a backslash; empty when the path names
/// no directory.
std::string DirectoryOf(std::string_view path);

/// How the program shows an error that no handler took: its message,
/// ending in a full stop, in a message box with the application title.
std::string ErrorDisplayText(std::string_view message);
inline constexpr std::string_view kErrorDisplayCaption = "Tessarwolden";

}  // namespace core

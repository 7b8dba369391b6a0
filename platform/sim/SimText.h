#pragma once

#include <string>
#include <string_view>

// Text conversions of the simulated machine. Windows works in UTF-16 and maps
// the ANSI code page as Windows-1252 and the OEM code page as 850 on a German
// system; the sim does the same so that lengths and case rules match.
namespace platform::sim {

/// UTF-8 to UTF-16; invalid sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
/// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

/// Windows-1252 bytes to UTF-16. Every byte maps to one code unit; the five
/// bytes the code page leaves undefined map to the C1 control of that number.
std::u16string AnsiToUtf16(std::string_view ansi);
/// UTF-16 to Windows-1252; every code unit the code page lacks becomes '?'.
std::string Utf16ToAnsi(std::u16string_view utf16);
/// Code page 850 bytes to UTF-16.
std::u16string OemToUtf16(std::string_view oem);
/// Orders names as a Western Windows lists them for the user: letters first
/// compared without case and without accents (an umlaut beside its base
/// letter, "ß" as "ss"), then, for names equal so far, with their accents.
int CompareNamesForUser(std::u16string_view a, std::u16string_view b);

/// The lower-case form used to compare names without regard to case (Latin,
/// Greek and Cyrillic letters).
char16_t FoldCase(char16_t c);
/// `text` with every character folded; the key under which names that differ
/// only in case are the same.
std::string FoldCase(std::string_view utf8);

}  // namespace platform::sim

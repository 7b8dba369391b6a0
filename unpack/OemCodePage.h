#pragma once

// The OEM code page of the system the library runs on, which entry names of
// DOS, OS/2 and some Windows tools are written in. The library runs inside
// its caller without the program's platform layer, so it asks the system
// itself, as the archive component asks the platform: both read a name alike.

#include <string>
#include <string_view>

namespace unpack {

/// The OEM code page's number: GetOEMCP() on Windows. Natively 850, the code
/// page of a German or Western Windows, unless the environment variable
/// SZUNPACK_OEMCP names 437, the American one.
unsigned OemCodePage();

/// Text from that code page to UTF-8; every byte yields a character.
std::string OemToUtf8(std::string_view text);

}  // namespace unpack

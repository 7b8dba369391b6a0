#pragma once

// The licence and information texts that Setup.exe shows on pages 2 and 3.
// It reads them as ANSI, or as UTF-8 when they start with a byte-order mark.

#include <cstddef>
#include <vector>

#include "tools/builder/BuildError.h"
#include "tools/builder/Description.h"

namespace builder {

/// The longest line that the text box of a page shows without scrolling
/// sideways (it does not wrap).
inline constexpr size_t kPageTextWidth = 80;

/// When `file` is put on the medium as License.txt or Information.txt:
/// converts a UTF-8 text without byte-order mark to Windows-1252 into
/// `file.converted` (a fault naming the first character the code page lacks
/// when it does not fit), and warns about lines longer than kPageTextWidth.
/// ANSI texts and texts with a byte-order mark stay as they are.
void ConvertPageText(MediaFile& file, std::vector<Problem>& warnings, Problems& problems);

}  // namespace builder

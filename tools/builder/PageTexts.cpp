#include "tools/builder/PageTexts.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "tools/builder/Cp1252.h"
#include "tools/builder/Text.h"
#include "unpack/EntryName.h"

namespace builder {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The lines of a text, split at CR, LF or CR LF.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// The number of characters of a line: UTF-8 continuation bytes do not count.
size_t Characters(std::string_view line, bool utf8) {
  size_t count = 0;
  for (char c : line) {
    if (!utf8 || (static_cast<uint8_t>(c) & 0xC0) != 0x80)
      ++count;
  }
  return count;
}

void WarnLongLines(const MediaFile& file, std::string_view text, bool utf8,
                   std::vector<Problem>& warnings) {
  const std::vector<std::string_view> lines = Lines(text);
  size_t first = 0;
  size_t longest = 0;
  size_t count = 0;
  for (size_t k = 0; k < lines.size(); ++k) {
    const size_t length = Characters(lines[k], utf8);
    if (length <= kPageTextWidth)
      continue;
    if (count++ == 0) {
      first = k + 1;
      longest = length;
    }
  }
  if (count == 0)
    return;
  std::string message = file.name + ": Zeile " + std::to_string(first) + " der Datei hat " +
                        std::to_string(longest) + " Zeichen";
  if (count > 1)
    message += " (und " + std::to_string(count - 1) + " weitere Zeilen über " +
               std::to_string(kPageTextWidth) + ")";
  message += "; das Textfeld bricht nicht um, der Leser muss seitwärts rollen. Zeilen bis " +
             std::to_string(kPageTextWidth) + " Zeichen passen";
  warnings.push_back({file.source.line, message});
}

}  // namespace

void ConvertPageText(MediaFile& file, std::vector<Problem>& warnings, Problems& problems) {
  if (!SameAscii(file.name, "License.txt") && !SameAscii(file.name, "Information.txt"))
    return;
  std::ifstream in(file.source.path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.starts_with(kByteOrderMark)) {
    WarnLongLines(file, std::string_view(bytes).substr(kByteOrderMark.size()), true, warnings);
    return;
  }
  if (unpack::IsAscii(bytes) || !unpack::IsValidUtf8(bytes)) {
    WarnLongLines(file, bytes, false, warnings);
    return;
  }
  WarnLongLines(file, bytes, true, warnings);
  const std::vector<std::string_view> lines = Lines(bytes);
  for (size_t k = 0; k < lines.size(); ++k) {
    std::string problem;
    if (!Utf8ToCp1252(lines[k], &problem)) {
      problems.Add(file.source.line,
                   file.name + " ist UTF-8 ohne Byte-Order-Mark, und Setup liest es als ANSI: " +
                       problem + " (Zeile " + std::to_string(k + 1) +
                       " der Datei). Das Zeichen ersetzen oder die Datei als UTF-8 mit "
                       "Byte-Order-Mark speichern");
      return;
    }
  }
  file.converted = Utf8ToCp1252(bytes);
}

}  // namespace builder

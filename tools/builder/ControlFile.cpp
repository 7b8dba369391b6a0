#include "tools/builder/ControlFile.h"

#include "tools/builder/Text.h"

namespace builder {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::string ControlFileText(const std::vector<ControlSection>& sections, int parts) {
  std::string text;
  for (const ControlSection& section : sections) {
    if (!text.empty())
      text += kLineEnd;
    text += section.header;
    text += kLineEnd;
    for (const std::string& line : section.lines) {
      text += line;
      text += kLineEnd;
    }
    if (!SameAscii(section.name, "Settings"))
      continue;
    text += std::string("Splitted=") + (parts > 0 ? "true" : "false");
    text += kLineEnd;
    if (parts > 0) {
      text += "SplitFileCount=" + std::to_string(parts);
      text += kLineEnd;
    }
  }
  return text;
}

}  // namespace builder

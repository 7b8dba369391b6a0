#include "tools/builder/ControlFile.h"

#include <optional>
#include <utility>

#include "tools/builder/Cp1252.h"
#include "tools/builder/Text.h"

namespace builder {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The lower-case key of an INI line.
std::string KeyOf(std::string_view line) {
  return Cp1252Lower(TrimBlanks(line.substr(0, line.find('='))));
}

// The settings section with the split keys set for the payload; any
// duplicates of them go, so that no reader sees an older value.
std::vector<std::string> SettingsLines(const std::vector<std::string>& lines, int parts) {
  std::optional<std::string> splitted = std::string("Splitted=") + (parts > 0 ? "true" : "false");
  std::optional<std::string> count;
  if (parts > 0)
    count = "SplitFileCount=" + std::to_string(parts);
  std::vector<std::string> out;
  for (const std::string& line : lines) {
    const std::string key = KeyOf(line);
    if (key == "splitted") {
      if (splitted)
        out.push_back(*std::exchange(splitted, std::nullopt));
    } else if (key == "splitfilecount") {
      if (count)
        out.push_back(*std::exchange(count, std::nullopt));
    } else {
      out.push_back(line);
    }
  }
  for (std::optional<std::string>* left : {&splitted, &count}) {
    if (*left)
      out.push_back(**left);
  }
  return out;
}

}  // namespace

std::string ControlFileText(const std::vector<ControlSection>& sections, int parts) {
  std::string text;
  for (const ControlSection& section : sections) {
    if (!text.empty())
      text += kLineEnd;
    text += section.header;
    text += kLineEnd;
    const bool settings = Cp1252Lower(section.name) == "settings";
    for (const std::string& line : settings ? SettingsLines(section.lines, parts) : section.lines) {
      text += line;
      text += kLineEnd;
    }
  }
  return text;
}

}  // namespace builder

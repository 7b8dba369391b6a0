#include "tools/builder/PayloadLists.h"

#include "engine/PayloadFormat.h"

namespace builder {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

std::vector<std::string> PayloadListLines(const std::vector<ProductFile>& files) {
  std::vector<std::string> lines;
  lines.push_back("[" + std::string(engine::payload::kListSection) + "]");
  lines.push_back("FileCount=" + std::to_string(files.size()));
  for (size_t k = 0; k < files.size(); ++k)
    lines.push_back(std::to_string(k + 1) + "=" + files[k].destination);
  return lines;
}

std::string PayloadListEntry(const std::vector<ProductFile>& files) {
  std::string stored;
  for (const std::string& line : PayloadListLines(files)) {
    stored += engine::payload::ScrambleLine(line);
    stored += kLineEnd;
  }
  return stored;
}

std::string ComponentListText(const std::vector<ComponentProgram>& programs,
                              const std::vector<ComponentFile>& files) {
  std::string text = "[General]";
  text += kLineEnd;
  text += "AppCount=" + std::to_string(programs.size());
  text += kLineEnd;
  for (size_t k = 0; k < programs.size(); ++k) {
    const ComponentProgram& program = programs[k];
    text += "[" + std::to_string(k + 1) + "]";
    text += kLineEnd;
    text += "FileCount=" + std::to_string(program.files.size());
    text += kLineEnd;
    for (size_t f = 0; f < program.files.size(); ++f) {
      text += "File" + std::to_string(f + 1) + "=" + files[program.files[f]].listName;
      text += kLineEnd;
    }
    text += "ExecutableFile=" + program.executable;
    text += kLineEnd;
  }
  return text;
}

}  // namespace builder

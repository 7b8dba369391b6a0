#include "core/RecordFiles.h"

#include "core/Convert.h"

namespace core {

std::optional<std::string> RefuseUnrecordable(platform::System& system, std::string_view what,
                                              std::string_view path) {
  if (system.AnsiToUtf8(system.Utf8ToAnsi(path)) == path)
    return std::nullopt;
  return std::string(what) + " \"" + std::string(path) +
         "\" enthält Zeichen, die Setup in der Deinstallationsdatei nicht festhalten kann; das "
         "Programm ließe sich dann nicht mehr entfernen. Bitte wählen Sie einen Namen ohne diese "
         "Zeichen.";
}

namespace {

std::string FolderText(std::string_view path) {
  std::string folder = TrimRight(path);
  // A drive root keeps its backslash: "C:" alone is the current folder there.
  while (folder.size() > 3 && folder.back() == '\\')
    folder.pop_back();
  return folder;
}

}  // namespace

bool SameFolder(std::string_view a, std::string_view b) {
  return SameName(FolderText(a), FolderText(b));
}

}  // namespace core

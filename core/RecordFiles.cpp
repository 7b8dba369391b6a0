#include "core/RecordFiles.h"

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

}  // namespace core

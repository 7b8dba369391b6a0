#pragma once

#include <string>
#include <string_view>

#include "platform/Files.h"
#include "platform/System.h"

namespace engine {

/// Creates the run's work folder below `windowsDir` + "\Temp" and returns
/// its path (without trailing backslash): "tewol_inst-" and sixteen hex
/// digits nobody can know in advance, made private (only the
/// administrators, the system and the running user may open it). Ordinary
/// users may create folders in the Temp folder, so the run never takes a
/// folder it did not just make itself: an existing name is passed over.
/// Raises EInstallError when no folder can be made.
std::string CreateWorkFolder(platform::Files& files, platform::System& system,
                             std::string_view windowsDir);
/// Removes a folder of the run (the work folder, a component's folder) when
/// it is empty. The archive component makes the folder it extracts into the
/// current directory, and Windows refuses to remove the current directory
/// of a running process, so the current directory first moves to
/// `elsewhere` when it is the folder.
void RemoveFolderIfEmpty(platform::Files& files, std::string_view folder,
                         std::string_view elsewhere);

}  // namespace engine

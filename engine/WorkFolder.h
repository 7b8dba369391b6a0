#pragma once

#include <string>
#include <string_view>

#include "platform/Files.h"

namespace engine {

/// Creates the run's work folder below `windowsDir` + "\Temp" and returns
/// its path (without trailing backslash). The folder is "tewol_inst"; when
/// that exists already, left behind by a run that stopped early or in use by
/// another run, the first free "tewol_inst<k>" (k = 2, 3, ...) is taken, so
/// that no run ever reads what another left there. When no folder can be
/// made at all (a missing Temp folder), the plain name is returned and the
/// phases that need the folder fail on their own.
std::string CreateWorkFolder(platform::Files& files, std::string_view windowsDir);

/// Removes a folder of the run (the work folder, a component's folder) when
/// it is empty. The archive component makes the folder it extracts into the
/// current directory, and Windows refuses to remove the current directory
/// of a running process, so the current directory first moves to
/// `elsewhere` when it is the folder.
void RemoveFolderIfEmpty(platform::Files& files, std::string_view folder,
                         std::string_view elsewhere);

}  // namespace engine

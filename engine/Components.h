#pragma once

#include "engine/RunContext.h"

namespace engine {

/// The programs of the payload's component archive: each unpacked into a
/// folder of its own in the work folder, run and awaited, and taken away
/// again. A program that cannot be started is skipped without a message; a
/// payload without component archive runs nothing and shows nothing.
/// After the user has ended the program, nothing more is unpacked or run:
/// what was unpacked goes, and the phase returns.
void RunSystemComponents(RunContext& run);

/// The command line that runs a program of `folder` (which ends in a
/// backslash) as `line` names it, with its arguments: the program's full
/// path in quotes, so that Windows never looks for it anywhere else. An
/// unquoted name ends at the first blank after which the folder holds such
/// a file (as Windows reads an unquoted path, but only inside the folder);
/// without one, the whole line names the program.
std::string CommandInFolder(platform::Files& files, std::string_view folder, std::string_view line);

/// The programs on the medium that [ComponentInstall] marks "after_inst",
/// each run and awaited.
void RunComponentsAfterInstall(RunContext& run);

}  // namespace engine

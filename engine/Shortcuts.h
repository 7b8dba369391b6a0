#pragma once

#include "engine/RunContext.h"

namespace engine {

/// The program folder in the Start menu, the shortcuts of [Links] and, when
/// asked for, the uninstall shortcut, each logged for the uninstaller.
/// Raises core::EConvertError when LinkCount is no integer and EInstallError
/// when the system offers no shell link object; a shortcut that cannot be
/// saved is missing silently.
void CreateShortcuts(RunContext& run);

}  // namespace engine

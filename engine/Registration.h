#pragma once

#include <string>

#include "engine/RunContext.h"

namespace engine {

/// The vendor key and the product's entry in the list of installed
/// programs, under HKEY_LOCAL_MACHINE, each value written as a STRING entry;
/// values of the entry that an earlier run wrote and this one leaves out
/// are deleted.
/// `displayIcon` is the installed file that serves as the product's icon, or
/// "[Tessarwolden]" for none. Raises what MakeRegEntrie raises.
void RegisterUninstall(RunContext& run, const std::string& displayIcon);

/// The next numbered entry below the web-update key (for an update, the
/// entry of the installation it updates, without a new number), and
/// [Marrowlink] in the uninstall log once it is complete. Raises core::EConvertError when
/// the key's SetupCount is missing or no integer, ERegistryError when a key
/// cannot be made or a value written.
void RegisterWebUpdate(RunContext& run);

}  // namespace engine

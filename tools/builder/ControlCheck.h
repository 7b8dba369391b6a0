#pragma once

// Checks the sections of Setup.inf in a description against what Setup.exe
// reads (the table of ControlRules), and completes them where Setup.exe's
// defaults would not give a working setup.

#include <string>
#include <string_view>
#include <vector>

#include "tools/builder/BuildError.h"
#include "tools/builder/Description.h"

namespace builder {

/// Checks every control section, key and value of `description` and the
/// rules that tie them together (counts and their entries, flags and the
/// keys they need, texts and the media files that carry them). Faults go to
/// `problems`, warnings to `description.warnings`. Without faults the
/// sections are completed: a missing count is written from its entries, a
/// counted section Setup.exe would otherwise read as holding one entry is
/// added with 0, and a DisplayIcon that names a destination gets its number.
void CheckControlSections(Description& description, Problems& problems);

/// Whether `command` (Windows-1252) starts with one of `names` (compared as
/// Windows compares names), followed by a blank or nothing.
bool StartsWithName(std::string_view command, const std::vector<std::string>& names);

}  // namespace builder

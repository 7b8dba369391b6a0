#pragma once

// The two lists packed into the payload, which tell the setup what the
// numbered entries and the component archive hold.

#include <string>
#include <vector>

#include "tools/builder/Description.h"

namespace builder {

/// The plain lines of the payload list: [Listfile], FileCount and
/// "<number>=<destination>" per product file (Windows-1252).
std::vector<std::string> PayloadListLines(const std::vector<ProductFile>& files);

/// The stored bytes of the payload list: every line of PayloadListLines
/// scrambled and ended by a plain CR LF.
std::string PayloadListEntry(const std::vector<ProductFile>& files);

/// The component list ($$exec.ini, Windows-1252, CR LF): [General] AppCount,
/// then per program its section with FileCount, File1..FileN and
/// ExecutableFile.
std::string ComponentListText(const std::vector<ComponentProgram>& programs,
                              const std::vector<ComponentFile>& files);

}  // namespace builder

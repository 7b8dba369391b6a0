#pragma once

#include <string>
#include <vector>

#include "tools/builder/Description.h"

namespace builder {

/// The bytes of Setup.inf: the description's control sections in order, CR
/// LF line ends, no byte-order mark. [Settings] ends with the keys that make
/// it agree with the payload beside it: with `parts` > 0 Splitted=true and
/// SplitFileCount=`parts`, otherwise Splitted=false.
std::string ControlFileText(const std::vector<ControlSection>& sections, int parts);

}  // namespace builder

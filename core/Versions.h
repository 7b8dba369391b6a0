#pragma once

#include <optional>
#include <string_view>

namespace core {

/// How the version `a` stands to `b`: negative when it is older, 0 when it
/// is the same, positive when it is newer. A version is numbers joined by
/// dots, compared part by part as numbers ("1.10" is newer than "1.9"); a
/// missing part counts as 0 ("1.2" is "1.2.0"); blanks around it do not
/// count. nullopt when either is no such version (empty, with a letter or
/// an empty part, "1.2 beta"): those cannot be put in order.
std::optional<int> CompareVersions(std::string_view a, std::string_view b);

}  // namespace core

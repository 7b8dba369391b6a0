#pragma once

// The names of the files the builder itself puts into a setup folder, which
// no media file may take.

#include <string>
#include <string_view>

#include "engine/PayloadFormat.h"
#include "tools/builder/Cp1252.h"

namespace builder {

inline constexpr std::string_view kProgramName = "Setup.exe";
inline constexpr std::string_view kControlFileName = "Setup.inf";
inline constexpr std::string_view kLibraryName = "SZUNPACK.DLL";

/// Whether `name` (Windows-1252) is, in any case, one of the names the
/// builder writes: the program, the control file, the library, the payload
/// archive or any of its parts.
inline bool IsBuilderName(std::string_view name) {
  const std::string lower = Cp1252Lower(name);
  for (std::string_view own :
       {kProgramName, kControlFileName, kLibraryName, engine::payload::kArchiveName}) {
    if (lower == Cp1252Lower(own))
      return true;
  }
  const std::string prefix = Cp1252Lower(engine::payload::kPartPrefix);
  const std::string suffix = Cp1252Lower(engine::payload::kPartSuffix);
  if (lower.size() <= prefix.size() + suffix.size() || !lower.starts_with(prefix) ||
      !lower.ends_with(suffix))
    return false;
  for (size_t k = prefix.size(); k < lower.size() - suffix.size(); ++k) {
    if (lower[k] < '0' || lower[k] > '9')
      return false;
  }
  return true;
}

}  // namespace builder

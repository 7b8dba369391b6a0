#pragma once

#include <cstdint>
#include <string>

#include "platform/Files.h"
#include "platform/Shell.h"

namespace platform::sim {

/// The volume that a shortcut's target lies on, as the shortcut records it.
struct TargetVolume {
  DriveType type = DriveType::Unknown;
  uint32_t serial = 0;
  std::string label;
};

/// The bytes of a shell link (.lnk) file for `shortcut` in the documented
/// binary format: the header, the target as a local path on `volume`, and
/// the description, working directory and arguments as Unicode strings
/// (each left out when empty).
std::string ShellLinkFile(const Shortcut& shortcut, const TargetVolume& volume);

}  // namespace platform::sim

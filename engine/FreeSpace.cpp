#include "engine/FreeSpace.h"

#include <array>

#include "core/Convert.h"
#include "engine/InstallError.h"

namespace engine {

namespace {

// NTFS gives small files at least one cluster of 4 KB.
constexpr uint64_t kAllocationUnit = 4096;

}  // namespace

std::string DriveRoot(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':')
    return std::string(path.substr(0, 2)) + "\\";
  if (!path.starts_with("\\\\"))
    return {};
  // \\server\share\: the share is the drive.
  const size_t server = path.find('\\', 2);
  if (server == std::string_view::npos)
    return {};
  const size_t share = path.find('\\', server + 1);
  return std::string(path.substr(0, share)) + "\\";
}

std::string SizeText(uint64_t bytes, bool roundUp) {
  constexpr std::array<std::string_view, 3> kUnits = {"KB", "MB", "GB"};
  if (bytes < 1024)
    return std::to_string(bytes) + " Bytes";
  uint64_t unit = 1024;
  size_t index = 0;
  while (index + 1 < kUnits.size() && bytes >= unit * 1024) {
    unit *= 1024;
    ++index;
  }
  // Tenths of the unit, rounded as asked, so that a need never shows as
  // what is free.
  const uint64_t tenths = (bytes * 10 + (roundUp ? unit - 1 : 0)) / unit;
  return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10) + " " +
         std::string(kUnits[index]);
}

void SpaceNeeds::AddFile(std::string_view path, uint64_t bytes) {
  const std::string root = DriveRoot(path);
  if (root.empty())
    return;
  Drive& drive = drives_[core::UpperAscii(root)];
  drive.root = core::UpperAscii(root.substr(0, 1)) + root.substr(1);
  drive.bytes += (bytes + kAllocationUnit - 1) / kAllocationUnit * kAllocationUnit;
  if (bytes == 0)
    drive.bytes += kAllocationUnit;
}

void SpaceNeeds::Check(platform::Files& files) const {
  for (const auto& [key, drive] : drives_) {
    const std::optional<uint64_t> free = files.FreeSpace(drive.root);
    if (!free || *free >= drive.bytes)
      continue;
    throw EInstallError("Auf dem Laufwerk " + drive.root +
                        " ist nicht genug Platz frei: Setup braucht dort " +
                        SizeText(drive.bytes, true) + ", frei sind " + SizeText(*free, false) +
                        ". Schaffen Sie Platz auf dem Laufwerk, oder wählen Sie ein anderes "
                        "Zielverzeichnis");
  }
}

}  // namespace engine

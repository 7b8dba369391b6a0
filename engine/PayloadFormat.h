#pragma once

// The payload of a setup as Setup.exe reads it and the setup builder writes
// it. Header only, so that the builder shares these values without linking
// the engine.

#include <cstdint>
#include <string>
#include <string_view>

namespace engine::payload {

/// The payload archive beside Setup.exe, or the joined archive in the work
/// folder.
inline constexpr std::string_view kArchiveName = "Setup.szp";
/// The parts of a split payload: "Disk" + k + ".id", k = 1, 2, ...
inline constexpr std::string_view kPartPrefix = "Disk";
inline constexpr std::string_view kPartSuffix = ".id";
/// The scrambled payload list: section [Listfile], `FileCount` and one key
/// per file number giving its destination.
inline constexpr std::string_view kListEntry = "(listfile)";
inline constexpr std::string_view kListSection = "Listfile";
/// The uninstaller image, copied to the Windows directory by the run.
inline constexpr std::string_view kUninstallerEntry = "in32i$$.ex_";
/// The component archive (a ZIP inside the payload) and its list.
inline constexpr std::string_view kComponentEntry = "to_execute";
inline constexpr std::string_view kComponentList = "$$exec.ini";

/// Each stored byte of a payload list line is the plain byte raised by this
/// offset, modulo 256; CR and LF are stored as they are. Builders must use
/// the same value. At most 10, so that no byte from a blank upwards turns
/// into a line break when scrambled.
inline constexpr uint8_t kScrambleOffset = 7;

inline std::string PartName(int k) {
  return std::string(kPartPrefix) + std::to_string(k) + std::string(kPartSuffix);
}

/// One line (without its line break), scrambled as stored.
inline std::string ScrambleLine(std::string_view plain) {
  std::string stored(plain);
  for (char& c : stored)
    c = static_cast<char>(static_cast<uint8_t>(c) + kScrambleOffset);
  return stored;
}

/// One stored line (without its line break) back to its plain form.
inline std::string UnscrambleLine(std::string_view stored) {
  std::string plain(stored);
  for (char& c : plain)
    c = static_cast<char>(static_cast<uint8_t>(c) - kScrambleOffset);
  return plain;
}

}  // namespace engine::payload

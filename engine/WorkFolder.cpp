#include "engine/WorkFolder.h"

#include "core/Convert.h"
#include "engine/InstallError.h"

namespace engine {

namespace {

// Names are passed over only when another has taken them first; a file
// system that refuses every one must not keep the run here.
constexpr int kTries = 100;

std::string Hex(uint64_t number) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text(16, '0');
  for (int k = 15; k >= 0; --k, number >>= 4)
    text[static_cast<size_t>(k)] = kDigits[number & 15];
  return text;
}

// The temporary folder of the Windows directory, spelt as its directory
// lists it. Windows finds a name spelt in any case at no cost; Wine keeps
// the files on a case-sensitive disk and searches the Windows directory
// again for every path that spells "Temp" otherwise than the disk does,
// and the run names its work folder many times for every file it places.
std::string TempFolder(platform::Files& files, std::string_view windowsDir) {
  for (const platform::DirEntry& entry : files.ListSubdirectories(windowsDir)) {
    if (core::SameTextIgnoreCase(entry.name, "Temp"))
      return std::string(windowsDir) + "\\" + entry.name;
  }
  return std::string(windowsDir) + "\\Temp";
}

}  // namespace

std::string CreateWorkFolder(platform::Files& files, platform::System& system,
                             std::string_view windowsDir) {
  const std::string temp = TempFolder(files, windowsDir);
  for (int k = 0; k < kTries; ++k) {
    const std::string candidate = temp + "\\tewol_inst-" + Hex(system.UnguessableNumber());
    if (files.CreatePrivateDirectory(candidate))
      return candidate;
  }
  throw EInstallError("Setup kann keinen Arbeitsordner in \"" + temp +
                      "\" anlegen. Die Installation wurde nicht begonnen");
}

void RemoveFolderIfEmpty(platform::Files& files, std::string_view folder,
                         std::string_view elsewhere) {
  if (core::SameTextIgnoreCase(files.CurrentDirectory(), folder))
    files.SetCurrentDirectory(elsewhere);
  files.RemoveDirectory(folder);
}

}  // namespace engine

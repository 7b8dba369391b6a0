#include "engine/WorkFolder.h"

#include "core/Convert.h"

namespace engine {

namespace {

// Enough for any number of interrupted runs a machine sees; bounded so that
// a refusing file system cannot keep the run here.
constexpr int kMaxWorkFolders = 1000;

}  // namespace

std::string CreateWorkFolder(platform::Files& files, std::string_view windowsDir) {
  const std::string plain = std::string(windowsDir) + "\\Temp\\tewol_inst";
  for (int k = 1; k <= kMaxWorkFolders; ++k) {
    const std::string candidate = k == 1 ? plain : plain + std::to_string(k);
    // Creating one level fails for an existing folder, so a folder this
    // call made is this run's alone.
    if (files.CreateDirectory(candidate))
      return candidate;
    if (!files.DirectoryExists(candidate) && !files.FileExists(candidate))
      break;
  }
  return plain;
}

void RemoveFolderIfEmpty(platform::Files& files, std::string_view folder,
                         std::string_view elsewhere) {
  if (core::SameTextIgnoreCase(files.CurrentDirectory(), folder))
    files.SetCurrentDirectory(elsewhere);
  files.RemoveDirectory(folder);
}

}  // namespace engine

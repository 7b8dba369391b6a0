#include "engine/RunContext.h"

#include <algorithm>

#include "core/Convert.h"
#include "engine/InstallError.h"
#include "engine/PayloadFormat.h"

namespace engine {

RunContext::RunContext(platform::Platform& platform, RunSettings& settings,
                       archive::TZipUnpacker& zip, InstallView& view, std::stop_token stop)
    : platform(platform),
      settings(settings),
      zip(zip),
      view(view),
      stop(std::move(stop)),
      setupDir(core::DirectoryOf(platform.system.ModulePath())),
      control(platform.profile, setupDir + "Setup.inf"),
      archiveDir(setupDir),
      placeholders(platform, settings) {}

std::string RunContext::PayloadArchive() const {
  return archiveDir + std::string(payload::kArchiveName);
}

void RunContext::Extract(const std::string& archive, std::vector<std::string> entries,
                         std::string_view dir) {
  if (!platform.files.DirectoryExists(dir))
    return;
  // The archive component never replaces a file: one already in the place
  // of an entry would be used as if it had come from the payload.
  const std::string folder = std::string(dir) + (dir.ends_with('\\') ? "" : "\\");
  for (const std::string& entry : entries) {
    if (entry.empty())
      continue;
    std::string path = folder + entry;
    std::replace(path.begin(), path.end(), '/', '\\');
    if (platform.files.Attributes(path)) {
      throw EInstallError("Im Arbeitsordner liegt schon \"" + path +
                          "\", bevor Setup es entpackt hat. Setup verwendet nichts, was es "
                          "nicht selbst entpackt hat");
    }
  }
  if (zip.ArchivePath() != archive)
    zip.SetArchivePath(archive);
  zip.EntryNames() = std::move(entries);
  zip.SetExtractDir(dir);
  zip.Extract();
}

}  // namespace engine

#include "engine/RunContext.h"

#include "core/Convert.h"
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
  if (zip.ArchivePath() != archive)
    zip.SetArchivePath(archive);
  zip.EntryNames() = std::move(entries);
  zip.SetExtractDir(dir);
  zip.Extract();
}

}  // namespace engine

#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/IniReader.h"
#include "engine/RunSettings.h"
#include "platform/Platform.h"

namespace engine {

/// What the run installed, line by line, in the order Uninstall.inf lists
/// it; phases only append. Beside it the extra-file list, which the file
/// phase fills and then copies to the end of the log.
class UninstallLog {
 public:
  void Clear() { lines_.clear(); }
  void Append(std::string line) { lines_.push_back(std::move(line)); }
  const std::vector<std::string>& Lines() const { return lines_; }

  void ClearExtraFiles() { extraFiles_.clear(); }
  void AppendExtraFile(std::string line) { extraFiles_.push_back(std::move(line)); }
  /// Appends every line of the extra-file list to the log, in order.
  void AppendExtraFiles();

  /// Starts the log anew with the comment lines, [Settings] and
  /// [Directories] with the target directory.
  void WriteHeader(const core::IniReader& control, const RunSettings& settings,
                   std::string_view targetDir);

  /// The bytes of the file: the lines in the ANSI code page, CR LF after
  /// every line.
  std::string FileContent(platform::System& system) const;
  /// Writes FileContent to `path`, replacing an existing file. Raises
  /// EInstallError when it cannot be written.
  void Save(platform::Platform& platform, std::string_view path) const;

 private:
  std::vector<std::string> lines_;
  std::vector<std::string> extraFiles_;
};

}  // namespace engine

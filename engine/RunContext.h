#pragma once

#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ZipUnpacker.h"
#include "core/IniReader.h"
#include "engine/EarlierInstallation.h"
#include "engine/InstallError.h"
#include "engine/InstallView.h"
#include "engine/RunSettings.h"
#include "engine/SpecialFolders.h"
#include "engine/UninstallLog.h"
#include "platform/Platform.h"

namespace engine {

/// What the phases of one installation run share: the services, the run's
/// settings, the archive component they extract with, the installation
/// form, the stop, and the values the run sets up once and keeps to its end.
struct RunContext {
  RunContext(platform::Platform& platform, RunSettings& settings, archive::TZipUnpacker& zip,
             InstallView& view, std::stop_token stop);

  /// The payload archive in the archive directory.
  std::string PayloadArchive() const;
  /// True once the stop of the run was requested (the user ended the
  /// program through the cancel question).
  bool Ended() const { return stop.stop_requested(); }
  /// Extracts entries of `archive` into `dir` with the archive component,
  /// naming the archive only when the component holds another one. Nothing
  /// is extracted when `dir` does not exist: the component would write into
  /// whatever the current directory is. Raises EInstallError when a file or
  /// folder already lies where an entry is to go.
  void Extract(const std::string& archive, std::vector<std::string> entries, std::string_view dir);
  void Extract(const std::string& archive, std::string_view entry, std::string_view dir) {
    Extract(archive, std::vector<std::string>{std::string(entry)}, dir);
  }

  platform::Platform& platform;
  RunSettings& settings;
  archive::TZipUnpacker& zip;
  InstallView& view;
  std::stop_token stop;
  /// The directory of the running program, with trailing backslash.
  std::string setupDir;
  /// The run's own reader on Setup.inf beside the program.
  core::IniReader control;
  /// Without trailing backslash.
  std::string windowsDir;
  /// Without trailing backslash.
  std::string workFolder;
  /// Where Setup.szp is read from, with trailing backslash: the setup
  /// directory, or the work folder once split parts were joined there.
  std::string archiveDir;
  UninstallLog log;
  PlaceholderPaths placeholders;
  /// The installation of this product on the machine when the run began,
  /// when its record is the run's trusted copy; nullopt when there is none.
  std::optional<EarlierInstallation> earlier;
  /// Its web-update entry below HKEY_LOCAL_MACHINE, without leading
  /// backslash ("...\TW_UPD_WEB\Program<n>"), which the run's web-update
  /// registration updates; empty when it has none.
  std::string earlierWebUpdate;
  /// The bytes of the payload's files the run has placed, as the archive
  /// gives their sizes: what Apps & Features shows as the product's size.
  uint64_t placedBytes = 0;
};

}  // namespace engine

#pragma once

#include <optional>
#include <string>

#include "engine/PayloadList.h"
#include "engine/RunContext.h"

namespace engine {

/// Puts the payload's files in their places, one after another: extracted
/// into the work folder under their number, copied to their destination and
/// deleted again; every file recorded for the uninstaller.
class FilePlacement {
 public:
  FilePlacement(RunContext& run, PayloadList& list) : run_(run), list_(list) {}

  /// Starts [Files] in the uninstall log; returns the number of files.
  /// Raises EInstallError when a drive the files go to lacks the room for
  /// them, before any is placed.
  int Begin();
  /// The destination of file `n` as the payload list gives it.
  std::string Entry(int n);
  /// Extracts file `n` into the work folder; raises EInstallError when the
  /// archive cannot give it (missing, damaged, no room to write it).
  void Extract(int n);
  /// Resolves the destination of file `n`, records it and creates its folder.
  void PrepareDestination(int n);
  /// The full path file `n` is copied to.
  std::string Destination() const { return folder_ + name_; }
  /// Copies file `n` over whatever is at its destination and adds its size
  /// to the run's placed bytes; raises EInstallError when the copy fails (a
  /// read-only or locked file, a missing folder, a full drive).
  void Copy(int n);
  void RemoveTemporary(int n);
  /// Deletes the numbered file of an item the run did not finish.
  void RemoveLeftover();

  /// Appends [ExtraFiles] to the uninstall log when files were placed.
  void LogExtraFiles();
  /// Finds the installed file that [UninstallInfo] DisplayIcon names.
  void ResolveDisplayIcon();
  const std::string& DisplayIconPath() const { return displayIcon_; }

 private:
  std::string Temporary(int n) const;
  void CheckFreeSpace(int count);

  RunContext& run_;
  PayloadList& list_;
  int extraCount_ = 0;
  std::string value_;
  std::string folder_;
  std::string name_;
  std::optional<int> pending_;
  // The uncompressed size of every numbered entry of the payload.
  std::unordered_map<std::string, uint64_t> sizes_;
  std::string displayIcon_ = "[Tessarwolden]";
};

}  // namespace engine

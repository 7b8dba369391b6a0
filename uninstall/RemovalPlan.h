#pragma once

// The removal plan: what the uninstaller takes away, in the reverse order of
// the installation run, after every recorded path and key passed the safety
// rules.

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "uninstall/PathRules.h"
#include "uninstall/UninstallRecord.h"

namespace uninstall {

enum class StepKind {
  Shortcut,         // a shortcut file
  Folder,           // a folder, only when empty
  RegistryValues,   // values of one key, then the key when left empty
  File,             // a file the run placed
  ControlFile,      // Uninstall.inf itself
  UninstallerCopy,  // the uninstaller's copy in the Windows directory
};

struct Step {
  StepKind kind = StepKind::File;
  /// File or folder path.
  std::string path;
  /// For a folder: once it is gone, its parents below this folder go too
  /// while they are empty; empty for none.
  std::string parentsBelow;
  platform::RegRoot root = platform::RegRoot::CurrentUser;
  /// Key path below the root, without leading backslash.
  std::string key;
  std::vector<std::string> valueNames;
  /// For registry values: the key's empty parents go too (not past the keys
  /// that are never deleted).
  bool keyParents = false;

  bool operator==(const Step&) const = default;
};

struct RemovalPlan {
  std::vector<Step> steps;
  /// What the file names but the plan leaves alone, with the reason, in German.
  std::vector<std::string> skipped;
};

/// Why the record cannot be acted on at all (a damaged or hostile file), in
/// German; nullopt when it can.
std::optional<std::string> RefuseRecord(const UninstallRecord& record,
                                        const ProtectedFolders& protectedFolders);

/// The plan for an accepted record read from `controlFile`. Reads the
/// registry to find the web-update entry and to see whose the uninstall
/// entry is, and the files to find the unattended run's log and the list of
/// created folders; changes nothing.
RemovalPlan MakeRemovalPlan(const UninstallRecord& record, const std::string& controlFile,
                            platform::Platform& platform, const ProtectedFolders& protectedFolders);

/// The root that a [Registry] root name selects, as the run selects it.
platform::RegRoot RootOf(std::string_view name);
/// The name a report shows for a root ("HKEY_LOCAL_MACHINE").
std::string_view RootName(platform::RegRoot root);

/// Keys that are never deleted, even when empty: the first level below a
/// root and the system's own keys that products register below.
bool IsProtectedKey(std::string_view key);

}  // namespace uninstall

#pragma once

// The removal plan: what the uninstaller takes away, in the reverse order of
// the installation run, after every recorded path and key passed the safety
// rules. Even a record the run wrote itself is only taken as far as it names
// what is plausibly the product's: files and folders below its installation
// folder, shortcuts where the run puts them, registry values outside the
// system's own keys and other products' uninstall entries.

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
  ControlFile,      // Uninstall.inf, the lists beside it and the run's copies of them
  UninstallerCopy,  // the uninstaller's copy in the Windows directory
};

struct Step {
  StepKind kind = StepKind::File;
  /// File or folder path.
  std::string path;
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

/// Why the file is no record of this setup, or one whose AppName names no
/// plain file name for the uninstaller's copy (a "..\" would lead out of the
/// Windows directory), in German; nullopt when it is neither.
std::optional<std::string> RefuseIdentity(const UninstallRecord& record);

/// Why the record cannot be acted on at all (a damaged or hostile file), in
/// German; nullopt when it can. Besides RefuseIdentity: its installation
/// folder is no plain absolute path, a folder of the system or of a user
/// (every profile and the profiles folder included), or does not hold
/// `controlFile`, the Uninstall.inf the uninstaller was given.
std::optional<std::string> RefuseRecord(const UninstallRecord& record, std::string_view controlFile,
                                        const ProtectedFolders& protectedFolders);

/// The plan for an accepted record of the Uninstall.inf `controlFile`.
/// Reads the registry to find the web-update entry and to see whose the
/// uninstall entry is, and the files to find the unattended run's log and
/// the list of created folders; changes nothing.
RemovalPlan MakeRemovalPlan(const UninstallRecord& record, const std::string& controlFile,
                            platform::Platform& platform, const ProtectedFolders& protectedFolders);

/// A key path of a record without its leading and trailing backslashes.
std::string KeyPath(std::string_view key);

/// The vendor keys below HKEY_LOCAL_MACHINE, without leading backslash, that
/// the standard registration of `record` may have written "Company" and
/// "Name" into: one, or two when the record names no company (a company
/// left blank and a missing one give different keys).
std::vector<std::string> VendorKeys(const UninstallRecord& record);

/// The web-update entries below HKEY_LOCAL_MACHINE (without leading
/// backslash, "Software\Vormek\TW_UPD_WEB\Program<n>") of the product
/// `programId` installed in `mainDir`, in the order of their names.
std::vector<std::string> WebUpdateEntries(platform::Registry& registry, std::string_view programId,
                                          std::string_view mainDir);

/// The root that a [Registry] root name selects, as the run selects it.
platform::RegRoot RootOf(std::string_view name);
/// The name a report shows for a root ("HKEY_LOCAL_MACHINE").
std::string_view RootName(platform::RegRoot root);

/// Keys that are never deleted, even when empty: the first level below a
/// root and the system's own keys that products register below.
bool IsProtectedKey(std::string_view key);

/// Why the value `title` of `key` below `root` is left alone although a
/// record names it, in German; nullopt when it may go. Left alone: values of
/// first-level keys (but in HKEY_CLASSES_ROOT) and of the system's own keys
/// (RegisteredOwner's, the shell folders, Winlogon, everything below
/// System\...\Control), the default value of a Run or RunOnce key (a named
/// one is the product's own start), another product's uninstall entry than
/// the one of `appName` and the web-update counter every product shares.
std::optional<std::string> RefuseValue(platform::RegRoot root, std::string_view key,
                                       std::string_view title, std::string_view appName);

}  // namespace uninstall

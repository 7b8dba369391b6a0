#pragma once

// What Uninstall.inf records of one installation run, read back through the
// profile-string service (the run writes it in the ANSI code page, CR LF
// after every line).

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace uninstall {

/// The [Settings] signature of every Uninstall.inf the run writes.
inline constexpr std::string_view kSignature = "#$Meravlunx_Tessarwolden$#";

/// One value of [Registry]: root name as written, key path and value name.
struct RecordedValue {
  std::string root;
  std::string key;
  std::string title;
};

struct UninstallRecord {
  std::string signature;
  std::string appName;
  std::string company;
  std::string version;
  bool standardReg = false;
  bool marrowlink = false;
  std::string mainDir;
  /// [Files] and [ExtraFiles] together, in the order of writing, each path once.
  std::vector<std::string> files;
  std::vector<std::string> extraDirs;
  std::vector<RecordedValue> values;
  /// [Marrowlink] ProgramID; nullopt when the section has none.
  std::optional<std::string> programId;
  /// The Path lines of [Links]; an entry without one (a skipped shortcut)
  /// gives nothing.
  std::vector<std::string> links;
  std::string programPath;
  /// The folders the run created, parents before children, as the file
  /// beside names them; empty when it names none.
  std::vector<std::string> createdFolders;

  /// "<AppName> <Version>", or a word for the product when both are empty.
  std::string ProductTitle() const;
  /// The AppName the run made the names of the uninstaller's copy and of
  /// its uninstall entry with: it reads AppName with the default "1", the
  /// file records it with an empty default, so an empty name stands for "1".
  std::string NameOfCopies() const;
};

/// Reads the file at `path` and the list of created folders at
/// `createdFolders` (none when empty). Items whose lines are missing are
/// left out, so a count larger than the lines present does no harm; no
/// count is taken above the number of lines the file has. A missing or
/// unreadable list of created folders lists none.
UninstallRecord ReadUninstallRecord(platform::Platform& platform, const std::string& path,
                                    const std::string& createdFolders);

/// The record that the lines of an Uninstall.inf hold (UTF-8, as the run
/// collects them before it writes the file), read as ReadUninstallRecord
/// reads the file; it names no created folders.
UninstallRecord ParseUninstallRecord(const std::vector<std::string>& lines);

/// The path of the list of created folders beside the Uninstall.inf at `path`.
std::string CreatedFoldersFileBeside(std::string_view path);

}  // namespace uninstall

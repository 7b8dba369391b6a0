#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"
#include "platform/Registry.h"

namespace engine {

/// A registry value as the run found it before changing it.
struct OldValue {
  platform::RegType type = platform::RegType::None;
  std::string text;  // String, ExpandString
  uint32_t dword = 0;
  std::vector<uint8_t> bytes;  // Binary
};

/// What the run is about to change on the machine, written down before each
/// change in a file of its work folder, so that a run that ends by an error,
/// a cancel or a killed process can be undone: by the run itself, or by the
/// next Setup.exe that finds the file. Files the run replaces are moved into
/// the journal's backup folder first. Each line is written through at once;
/// what the process had not written when it died it had not changed yet.
class Journal {
 public:
  static constexpr std::string_view kFileName = "Journal.txt";
  static constexpr std::string_view kBackupFolder = "Sicherung";

  explicit Journal(platform::Files& files) : files_(files) {}
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  /// Starts the journal file in `workFolder` (without trailing backslash);
  /// false when it cannot be written (the run must then change nothing).
  bool Open(std::string workFolder);
  bool IsOpen() const { return out_ != nullptr; }
  /// Whether anything on the machine was recorded.
  bool Empty() const { return entries_ == 0; }
  /// The folders recorded as made, in order.
  const std::vector<std::string>& CreatedFolders() const { return createdFolders_; }

  void FolderCreated(std::string_view path);
  /// Records that the empty folder at `path` is about to be removed.
  void FolderRemoved(std::string_view path);
  void FileCreated(std::string_view path);
  /// Records that the file at `path` is about to be replaced and returns
  /// where it is to be moved first.
  std::string FileReplaced(std::string_view path);
  void KeyCreated(platform::RegRoot root, std::string_view key);
  /// Records that the empty key is about to be deleted.
  void KeyRemoved(platform::RegRoot root, std::string_view key);
  /// Records a value about to be written or deleted, with what it was
  /// (nullopt: it did not exist).
  void ValueChanged(platform::RegRoot root, std::string_view key, std::string_view name,
                    const std::optional<OldValue>& old);

  /// Ends the writing; the file stays for UndoJournal.
  void Close() { out_.reset(); }
  /// Closes the journal file and deletes it with the backups: the run
  /// completed and keeps what it did.
  void Discard();

 private:
  void Write(const std::vector<std::string>& fields);

  platform::Files& files_;
  std::string workFolder_;
  std::unique_ptr<platform::WriteStream> out_;
  int entries_ = 0;
  std::vector<std::string> createdFolders_;
  int backups_ = 0;
};

/// Undoes the journal in `workFolder` from its last line to its first:
/// removes what the run created (folders only when empty), puts back what
/// it replaced or deleted, makes again the folders and keys it removed,
/// restores old registry values, deletes keys it created when they are
/// empty. Deletes the journal and the backups afterwards. Returns
/// what could not be undone, one German line per item; empty when all was.
std::vector<std::string> UndoJournal(platform::Files& files, platform::Registry& registry,
                                     std::string_view workFolder);

/// Whether `workFolder` holds a journal.
bool HasJournal(platform::Files& files, std::string_view workFolder);

}  // namespace engine

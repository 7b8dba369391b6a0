#pragma once

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "engine/Journal.h"
#include "platform/ForwardingFiles.h"
#include "platform/ForwardingShell.h"
#include "platform/Registry.h"

namespace engine {

// The machine as the installation run changes it: every change outside the
// run's work folder is written into the journal before it is made, so that
// the run can be undone. What the run does inside its work folder is its own
// and goes with the folder.

/// Files: folders made and removed, files placed, replaced and deleted. A file is
/// placed whole: written under a temporary name beside its place and then
/// renamed, an existing one moved into the journal's backups first, so a
/// stop never leaves half a file at a destination.
class JournaledFiles : public platform::ForwardingFiles {
 public:
  JournaledFiles(platform::Files& inner, Journal& journal)
      : ForwardingFiles(inner), journal_(journal) {}

  /// Nothing is journaled below `workFolder`.
  void SetWorkFolder(std::string workFolder) { workFolder_ = std::move(workFolder); }

  bool CreateDirectory(std::string_view path) override;
  bool RemoveDirectory(std::string_view path) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool MoveFile(std::string_view from, std::string_view to, bool replace) override;
  bool DeleteFile(std::string_view path) override;
  /// Refused: a deletion at the next restart could not be undone.
  bool DeleteAtRestart(std::string_view) override { return false; }
  bool WriteFile(std::string_view path, std::string_view content) override;
  std::unique_ptr<platform::WriteStream> OpenWrite(std::string_view path) override;

  /// Journals a file about to be written at `path` in place (a shortcut):
  /// an existing one is moved into the backups (`backup` says where). False
  /// when it cannot be moved; nothing changed then.
  bool ClearForNew(std::string_view path, std::optional<std::string>& backup);
  /// Puts a backed-up file back after its replacement failed.
  void PutBack(const std::string& backup, std::string_view path);

 private:
  bool Outside(std::string_view path) const;
  /// Puts a file at `to`, outside the work folder, through `write`, which
  /// writes the given temporary path; false (and nothing changed) when it
  /// cannot.
  template <typename Write>
  bool Place(std::string_view to, bool failIfExists, Write write);
  /// Moves an existing file into the backups; false when it cannot be moved.
  bool BackUp(std::string_view path, std::string& backup);
  void NoteCreated(std::string_view path);

  Journal& journal_;
  std::string workFolder_;
  // The files this run created (folded), which it may delete again freely.
  std::set<std::string> created_;
};

/// The registry: keys created and deleted, values written or deleted with
/// what they were. A value of a type the run could not put back is left as it is.
class JournaledRegistry : public platform::Registry {
 public:
  JournaledRegistry(platform::Registry& inner, Journal& journal)
      : inner_(inner), journal_(journal) {}

  std::unique_ptr<platform::RegistryKey> OpenKey(platform::RegRoot root,
                                                 std::string_view path) override;
  std::unique_ptr<platform::RegistryKey> CreateKey(platform::RegRoot root,
                                                   std::string_view path) override;
  bool DeleteEmptyKey(platform::RegRoot root, std::string_view path) override;
  bool KeyExists(platform::RegRoot root, std::string_view path) override {
    return inner_.KeyExists(root, path);
  }

 private:
  platform::Registry& inner_;
  Journal& journal_;
};

/// The shell: shortcut files written, an existing one backed up first.
class JournaledShell : public platform::ForwardingShell {
 public:
  JournaledShell(platform::Shell& inner, JournaledFiles& files)
      : ForwardingShell(inner), files_(files) {}

  platform::ShortcutResult WriteShortcut(const platform::Shortcut& shortcut,
                                         std::string_view path) override;

 private:
  JournaledFiles& files_;
};

}  // namespace engine

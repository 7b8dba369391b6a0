#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace platform::sim {

/// The file system of the simulated machine. Each drive is a folder below a
/// host folder; names are looked up without regard to case, one component at
/// a time, as Windows does. Attributes that a Linux file system cannot hold
/// (hidden, system, read-only) live in a side table. Open streams block
/// writers the way the Windows share modes of the program's opens do; they
/// must not outlive the file system.
class SimFiles : public Files {
 public:
  /// The size every present medium reports.
  static constexpr uint64_t kSimDiskSize = uint64_t{64} << 30;

  explicit SimFiles(std::filesystem::path hostRoot);

  void AddDrive(char letter, DriveType type, bool present, std::string label, uint32_t serial);
  /// Where a Windows path lives on the host; a path below no present drive
  /// maps to a host path that does not exist.
  std::filesystem::path HostPath(std::string_view path);
  /// Writes a file and its missing directories; throws SimError when the
  /// drive is missing or holds no medium.
  void PutFile(std::string_view path, std::string_view content);
  /// Sets the read-only, hidden and system bits of an existing file or
  /// directory; throws SimError when it is missing.
  void SetAttributes(std::string_view path, uint32_t attributes);
  /// Refuses (or, with `deny` false, allows again) every change at or below
  /// `path`, as a full or write-protected medium does: nothing can be
  /// created, written, replaced or removed there. Throws SimError when the
  /// path names no drive.
  void DenyWrites(std::string_view path, bool deny);
  /// From now on the drive has only `bytes` free: a write that needs more
  /// fails (a write stream writes what still fits, a copy or move nothing),
  /// and what is deleted or truncated gives its room back. Only writes
  /// through this interface count. A drive never limited reports half of
  /// kSimDiskSize free.
  void SetFreeSpace(char letter, uint64_t bytes);
  /// The full paths marked for deletion at the next start, in order.
  const std::vector<std::string>& RestartDeletes() const;
  /// The current directory; throws SimError when it does not exist.
  void ForceCurrentDirectory(std::string_view path);

  bool FileExists(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  bool CreateDirectory(std::string_view path) override;
  bool CreatePrivateDirectory(std::string_view path) override;
  /// Whether the directory was made with CreatePrivateDirectory.
  bool IsPrivateDirectory(std::string_view path);
  bool RemoveDirectory(std::string_view path) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool MoveFile(std::string_view from, std::string_view to, bool replace) override;
  bool DeleteFile(std::string_view path) override;
  bool DeleteAtRestart(std::string_view path) override;
  std::optional<std::string> ReadFile(std::string_view path) override;
  bool WriteFile(std::string_view path, std::string_view content) override;
  std::unique_ptr<ReadStream> OpenRead(std::string_view path) override;
  std::unique_ptr<WriteStream> OpenWrite(std::string_view path) override;
  std::optional<uint32_t> Attributes(std::string_view path) override;
  std::vector<DirEntry> ListDirectory(std::string_view path) override;
  std::string CurrentDirectory() override;
  bool SetCurrentDirectory(std::string_view path) override;
  std::string WindowsDirectory() override;
  std::string TempDirectory() override;
  std::string FullPath(std::string_view path) override;
  uint32_t LogicalDrives() override;
  DriveType GetDriveType(std::string_view root) override;
  std::optional<VolumeInfo> VolumeInformation(std::string_view root) override;
  std::optional<uint64_t> DiskSize(std::string_view root) override;
  std::optional<uint64_t> FreeSpace(std::string_view root) override;

 private:
  struct Drive {
    DriveType type = DriveType::Fixed;
    bool present = true;
    std::string label;
    uint32_t serial = 0;
  };
  struct OpenCount {
    int readers = 0;
    int writers = 0;
  };
  // A path resolved against the current directory: its Windows form, the key
  // of the side tables and its host location.
  struct Resolved {
    std::string full;
    std::string key;
    std::filesystem::path host;
  };
  class SimReadStream;
  class SimWriteStream;

  /// nullopt when the path names no present drive or cannot be parsed.
  std::optional<Resolved> Resolve(std::string_view path);
  bool Writable(const Resolved& file);
  bool WritesDenied(const Resolved& file) const;
  /// Takes room on a drive for `bytes`: all of them, or with `partly` as many
  /// as fit; answers how many were taken (0 when they do not fit and not
  /// `partly`). Drives without a limit give all.
  uint64_t Take(char drive, uint64_t bytes, bool partly);
  void GiveBack(char drive, uint64_t bytes);
  /// The size of an existing file; 0 for anything else.
  static uint64_t SizeOf(const Resolved& file);
  /// True while a write stream on the file is open.
  bool BeingWritten(const Resolved& file) const;
  /// The attributes of an existing file or directory with that side-table key.
  uint32_t AttributesOf(bool directory, const std::string& key) const;

  std::filesystem::path root_;
  std::map<char, Drive> drives_;
  std::string current_;
  std::map<std::string, uint32_t> attributes_;
  std::map<std::string, OpenCount> open_;
  std::set<std::string> denied_;
  // Keys of the directories made private.
  std::set<std::string> private_;
  // Drives with a limited room: the bytes still free.
  std::map<char, uint64_t> free_;
  std::vector<std::string> restartDeletes_;
};

}  // namespace platform::sim

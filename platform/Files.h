#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// File attributes carry the numbers Windows gives them.
namespace attr {
inline constexpr uint32_t ReadOnly = 0x1;
inline constexpr uint32_t Hidden = 0x2;
inline constexpr uint32_t System = 0x4;
inline constexpr uint32_t Directory = 0x10;
inline constexpr uint32_t Archive = 0x20;
/// A link to elsewhere (a junction, a symbolic link): removing it must not
/// follow it.
inline constexpr uint32_t ReparsePoint = 0x400;
}  // namespace attr

struct DirEntry {
  std::string name;
  uint32_t attributes = 0;
};

enum class DriveType {
  Unknown = 0,
  NoRootDir = 1,
  Removable = 2,
  Fixed = 3,
  Remote = 4,
  CdRom = 5,
  RamDisk = 6
};

struct VolumeInfo {
  std::string label;
  uint32_t serial = 0;
};

/// A file open for reading at any offset; others may read it but not write it.
class ReadStream {
 public:
  virtual ~ReadStream() = default;

  /// The size of the file in bytes; 0 when it cannot be determined.
  virtual uint64_t Size() = 0;
  /// Reads up to `size` bytes at `offset`; returns how many were read (fewer at
  /// the end of the file), nullopt on a read error.
  virtual std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
};

/// A file open for writing from its start; closed when the object goes away.
/// Meanwhile nobody else can write it, and the readers of this interface
/// cannot open it.
class WriteStream {
 public:
  virtual ~WriteStream() = default;

  /// Appends bytes; false on a write error.
  virtual bool Write(const void* data, size_t size) = 0;
};

/// The file system as the program sees it: Windows paths with drive letters
/// and backslashes.
class Files {
 public:
  virtual ~Files() = default;

  /// True when `path` names an existing file (not a directory).
  virtual bool FileExists(std::string_view path) = 0;
  /// True when `path` names an existing directory.
  virtual bool DirectoryExists(std::string_view path) = 0;
  /// Creates one directory level; false when it exists already, its parent is
  /// missing or creation is refused.
  virtual bool CreateDirectory(std::string_view path) = 0;
  /// Creates one directory level that only the administrators, the system
  /// and the running user may open, inheriting no access from its parent;
  /// false when it exists already, its parent is missing or creation is
  /// refused.
  virtual bool CreatePrivateDirectory(std::string_view path) = 0;
  /// Removes an empty directory; false when it is missing, not empty or refused.
  virtual bool RemoveDirectory(std::string_view path) = 0;
  /// Copies a file; with `failIfExists` an existing target makes it fail.
  /// False on any failure.
  virtual bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) = 0;
  /// Moves a file, also to another drive, keeping its attributes; with
  /// `replace` an existing target file is replaced. False on any failure (a
  /// missing or open source, a target that exists without `replace`, a
  /// read-only target, refused); the source is then as it was.
  virtual bool MoveFile(std::string_view from, std::string_view to, bool replace) = 0;
  /// Deletes a file; false when it is missing or refused.
  virtual bool DeleteFile(std::string_view path) = 0;
  /// Marks an existing file to be deleted the next time Windows starts, as
  /// for a file in use, which cannot be deleted now; the file stays until
  /// then. False when the file is missing or the mark is refused (marking
  /// needs administrator rights).
  virtual bool DeleteAtRestart(std::string_view path) = 0;
  /// The whole content of a file; nullopt when it is missing or unreadable.
  virtual std::optional<std::string> ReadFile(std::string_view path) = 0;
  /// Replaces (or creates) a file with `content`; false on failure.
  virtual bool WriteFile(std::string_view path, std::string_view content) = 0;
  /// Opens a file for reading; nullptr when it is missing or cannot be opened.
  virtual std::unique_ptr<ReadStream> OpenRead(std::string_view path) = 0;
  /// Creates (or truncates) a file for writing; nullptr on failure.
  virtual std::unique_ptr<WriteStream> OpenWrite(std::string_view path) = 0;
  /// The attributes of a file or directory; nullopt when it is missing.
  virtual std::optional<uint32_t> Attributes(std::string_view path) = 0;
  /// The immediate entries of `path`, files and subdirectories alike (without
  /// "." and ".."), in no particular order; empty when the directory is
  /// missing or cannot be read.
  virtual std::vector<DirEntry> ListDirectory(std::string_view path) = 0;
  /// The subdirectories among the entries of `path`.
  std::vector<DirEntry> ListSubdirectories(std::string_view path) {
    std::vector<DirEntry> entries = ListDirectory(path);
    std::erase_if(entries,
                  [](const DirEntry& entry) { return !(entry.attributes & attr::Directory); });
    return entries;
  }

  /// The process's current directory, without trailing backslash except at a
  /// drive root; empty when it cannot be determined.
  virtual std::string CurrentDirectory() = 0;
  /// Makes `path` the current directory; false when it does not exist or is
  /// refused, and the current directory stays as it was.
  virtual bool SetCurrentDirectory(std::string_view path) = 0;
  /// The Windows directory, without trailing backslash; empty when it cannot be
  /// determined.
  virtual std::string WindowsDirectory() = 0;
  /// The folder for temporary files, with a trailing backslash; empty when it
  /// cannot be determined.
  virtual std::string TempDirectory() = 0;
  /// `path` made absolute against the current directory, "." and ".." resolved,
  /// '/' turned into a backslash, a trailing backslash kept. The path need not
  /// exist; empty when it cannot be made absolute.
  virtual std::string FullPath(std::string_view path) = 0;

  /// Bit n set when drive letter 'A' + n exists (with or without a medium);
  /// 0 on failure.
  virtual uint32_t LogicalDrives() = 0;
  /// The kind of drive of a root such as "C:\"; NoRootDir when the drive does
  /// not exist or `root` is no drive root, Unknown when the kind cannot be told.
  virtual DriveType GetDriveType(std::string_view root) = 0;
  /// Volume label and serial number of a root; nullopt when the drive does not
  /// exist or holds no readable medium.
  virtual std::optional<VolumeInfo> VolumeInformation(std::string_view root) = 0;
  /// The size in bytes of the medium in the drive of a root such as "A:\",
  /// asked without the system's critical-error dialog; nullopt when the drive
  /// does not exist or holds no medium it can read.
  virtual std::optional<uint64_t> DiskSize(std::string_view root) = 0;
  /// The bytes the program may still write on the drive of a root such as
  /// "C:\" or "\\server\share\" (what is free, less what a disk quota
  /// keeps from the user), asked without the system's critical-error
  /// dialog; nullopt when the drive does not exist or holds no medium it
  /// can read.
  virtual std::optional<uint64_t> FreeSpace(std::string_view root) = 0;
};

}  // namespace platform

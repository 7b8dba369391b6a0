#pragma once

#include "platform/Files.h"

namespace platform::win32 {

/// The file system through CreateFileW, FindFirstFileW and their kin. Files
/// opened for reading can be read but not written by others meanwhile.
class Win32Files : public Files {
 public:
  bool FileExists(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;
  bool CreateDirectory(std::string_view path) override;
  bool CreatePrivateDirectory(std::string_view path) override;
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
};

}  // namespace platform::win32

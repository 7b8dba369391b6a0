#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

namespace platform {

/// A file system that hands every call to another one; what derives from it
/// changes what it changes (a test that makes reads fail, the run that
/// notes every change it makes).
class ForwardingFiles : public Files {
 public:
  explicit ForwardingFiles(Files& inner) : inner_(inner) {}

  bool FileExists(std::string_view path) override { return inner_.FileExists(path); }
  bool DirectoryExists(std::string_view path) override { return inner_.DirectoryExists(path); }
  bool CreateDirectory(std::string_view path) override { return inner_.CreateDirectory(path); }
  bool CreatePrivateDirectory(std::string_view path) override {
    return inner_.CreatePrivateDirectory(path);
  }
  bool RemoveDirectory(std::string_view path) override { return inner_.RemoveDirectory(path); }
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override {
    return inner_.CopyFile(from, to, failIfExists);
  }
  bool MoveFile(std::string_view from, std::string_view to, bool replace) override {
    return inner_.MoveFile(from, to, replace);
  }
  bool DeleteFile(std::string_view path) override { return inner_.DeleteFile(path); }
  bool DeleteAtRestart(std::string_view path) override { return inner_.DeleteAtRestart(path); }
  std::optional<std::string> ReadFile(std::string_view path) override {
    return inner_.ReadFile(path);
  }
  bool WriteFile(std::string_view path, std::string_view content) override {
    return inner_.WriteFile(path, content);
  }
  std::unique_ptr<ReadStream> OpenRead(std::string_view path) override {
    return inner_.OpenRead(path);
  }
  std::unique_ptr<WriteStream> OpenWrite(std::string_view path) override {
    return inner_.OpenWrite(path);
  }
  std::optional<uint32_t> Attributes(std::string_view path) override {
    return inner_.Attributes(path);
  }
  std::vector<DirEntry> ListDirectory(std::string_view path) override {
    return inner_.ListDirectory(path);
  }
  std::string CurrentDirectory() override { return inner_.CurrentDirectory(); }
  bool SetCurrentDirectory(std::string_view path) override {
    return inner_.SetCurrentDirectory(path);
  }
  std::string WindowsDirectory() override { return inner_.WindowsDirectory(); }
  std::string TempDirectory() override { return inner_.TempDirectory(); }
  std::string FullPath(std::string_view path) override { return inner_.FullPath(path); }
  uint32_t LogicalDrives() override { return inner_.LogicalDrives(); }
  DriveType GetDriveType(std::string_view root) override { return inner_.GetDriveType(root); }
  std::optional<VolumeInfo> VolumeInformation(std::string_view root) override {
    return inner_.VolumeInformation(root);
  }
  std::optional<uint64_t> DiskSize(std::string_view root) override { return inner_.DiskSize(root); }
  std::optional<uint64_t> FreeSpace(std::string_view root) override {
    return inner_.FreeSpace(root);
  }

 protected:
  Files& inner_;
};

}  // namespace platform

#pragma once

// The few file operations the unzip library needs, with UTF-8 paths. One
// implementation per system: FileIo-posix.cpp and FileIo-win32.cpp.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace unpack {

class InputFile {
 public:
  virtual ~InputFile() = default;
  /// Opens an existing file for reading; nullptr when it is missing or cannot
  /// be opened.
  static std::unique_ptr<InputFile> Open(const std::string& path);

  virtual uint64_t Size() const = 0;
  /// Reads up to `size` bytes at `offset`; how many were read (fewer only at
  /// the end of the file), nullopt on a read error.
  virtual std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
};

enum class CreateResult { Created, Exists, Failed };

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  /// Creates `name` in the current directory. Without `replace` an existing
  /// file (or anything else of that name) is left alone and Exists comes back;
  /// with it, an existing file is deleted first. Links are never followed.
  static std::unique_ptr<OutputFile> Create(const std::string& name, bool replace,
                                            CreateResult& result);
  /// Deletes a file in the current directory; false when that fails.
  static bool Remove(const std::string& name);

  /// Appends bytes; false on a write error.
  virtual bool Write(const void* data, size_t size) = 0;
  /// Flushes and closes; false when the data could not be written.
  virtual bool Close() = 0;
};

}  // namespace unpack

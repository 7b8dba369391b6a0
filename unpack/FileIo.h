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
  /// When the file was last written, in the system's units, as it was at
  /// opening; 0 when the system cannot tell.
  virtual uint64_t LastWriteTime() const = 0;
  /// Reads up to `size` bytes at `offset`; how many were read (fewer only at
  /// the end of the file), nullopt on a read error.
  virtual std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
};

enum class CreateResult { Created, Exists, Failed };

/// An entry's file on its way into the current directory. The data goes into
/// a new temporary file there, under a name the library makes, and takes the
/// entry's name only through Place, once the caller has found its size and
/// CRC right: a process killed halfway leaves no partial file under the
/// entry's name, a damaged entry replaces nothing, and no link of that name is
/// ever followed. Unless placed, the temporary file is deleted when the
/// object goes.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  /// Starts the file for `name`, a name in the current directory. Without
  /// `replace` an existing file (or anything else of that name) is left alone
  /// and Exists comes back; with it, a file or link of that name is to be
  /// replaced, and anything else (a folder) gives Exists too.
  static std::unique_ptr<OutputFile> Create(const std::string& name, bool replace,
                                            CreateResult& result);

  /// Appends bytes; false on a write error.
  virtual bool Write(const void* data, size_t size) = 0;
  /// Flushes and closes; false when the data could not be written.
  virtual bool Close() = 0;
  /// Gives the closed file the entry's name: with `replace` over a file or
  /// link of that name (the link itself is replaced), otherwise only while
  /// the name is still free, and Exists when something took it meanwhile.
  /// The temporary file is gone afterwards whatever the result.
  virtual CreateResult Place() = 0;
};

/// The name of a process's temporary file number `counter`, before it
/// becomes an entry's file; whoever finds one after a crash can tell it by
/// its start.
inline std::string TemporaryName(unsigned long processId, uint32_t counter) {
  return "~szunpack." + std::to_string(processId) + "." + std::to_string(counter) + ".tmp";
}
/// How many names Create tries when the ones it makes are taken already, by
/// leftovers of a killed process that had the same id.
inline constexpr int kTemporaryNameTries = 1000;

}  // namespace unpack

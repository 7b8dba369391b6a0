#pragma once

// Writes a ZIP archive through libzip: every entry deflated, stored under
// exactly the name given, no folder entries.

#include <cstdint>
#include <ctime>
#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

struct zip;
struct zip_source;

namespace builder {

class ZipWriter {
 public:
  /// Starts a new archive at `path`, which must not exist. Raises BuildError
  /// when it cannot be created.
  explicit ZipWriter(const std::filesystem::path& path);
  /// Drops an archive that was not closed, leaving no file behind.
  ~ZipWriter();
  ZipWriter(const ZipWriter&) = delete;
  ZipWriter& operator=(const ZipWriter&) = delete;

  /// Adds the file at `source` as `name` (UTF-8), dated `time` or, without
  /// one, as the file is. The file is read only by Close.
  void AddFile(std::string_view name, const std::filesystem::path& source,
               std::optional<std::time_t> time = std::nullopt);
  /// Adds `bytes` as `name`, dated `time`.
  void AddBytes(std::string_view name, std::string bytes, std::time_t time);

  /// Compresses and writes everything. Raises BuildError when that fails,
  /// naming the archive and libzip's reason; the archive is then dropped.
  void Close();

 private:
  // Adds `source` (which the archive takes over) and returns its index.
  uint64_t Add(std::string_view name, struct zip_source* source);
  [[noreturn]] void Fail(std::string_view what);

  struct zip* archive_ = nullptr;
  std::filesystem::path path_;
  std::deque<std::string> buffers_;  // read by libzip only when closing
};

}  // namespace builder

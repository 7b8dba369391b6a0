#pragma once

// The unzip library's view of an archive's central directory: where it is,
// and a walk over its headers that reads in bounded chunks, so memory stays
// small whatever the number of entries.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "unpack/FileIo.h"
#include "unpack/ZipFormat.h"

namespace unpack {

struct DirectoryLocation {
  uint64_t offset = 0;  // where the directory really starts in the file
  uint64_t size = 0;
  /// Added to every stored local header offset: non-zero when the archive
  /// has data in front of it (a self-extractor stub) that its offsets do not
  /// count.
  int64_t shift = 0;
  /// What the end record (and the ZIP64 end record) said.
  zip::DirectoryRecord record;
  /// A directory whose size field is too small still holds every header the
  /// end record counts, as the archive component reads them: the walk goes
  /// on past `size` until `counted` headers are read, up to `limit` (where
  /// the end record starts) at the latest. 0 and 0: the walk ends at `size`.
  uint64_t counted = 0;
  uint64_t limit = 0;
};

/// Finds the central directory through the end record (and the ZIP64 end
/// record when the end record's fields are saturated) by the rule the
/// archive component follows too (zip::PlaceDirectory); nullopt when the
/// file has no usable end record.
std::optional<DirectoryLocation> LocateDirectory(InputFile& file);

/// The bytes of the file a header's entry takes at least: its local header
/// without name and extra field, and its compressed data.
struct EntrySpan {
  uint64_t start = 0;  // the local header, shifted like CentralEntry's
  uint64_t end = 0;
};

struct CentralEntry {
  zip::CentralHeader header;
  zip::EntryExtent extent;  // local header offset already shifted
  std::string_view rawName;
  std::string_view extra;
};

class DirectoryWalker {
 public:
  /// Reads `chunk` bytes at a time: large for walking the whole directory,
  /// small for reading one header.
  DirectoryWalker(InputFile& file, const DirectoryLocation& where, size_t chunk = kWalkChunk);

  /// The next header, valid until the following call; nullptr at the end of
  /// the directory or at a damaged header (Damaged() tells which).
  const CentralEntry* Next();
  /// Moves to the next header like Next but reads only its stored name, for
  /// searches that rule most headers out by name; nullopt where Next gives
  /// nullptr.
  std::optional<std::string_view> NextName();
  /// The whole header NextName moved to, valid until the following call.
  const CentralEntry& Current();
  /// The span of the header NextName moved to, read without the whole header
  /// unless its ZIP64 extra field holds the values.
  EntrySpan CurrentSpan();
  bool Damaged() const { return damaged_; }
  /// Where in the file the header NextName moved to starts.
  uint64_t CurrentOffset() const { return currentPos_; }
  /// Where the headers read so far end.
  uint64_t Position() const { return pos_; }

  /// Below the size for which malloc maps fresh memory.
  static constexpr size_t kWalkChunk = 64 * 1024;

 private:
  bool Ensure(uint64_t pos, size_t len);

  InputFile& file_;
  DirectoryLocation where_;
  uint64_t pos_;
  uint64_t sizeEnd_;   // where the size field says the directory ends
  uint64_t end_;       // the furthest counted headers may reach
  uint64_t read_ = 0;  // headers
  std::vector<uint8_t> buffer_;
  uint64_t bufferStart_ = 0;
  size_t bufferLength_ = 0;
  uint64_t currentPos_ = 0;  // of the header NextName moved to
  CentralEntry current_;
  bool damaged_ = false;
};

}  // namespace unpack

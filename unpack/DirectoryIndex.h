#pragma once

// An archive's directory as the library looks entries up in it: from an
// entry's name to its header, and the spans of all entries for the overlap
// check, so that a call for one entry need not walk the directory. A caller
// that extracts one entry per call keeps the library loaded, and the index
// is kept between calls for the archive it was made of while the archive
// stays as it was (see IndexCache).

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unpack/Directory.h"
#include "unpack/FileIo.h"

namespace unpack {

/// The key entry names are compared by, as Windows compares file names:
/// either slash, ASCII letters without regard to case.
std::string MatchKey(std::string_view name);

/// An entry found by name: its header as read again from the directory.
struct IndexedEntry {
  std::string name;  // UTF-8, as stored
  zip::CentralHeader header;
  zip::EntryExtent extent;  // sizes and offset: the header's are only 32 bits wide
  size_t headerIndex = 0;   // in the directory
};

class DirectoryIndex {
 public:
  /// Walks the directory at `where` once; names are converted as
  /// EntryTextToUtf8 converts them with the system's OEM code page.
  DirectoryIndex(InputFile& file, const DirectoryLocation& where);

  /// The first entry in the directory whose name has the match key `key`;
  /// nullopt when there is none, or when its header cannot be read again.
  std::optional<IndexedEntry> Find(InputFile& file, std::string_view key) const;

  /// True when the walk stopped at a damaged header; the index then holds the
  /// entries before it.
  bool Damaged() const { return damaged_; }
  /// Where the directory's headers end: past its size field's end when the
  /// end record counts headers behind it.
  uint64_t DirectoryEnd() const { return directoryEnd_; }

  /// Whether the bytes from `from` to `to` share one with the span of an
  /// entry other than the one at `headerIndex`. Spans that run into the
  /// directory or past the end of the file belong to damaged entries, which
  /// cannot be extracted, and are left out.
  bool OverlapsAnother(size_t headerIndex, uint64_t from, uint64_t to) const;

 private:
  DirectoryLocation where_;
  uint64_t directoryEnd_ = 0;
  bool damaged_ = false;
  std::vector<uint64_t> headerOffsets_;  // of every header, in directory order
  // (hash of the match key, header index), sorted: equal keys lie together in
  // directory order.
  std::vector<std::pair<uint64_t, uint32_t>> byKey_;
  // The spans that count, sorted by start, and for every prefix of them the
  // largest end with its header, and the largest end of another header.
  std::vector<uint64_t> spanStarts_;
  struct PrefixEnds {
    uint64_t largest = 0;
    uint32_t header = 0;
    uint64_t largestOfOthers = 0;
  };
  std::vector<PrefixEnds> prefixEnds_;
};

/// The index of the archive the last call read, kept while the library stays
/// loaded. It serves a call only for the same archive path, while the file's
/// size and last-write time and its end record are as they were, and the OEM
/// code page too; otherwise it is made again.
class IndexCache {
 public:
  /// The index for `path`, opened as `file`, whose directory the end record
  /// read in this call places at `where`. The lease holds the cache until it
  /// goes; a call made meanwhile (from a callback, or on another thread)
  /// gets an index of its own.
  class Lease {
   public:
    const DirectoryIndex& operator*() const { return *index_; }
    const DirectoryIndex* operator->() const { return index_; }

   private:
    friend class IndexCache;
    std::unique_lock<std::mutex> lock_;
    std::unique_ptr<DirectoryIndex> own_;
    const DirectoryIndex* index_ = nullptr;
  };
  Lease Get(const std::string& path, InputFile& file, const DirectoryLocation& where);

  /// The one cache of the library.
  static IndexCache& Shared();

 private:
  struct Identity {
    std::string path;
    uint64_t size = 0;
    uint64_t lastWrite = 0;
    DirectoryLocation where;
    unsigned oemCodePage = 0;
    bool operator==(const Identity& o) const;
  };
  std::mutex mutex_;
  Identity identity_;
  std::unique_ptr<DirectoryIndex> index_;
};

}  // namespace unpack

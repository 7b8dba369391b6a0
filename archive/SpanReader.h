#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "archive/DiskSet.h"
#include "platform/Platform.h"

namespace archive {

class BufferedReader;

/// Reads a spanned archive as one stream: what does not fit on one disk goes
/// on at the start of the next, up to the last disk. With a single disk (no
/// set) it is a plain sequential reader.
class SpanReader {
 public:
  /// Reads from `pos` of `stream`, which is disk `disk` (0-based) of `set`;
  /// `count` is the number of disks the requests name (0 when not told).
  SpanReader(std::unique_ptr<platform::ReadStream> stream, uint32_t disk, uint64_t pos,
             DiskSet* set, uint32_t lastDisk, int count);
  ~SpanReader();

  uint32_t disk() const { return disk_; }
  void Seek(uint64_t pos) { pos_ = pos; }

  /// Bytes read (fewer only at the end of the last disk); nullopt on a read
  /// error.
  std::optional<size_t> Read(uint8_t* out, size_t size);

 private:
  std::unique_ptr<platform::ReadStream> stream_;
  std::unique_ptr<BufferedReader> reader_;
  uint32_t disk_;
  uint64_t pos_;
  DiskSet* set_;
  uint32_t lastDisk_;
  int count_;
};

}  // namespace archive

#pragma once

// Decompression of one entry's data, in fixed-size chunks.

#include <cstdint>
#include <functional>

#include "unpack/FileIo.h"

namespace unpack {

struct EntryData {
  uint16_t method = 0;
  uint32_t crc = 0;
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint64_t localHeaderOffset = 0;
};

enum class DataResult {
  Ok,
  UnsupportedMethod,
  DataError,     // no local header where the directory says, or damaged or truncated data
  SizeMismatch,  // more or less data than the directory states
  CrcMismatch,
  WriteFailed,
  Cancelled,
};

/// Receives the decompressed bytes; false when they could not be written.
using DataSink = std::function<bool(const uint8_t* data, size_t size)>;
/// Told how many bytes a chunk had; false asks to stop.
using DataProgress = std::function<bool(size_t bytes)>;

/// Reads the local header at the entry's offset, then decompresses (or copies)
/// its data into `sink`, checking size and CRC against the directory. Never
/// hands `sink` more than the directory's uncompressed size.
DataResult ExtractData(InputFile& file, const EntryData& entry, const DataSink& sink,
                       const DataProgress& progress);

}  // namespace unpack

#pragma once

// Decompression of one entry's data, in fixed-size chunks.

#include <cstdint>
#include <functional>
#include <optional>

#include "unpack/FileIo.h"
#include "unpack/ZipCrypto.h"
#include "unpack/ZipFormat.h"

namespace unpack {

enum class DataResult {
  Ok,
  DataError,     // damaged or truncated data
  SizeMismatch,  // more or less data than the directory states
  CrcMismatch,
  WriteFailed,
  Cancelled,
};

/// Receives the decompressed bytes; false when they could not be written.
using DataSink = std::function<bool(const uint8_t* data, size_t size)>;
/// Told how many bytes a chunk had; false asks to stop.
using DataProgress = std::function<bool(size_t bytes)>;

/// Where the entry's data (its encryption header, if any) starts, behind the
/// local header at the extent's offset; nullopt when there is no local header
/// there or the data would run past the end of the file.
std::optional<uint64_t> LocateData(InputFile& file, const zip::EntryExtent& extent);

/// Decompresses (or copies) the entry's data, which starts at `start` (from
/// LocateData), into `sink`, checking size and CRC against the directory.
/// The method must be stored or deflated: callers skip every other one.
/// Method and CRC come from `header32`, whose sizes are the 32-bit ones and
/// are never read: sizes come from `extent`. Never hands `sink` more than the
/// extent's uncompressed size. An encrypted entry needs `cipher`, whose keys
/// have accepted the entry's encryption header (ZipCrypto::AcceptHeader), so
/// the data holds at least that header; the data behind it is decrypted
/// through the cipher.
DataResult ExtractData(InputFile& file, const zip::CentralHeader& header32,
                       const zip::EntryExtent& extent, uint64_t start, const DataSink& sink,
                       const DataProgress& progress, ZipCrypto* cipher = nullptr);

}  // namespace unpack

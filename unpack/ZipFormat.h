#pragma once

// Record layouts of the ZIP file format, shared by the archive component's
// directory reader and the unzip library.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace unpack::zip {

inline constexpr uint32_t kSigLocal = 0x04034B50;
inline constexpr uint32_t kSigCentral = 0x02014B50;
inline constexpr uint32_t kSigEnd = 0x06054B50;
inline constexpr uint32_t kSigZip64End = 0x06064B50;
inline constexpr uint32_t kSigZip64Locator = 0x07064B50;
/// First four bytes of the first volume of a spanned set.
inline constexpr uint32_t kSigSpanned = 0x08074B50;

inline constexpr size_t kEndSize = 22;
inline constexpr size_t kCentralSize = 46;
inline constexpr size_t kLocalSize = 30;
inline constexpr size_t kZip64LocatorSize = 20;
inline constexpr size_t kZip64EndSize = 56;
/// End record plus the longest comment it can carry.
inline constexpr size_t kEndSearchSize = kEndSize + 0xFFFF;

inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflated = 8;
/// WinZip's AES encryption, which names the real method in an extra field.
inline constexpr uint16_t kMethodAes = 99;
inline constexpr uint16_t kFlagEncrypted = 0x0001;
/// PKWARE's strong encryption, with its own header in front of the data.
inline constexpr uint16_t kFlagStrongEncryption = 0x0040;
/// CRC and sizes follow the entry's data in a data descriptor.
inline constexpr uint16_t kFlagDataDescriptor = 0x0008;
/// Signature that may start a data descriptor (the same as kSigSpanned).
inline constexpr uint32_t kSigDataDescriptor = 0x08074B50;
inline constexpr uint16_t kExtraZip64 = 0x0001;

/// `a` + `b`, held at 2^64-1 instead of wrapping around: sizes come from the
/// archive, which may declare any of them.
inline uint64_t SaturatingAdd(uint64_t a, uint64_t b) {
  return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}
/// A size as the signed 64-bit number that callers are given: from 2^63 up,
/// the largest such number, never a negative one.
inline int64_t SignedSize(uint64_t size) {
  return size > INT64_MAX ? INT64_MAX : static_cast<int64_t>(size);
}

inline uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline uint64_t Le64(const uint8_t* p) {
  return static_cast<uint64_t>(Le32(p)) | (static_cast<uint64_t>(Le32(p + 4)) << 32);
}
inline void Put16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}
inline void Put32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(value >> (8 * i));
}

/// The length of a local header with its name and extra field; `p` points
/// at its signature and has kLocalSize bytes.
inline size_t LocalHeaderLength(const uint8_t* p) {
  return kLocalSize + Le16(p + 26) + Le16(p + 28);
}

struct EndRecord {
  uint16_t diskNumber = 0;
  uint16_t directoryDisk = 0;
  uint16_t entriesOnDisk = 0;
  uint16_t totalEntries = 0;
  uint32_t directorySize = 0;
  uint32_t directoryOffset = 0;
  uint16_t commentLength = 0;
};

/// Reads an end record; `p` points at its signature and has kEndSize bytes.
EndRecord ParseEndRecord(const uint8_t* p);
/// True when a field is saturated, so that the ZIP64 end record holds the value.
bool NeedsZip64(const EndRecord& end);

/// Scans `size` bytes from the end of a file backwards for an end record
/// signature, starting kEndSize + 1 bytes before their end: the position of
/// the first hit whose comment ends where the file ends, so that an end
/// record inside the comment of the real one is passed over; failing that,
/// of the first hit (the file then has bytes behind the comment). nullopt
/// when there is none.
std::optional<size_t> FindEndRecord(const uint8_t* tail, size_t size);

struct Zip64Locator {
  uint32_t endDisk = 0;
  uint64_t endOffset = 0;
  uint32_t diskCount = 0;
};
/// Reads a ZIP64 end locator (kZip64LocatorSize bytes); nullopt on a wrong signature.
std::optional<Zip64Locator> ParseZip64Locator(const uint8_t* p);

struct Zip64End {
  uint32_t diskNumber = 0;
  uint32_t directoryDisk = 0;
  uint64_t entriesOnDisk = 0;
  uint64_t totalEntries = 0;
  uint64_t directorySize = 0;
  uint64_t directoryOffset = 0;
};
/// Reads a ZIP64 end record (kZip64EndSize bytes); nullopt on a wrong signature.
std::optional<Zip64End> ParseZip64End(const uint8_t* p);

/// Reads up to `size` bytes at `offset` of a file: how many it read, nullopt
/// on a read error (the shape of both readers' ReadAt).
using ReadAtFn = std::function<std::optional<size_t>(uint64_t offset, void* buffer, size_t size)>;

enum class EndSearch { Found, FileTooShort, ReadFailed, NotFound };

/// Where the end record is and the bytes it was found in.
struct EndLocation {
  EndSearch result = EndSearch::NotFound;
  uint64_t position = 0;      // of the end record in the file
  std::vector<uint8_t> tail;  // the bytes read from the end of the file
  size_t inTail = 0;          // where the end record starts in `tail`
  EndRecord record;
};

/// Finds the end record of a file of `fileSize` bytes: the last kEndSize bytes
/// when the archive has no comment, otherwise through FindEndRecord in the
/// last kEndSearchSize bytes.
EndLocation LocateEndRecord(const ReadAtFn& read, uint64_t fileSize);

struct Zip64Location {
  uint64_t position = 0;
  Zip64End record;
};

/// The ZIP64 end record that belongs to the end record `end` at `endPos`,
/// when NeedsZip64 says there is one: through the locator right before the
/// end record, tried right before the locator and then where the locator says
/// (which is wrong when data was put in front of the archive). A candidate
/// that does not start before the locator is passed over. nullopt when the
/// fields are not saturated, or there is no locator or no record.
std::optional<Zip64Location> LocateZip64End(const ReadAtFn& read, const EndRecord& end,
                                            uint64_t endPos);

/// What the end records say of the central directory: the end record's
/// fields, or the ZIP64 end record's when LocateZip64End finds one.
struct DirectoryRecord {
  uint64_t recordStart = 0;  // of the record read; the directory ends there on its disk
  uint64_t entries = 0;
  uint64_t size = 0;
  uint64_t storedOffset = 0;
  uint32_t thisDisk = 0;
  uint32_t directoryDisk = 0;
  bool zip64 = false;
  bool operator==(const DirectoryRecord&) const = default;
};
/// The directory record of the end record `found` (whose result is Found).
DirectoryRecord ReadDirectoryRecord(const ReadAtFn& read, const EndLocation& found);

/// Where the central directory of a file of `fileSize` bytes starts when it
/// lies on the disk of its end record, by the one rule of the component and
/// the library: right before the record that names it, where the stored
/// offset is too small by what was put in front of the archive (a
/// self-extractor stub); otherwise at the stored offset. Each place counts
/// only with a central header there, unless the directory is empty. nullopt
/// when neither holds one, or the size reaches back past the file's start.
std::optional<uint64_t> PlaceDirectory(const ReadAtFn& read, uint64_t fileSize,
                                       const DirectoryRecord& record);

/// The 42 bytes of a central directory header after its signature.
struct CentralHeader {
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t time = 0;
  uint16_t date = 0;
  uint32_t crc = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t startDisk = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
};

/// Where a central directory header keeps the lengths of its name, extra
/// field and comment, counted from its signature.
inline constexpr size_t kCentralNameLengthAt = 28;
inline constexpr size_t kCentralExtraLengthAt = 30;
inline constexpr size_t kCentralCommentLengthAt = 32;

/// Reads a central directory header; `p` points at its signature and has
/// kCentralSize bytes.
CentralHeader ParseCentralHeader(const uint8_t* p);

/// Sizes and position of an entry with the ZIP64 extended information applied.
struct EntryExtent {
  uint64_t compressedSize = 0;
  uint64_t uncompressedSize = 0;
  uint64_t localHeaderOffset = 0;
  uint32_t startDisk = 0;
};

/// The header's sizes and offset, each saturated one replaced from the ZIP64
/// extra field when the extra data carries it.
EntryExtent ResolveExtent(const CentralHeader& header, const uint8_t* extra, size_t extraLength);

}  // namespace unpack::zip

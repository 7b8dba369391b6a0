#include "unpack/ZipFormat.h"

#include <algorithm>

namespace unpack::zip {

EndRecord ParseEndRecord(const uint8_t* p) {
  EndRecord r;
  r.diskNumber = Le16(p + 4);
  r.directoryDisk = Le16(p + 6);
  r.entriesOnDisk = Le16(p + 8);
  r.totalEntries = Le16(p + 10);
  r.directorySize = Le32(p + 12);
  r.directoryOffset = Le32(p + 16);
  r.commentLength = Le16(p + 20);
  return r;
}

bool NeedsZip64(const EndRecord& end) {
  return end.diskNumber == 0xFFFF || end.directoryDisk == 0xFFFF || end.entriesOnDisk == 0xFFFF ||
         end.totalEntries == 0xFFFF || end.directorySize == 0xFFFFFFFF ||
         end.directoryOffset == 0xFFFFFFFF;
}

std::optional<size_t> FindEndRecord(const uint8_t* tail, size_t size) {
  if (size < kEndSize + 1)
    return std::nullopt;
  std::optional<size_t> first;
  for (size_t pos = size - kEndSize - 1;; --pos) {
    if (Le32(tail + pos) == kSigEnd) {
      if (pos + kEndSize + Le16(tail + pos + 20) == size)
        return pos;
      if (!first)
        first = pos;
    }
    if (pos == 0)
      break;
  }
  return first;
}

EndLocation LocateEndRecord(const ReadAtFn& read, uint64_t fileSize) {
  EndLocation found;
  if (fileSize < kEndSize) {
    found.result = EndSearch::FileTooShort;
    return found;
  }
  found.tail.resize(kEndSize);
  auto got = read(fileSize - kEndSize, found.tail.data(), kEndSize);
  if (!got || *got != kEndSize) {
    found.result = EndSearch::ReadFailed;
    return found;
  }
  uint64_t tailStart = fileSize - kEndSize;
  if (Le32(found.tail.data()) != kSigEnd) {
    const auto tailSize = static_cast<size_t>(std::min<uint64_t>(fileSize, kEndSearchSize));
    found.tail.resize(tailSize);
    tailStart = fileSize - tailSize;
    got = read(tailStart, found.tail.data(), tailSize);
    if (!got || *got != tailSize) {
      found.result = EndSearch::ReadFailed;
      return found;
    }
    auto hit = FindEndRecord(found.tail.data(), tailSize);
    if (!hit) {
      found.result = EndSearch::NotFound;
      return found;
    }
    found.inTail = *hit;
  }
  found.result = EndSearch::Found;
  found.position = tailStart + found.inTail;
  found.record = ParseEndRecord(found.tail.data() + found.inTail);
  return found;
}

std::optional<Zip64Locator> ParseZip64Locator(const uint8_t* p) {
  if (Le32(p) != kSigZip64Locator)
    return std::nullopt;
  Zip64Locator r;
  r.endDisk = Le32(p + 4);
  r.endOffset = Le64(p + 8);
  r.diskCount = Le32(p + 16);
  return r;
}

std::optional<Zip64End> ParseZip64End(const uint8_t* p) {
  if (Le32(p) != kSigZip64End)
    return std::nullopt;
  Zip64End r;
  r.diskNumber = Le32(p + 16);
  r.directoryDisk = Le32(p + 20);
  r.entriesOnDisk = Le64(p + 24);
  r.totalEntries = Le64(p + 32);
  r.directorySize = Le64(p + 40);
  r.directoryOffset = Le64(p + 48);
  return r;
}

std::optional<Zip64Location> LocateZip64End(const ReadAtFn& read, const EndRecord& end,
                                            uint64_t endPos) {
  if (!NeedsZip64(end) || endPos < kZip64LocatorSize)
    return std::nullopt;
  const uint64_t limit = endPos - kZip64LocatorSize;
  uint8_t loc[kZip64LocatorSize];
  auto got = read(endPos - kZip64LocatorSize, loc, sizeof loc);
  auto locator = got && *got == sizeof loc ? ParseZip64Locator(loc) : std::nullopt;
  if (!locator)
    return std::nullopt;
  std::vector<uint64_t> candidates;
  if (endPos >= kZip64LocatorSize + kZip64EndSize)
    candidates.push_back(endPos - kZip64LocatorSize - kZip64EndSize);
  candidates.push_back(locator->endOffset);
  for (uint64_t at : candidates) {
    uint8_t rec[kZip64EndSize];
    if (at >= limit)
      continue;
    got = read(at, rec, sizeof rec);
    if (!got || *got != sizeof rec)
      continue;
    if (auto end64 = ParseZip64End(rec))
      return Zip64Location{at, *end64};
  }
  return std::nullopt;
}

DirectoryRecord ReadDirectoryRecord(const ReadAtFn& read, const EndLocation& found) {
  DirectoryRecord r;
  if (auto end64 = LocateZip64End(read, found.record, found.position)) {
    r.recordStart = end64->position;
    r.entries = end64->record.totalEntries;
    r.size = end64->record.directorySize;
    r.storedOffset = end64->record.directoryOffset;
    r.thisDisk = end64->record.diskNumber;
    r.directoryDisk = end64->record.directoryDisk;
    r.zip64 = true;
    return r;
  }
  r.recordStart = found.position;
  r.entries = found.record.totalEntries;
  r.size = found.record.directorySize;
  r.storedOffset = found.record.directoryOffset;
  r.thisDisk = found.record.diskNumber;
  r.directoryDisk = found.record.directoryDisk;
  return r;
}

std::optional<uint64_t> PlaceDirectory(const ReadAtFn& read, uint64_t fileSize,
                                       const DirectoryRecord& record) {
  if (record.size > record.recordStart)
    return std::nullopt;
  auto hasHeader = [&](uint64_t at) {
    uint8_t sig[4];
    const auto got = read(at, sig, sizeof sig);
    return got && *got == sizeof sig && Le32(sig) == kSigCentral;
  };
  const uint64_t computed = record.recordStart - record.size;
  if (record.size == 0 || hasHeader(computed))
    return computed;
  if (record.storedOffset <= fileSize && record.size <= fileSize - record.storedOffset &&
      hasHeader(record.storedOffset)) {
    return record.storedOffset;
  }
  return std::nullopt;
}

CentralHeader ParseCentralHeader(const uint8_t* p) {
  CentralHeader h;
  h.versionMadeBy = Le16(p + 4);
  h.versionNeeded = Le16(p + 6);
  h.flags = Le16(p + 8);
  h.method = Le16(p + 10);
  h.time = Le16(p + 12);
  h.date = Le16(p + 14);
  h.crc = Le32(p + 16);
  h.compressedSize = Le32(p + 20);
  h.uncompressedSize = Le32(p + 24);
  h.nameLength = Le16(p + kCentralNameLengthAt);
  h.extraLength = Le16(p + kCentralExtraLengthAt);
  h.commentLength = Le16(p + kCentralCommentLengthAt);
  h.startDisk = Le16(p + 34);
  h.internalAttributes = Le16(p + 36);
  h.externalAttributes = Le32(p + 38);
  h.localHeaderOffset = Le32(p + 42);
  return h;
}

EntryExtent ResolveExtent(const CentralHeader& header, const uint8_t* extra, size_t extraLength) {
  EntryExtent e;
  e.compressedSize = header.compressedSize;
  e.uncompressedSize = header.uncompressedSize;
  e.localHeaderOffset = header.localHeaderOffset;
  e.startDisk = header.startDisk;
  size_t pos = 0;
  while (extra && pos + 4 <= extraLength) {
    uint16_t id = Le16(extra + pos);
    size_t len = Le16(extra + pos + 2);
    const uint8_t* data = extra + pos + 4;
    if (pos + 4 + len > extraLength)
      break;
    if (id == kExtraZip64) {
      // The field lists only the saturated values, always in this order.
      size_t at = 0;
      auto take64 = [&](uint64_t& value) {
        if (at + 8 <= len) {
          value = Le64(data + at);
          at += 8;
        }
      };
      if (header.uncompressedSize == 0xFFFFFFFF)
        take64(e.uncompressedSize);
      if (header.compressedSize == 0xFFFFFFFF)
        take64(e.compressedSize);
      if (header.localHeaderOffset == 0xFFFFFFFF)
        take64(e.localHeaderOffset);
      if (header.startDisk == 0xFFFF && at + 4 <= len)
        e.startDisk = Le32(data + at);
      break;
    }
    pos += 4 + len;
  }
  return e;
}

}  // namespace unpack::zip

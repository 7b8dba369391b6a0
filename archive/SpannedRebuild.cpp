#include "archive/ZipUnpacker.h"

// The rebuild of a spanned archive into the single-file copy that the
// library reads.

#include <algorithm>
#include <functional>

#include "archive/DiskSet.h"
#include "archive/MessageNumbers.h"
#include "archive/SpanReader.h"
#include "unpack/ZipFormat.h"

namespace archive {

namespace zip = unpack::zip;

namespace {

constexpr size_t kCopyChunk = 64 * 1024;

// One entry of a spanned set on its way into the single-file copy.
struct SpanItem {
  size_t index = 0;  // in the directory
  uint32_t disk = 0;
  uint64_t offset = 0;
  uint64_t packedSize = 0;
  uint16_t flags = 0;
  std::string name;
};

void Write(platform::WriteStream& out, const void* data, size_t size, uint64_t& written) {
  if (!out.Write(data, size))
    throw EZipUnpacker(kCopyWrite);
  written += size;
}

// Copies `size` bytes from the set into the copy; the bytes may run on over
// several disks. False when `stopped` said so before a block.
bool Copy(SpanReader& in, platform::WriteStream& out, uint64_t size, uint64_t& written,
          std::vector<uint8_t>& buffer, const std::function<bool()>& stopped) {
  while (size > 0) {
    if (stopped())
      return false;
    const size_t want = static_cast<size_t>(std::min<uint64_t>(size, buffer.size()));
    auto got = in.Read(buffer.data(), want);
    if (!got)
      throw EZipUnpacker(kCopyRead);
    if (*got != want)
      throw EZipUnpacker(kCopyTruncated);
    Write(out, buffer.data(), want, written);
    size -= want;
  }
  return true;
}

}  // namespace

// The entries are copied disk by disk in the order they lie on the disks, so
// that each disk is asked for once; the directory keeps its order, with every
// entry on disk 0 at its offset in the copy.
bool TZipUnpacker::RebuildSpanned(const std::string& copy, std::string& created) {
  platform::Files& files = platform_.files;
  if (files.FileExists(copy) && OnCopyOverwrite && !OnCopyOverwrite(copy))
    throw EZipUnpacker(kCopyExists);
  if (spanHeaders_.size() > 0xFFFF)
    throw EZipUnpacker(kCopyZip64);

  std::vector<SpanItem> items;
  for (size_t i = 0; i < spanHeaders_.size(); ++i) {
    const zip::CentralHeader h = zip::ParseCentralHeader(spanHeaders_[i].data());
    if (h.compressedSize == 0xFFFFFFFF || h.uncompressedSize == 0xFFFFFFFF ||
        h.localHeaderOffset == 0xFFFFFFFF || h.startDisk == 0xFFFF) {
      throw EZipUnpacker(kCopyZip64);
    }
    std::string name(reinterpret_cast<const char*>(spanHeaders_[i].data()) + zip::kCentralSize,
                     h.nameLength);
    items.push_back({i, h.startDisk, h.localHeaderOffset, h.compressedSize, h.flags,
                     EntryName(name, h.versionMadeBy, h.flags)});
  }
  std::stable_sort(items.begin(), items.end(), [](const SpanItem& a, const SpanItem& b) {
    return a.disk != b.disk ? a.disk < b.disk : a.offset < b.offset;
  });

  auto out = files.OpenWrite(copy);
  if (!out)
    throw EZipUnpacker(kCopyCreate);
  created = copy;

  const int count = static_cast<int>(endRecordDisk_) + 1;
  DiskSet disks(platform_, title_, files.FullPath(archivePath_), drive_, !unattended_,
                {OnNextDisk, OnDiskStatus});
  std::unique_ptr<SpanReader> in;
  std::vector<uint8_t> buffer(kCopyChunk);
  std::vector<uint32_t> newOffsets(spanHeaders_.size());
  uint64_t written = 0;
  const std::function<bool()> stopped = [this] { return StopRequested(); };
  for (const SpanItem& item : items) {
    // Before the next disk is asked for, and before every block below.
    if (stopped())
      return false;
    if (item.disk > endRecordDisk_)
      throw EZipUnpacker(kCopyLocalHeader);
    if (in && in->disk() == item.disk) {
      in->Seek(item.offset);
    } else {
      in.reset();
      in = std::make_unique<SpanReader>(disks.Open(item.disk, count), item.disk, item.offset,
                                        &disks, endRecordDisk_, count);
    }
    if (OnProgress)
      OnProgress(ProgressKind::Copying, static_cast<int64_t>(item.packedSize),
                 "Copying: " + item.name);
    if (written > 0xFFFFFFFE)
      throw EZipUnpacker(kCopyZip64);
    newOffsets[item.index] = static_cast<uint32_t>(written);

    uint8_t local[zip::kLocalSize];
    auto got = in->Read(local, sizeof local);
    if (!got)
      throw EZipUnpacker(kCopyRead);
    if (*got != sizeof local || zip::Le32(local) != zip::kSigLocal)
      throw EZipUnpacker(kCopyLocalHeader);
    Write(*out, local, sizeof local, written);
    if (!Copy(*in, *out, zip::LocalHeaderLength(local) - zip::kLocalSize, written, buffer,
              stopped) ||
        !Copy(*in, *out, item.packedSize, written, buffer, stopped)) {
      return false;
    }
    if (item.flags & zip::kFlagDataDescriptor) {
      // CRC and both sizes, after a signature that writers may leave out.
      uint8_t descriptor[16];
      got = in->Read(descriptor, 4);
      if (!got)
        throw EZipUnpacker(kCopyRead);
      if (*got != 4)
        throw EZipUnpacker(kCopyTruncated);
      const size_t rest = zip::Le32(descriptor) == zip::kSigDataDescriptor ? 12 : 8;
      got = in->Read(descriptor + 4, rest);
      if (!got)
        throw EZipUnpacker(kCopyRead);
      if (*got != rest)
        throw EZipUnpacker(kCopyTruncated);
      Write(*out, descriptor, 4 + rest, written);
    }
  }
  in.reset();

  if (written > 0xFFFFFFFF)
    throw EZipUnpacker(kCopyZip64);
  const auto directoryOffset = static_cast<uint32_t>(written);
  for (size_t i = 0; i < spanHeaders_.size(); ++i) {
    std::vector<uint8_t> header = spanHeaders_[i];
    zip::Put16(header.data() + 34, 0);
    zip::Put32(header.data() + 42, newOffsets[i]);
    Write(*out, header.data(), header.size(), written);
  }
  if (written - directoryOffset > 0xFFFFFFFF)
    throw EZipUnpacker(kCopyZip64);
  std::vector<uint8_t> end(zip::kEndSize);
  zip::Put32(end.data(), zip::kSigEnd);
  zip::Put16(end.data() + 8, static_cast<uint16_t>(spanHeaders_.size()));
  zip::Put16(end.data() + 10, static_cast<uint16_t>(spanHeaders_.size()));
  zip::Put32(end.data() + 12, static_cast<uint32_t>(written - directoryOffset));
  zip::Put32(end.data() + 16, directoryOffset);
  zip::Put16(end.data() + 20, static_cast<uint16_t>(spanComment_.size()));
  end.insert(end.end(), spanComment_.begin(), spanComment_.end());
  Write(*out, end.data(), end.size(), written);
  return true;
}

}  // namespace archive

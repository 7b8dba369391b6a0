#include "archive/ZipUnpacker.h"

// Reading an archive's directory: the end record, the central headers, and
// the texts of names and comments.

#include <algorithm>
#include <new>
#include <utility>

#include "archive/DiskSet.h"
#include "archive/MessageNumbers.h"
#include "archive/SpanReader.h"
#include "unpack/EntryName.h"
#include "unpack/ZipFormat.h"

namespace archive {

namespace zip = unpack::zip;

std::string TZipUnpacker::EntryText(std::string_view raw, uint16_t versionMadeBy, uint16_t flags) {
  return unpack::EntryTextToUtf8(
      raw, versionMadeBy, flags, codePage_,
      [this](std::string_view oem) { return platform_.system.OemToUtf8(oem); });
}

std::string TZipUnpacker::EntryName(std::string_view raw, uint16_t versionMadeBy, uint16_t flags) {
  std::string name = EntryText(raw, versionMadeBy, flags);
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

void TZipUnpacker::List() {
  directory_.clear();
  directoryOffset_ = 0;
  comment_.clear();
  spanned_ = false;
  skippedFolders_ = 0;
  lowestLocalOffset_ = 0;
  endRecordDisk_ = 0;
  spanHeaders_.clear();
  spanComment_.clear();
  volumeNumber_ = 0;
  totalSize_ = 0;

  platform::Files& files = platform_.files;
  if (!files.FileExists(archivePath_)) {
    // A drive without a medium is reported (11004); a file that is simply
    // not there is not.
    const DriveProbe probe = ProbeDrive(files, files.FullPath(archivePath_));
    if (!probe.present || probe.volume) {
      if (OnListChanged)
        OnListChanged();
      return;
    }
  }

  platform_.system.SetBusyCursor(true);
  bool failed = false;
  try {
    ReadDirectory();
  } catch (const EZipUnpacker& e) {
    failed = true;
    if (e.display())
      ShowError(e.number(), e.extra());
  } catch (const std::bad_alloc&) {
    failed = true;
    ShowError(kOutOfMemory);
  } catch (const std::exception& e) {
    failed = true;
    ShowError(kListOther, e.what());
  }
  if (failed)
    archivePath_.clear();
  platform_.system.SetBusyCursor(false);
  if (OnListChanged)
    OnListChanged();
}

void TZipUnpacker::ReadDirectory() {
  platform::Files& files = platform_.files;
  std::string full = files.FullPath(archivePath_);
  drive_.clear();
  std::string label;
  if (!full.starts_with("\\")) {
    const DriveProbe probe = ProbeDrive(files, full);
    if (probe.root.empty())
      throw EZipUnpacker(kBadDriveLetter);
    drive_ = probe.root;
    if (!probe.volume)
      throw EZipUnpacker(kDriveMissing);
    label = probe.volume->label;
  }

  auto stream = files.OpenRead(archivePath_);
  if (!stream)
    throw EZipUnpacker(kCannotOpen);
  // On fixed and network drives the name carries the number instead of the
  // label; only a number from the label marks the file as a volume of a set.
  const int labelNumber = VolumeNumberOfLabel(label);
  volumeNumber_ = VolumesByName(files, drive_) ? VolumeNumberOfName(full) : labelNumber;
  const uint64_t size = stream->Size();

  uint8_t head[8];
  auto headRead = stream->ReadAt(0, head, sizeof head);
  const bool spanSignature = headRead && *headRead == sizeof head &&
                             zip::Le32(head) == zip::kSigSpanned &&
                             zip::Le32(head + 4) == zip::kSigLocal;
  spanned_ = spanSignature;

  const zip::ReadAtFn read = [&stream](uint64_t offset, void* buffer, size_t length) {
    return stream->ReadAt(offset, buffer, length);
  };
  const zip::EndLocation found = zip::LocateEndRecord(read, size);
  switch (found.result) {
    case zip::EndSearch::Found:
      break;
    case zip::EndSearch::FileTooShort:
      throw EZipUnpacker(kEndSeek);
    case zip::EndSearch::ReadFailed:
      throw EZipUnpacker(kEndRead);
    case zip::EndSearch::NotFound:
      if (!spanSignature && labelNumber != 0)
        throw EZipUnpacker(kNoEndNumberedVolume);
      if (!spanSignature)
        throw EZipUnpacker(kNoEndSingle);
      if (volumeNumber_ == 1)
        throw EZipUnpacker(kNoEndFirstDisk);
      throw EZipUnpacker(kNoEndOther);
  }
  const std::vector<uint8_t>& tail = found.tail;
  const zip::EndRecord& end = found.record;
  const size_t commentStart = found.inTail + zip::kEndSize;
  const size_t commentEnd = std::min(tail.size(), commentStart + end.commentLength);
  comment_ = EntryText(std::string_view(reinterpret_cast<const char*>(tail.data()) + commentStart,
                                        commentEnd - commentStart),
                       0, 0);
  if (commentEnd < tail.size()) {
    bool zeroPadding = size % 512 == 0 && std::all_of(tail.begin() + static_cast<long>(commentEnd),
                                                      tail.end(), [](uint8_t b) { return b == 0; });
    if (!zeroPadding)
      ShowError(kBytesAfterComment);
  }

  const zip::DirectoryRecord record = zip::ReadDirectoryRecord(read, found);
  const uint64_t recordStart = record.recordStart;
  const uint64_t entries = record.entries;
  const uint64_t dirSize = record.size;
  const uint64_t storedOffset = record.storedOffset;
  const uint32_t thisDisk = record.thisDisk;
  const uint32_t dirDisk = record.directoryDisk;
  endRecordDisk_ = thisDisk;
  const bool spanned = thisDisk != 0;
  if (spanned)
    spanComment_.assign(reinterpret_cast<const char*>(tail.data()) + commentStart,
                        commentEnd - commentStart);

  // The other disks of a spanned set are asked for by number alone: listing
  // needs one or two of them, while the rebuild in Extract walks the whole
  // set and names its size.
  DiskSet disks(platform_, title_, full, drive_, !unattended_, {OnNextDisk, OnDiskStatus});
  uint64_t offset;
  if (dirDisk == thisDisk) {
    if (dirSize > recordStart)
      throw EZipUnpacker(kDirectorySeek);
    // Where the library finds it; where neither place holds a header, the
    // reading below reports what is there.
    const uint64_t beforeRecord = recordStart - dirSize;
    offset = zip::PlaceDirectory(read, size, record).value_or(beforeRecord);
    if (offset == beforeRecord && storedOffset != offset)
      ShowError(kDataInFront);
  } else {
    if (dirDisk > thisDisk)
      throw EZipUnpacker(kDirectorySeek);
    stream.reset();
    stream = disks.Open(dirDisk, 0);
    offset = storedOffset;
  }
  directoryOffset_ = offset;

  SpanReader reader(std::move(stream), dirDisk, offset, spanned ? &disks : nullptr, thisDisk, 0);
  bool firstOffset = true;
  std::vector<uint8_t> field;
  // The end record counts entries in 16 bits only: without a ZIP64 end
  // record the count may have wrapped around, so the headers behind the
  // counted ones are read too while the directory's size has room for them,
  // as the library reads the directory.
  uint64_t consumed = 0;
  for (uint64_t i = 0; i < entries || (!record.zip64 && consumed + zip::kCentralSize <= dirSize);
       ++i) {
    const bool counted = i < entries;
    uint8_t header[zip::kCentralSize];
    auto n = reader.Read(header, sizeof header);
    if (!n || *n != sizeof header)
      throw EZipUnpacker(kDirectoryTruncated);
    if (zip::Le32(header) != zip::kSigCentral) {
      if (!counted)
        break;
      throw EZipUnpacker(kBadHeaderSignature);
    }
    zip::CentralHeader h = zip::ParseCentralHeader(header);
    const uint64_t headerLength =
        zip::kCentralSize + uint64_t{h.nameLength} + h.extraLength + h.commentLength;
    if (!counted && consumed + headerLength > dirSize)
      break;
    consumed += headerLength;

    auto readField = [&](size_t length, int error) {
      field.resize(length);
      auto r = reader.Read(field.data(), length);
      if (!r || *r != length)
        throw EZipUnpacker(error);
    };
    readField(h.nameLength, kNameUnreadable);
    std::string rawName(field.begin(), field.end());
    readField(h.extraLength, kDirectorySeek);
    std::vector<uint8_t> extra = field;
    readField(h.commentLength, kCommentUnreadable);
    std::string rawComment(field.begin(), field.end());
    if (spanned) {
      std::vector<uint8_t> raw(header, header + sizeof header);
      raw.insert(raw.end(), rawName.begin(), rawName.end());
      raw.insert(raw.end(), extra.begin(), extra.end());
      raw.insert(raw.end(), rawComment.begin(), rawComment.end());
      spanHeaders_.push_back(std::move(raw));
    }

    ZipDirEntry e;
    e.header = h;
    e.extent = zip::ResolveExtent(h, extra.data(), extra.size());
    e.name = EntryName(rawName, h.versionMadeBy, h.flags);
    e.encrypted = (h.flags & zip::kFlagEncrypted) != 0;
    e.extra = std::move(extra);
    e.comment = EntryText(rawComment, h.versionMadeBy, h.flags);

    if (firstOffset || e.extent.localHeaderOffset < lowestLocalOffset_) {
      lowestLocalOffset_ = e.extent.localHeaderOffset;
      firstOffset = false;
    }
    if (!keepFolderEntries_ && !e.name.empty() && e.name.back() == '\\') {
      ++skippedFolders_;
      continue;
    }
    totalSize_ = zip::SignedSize(
        zip::SaturatingAdd(static_cast<uint64_t>(totalSize_), e.extent.uncompressedSize));
    directory_.push_back(std::move(e));
    if (OnEntryListed)
      OnEntryListed(static_cast<int>(directory_.size()), directory_.back());
  }
}

}  // namespace archive

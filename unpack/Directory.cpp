#include "unpack/Directory.h"

#include <algorithm>

namespace unpack {
namespace {

// A header with the longest name, extra field and comment.
constexpr size_t kLongestHeader = zip::kCentralSize + 3 * 0xFFFF;

}  // namespace

std::optional<DirectoryLocation> LocateDirectory(InputFile& file) {
  const uint64_t fileSize = file.Size();
  const zip::ReadAtFn read = [&file](uint64_t offset, void* buffer, size_t size) {
    return file.ReadAt(offset, buffer, size);
  };
  const zip::EndLocation found = zip::LocateEndRecord(read, fileSize);
  if (found.result != zip::EndSearch::Found)
    return std::nullopt;
  const zip::DirectoryRecord record = zip::ReadDirectoryRecord(read, found);
  const std::optional<uint64_t> offset = zip::PlaceDirectory(read, fileSize, record);
  if (!offset)
    return std::nullopt;
  DirectoryLocation where;
  where.offset = *offset;
  where.size = record.size;
  // Nothing when the directory is where its stored offset says.
  where.shift = static_cast<int64_t>(*offset - record.storedOffset);
  where.record = record;
  where.counted = record.entries;
  where.limit = std::max(record.recordStart, where.offset + where.size);
  return where;
}

DirectoryWalker::DirectoryWalker(InputFile& file, const DirectoryLocation& where, size_t chunk)
    : file_(file),
      where_(where),
      pos_(where.offset),
      sizeEnd_(where.offset + where.size),
      end_(std::max(sizeEnd_, where.limit)) {
  buffer_.resize(static_cast<size_t>(std::min<uint64_t>(chunk, where.size)));
}

bool DirectoryWalker::Ensure(uint64_t pos, size_t len) {
  if (pos + len > (read_ < where_.counted ? end_ : sizeEnd_))
    return false;
  if (pos >= bufferStart_ && pos + len <= bufferStart_ + bufferLength_)
    return true;
  if (len > buffer_.size())
    buffer_.resize(std::min(len, kLongestHeader));
  size_t want = static_cast<size_t>(std::min<uint64_t>(buffer_.size(), end_ - pos));
  auto got = file_.ReadAt(pos, buffer_.data(), want);
  bufferStart_ = pos;
  bufferLength_ = got ? *got : 0;
  return bufferLength_ >= len;
}

std::optional<std::string_view> DirectoryWalker::NextName() {
  if (damaged_ || pos_ >= end_ || (pos_ >= sizeEnd_ && read_ >= where_.counted))
    return std::nullopt;
  // Past the size field's end the count alone says a header follows; what
  // is not one there ends the directory.
  const bool pastSize = pos_ >= sizeEnd_;
  if (!Ensure(pos_, zip::kCentralSize)) {
    damaged_ = !pastSize;
    return std::nullopt;
  }
  const uint8_t* p = buffer_.data() + (pos_ - bufferStart_);
  if (zip::Le32(p) != zip::kSigCentral) {
    damaged_ = !pastSize;
    return std::nullopt;
  }
  const size_t nameLength = zip::Le16(p + zip::kCentralNameLengthAt);
  const size_t total = zip::kCentralSize + nameLength + zip::Le16(p + zip::kCentralExtraLengthAt) +
                       zip::Le16(p + zip::kCentralCommentLengthAt);
  if (!Ensure(pos_, total)) {
    damaged_ = !pastSize;
    return std::nullopt;
  }
  currentPos_ = pos_;
  pos_ += total;
  ++read_;
  p = buffer_.data() + (currentPos_ - bufferStart_);
  return std::string_view(reinterpret_cast<const char*>(p + zip::kCentralSize), nameLength);
}

const CentralEntry& DirectoryWalker::Current() {
  // NextName left the whole header in the buffer.
  const uint8_t* p = buffer_.data() + (currentPos_ - bufferStart_);
  const zip::CentralHeader h = zip::ParseCentralHeader(p);
  const char* name = reinterpret_cast<const char*>(p + zip::kCentralSize);
  current_.header = h;
  current_.rawName = std::string_view(name, h.nameLength);
  current_.extra = std::string_view(name + h.nameLength, h.extraLength);
  current_.extent =
      zip::ResolveExtent(h, reinterpret_cast<const uint8_t*>(current_.extra.data()), h.extraLength);
  current_.extent.localHeaderOffset += static_cast<uint64_t>(where_.shift);
  return current_;
}

EntrySpan DirectoryWalker::CurrentSpan() {
  const uint8_t* p = buffer_.data() + (currentPos_ - bufferStart_);
  uint64_t compressed = zip::Le32(p + 20);
  uint64_t local = zip::Le32(p + 42);
  if (compressed == 0xFFFFFFFF || local == 0xFFFFFFFF) {
    const CentralEntry& e = Current();
    compressed = e.extent.compressedSize;
    local = e.extent.localHeaderOffset;
  } else {
    local += static_cast<uint64_t>(where_.shift);
  }
  return {local, zip::SaturatingAdd(local, zip::SaturatingAdd(zip::kLocalSize, compressed))};
}

const CentralEntry* DirectoryWalker::Next() {
  if (!NextName())
    return nullptr;
  return &Current();
}

}  // namespace unpack

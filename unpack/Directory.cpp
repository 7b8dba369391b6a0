#include "unpack/Directory.h"

#include <algorithm>

namespace unpack {
namespace {

// Below the size for which malloc maps fresh memory: the directory is read
// once per call, and callers make a call per entry.
constexpr size_t kChunk = 64 * 1024;
// A header with the longest name, extra field and comment.
constexpr size_t kLongestHeader = zip::kCentralSize + 3 * 0xFFFF;

bool ReadExactly(InputFile& file, uint64_t offset, uint8_t* buffer, size_t size) {
  auto got = file.ReadAt(offset, buffer, size);
  return got && *got == size;
}

bool HasCentralSignature(InputFile& file, uint64_t offset) {
  uint8_t sig[4];
  return ReadExactly(file, offset, sig, 4) && zip::Le32(sig) == zip::kSigCentral;
}

}  // namespace

std::optional<DirectoryLocation> LocateDirectory(InputFile& file) {
  const uint64_t fileSize = file.Size();
  if (fileSize < zip::kEndSize)
    return std::nullopt;

  uint8_t last[zip::kEndSize];
  uint64_t endPos;
  if (!ReadExactly(file, fileSize - zip::kEndSize, last, zip::kEndSize))
    return std::nullopt;
  std::vector<uint8_t> tail;
  const uint8_t* endRecord;
  if (zip::Le32(last) == zip::kSigEnd) {
    endPos = fileSize - zip::kEndSize;
    endRecord = last;
  } else {
    size_t tailSize = static_cast<size_t>(std::min<uint64_t>(fileSize, zip::kEndSearchSize));
    tail.resize(tailSize);
    if (!ReadExactly(file, fileSize - tailSize, tail.data(), tailSize))
      return std::nullopt;
    auto hit = zip::FindEndRecord(tail.data(), tailSize);
    if (!hit)
      return std::nullopt;
    endPos = fileSize - tailSize + *hit;
    endRecord = tail.data() + *hit;
  }
  zip::EndRecord end = zip::ParseEndRecord(endRecord);

  uint64_t recordStart = endPos;
  uint64_t size = end.directorySize;
  uint64_t stored = end.directoryOffset;
  if (zip::NeedsZip64(end) && endPos >= zip::kZip64LocatorSize) {
    uint8_t loc[zip::kZip64LocatorSize];
    if (ReadExactly(file, endPos - zip::kZip64LocatorSize, loc, sizeof loc)) {
      if (auto locator = zip::ParseZip64Locator(loc)) {
        // The ZIP64 end record normally sits right before its locator; the
        // locator's offset is wrong when data was put in front of the archive.
        uint64_t candidates[2] = {endPos - zip::kZip64LocatorSize - zip::kZip64EndSize,
                                  locator->endOffset};
        if (endPos < zip::kZip64LocatorSize + zip::kZip64EndSize)
          candidates[0] = locator->endOffset;
        for (uint64_t at : candidates) {
          uint8_t rec[zip::kZip64EndSize];
          if (at > endPos || !ReadExactly(file, at, rec, sizeof rec))
            continue;
          if (auto end64 = zip::ParseZip64End(rec)) {
            recordStart = at;
            size = end64->directorySize;
            stored = end64->directoryOffset;
            break;
          }
        }
      }
    }
  }
  if (size > recordStart)
    return std::nullopt;

  DirectoryLocation where;
  where.size = size;
  uint64_t computed = recordStart - size;
  if (size == 0 || HasCentralSignature(file, computed)) {
    where.offset = computed;
    where.shift = static_cast<int64_t>(computed - stored);
  } else if (stored + size <= fileSize && HasCentralSignature(file, stored)) {
    where.offset = stored;
  } else {
    return std::nullopt;
  }
  return where;
}

DirectoryWalker::DirectoryWalker(InputFile& file, const DirectoryLocation& where)
    : file_(file), where_(where), pos_(where.offset), end_(where.offset + where.size) {
  buffer_.resize(static_cast<size_t>(std::min<uint64_t>(kChunk, where.size)));
}

bool DirectoryWalker::Ensure(uint64_t pos, size_t len) {
  if (pos + len > end_)
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
  if (damaged_ || pos_ >= end_)
    return std::nullopt;
  if (!Ensure(pos_, zip::kCentralSize)) {
    damaged_ = true;
    return std::nullopt;
  }
  const uint8_t* p = buffer_.data() + (pos_ - bufferStart_);
  if (zip::Le32(p) != zip::kSigCentral) {
    damaged_ = true;
    return std::nullopt;
  }
  const size_t nameLength = zip::Le16(p + zip::kCentralNameLengthAt);
  const size_t total = zip::kCentralSize + nameLength + zip::Le16(p + zip::kCentralExtraLengthAt) +
                       zip::Le16(p + zip::kCentralCommentLengthAt);
  if (!Ensure(pos_, total)) {
    damaged_ = true;
    return std::nullopt;
  }
  currentPos_ = pos_;
  pos_ += total;
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

const CentralEntry* DirectoryWalker::Next() {
  if (!NextName())
    return nullptr;
  return &Current();
}

}  // namespace unpack

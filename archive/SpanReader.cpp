#include "archive/SpanReader.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace archive {

// Reads the directory in large pieces: one read per header would make a
// directory of many entries slow on removable media.
class BufferedReader {
 public:
  explicit BufferedReader(platform::ReadStream& stream) : stream_(stream), buffer_(64 * 1024) {}

  /// Bytes read at `pos` (fewer at the end of the file); nullopt on a read error.
  std::optional<size_t> Read(uint64_t pos, uint8_t* out, size_t size) {
    size_t done = 0;
    while (done < size) {
      uint64_t at = pos + done;
      if (at < start_ || at >= start_ + length_) {
        auto got = stream_.ReadAt(at, buffer_.data(), buffer_.size());
        if (!got)
          return std::nullopt;
        start_ = at;
        length_ = *got;
        if (length_ == 0)
          break;
      }
      size_t offset = static_cast<size_t>(at - start_);
      size_t n = std::min(size - done, length_ - offset);
      std::memcpy(out + done, buffer_.data() + offset, n);
      done += n;
      if (length_ < buffer_.size() && at + n >= start_ + length_)
        break;
    }
    return done;
  }

 private:
  platform::ReadStream& stream_;
  std::vector<uint8_t> buffer_;
  uint64_t start_ = 0;
  size_t length_ = 0;
};

SpanReader::SpanReader(std::unique_ptr<platform::ReadStream> stream, uint32_t disk, uint64_t pos,
                       DiskSet* set, uint32_t lastDisk, int count)
    : stream_(std::move(stream)),
      reader_(std::make_unique<BufferedReader>(*stream_)),
      disk_(disk),
      pos_(pos),
      set_(set),
      lastDisk_(lastDisk),
      count_(count) {}

SpanReader::~SpanReader() = default;

std::optional<size_t> SpanReader::Read(uint8_t* out, size_t size) {
  size_t done = 0;
  while (done < size) {
    auto got = reader_->Read(pos_, out + done, size - done);
    if (!got)
      return std::nullopt;
    done += *got;
    pos_ += *got;
    if (done == size || !set_ || disk_ >= lastDisk_)
      break;
    // The disk goes out of the drive before the next one is asked for.
    reader_.reset();
    stream_.reset();
    stream_ = set_->Open(++disk_, count_);
    reader_ = std::make_unique<BufferedReader>(*stream_);
    pos_ = 0;
  }
  return done;
}

}  // namespace archive

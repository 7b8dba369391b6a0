#pragma once

#include <algorithm>
#include <cstring>

#include "unpack/FileIo.h"

namespace fuzz {

/// The fuzzer's bytes as the library's input file.
class MemoryInput final : public unpack::InputFile {
 public:
  MemoryInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  uint64_t LastWriteTime() const override { return 0; }
  std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) override {
    if (offset >= size_)
      return 0;
    size_t n = static_cast<size_t>(std::min<uint64_t>(size, size_ - offset));
    std::memcpy(buffer, data_ + offset, n);
    return n;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace fuzz

#include "unpack/EntryData.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace unpack {
namespace {

constexpr size_t kInChunk = 256 * 1024;
constexpr size_t kOutChunk = 1024 * 1024;

// Buffers no larger than the entry needs: most entries are small, and large
// buffers would cost a fresh mapping per entry.
std::unique_ptr<uint8_t[]> Buffer(size_t& size, uint64_t needed) {
  size = static_cast<size_t>(std::clamp<uint64_t>(needed, 1, size));
  return std::unique_ptr<uint8_t[]>(new uint8_t[size]);
}

uint32_t Crc(uint32_t crc, const uint8_t* data, size_t size) {
  while (size > 0) {
    auto part = static_cast<uInt>(std::min<size_t>(size, 1u << 30));
    crc = static_cast<uint32_t>(crc32(crc, data, part));
    data += part;
    size -= part;
  }
  return crc;
}

class Inflater {
 public:
  Inflater() { ok_ = inflateInit2(&stream_, -MAX_WBITS) == Z_OK; }
  ~Inflater() {
    if (ok_)
      inflateEnd(&stream_);
  }
  bool ok() const { return ok_; }
  z_stream& stream() { return stream_; }

 private:
  z_stream stream_{};
  bool ok_ = false;
};

// The entry's packed bytes: where they start and how many there are, and the
// cipher they pass through (nullptr for plain data).
struct Packed {
  uint64_t start = 0;
  uint64_t size = 0;
  ZipCrypto* cipher = nullptr;
};

bool ReadPacked(InputFile& file, const Packed& packed, uint64_t pos, uint8_t* buffer, size_t want) {
  auto got = file.ReadAt(pos, buffer, want);
  if (!got || *got != want)
    return false;
  if (packed.cipher)
    packed.cipher->Decrypt(buffer, want);
  return true;
}

DataResult CopyStored(InputFile& file, const Packed& packed, const zip::EntryExtent& extent,
                      const DataSink& sink, const DataProgress& progress, uint32_t& crc) {
  if (packed.size != extent.uncompressedSize)
    return DataResult::SizeMismatch;
  auto buffer = std::make_unique<uint8_t[]>(kOutChunk);
  uint64_t left = packed.size;
  uint64_t pos = packed.start;
  while (left > 0) {
    size_t want = static_cast<size_t>(std::min<uint64_t>(left, kOutChunk));
    if (!ReadPacked(file, packed, pos, buffer.get(), want))
      return DataResult::DataError;
    crc = Crc(crc, buffer.get(), want);
    if (!sink(buffer.get(), want))
      return DataResult::WriteFailed;
    if (!progress(want))
      return DataResult::Cancelled;
    pos += want;
    left -= want;
  }
  return DataResult::Ok;
}

DataResult Inflate(InputFile& file, const Packed& packed, const zip::EntryExtent& extent,
                   const DataSink& sink, const DataProgress& progress, uint32_t& crc) {
  Inflater inflater;
  if (!inflater.ok())
    return DataResult::DataError;
  z_stream& zs = inflater.stream();
  size_t inChunk = kInChunk;
  size_t outChunk = kOutChunk;
  auto in = Buffer(inChunk, packed.size);
  // One byte more than declared, so that data running past its size shows.
  auto out = Buffer(outChunk, zip::SaturatingAdd(extent.uncompressedSize, 1));
  uint64_t inLeft = packed.size;
  uint64_t inPos = packed.start;
  uint64_t written = 0;
  for (;;) {
    if (zs.avail_in == 0 && inLeft > 0) {
      size_t want = static_cast<size_t>(std::min<uint64_t>(inLeft, inChunk));
      if (!ReadPacked(file, packed, inPos, in.get(), want))
        return DataResult::DataError;
      zs.next_in = in.get();
      zs.avail_in = static_cast<uInt>(want);
      inPos += want;
      inLeft -= want;
    }
    zs.next_out = out.get();
    zs.avail_out = static_cast<uInt>(outChunk);
    int rc = inflate(&zs, Z_NO_FLUSH);
    size_t produced = outChunk - zs.avail_out;
    if (produced > extent.uncompressedSize - written)
      return DataResult::SizeMismatch;
    if (produced > 0) {
      crc = Crc(crc, out.get(), produced);
      if (!sink(out.get(), produced))
        return DataResult::WriteFailed;
      written += produced;
      if (!progress(produced))
        return DataResult::Cancelled;
    }
    if (rc == Z_STREAM_END)
      break;
    if (rc == Z_BUF_ERROR && zs.avail_in == 0 && inLeft == 0)
      return DataResult::DataError;
    if (rc != Z_OK && rc != Z_BUF_ERROR)
      return DataResult::DataError;
  }
  return written == extent.uncompressedSize ? DataResult::Ok : DataResult::SizeMismatch;
}

}  // namespace

std::optional<uint64_t> LocateData(InputFile& file, const zip::EntryExtent& extent) {
  uint8_t local[zip::kLocalSize];
  auto got = file.ReadAt(extent.localHeaderOffset, local, sizeof local);
  if (!got || *got != sizeof local || zip::Le32(local) != zip::kSigLocal)
    return std::nullopt;
  uint64_t start = extent.localHeaderOffset + zip::LocalHeaderLength(local);
  if (start > file.Size() || extent.compressedSize > file.Size() - start)
    return std::nullopt;
  return start;
}

DataResult ExtractData(InputFile& file, const zip::CentralHeader& header32,
                       const zip::EntryExtent& extent, uint64_t start, const DataSink& sink,
                       const DataProgress& progress, ZipCrypto* cipher) {
  Packed packed{start, extent.compressedSize, cipher};
  if (cipher) {
    packed.start += kEncryptionHeaderSize;
    packed.size -= kEncryptionHeaderSize;
  }
  uint32_t crc = 0;
  DataResult result = header32.method == zip::kMethodStored
                          ? CopyStored(file, packed, extent, sink, progress, crc)
                          : Inflate(file, packed, extent, sink, progress, crc);
  if (result != DataResult::Ok)
    return result;
  return crc == header32.crc ? DataResult::Ok : DataResult::CrcMismatch;
}

}  // namespace unpack

#include "unpack/ZipCrypto.h"

#include <array>
#include <cstring>

#include "unpack/ZipFormat.h"

namespace unpack {
namespace {

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k)
      c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

uint32_t CrcStep(uint32_t crc, uint8_t byte) {
  return kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

}  // namespace

ZipCrypto::ZipCrypto(std::string_view password) : keys_{0x12345678u, 0x23456789u, 0x34567890u} {
  for (char c : password)
    Update(static_cast<uint8_t>(c));
}

uint8_t ZipCrypto::KeyStream() const {
  const uint32_t temp = (keys_[2] | 2u) & 0xFFFFu;
  return static_cast<uint8_t>((temp * (temp ^ 1u)) >> 8);
}

void ZipCrypto::Update(uint8_t plain) {
  keys_[0] = CrcStep(keys_[0], plain);
  keys_[1] = (keys_[1] + (keys_[0] & 0xFFu)) * 134775813u + 1u;
  keys_[2] = CrcStep(keys_[2], static_cast<uint8_t>(keys_[1] >> 24));
}

void ZipCrypto::Decrypt(uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    const uint8_t plain = data[i] ^ KeyStream();
    Update(plain);
    data[i] = plain;
  }
}

bool ZipCrypto::AcceptHeader(const uint8_t* header, uint8_t check) {
  uint8_t copy[kEncryptionHeaderSize];
  std::memcpy(copy, header, sizeof copy);
  Decrypt(copy, sizeof copy);
  return copy[kEncryptionHeaderSize - 1] == check;
}

uint8_t EncryptionCheckByte(uint16_t flags, uint32_t crc, uint16_t time) {
  return (flags & zip::kFlagDataDescriptor) ? static_cast<uint8_t>(time >> 8)
                                            : static_cast<uint8_t>(crc >> 24);
}

}  // namespace unpack

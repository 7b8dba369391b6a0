#pragma once

// The traditional PKWARE encryption of ZIP entries: a stream cipher over three
// 32-bit keys that the password initialises, with a 12-byte header in front
// of the entry's data whose last byte lets a reader check the password.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace unpack {

inline constexpr size_t kEncryptionHeaderSize = 12;

class ZipCrypto {
 public:
  /// Keys initialised with `password` (its bytes as stored, UTF-8 here).
  explicit ZipCrypto(std::string_view password);

  /// Decrypts `size` bytes in place, advancing the keys.
  void Decrypt(uint8_t* data, size_t size);

  /// Decrypts a copy of the 12-byte `header` and tells whether its last byte
  /// is `check`; the keys then stand at the first byte of the entry's data.
  bool AcceptHeader(const uint8_t* header, uint8_t check);

 private:
  uint8_t KeyStream() const;
  void Update(uint8_t plain);

  uint32_t keys_[3];
};

/// The byte the encryption header must end with: the high byte of the CRC, or
/// of the modification time when the entry's sizes and CRC follow its data
/// (flag bit 3), since a writer that streams does not know the CRC in time.
uint8_t EncryptionCheckByte(uint16_t flags, uint32_t crc, uint16_t time);

}  // namespace unpack

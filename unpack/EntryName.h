#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace unpack {

/// How entry names with bytes from 128 up are read when the archive does not
/// mark them as UTF-8.
enum class NameCodePage { Auto, None, Oem };

/// General-purpose flag bit: name and comment are UTF-8.
inline constexpr uint16_t kFlagUtf8 = 0x0800;

/// True when a name written by a tool with this "version made by" field is in
/// the OEM code page: always for OS/2 (6) and for NTFS (11) with version
/// byte 50, for MS-DOS (0) under Auto, for everything under Oem.
bool NameIsOem(uint16_t versionMadeBy, NameCodePage codePage);

/// Text in the system's OEM code page to UTF-8; every byte yields a
/// character.
using OemDecoder = std::function<std::string(std::string_view)>;

/// An entry name or comment as UTF-8: taken as it is when the UTF-8 flag is
/// set and it is valid UTF-8, read by `oemToUtf8` when NameIsOem says so,
/// otherwise as Windows-1252. ASCII is never changed.
std::string EntryTextToUtf8(std::string_view raw, uint16_t versionMadeBy, uint16_t flags,
                            NameCodePage codePage, const OemDecoder& oemToUtf8);

std::string Cp1252ToUtf8(std::string_view text);
/// Single-byte text to UTF-8: bytes below 128 stay, the others are the
/// characters `high` gives for 0x80 to 0xFF.
std::string SingleByteToUtf8(std::string_view text, const std::array<char16_t, 128>& high);
bool IsValidUtf8(std::string_view text);
/// True when no byte of `text` is 128 or above.
bool IsAscii(std::string_view text);

}  // namespace unpack

namespace unpack {

/// The file name an entry is written under: the part of its UTF-8 name after
/// the last slash or backslash. nullopt when that part is empty, "." or "..",
/// holds a character Windows forbids in file names (control characters and
/// < > : " / \ | ? *), ends in a dot or blank (Windows would strip them), or
/// is a device name such as CON, LPT1 or COM¹ (COM and LPT take the
/// superscript digits 1 to 3 too), with or without extension, in any case.
std::optional<std::string> FlatFileName(std::string_view name);

}  // namespace unpack

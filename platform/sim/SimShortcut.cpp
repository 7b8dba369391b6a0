#include "platform/sim/SimShortcut.h"

#include <algorithm>

#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

// The link flags of the header.
constexpr uint32_t kHasLinkInfo = 0x02;
constexpr uint32_t kHasName = 0x04;
constexpr uint32_t kHasWorkingDir = 0x10;
constexpr uint32_t kHasArguments = 0x20;
constexpr uint32_t kIsUnicode = 0x80;

// The class of shell links, 00021401-0000-0000-C000-000000000046, in the
// byte order of a stored GUID.
constexpr uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                    0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

constexpr uint32_t kHeaderSize = 0x4C;
// A link info header that carries the offsets of the Unicode paths too.
constexpr uint32_t kLinkInfoHeaderSize = 0x24;
constexpr uint32_t kVolumeIdHeaderSize = 0x10;
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;
constexpr uint32_t kShowNormal = 1;

void Put16(std::string& out, uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void Put32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out += static_cast<char>((value >> shift) & 0xFF);
}

void PutUtf16(std::string& out, std::u16string_view text) {
  for (const char16_t unit : text)
    Put16(out, unit);
}

uint32_t Size(const std::string& bytes) {
  return static_cast<uint32_t>(bytes.size());
}

// The target as a local path on its volume. Readers take the Unicode path
// where it is present; the ANSI one is for those that know no other.
std::string LinkInfo(std::string_view target, const TargetVolume& volume) {
  std::string volumeId;
  Put32(volumeId, kVolumeIdHeaderSize + Size(volume.label) + 1);
  Put32(volumeId, static_cast<uint32_t>(volume.type));
  Put32(volumeId, volume.serial);
  Put32(volumeId, kVolumeIdHeaderSize);
  volumeId += Utf16ToAnsi(Utf8ToUtf16(volume.label));
  volumeId += '\0';

  const std::u16string wide = Utf8ToUtf16(target);
  std::string localPath = Utf16ToAnsi(wide);
  localPath += '\0';
  const std::string suffix(1, '\0');
  std::string wideLocalPath;
  PutUtf16(wideLocalPath, wide);
  Put16(wideLocalPath, 0);
  std::string wideSuffix;
  Put16(wideSuffix, 0);

  const uint32_t volumeIdOffset = kLinkInfoHeaderSize;
  const uint32_t localPathOffset = volumeIdOffset + Size(volumeId);
  const uint32_t suffixOffset = localPathOffset + Size(localPath);
  const uint32_t wideLocalPathOffset = suffixOffset + Size(suffix);
  const uint32_t wideSuffixOffset = wideLocalPathOffset + Size(wideLocalPath);
  const uint32_t size = wideSuffixOffset + Size(wideSuffix);

  std::string info;
  Put32(info, size);
  Put32(info, kLinkInfoHeaderSize);
  Put32(info, kVolumeIdAndLocalBasePath);
  Put32(info, volumeIdOffset);
  Put32(info, localPathOffset);
  Put32(info, 0);  // no network share
  Put32(info, suffixOffset);
  Put32(info, wideLocalPathOffset);
  Put32(info, wideSuffixOffset);
  return info + volumeId + localPath + suffix + wideLocalPath + wideSuffix;
}

// A counted Unicode string of the string data; its count has 16 bits, so
// longer text is cut there.
void PutCounted(std::string& out, std::string_view utf8) {
  std::u16string text = Utf8ToUtf16(utf8);
  text.resize(std::min<size_t>(text.size(), 0xFFFF));
  Put16(out, static_cast<uint16_t>(text.size()));
  PutUtf16(out, text);
}

}  // namespace

std::string ShellLinkFile(const Shortcut& shortcut, const TargetVolume& volume) {
  uint32_t flags = kHasLinkInfo | kIsUnicode;
  if (!shortcut.description.empty())
    flags |= kHasName;
  if (!shortcut.workingDirectory.empty())
    flags |= kHasWorkingDir;
  if (!shortcut.arguments.empty())
    flags |= kHasArguments;

  std::string file;
  Put32(file, kHeaderSize);
  file.append(reinterpret_cast<const char*>(kLinkClsid), sizeof(kLinkClsid));
  Put32(file, flags);
  // File attributes, the three times and the size of the target stay zero:
  // readers look at the target itself for them.
  file.append(4 + 3 * 8 + 4, '\0');
  Put32(file, 0);  // icon index
  Put32(file, kShowNormal);
  Put16(file, 0);  // no hot key
  file.append(2 + 4 + 4, '\0');

  file += LinkInfo(shortcut.target, volume);
  // The strings follow in this order, each only when its flag is set.
  if (flags & kHasName)
    PutCounted(file, shortcut.description);
  if (flags & kHasWorkingDir)
    PutCounted(file, shortcut.workingDirectory);
  if (flags & kHasArguments)
    PutCounted(file, shortcut.arguments);
  Put32(file, 0);  // no extra data blocks
  return file;
}

}  // namespace platform::sim

#include "archive/DiskSet.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "archive/MessageNumbers.h"
#include "archive/ZipUnpacker.h"

namespace archive {
namespace {

// Where the three digits of a volume name start; npos when there are none.
size_t NumberPosition(const std::string& path) {
  const size_t separator = path.find_last_of("\\/:");
  const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  size_t stemEnd = path.find_last_of('.');
  if (stemEnd == std::string::npos || stemEnd < nameStart)
    stemEnd = path.size();
  if (stemEnd < nameStart + 3)
    return std::string::npos;
  for (size_t i = stemEnd - 3; i < stemEnd; ++i) {
    if (path[i] < '0' || path[i] > '9')
      return std::string::npos;
  }
  return stemEnd - 3;
}

constexpr std::string_view kLabelPrefix = "PKBACK# ";

std::string Label(int volume) {
  char label[16];
  std::snprintf(label, sizeof label, "%s%03d", kLabelPrefix.data(), volume);
  return label;
}

// The drive letter of a path such as "C:\x"; 0 when it has none.
char DriveLetter(const std::string& full) {
  if (full.size() < 2 || full[1] != ':')
    return 0;
  char c = full[0];
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

}  // namespace

DriveProbe ProbeDrive(platform::Files& files, const std::string& full) {
  DriveProbe probe;
  const char letter = DriveLetter(full);
  if (letter < 'A' || letter > 'Z')
    return probe;
  probe.root = std::string(1, letter) + ":\\";
  probe.present = (files.LogicalDrives() & (1u << (letter - 'A'))) != 0;
  if (probe.present)
    probe.volume = files.VolumeInformation(probe.root);
  return probe;
}

bool VolumesByName(platform::Files& files, const std::string& drive) {
  if (drive.empty())
    return true;
  const platform::DriveType type = files.GetDriveType(drive);
  return type == platform::DriveType::Fixed || type == platform::DriveType::Remote;
}

int VolumeNumberOfLabel(const std::string& label) {
  if (!label.starts_with(kLabelPrefix) || label.size() < kLabelPrefix.size() + 3)
    return 0;
  return std::atoi(label.substr(kLabelPrefix.size(), 3).c_str());
}

int VolumeNumberOfName(const std::string& path) {
  const size_t at = NumberPosition(path);
  return at == std::string::npos ? 0 : std::stoi(path.substr(at, 3));
}

std::string VolumePathOf(const std::string& path, int volume) {
  const size_t at = NumberPosition(path);
  if (at == std::string::npos || volume < 0 || volume > 999)
    return {};
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03d", volume);
  std::string result = path;
  result.replace(at, 3, digits);
  return result;
}

std::string DiskPrompt(int volume, int count, const std::string& drive) {
  char text[512];
  if (count > 0 && volume == count) {
    std::snprintf(text, sizeof text, "Please insert last disk in set");
  } else if (count > 0) {
    std::snprintf(text, sizeof text, "Please insert disk volume %.1d of %.1d", volume, count);
  } else {
    std::snprintf(text, sizeof text, "Please insert disk volume %.1d", volume);
  }
  std::string prompt = text;
  std::snprintf(text, sizeof text, "\r\nin drive: %s", drive.c_str());
  return prompt + text;
}

DiskSet::DiskSet(platform::Platform& platform, std::string title, std::string archivePath,
                 std::string drive, bool ask, Events events)
    : platform_(platform),
      title_(std::move(title)),
      archivePath_(std::move(archivePath)),
      drive_(std::move(drive)),
      byLabel_(!VolumesByName(platform.files, drive_)),
      ask_(ask),
      events_(std::move(events)) {}

std::unique_ptr<platform::ReadStream> DiskSet::TryOpen(int volume) {
  platform::Files& files = platform_.files;
  if (byLabel_) {
    auto info = files.VolumeInformation(drive_);
    if (!info || info->label != Label(volume))
      return nullptr;
    auto stream = files.OpenRead(archivePath_);
    if (!stream)
      throw EZipUnpacker(kCannotOpen);
    if (events_.diskStatus)
      events_.diskStatus(volume, info->label, info->serial);
    return stream;
  }
  const std::string path = VolumePathOf(archivePath_, volume);
  if (path.empty() || !files.FileExists(path))
    return nullptr;
  auto stream = files.OpenRead(path);
  if (!stream)
    throw EZipUnpacker(kCannotOpen);
  if (events_.diskStatus) {
    auto info = drive_.empty() ? std::nullopt : files.VolumeInformation(drive_);
    events_.diskStatus(volume, info ? info->label : std::string(), info ? info->serial : 0);
  }
  return stream;
}

std::unique_ptr<platform::ReadStream> DiskSet::Open(uint32_t disk, int count) {
  const int volume = static_cast<int>(disk) + 1;
  // The folder stands in for the drive of a network path.
  const std::string where =
      drive_.empty() ? archivePath_.substr(0, archivePath_.find_last_of('\\') + 1) : drive_;
  for (;;) {
    if (auto stream = TryOpen(volume))
      return stream;
    if (events_.nextDisk)
      events_.nextDisk(volume, count);
    if (!ask_)
      throw EZipUnpacker(kDiskRefused);
    const platform::MsgAnswer answer =
        platform_.dialogs.MessageBox(title_, DiskPrompt(volume, count, where),
                                     platform::MsgButtons::OkCancel, platform::MsgIcon::None);
    if (answer != platform::MsgAnswer::Ok)
      throw EZipUnpacker(kDiskRefused);
  }
}

}  // namespace archive

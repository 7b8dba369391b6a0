#pragma once

// The volumes of a spanned archive and the disk requests that bring them in.
//
// On removable and CD drives every disk of a set holds the archive under the
// same path, and the disk's label "PKBACK# nnn" gives its 1-based number. On
// fixed and network drives all volumes lie side by side in one folder, and the last
// three characters of the file name before the extension carry the number:
// Setup001.szp, Setup002.szp, ... (any name of that shape names the set).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Platform.h"

namespace archive {

/// The number a volume's name carries (Setup002.szp: 2); 0 when the last three
/// characters before the extension are not digits.
int VolumeNumberOfName(const std::string& path);

/// What the drive of a full path holds, probed step by step, each step only
/// when the one before found something.
struct DriveProbe {
  std::string root;      // "C:\"; empty when the path has no drive letter A to Z
  bool present = false;  // among the logical drives
  std::optional<platform::VolumeInfo> volume;  // nullopt without a readable medium
};
DriveProbe ProbeDrive(platform::Files& files, const std::string& full);

/// Whether the volumes of a set on `drive` (empty for a network path) are
/// told apart by the number in their file names: on fixed and network drives.
/// Elsewhere (removable and CD drives) every volume has the same name and its
/// disk label "PKBACK# nnn" tells the number.
bool VolumesByName(platform::Files& files, const std::string& drive);

/// The number in a "PKBACK# nnn" disk label; 0 for any other label.
int VolumeNumberOfLabel(const std::string& label);

/// The path of volume `volume` of the set that `path` belongs to, named as
/// described above; empty when `path` carries no volume number.
std::string VolumePathOf(const std::string& path, int volume);

/// The disk request's text: the last disk, disk `volume` of `count`, or disk
/// `volume` alone when `count` is 0; then the drive on a line of its own.
std::string DiskPrompt(int volume, int count, const std::string& drive);

class DiskSet {
 public:
  struct Events {
    /// A disk is about to be asked for.
    std::function<void(int volume, int count)> nextDisk;
    /// A volume of the set was recognised and opened.
    std::function<void(int volume, const std::string& label, uint32_t serial)> diskStatus;
  };

  /// `drive` is the archive's drive root ("A:\"), empty for a network path.
  /// Without `ask` (unattended) a disk that is not there counts as refused.
  DiskSet(platform::Platform& platform, std::string title, std::string archivePath,
          std::string drive, bool ask, Events events);

  /// Opens disk `disk` (0-based) of a set of `count` disks (0 when not told),
  /// asking for it until it is there. Throws EZipUnpacker 11007 when the user
  /// refuses, 11001 when the disk is there but its archive cannot be opened.
  std::unique_ptr<platform::ReadStream> Open(uint32_t disk, int count);

 private:
  std::unique_ptr<platform::ReadStream> TryOpen(int volume);

  platform::Platform& platform_;
  std::string title_;
  std::string archivePath_;
  std::string drive_;
  bool byLabel_;
  bool ask_;
  Events events_;
};

}  // namespace archive

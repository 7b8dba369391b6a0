#pragma once

// The archive component's message numbers and the fallback text that stands
// for every message text; shared by the component's sources only.

#include <string_view>

namespace archive {

inline constexpr std::string_view kFallbackText =
    "The message texts are not linked into the program\nMissing message number: ";

enum : int {
  kArchiveMissing = 10102,
  kOutOfMemory = 10103,
  kPasswordMismatch = 10104,
  kPasswordConfirmUnattended = 10150,
  kPasswordUnattended = 10151,
  kDirectorySeek = 10201,
  kListOther = 10202,
  kDataInFront = 10203,
  kBytesAfterComment = 10204,
  kLibraryCall = 10501,
  kUnattendedNoPassword = 10502,
  kLibraryLoaded = 10701,
  kNoUnpackExec = 10702,
  kNoGetUnpackVersion = 10703,
  kLibraryNotLoaded = 10704,
  kCannotOpen = 11001,
  kBadDriveLetter = 11003,
  kDriveMissing = 11004,
  kDiskRefused = 11007,
  kEndSeek = 11008,
  kEndRead = 11011,
  kDirectoryTruncated = 11013,
  kBadHeaderSignature = 11015,
  kNameUnreadable = 11017,
  kCommentUnreadable = 11022,
  kNoEndSingle = 11036,
  kNoEndFirstDisk = 11037,
  kNoEndNumberedVolume = 11038,
  kNoEndOther = 11045,
  // Copying a spanned archive into its single-file copy:
  kCopyCreate = 11009,       // the copy cannot be created
  kCopyExists = 11010,       // the copy exists and OnCopyOverwrite refused to replace it
  kCopyRead = 11012,         // a disk cannot be read
  kCopyLocalHeader = 11014,  // no local header where the directory says
  kCopyWrite = 11016,        // writing the copy failed
  kCopyTruncated = 11018,    // an entry runs past the end of the last disk
  kCopyZip64 = 11020,        // the set needs ZIP64 fields, which its copy cannot take
};

}  // namespace archive

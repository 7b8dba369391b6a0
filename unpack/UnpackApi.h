#pragma once

// The call contract between the archive component and the unzip library
// (SZUNPACK.DLL on Windows, libszunpack.so natively). Both sides include this
// header. The field order is fixed; every field has its natural size, so a
// 32-bit build gets the byte offsets that older callers of the library were
// written against (checked by UnpackApiLayout32.cpp with the i686 compiler).

#include <cstdint>

#if defined(_WIN32)
#define UNPACK_CALL __stdcall
#else
#define UNPACK_CALL
#endif

namespace unpack {

/// The version GetUnpackVersion reports: callers build the parameter record
/// for it.
inline constexpr int32_t kLibraryVersion = 160;
/// The interface version a caller writes into the record.
inline constexpr int32_t kInterfaceVersion = 160;
/// Libraries from this version on take a pointer to an entry array instead of
/// a fixed name table.
inline constexpr int32_t kEntryArrayVersion = 152;
/// Libraries from this version on read the password retry count.
inline constexpr int32_t kPasswordTriesVersion = 160;
inline constexpr int kLegacyNameSlots = 4096;
inline constexpr int kTextSize = 512;

// Boolean fields of the records use -1 for true and 0 for false; the library
// takes any non-zero value as true.
inline constexpr int32_t kTrue = -1;
inline constexpr int32_t kFalse = 0;

/// Action codes of the callback record.
enum Action : int32_t {
  kActionNewEntry = 1,      // size: uncompressed size, text: entry name
  kActionProgress = 2,      // size: bytes handled since the last report
  kActionEndOfBatch = 3,    // size: number of entries extracted
  kActionMessage = 4,       // number: message number below, text: message
  kActionEntryDone = 5,     // size: bytes written for the entry, text: entry name
  kActionTotalSize = 6,     // size: uncompressed size of all matched entries
  kActionRename = 7,        // text: name (may be changed); answer 1 when changed
  kActionPassword = 8,      // number bit 0: confirmation wanted; size: repeat count;
                            // answer 1 with the password in text, 0 for none
  kActionCrcError = 9,      // text: entry name; the file is deleted whatever the answer
  kActionOverwrite = 10,    // text: entry name; answer 1 to overwrite
  kActionSkipped = 11,      // number: reason (message number below), text: entry name
  kActionEntryComment = 12  // text: comment (may be changed)
};

/// Message numbers the library reports with kActionMessage and kActionSkipped.
enum Message : int32_t {
  kMsgArchiveOpen = 1,         // the archive cannot be opened
  kMsgArchiveFormat = 2,       // no readable central directory
  kMsgNotFound = 3,            // a requested name is not in the archive
  kMsgUnsafeName = 4,          // the name reduces to nothing or is not a valid file name
  kMsgExists = 5,              // the file exists and overwriting is off
  kMsgCreateFailed = 6,        // the output file cannot be created
  kMsgWriteFailed = 7,         // writing the output file failed
  kMsgUnsupportedMethod = 8,   // compression method other than stored or deflated
  kMsgEncrypted = 9,           // no password, or a wrong one
  kMsgDataError = 10,          // the compressed data is damaged or truncated
  kMsgSizeMismatch = 11,       // the data does not have the size the directory states
  kMsgCrcMismatch = 12,        // the data does not have the CRC the directory states
  kMsgUnsupportedOption = 13,  // folder names, freshen or update asked for
  kMsgCancelled = 14,          // the callback asked to stop
  kMsgOverlap = 15,            // the data overlaps another entry's or the central directory
};

struct CallbackRecord;
/// Returns 0 to go on, -1 to cancel the extraction.
using Callback = int32_t(UNPACK_CALL*)(CallbackRecord* record);

struct CallbackRecord {
  void* ownerWindow;     // 0
  void* caller;          // 4: handed back from the parameter record
  int32_t version;       // 8: kLibraryVersion
  int32_t reserved12;    // 12
  int32_t action;        // 16: one of Action
  int32_t number;        // 20: message number, flags, or the caller's answer
  intptr_t size;         // 24: size, count or the caller's answer
  char text[kTextSize];  // 28: zero-terminated UTF-8
};

/// The fields every record version starts with.
struct ParamsHead {
  void* ownerWindow;         // 0: window that owns the library's own dialogs; 0 for none
  void* caller;              // 4: handed back in every callback record
  int32_t interfaceVersion;  // 8: kInterfaceVersion
  Callback callback;         // 12
  int32_t trace;             // 16
  int32_t reserved20;        // 20
  const char* password;      // 24: zero-terminated, empty when none
  int32_t test;              // 28: check the entries without writing them
  int32_t reserved32;        // 32
  int32_t reserved36;        // 36
  int32_t minusOne40;        // 40: always -1
  int32_t verbose;           // 44
  int32_t update;            // 48
  int32_t freshen;           // 52
  int32_t folderNames;       // 56
  int32_t overwrite;         // 60
  int32_t entryCount;        // 64: number of names
  const char* archivePath;   // 68: zero-terminated UTF-8
};

/// One requested name in the record of kEntryArrayVersion and later.
struct EntrySpec {
  const char* name;      // 0: zero-terminated UTF-8
  int32_t reserved[17];  // 4..71: zero
};

/// The record for libraries of kEntryArrayVersion and later (148 bytes on
/// 32-bit).
struct Params {
  ParamsHead head;
  EntrySpec* entries;      // 72: entryCount elements
  int32_t reserved76[7];   // 76
  int32_t passwordTries;   // 104: from kPasswordTriesVersion on
  int32_t reserved108[9];  // 108
  int32_t seven;           // 144: always 7
};

/// The record for libraries older than kEntryArrayVersion (16464 bytes on
/// 32-bit).
struct LegacyParams {
  ParamsHead head;
  int32_t seven;                        // 72: always 7
  const char* names[kLegacyNameSlots];  // 76
  int32_t reserved;                     // 16460
};

}  // namespace unpack

extern "C" {
/// The library's version number (kLibraryVersion).
int32_t UNPACK_CALL GetUnpackVersion();
/// Extracts the entries the record names into the current directory; returns
/// how many were written (or, in test mode, checked) successfully. A null
/// record extracts nothing.
int32_t UNPACK_CALL UnpackExec(unpack::Params* params);
}

namespace unpack {
using GetUnpackVersionFn = int32_t(UNPACK_CALL*)();
using UnpackExecFn = int32_t(UNPACK_CALL*)(Params* params);
}  // namespace unpack

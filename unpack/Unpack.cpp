// The unzip library's entry points: extracts the entries a caller names into
// the current directory, flat, never replacing a file unless asked to, and
// reports everything through the caller's callback.

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "unpack/Directory.h"
#include "unpack/DirectoryIndex.h"
#include "unpack/EntryData.h"
#include "unpack/EntryName.h"
#include "unpack/FileIo.h"
#include "unpack/UnpackApi.h"
#include "unpack/ZipCrypto.h"
#include "unpack/ZipFormat.h"

namespace unpack {
namespace {

using Match = IndexedEntry;

// How the keys for an encrypted entry were found, or why not.
enum class Unlock { Ok, NoPassword, WrongPassword, Damaged, Cancelled };

constexpr intptr_t kMaxPasswordTries = 15;

// A size or sum of sizes for the record's size field, which is signed: the
// archive may declare sizes that have no such number.
intptr_t ReportedSize(uint64_t size) {
  return static_cast<intptr_t>(std::min<uint64_t>(size, std::numeric_limits<intptr_t>::max()));
}

class Session {
 public:
  explicit Session(const Params& params)
      : params_(params), password_(params.head.password ? params.head.password : "") {}

  int32_t Run() {
    const ParamsHead& head = params_.head;
    if (head.folderNames || head.update || head.freshen) {
      Message(kMsgUnsupportedOption, "folder names, update and freshen are not supported");
      return Finish();
    }
    if (!head.archivePath || head.entryCount <= 0 || !params_.entries)
      return Finish();
    auto file = InputFile::Open(head.archivePath);
    if (!file) {
      Message(kMsgArchiveOpen, std::string("cannot open archive ") + head.archivePath);
      return Finish();
    }
    auto where = LocateDirectory(*file);
    if (!where) {
      Message(kMsgArchiveFormat, std::string("no central directory in ") + head.archivePath);
      return Finish();
    }
    where_ = *where;
    const IndexCache::Lease index = IndexCache::Shared().Get(head.archivePath, *file, where_);
    std::vector<Match> matches;
    if (!FindEntries(*file, *index, matches))
      return Finish();

    uint64_t total = 0;
    for (const Match& m : matches)
      total = zip::SaturatingAdd(total, m.extent.uncompressedSize);
    if (!Report(kActionTotalSize, 0, ReportedSize(total), ""))
      return Finish();
    for (const Match& m : matches) {
      if (!ExtractOne(*file, *index, m))
        break;
    }
    return Finish();
  }

 private:
  int32_t Finish() {
    Report(kActionEndOfBatch, 0, count_, "");
    return count_;
  }

  // Looks the requested entries up, each once however often it is named,
  // and puts them in directory order, the order they are extracted in.
  bool FindEntries(InputFile& file, const DirectoryIndex& index, std::vector<Match>& matches) {
    std::vector<std::string> missing;
    std::unordered_set<std::string> asked;
    for (int32_t i = 0; i < params_.head.entryCount; ++i) {
      const char* name = params_.entries[i].name;
      if (!name)
        continue;
      const std::string key = MatchKey(name);
      if (!asked.insert(key).second)
        continue;
      if (std::optional<Match> m = index.Find(file, key))
        matches.push_back(std::move(*m));
      else
        missing.emplace_back(name);
    }
    std::sort(matches.begin(), matches.end(),
              [](const Match& a, const Match& b) { return a.headerIndex < b.headerIndex; });
    if (index.Damaged()) {
      Message(kMsgArchiveFormat, "the central directory is damaged");
    }
    for (const std::string& name : missing) {
      if (!Message(kMsgNotFound, "not found in archive: " + name))
        return false;
    }
    return true;
  }

  // False when the caller cancelled.
  bool ExtractOne(InputFile& file, const DirectoryIndex& index, const Match& m) {
    auto flat = FlatFileName(m.name);
    if (!flat)
      return Skip(kMsgUnsafeName, m.name, "not a valid file name, skipped: ");
    if (m.header.method == zip::kMethodAes || (m.header.flags & zip::kFlagStrongEncryption)) {
      return Skip(kMsgEncrypted, m.name, "AES and strong encryption are not supported, skipped: ");
    }
    if (m.header.method != zip::kMethodStored && m.header.method != zip::kMethodDeflated) {
      return Skip(kMsgUnsupportedMethod, m.name, "unsupported compression method, skipped: ");
    }
    // Found once for the password check and the extraction; each reports a
    // missing local header at its own point.
    const std::optional<uint64_t> start = LocateData(file, m.extent);
    if (start && Overlaps(index, m, *start)) {
      return Skip(kMsgOverlap, m.name,
                  "data shared with another entry or the directory, skipped: ");
    }
    std::optional<ZipCrypto> cipher;
    if (m.header.flags & zip::kFlagEncrypted) {
      switch (UnlockEntry(file, m, start, cipher)) {
        case Unlock::Ok:
          break;
        case Unlock::NoPassword:
          return Skip(kMsgEncrypted, m.name, "no password given, skipped: ");
        case Unlock::WrongPassword:
          return Skip(kMsgEncrypted, m.name, "wrong password, skipped: ");
        case Unlock::Damaged:
          return Skip(kMsgDataError, m.name, "damaged data, skipped: ");
        case Unlock::Cancelled:
          return false;
      }
    }
    if (!Report(kActionNewEntry, 0, ReportedSize(m.extent.uncompressedSize), m.name))
      return false;

    const bool test = params_.head.test != 0;
    std::unique_ptr<OutputFile> out;
    if (!test) {
      CreateResult created;
      out = OutputFile::Create(*flat, params_.head.overwrite != 0, created);
      if (created == CreateResult::Exists) {
        return Skip(kMsgExists, m.name, "file exists, skipped: ");
      }
      if (!out)
        return Skip(kMsgCreateFailed, m.name, "cannot create file, skipped: ");
    }
    bool cancelled = false;
    DataResult result = DataResult::DataError;
    if (start) {
      result = ExtractData(
          file, m.header, m.extent, *start,
          [&](const uint8_t* data, size_t size) { return test || out->Write(data, size); },
          [&](size_t bytes) {
            cancelled = !Report(kActionProgress, 0, static_cast<intptr_t>(bytes), "");
            return !cancelled;
          },
          cipher ? &*cipher : nullptr);
    }
    if (out && !out->Close() && result == DataResult::Ok)
      result = DataResult::WriteFailed;
    if (result != DataResult::Ok) {
      // A damaged file must not look like a complete one: its temporary file
      // goes before the caller hears of it.
      out.reset();
      return Failed(result, m.name) && !cancelled;
    }
    if (out) {
      switch (out->Place()) {
        case CreateResult::Created:
          break;
        case CreateResult::Exists:
          return Skip(kMsgExists, m.name, "file exists, skipped: ");
        case CreateResult::Failed:
          return Skip(kMsgCreateFailed, m.name, "cannot create file, skipped: ");
      }
    }
    ++count_;
    return Report(kActionEntryDone, 0, ReportedSize(m.extent.uncompressedSize), m.name);
  }

  // Whether the entry, from its local header to the end of the data that
  // starts at `start`, shares a byte with the central directory or with
  // another entry's span: entries that share their data (many headers for
  // one local entry, or data that holds the next entry) make a small archive
  // write far more than its size.
  bool Overlaps(const DirectoryIndex& index, const Match& m, uint64_t start) const {
    const uint64_t from = m.extent.localHeaderOffset;
    const uint64_t to = start + m.extent.compressedSize;  // LocateData: within the file
    if (from < index.DirectoryEnd() && where_.offset < to)
      return true;
    return index.OverlapsAnother(m.headerIndex, from, to);
  }

  // The working password first (at the start the one from the record), then
  // those the caller gives when asked, as often as its repeat count allows. A
  // password that fits becomes the working one for the entries that follow.
  // `start` is where LocateData found the entry's data.
  Unlock UnlockEntry(InputFile& file, const Match& m, const std::optional<uint64_t>& start,
                     std::optional<ZipCrypto>& cipher) {
    uint8_t header[kEncryptionHeaderSize];
    if (!start || m.extent.compressedSize < sizeof header)
      return Unlock::Damaged;
    const auto got = file.ReadAt(*start, header, sizeof header);
    if (!got || *got != sizeof header)
      return Unlock::Damaged;
    const uint8_t check = EncryptionCheckByte(m.header.flags, m.header.crc, m.header.time);
    bool refused = false;
    if (!password_.empty()) {
      ZipCrypto keys(password_);
      if (keys.AcceptHeader(header, check)) {
        cipher = keys;
        return Unlock::Ok;
      }
      refused = true;
    }
    // The caller may change the repeat count with every answer; however it
    // answers, an entry is asked for at most kMaxPasswordTries times.
    intptr_t tries = std::clamp<intptr_t>(params_.passwordTries, 0, kMaxPasswordTries);
    for (intptr_t asked = 0; tries > 0 && asked < kMaxPasswordTries; ++asked) {
      CallbackRecord answer{};
      if (!Report(kActionPassword, 0, tries, m.name, &answer))
        return Unlock::Cancelled;
      if (answer.number != 1)
        break;
      const std::string given(answer.text, strnlen(answer.text, sizeof answer.text));
      ZipCrypto keys(given);
      if (keys.AcceptHeader(header, check)) {
        password_ = given;
        cipher = keys;
        return Unlock::Ok;
      }
      refused = true;
      tries = std::min<intptr_t>(answer.size, kMaxPasswordTries) - 1;
    }
    return refused ? Unlock::WrongPassword : Unlock::NoPassword;
  }

  bool Failed(DataResult result, const std::string& name) {
    switch (result) {
      case DataResult::CrcMismatch:
        return Report(kActionCrcError, kMsgCrcMismatch, 0, name) &&
               Skip(kMsgCrcMismatch, name, "CRC error, file deleted: ");
      case DataResult::SizeMismatch:
        return Skip(kMsgSizeMismatch, name, "size differs from the directory, file deleted: ");
      case DataResult::WriteFailed:
        return Skip(kMsgWriteFailed, name, "write error, file deleted: ");
      case DataResult::Cancelled:
        Message(kMsgCancelled, "extraction cancelled, file deleted: " + name);
        return false;
      case DataResult::DataError:
      case DataResult::Ok:
        break;
    }
    return Skip(kMsgDataError, name, "damaged data, file deleted: ");
  }

  bool Skip(Message reason, const std::string& name, const std::string& text) {
    return Message(reason, text + name) && Report(kActionSkipped, reason, 0, name);
  }

  bool Message(int32_t number, const std::string& text) {
    return Report(kActionMessage, number, 0, text);
  }

  // False when the caller asked to cancel. `answer`, when given, receives the
  // record as the caller left it.
  bool Report(Action action, int32_t number, intptr_t size, const std::string& text,
              CallbackRecord* answer = nullptr) {
    if (!params_.head.callback)
      return true;
    CallbackRecord record{};
    record.ownerWindow = params_.head.ownerWindow;
    record.caller = params_.head.caller;
    record.version = kLibraryVersion;
    record.action = action;
    record.number = number;
    record.size = size;
    size_t n = std::min(text.size(), sizeof record.text - 1);
    // Never cut a UTF-8 sequence in half.
    while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
      --n;
    std::memcpy(record.text, text.data(), n);
    const bool goOn = params_.head.callback(&record) != -1;
    if (answer)
      *answer = record;
    return goOn;
  }

  const Params& params_;
  DirectoryLocation where_;
  std::string password_;
  int32_t count_ = 0;
};

}  // namespace
}  // namespace unpack

extern "C" {

int32_t UNPACK_CALL GetUnpackVersion() {
  return unpack::kLibraryVersion;
}

int32_t UNPACK_CALL UnpackExec(unpack::Params* params) {
  if (!params)
    return 0;
  // Nothing may unwind into the caller, which may not be C++ at all.
  try {
    return unpack::Session(*params).Run();
  } catch (...) {
    return 0;
  }
}
}

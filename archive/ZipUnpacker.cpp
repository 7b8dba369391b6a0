#include "archive/ZipUnpacker.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

#include "archive/DiskSet.h"
#include "unpack/EntryName.h"
#include "unpack/UnpackApi.h"
#include "unpack/ZipFormat.h"

#ifdef _WIN32
#include "archive/PasswordDlg.h"
#endif

namespace archive {

namespace zip = unpack::zip;

namespace {
constexpr std::string_view kFallbackText =
    "The message texts are not linked into the program\nMissing message number: ";
}

std::string MessageText(int number, std::string_view extra) {
  std::string text(kFallbackText);
  text += std::to_string(number);
  text += extra;
  return text;
}

EZipUnpacker::EZipUnpacker(int number, bool display, std::string extra)
    : std::runtime_error(MessageText(number, extra)),
      number_(number),
      display_(display),
      extra_(std::move(extra)) {}

namespace {

// Message numbers of the component.
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
  // Copying a spanned archive into its single-file copy (11007, the refused
  // disk request, comes from DiskSet):
  kCopyCreate = 11009,       // the copy cannot be created
  kCopyExists = 11010,       // the copy exists and OnCopyOverwrite refused to replace it
  kCopyRead = 11012,         // a disk cannot be read
  kCopyLocalHeader = 11014,  // no local header where the directory says
  kCopyWrite = 11016,        // writing the copy failed
  kCopyTruncated = 11018,    // an entry runs past the end of the last disk
  kCopyZip64 = 11020,        // the set needs ZIP64 fields, which its copy cannot take
};

constexpr size_t kMaxLibraryPassword = 80;
constexpr size_t kCopyChunk = 64 * 1024;
constexpr size_t kMaxRenamed = 512;
constexpr size_t kMaxComment = 511;

// Reads the directory in large pieces: one read per header would make a
// directory of many entries slow on removable media.
class BufferedReader {
 public:
  explicit BufferedReader(platform::ReadStream& stream) : stream_(stream), buffer_(64 * 1024) {}

  /// Bytes read at `pos` (fewer at the end of the file); nullopt on a read error.
  std::optional<size_t> Read(uint64_t pos, uint8_t* out, size_t size) {
    size_t done = 0;
    while (done < size) {
      uint64_t at = pos + done;
      if (at < start_ || at >= start_ + length_) {
        auto got = stream_.ReadAt(at, buffer_.data(), buffer_.size());
        if (!got)
          return std::nullopt;
        start_ = at;
        length_ = *got;
        if (length_ == 0)
          break;
      }
      size_t offset = static_cast<size_t>(at - start_);
      size_t n = std::min(size - done, length_ - offset);
      std::memcpy(out + done, buffer_.data() + offset, n);
      done += n;
      if (length_ < buffer_.size() && at + n >= start_ + length_)
        break;
    }
    return done;
  }

 private:
  platform::ReadStream& stream_;
  std::vector<uint8_t> buffer_;
  uint64_t start_ = 0;
  size_t length_ = 0;
};

// Reads a spanned archive as one stream: what does not fit on one disk goes
// on at the start of the next, up to the last disk. With a single disk it is
// a plain sequential reader.
class SpanReader {
 public:
  SpanReader(std::unique_ptr<platform::ReadStream> stream, uint32_t disk, uint64_t pos,
             DiskSet* set, uint32_t lastDisk, int count)
      : stream_(std::move(stream)),
        reader_(std::make_unique<BufferedReader>(*stream_)),
        disk_(disk),
        pos_(pos),
        set_(set),
        lastDisk_(lastDisk),
        count_(count) {}

  uint32_t disk() const { return disk_; }
  void Seek(uint64_t pos) { pos_ = pos; }

  /// Bytes read (fewer only at the end of the last disk); nullopt on a read
  /// error.
  std::optional<size_t> Read(uint8_t* out, size_t size) {
    size_t done = 0;
    while (done < size) {
      auto got = reader_->Read(pos_, out + done, size - done);
      if (!got)
        return std::nullopt;
      done += *got;
      pos_ += *got;
      if (done == size || !set_ || disk_ >= lastDisk_)
        break;
      // The disk goes out of the drive before the next one is asked for.
      reader_.reset();
      stream_.reset();
      stream_ = set_->Open(++disk_, count_);
      reader_ = std::make_unique<BufferedReader>(*stream_);
      pos_ = 0;
    }
    return done;
  }

 private:
  std::unique_ptr<platform::ReadStream> stream_;
  std::unique_ptr<BufferedReader> reader_;
  uint32_t disk_;
  uint64_t pos_;
  DiskSet* set_;
  uint32_t lastDisk_;
  int count_;
};

void ToBackslashes(std::string& text) {
  std::replace(text.begin(), text.end(), '/', '\\');
}

std::string RecordText(const unpack::CallbackRecord& record) {
  std::string text(record.text, strnlen(record.text, sizeof record.text));
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  ToBackslashes(text);
  return text;
}

void WriteRecordText(unpack::CallbackRecord& record, const std::string& text, size_t limit) {
  size_t n = std::min({text.size(), limit, sizeof record.text - 1});
  std::memcpy(record.text, text.data(), n);
  record.text[n] = '\0';
}

}  // namespace

TZipUnpacker::TZipUnpacker(platform::Platform& platform, std::string title)
    : platform_(platform), title_(std::move(title)) {
#ifdef _WIN32
  passwordPrompt_ = std::make_unique<TPasswordDlg>();
#endif
}

TZipUnpacker::~TZipUnpacker() = default;

void TZipUnpacker::SetLibraryDir(std::string_view dir) {
  std::string value(dir);
  if (!value.empty() && value.back() == '\\')
    value.pop_back();
  if (value != libraryDir_)
    heldLibrary_.reset();
  libraryDir_ = std::move(value);
}

void TZipUnpacker::SetPassword(std::string_view password) {
  password_ = std::string(password.substr(0, kMaxPasswordLength));
}

void TZipUnpacker::SetPasswordTries(unsigned tries) {
  passwordTries_ = std::min(tries, kMaxPasswordTries);
}

void TZipUnpacker::SetPasswordPrompt(std::unique_ptr<PasswordPrompt> prompt) {
  passwordPrompt_ = std::move(prompt);
}

void TZipUnpacker::SetArchivePath(std::string_view path) {
  archivePath_ = path;
  try {
    List();
  } catch (...) {
    // Only an event handler or the message dialog itself can get here; the
    // engine must never see an error of the component.
  }
}

void TZipUnpacker::ShowError(int number, std::string_view extra) {
  lastErrorNumber_ = number;
  lastErrorText_ = MessageText(number, extra);
  if (!unattended_) {
    platform_.dialogs.MessageBox(title_, lastErrorText_, platform::MsgButtons::Ok,
                                 platform::MsgIcon::None);
  }
  if (OnMessage)
    OnMessage(number, lastErrorText_);
}

// ---------------------------------------------------------------- List

std::string TZipUnpacker::EntryText(std::string_view raw, uint16_t versionMadeBy, uint16_t flags) {
  return unpack::EntryTextToUtf8(
      raw, versionMadeBy, flags, codePage_,
      [this](std::string_view oem) { return platform_.system.OemToUtf8(oem); });
}

void TZipUnpacker::List() {
  directory_.clear();
  directoryOffset_ = 0;
  comment_.clear();
  spanned_ = false;
  skippedFolders_ = 0;
  lowestLocalOffset_ = 0;
  endRecordDisk_ = 0;
  spanHeaders_.clear();
  spanComment_.clear();
  volumeNumber_ = 0;
  totalSize_ = 0;

  platform::Files& files = platform_.files;
  if (!files.FileExists(archivePath_)) {
    // A drive without a medium is reported (11004); a file that is simply
    // not there is not.
    const DriveProbe probe = ProbeDrive(files, files.FullPath(archivePath_));
    if (!probe.present || probe.volume) {
      if (OnListChanged)
        OnListChanged();
      return;
    }
  }

  platform_.system.SetBusyCursor(true);
  bool failed = false;
  try {
    ReadDirectory();
  } catch (const EZipUnpacker& e) {
    failed = true;
    if (e.display())
      ShowError(e.number(), e.extra());
  } catch (const std::bad_alloc&) {
    failed = true;
    ShowError(kOutOfMemory);
  } catch (const std::exception& e) {
    failed = true;
    ShowError(kListOther, e.what());
  }
  if (failed)
    archivePath_.clear();
  platform_.system.SetBusyCursor(false);
  if (OnListChanged)
    OnListChanged();
}

void TZipUnpacker::ReadDirectory() {
  platform::Files& files = platform_.files;
  std::string full = files.FullPath(archivePath_);
  drive_.clear();
  std::string label;
  if (!full.starts_with("\\")) {
    const DriveProbe probe = ProbeDrive(files, full);
    if (probe.root.empty())
      throw EZipUnpacker(kBadDriveLetter);
    drive_ = probe.root;
    if (!probe.volume)
      throw EZipUnpacker(kDriveMissing);
    label = probe.volume->label;
  }

  auto stream = files.OpenRead(archivePath_);
  if (!stream)
    throw EZipUnpacker(kCannotOpen);
  // On fixed and network drives the name carries the number instead of the
  // label; only a number from the label marks the file as a volume of a set.
  const int labelNumber = VolumeNumberOfLabel(label);
  volumeNumber_ = VolumesByName(files, drive_) ? VolumeNumberOfName(full) : labelNumber;
  const uint64_t size = stream->Size();

  uint8_t head[8];
  auto headRead = stream->ReadAt(0, head, sizeof head);
  const bool spanSignature = headRead && *headRead == sizeof head &&
                             zip::Le32(head) == zip::kSigSpanned &&
                             zip::Le32(head + 4) == zip::kSigLocal;
  spanned_ = spanSignature;

  const zip::ReadAtFn read = [&stream](uint64_t offset, void* buffer, size_t length) {
    return stream->ReadAt(offset, buffer, length);
  };
  const zip::EndLocation found = zip::LocateEndRecord(read, size);
  switch (found.result) {
    case zip::EndSearch::Found:
      break;
    case zip::EndSearch::FileTooShort:
      throw EZipUnpacker(kEndSeek);
    case zip::EndSearch::ReadFailed:
      throw EZipUnpacker(kEndRead);
    case zip::EndSearch::NotFound:
      if (!spanSignature && labelNumber != 0)
        throw EZipUnpacker(kNoEndNumberedVolume);
      if (!spanSignature)
        throw EZipUnpacker(kNoEndSingle);
      if (volumeNumber_ == 1)
        throw EZipUnpacker(kNoEndFirstDisk);
      throw EZipUnpacker(kNoEndOther);
  }
  const std::vector<uint8_t>& tail = found.tail;
  const zip::EndRecord& end = found.record;
  const size_t commentStart = found.inTail + zip::kEndSize;
  const size_t commentEnd = std::min(tail.size(), commentStart + end.commentLength);
  comment_ = EntryText(std::string_view(reinterpret_cast<const char*>(tail.data()) + commentStart,
                                        commentEnd - commentStart),
                       0, 0);
  if (commentEnd < tail.size()) {
    bool zeroPadding = size % 512 == 0 && std::all_of(tail.begin() + static_cast<long>(commentEnd),
                                                      tail.end(), [](uint8_t b) { return b == 0; });
    if (!zeroPadding)
      ShowError(kBytesAfterComment);
  }

  const zip::DirectoryRecord record = zip::ReadDirectoryRecord(read, found);
  const uint64_t recordStart = record.recordStart;
  const uint64_t entries = record.entries;
  const uint64_t dirSize = record.size;
  const uint64_t storedOffset = record.storedOffset;
  const uint32_t thisDisk = record.thisDisk;
  const uint32_t dirDisk = record.directoryDisk;
  endRecordDisk_ = thisDisk;
  const bool spanned = thisDisk != 0;
  if (spanned)
    spanComment_.assign(reinterpret_cast<const char*>(tail.data()) + commentStart,
                        commentEnd - commentStart);

  // The other disks of a spanned set are asked for by number alone: listing
  // needs one or two of them, while the rebuild in Extract walks the whole
  // set and names its size.
  DiskSet disks(platform_, title_, full, drive_, !unattended_, {OnNextDisk, OnDiskStatus});
  uint64_t offset;
  if (dirDisk == thisDisk) {
    if (dirSize > recordStart)
      throw EZipUnpacker(kDirectorySeek);
    // Where the library finds it; where neither place holds a header, the
    // reading below reports what is there.
    const uint64_t beforeRecord = recordStart - dirSize;
    offset = zip::PlaceDirectory(read, size, record).value_or(beforeRecord);
    if (offset == beforeRecord && storedOffset != offset)
      ShowError(kDataInFront);
  } else {
    if (dirDisk > thisDisk)
      throw EZipUnpacker(kDirectorySeek);
    stream.reset();
    stream = disks.Open(dirDisk, 0);
    offset = storedOffset;
  }
  directoryOffset_ = offset;

  SpanReader reader(std::move(stream), dirDisk, offset, spanned ? &disks : nullptr, thisDisk, 0);
  bool firstOffset = true;
  std::vector<uint8_t> field;
  // The end record counts entries in 16 bits only: without a ZIP64 end
  // record the count may have wrapped around, so the headers behind the
  // counted ones are read too while the directory's size has room for them,
  // as the library reads the directory.
  uint64_t consumed = 0;
  for (uint64_t i = 0; i < entries || (!record.zip64 && consumed + zip::kCentralSize <= dirSize);
       ++i) {
    const bool counted = i < entries;
    uint8_t header[zip::kCentralSize];
    auto n = reader.Read(header, sizeof header);
    if (!n || *n != sizeof header)
      throw EZipUnpacker(kDirectoryTruncated);
    if (zip::Le32(header) != zip::kSigCentral) {
      if (!counted)
        break;
      throw EZipUnpacker(kBadHeaderSignature);
    }
    zip::CentralHeader h = zip::ParseCentralHeader(header);
    const uint64_t headerLength =
        zip::kCentralSize + uint64_t{h.nameLength} + h.extraLength + h.commentLength;
    if (!counted && consumed + headerLength > dirSize)
      break;
    consumed += headerLength;

    auto readField = [&](size_t length, int error) {
      field.resize(length);
      auto r = reader.Read(field.data(), length);
      if (!r || *r != length)
        throw EZipUnpacker(error);
    };
    readField(h.nameLength, kNameUnreadable);
    std::string rawName(field.begin(), field.end());
    readField(h.extraLength, kDirectorySeek);
    std::vector<uint8_t> extra = field;
    readField(h.commentLength, kCommentUnreadable);
    std::string rawComment(field.begin(), field.end());
    if (spanned) {
      std::vector<uint8_t> raw(header, header + sizeof header);
      raw.insert(raw.end(), rawName.begin(), rawName.end());
      raw.insert(raw.end(), extra.begin(), extra.end());
      raw.insert(raw.end(), rawComment.begin(), rawComment.end());
      spanHeaders_.push_back(std::move(raw));
    }

    ZipDirEntry e;
    e.header = h;
    e.extent = zip::ResolveExtent(h, extra.data(), extra.size());
    e.name = EntryText(rawName, h.versionMadeBy, h.flags);
    ToBackslashes(e.name);
    e.encrypted = (h.flags & zip::kFlagEncrypted) != 0;
    e.extra = std::move(extra);
    e.comment = EntryText(rawComment, h.versionMadeBy, h.flags);

    if (firstOffset || e.extent.localHeaderOffset < lowestLocalOffset_) {
      lowestLocalOffset_ = e.extent.localHeaderOffset;
      firstOffset = false;
    }
    if (!keepFolderEntries_ && !e.name.empty() && e.name.back() == '\\') {
      ++skippedFolders_;
      continue;
    }
    totalSize_ = zip::SignedSize(
        zip::SaturatingAdd(static_cast<uint64_t>(totalSize_), e.extent.uncompressedSize));
    directory_.push_back(std::move(e));
    if (OnEntryListed)
      OnEntryListed(static_cast<int>(directory_.size()), directory_.back());
  }
}

// ---------------------------------------------------------------- Extract

void TZipUnpacker::Extract() {
  successCount_ = 0;
  try {
    if (!platform_.files.FileExists(archivePath_)) {
      ShowError(kArchiveMissing);
      entryNames_.clear();
      return;
    }
    if (busy_)
      return;
    // With nobody to ask, the library is told not to ask for a password in
    // this call; the property keeps its value.
    unsigned tries = passwordTries_;
    if (unattended_ && password_.empty() && !OnPasswordError) {
      tries = 0;
      ShowError(kUnattendedNoPassword);
    }
    busy_ = true;
    cancel_ = false;

    // The file of a library held from LibraryDir cannot go while it is
    // loaded, and a load by its path gives the loaded library in any case.
    std::string dllPath = libraryDir_ + "\\SZUNPACK.DLL";
    const bool heldFromDir = heldLibrary_ && held_.path == dllPath;
    if (!heldFromDir && !platform_.files.FileExists(dllPath))
      dllPath = "SZUNPACK.DLL";
    std::unique_ptr<platform::Library> library = platform_.libraries.Load(dllPath);
    // A load by the path of the library held already gives that library
    // again, whose entry points and version are known.
    const bool held = library && heldLibrary_ && dllPath == held_.path;
    EntryPoints entries = held ? held_.entries : EntryPoints{};
    if (library && !held) {
      entries.exec = reinterpret_cast<unpack::UnpackExecFn>(library->Find("UnpackExec"));
      entries.getVersion =
          reinterpret_cast<unpack::GetUnpackVersionFn>(library->Find("GetUnpackVersion"));
    }
    bool loaded = false;
    if (!library) {
      ShowError(kLibraryNotLoaded);
    } else if (!entries.exec) {
      ShowError(kNoUnpackExec);
    } else if (!entries.getVersion) {
      ShowError(kNoGetUnpackVersion);
    } else {
      loaded = true;
      if (trace_)
        ShowError(kLibraryLoaded);
      if (!held) {
        entries.version = entries.getVersion();
        // The engine extracts one entry per call. Mapping and unmapping the
        // library each time cost more than the extraction itself; with this
        // reference held, each call's load and release only count.
        if (!heldLibrary_) {
          heldLibrary_ = platform_.libraries.Load(dllPath);
          held_ = {dllPath, entries};
        }
      }
    }
    if (loaded) {
      // The copy of a spanned archive goes again whatever happens, unless it
      // was somebody else's file that OnCopyOverwrite kept.
      struct RemoveCopy {
        platform::Files& files;
        std::string path;
        ~RemoveCopy() {
          if (!path.empty())
            files.DeleteFile(path);
        }
      } removeCopy{platform_.files, {}};
      std::string archive = archivePath_;
      if (endRecordDisk_ != 0) {
        std::string dir = tempDir_.empty() ? platform_.files.TempDirectory() : tempDir_;
        if (!dir.empty() && dir.back() != '\\')
          dir += '\\';
        archive = dir + kSpanCopyName;
        try {
          RebuildSpanned(archive, removeCopy.path);
        } catch (const EZipUnpacker& e) {
          ShowError(e.number(), e.extra());
          archive.clear();
        }
      }
      if (!archive.empty()) {
        if (platform_.files.DirectoryExists(extractDir_)) {
          platform_.files.SetCurrentDirectory(extractDir_);
        }
        try {
          RunLibrary(entries, archive, tries);
        } catch (const std::exception& e) {
          ShowError(kLibraryCall, e.what());
        } catch (...) {
          ShowError(kLibraryCall);
        }
      }
    }
  } catch (...) {
    // As in List: only handlers and the dialog itself can throw here.
  }
  entryNames_.clear();
  cancel_ = false;
  busy_ = false;
}

void TZipUnpacker::RunLibrary(const EntryPoints& library, const std::string& archive,
                              unsigned passwordTries) {
  const unpack::UnpackExecFn exec = library.exec;
  const int32_t version = library.version;

  std::vector<std::string> names(entryNames_.begin(), entryNames_.end());
  std::string password = password_;

  unpack::ParamsHead head{};
  head.ownerWindow = unattended_ ? nullptr : reinterpret_cast<void*>(ownerWindow_);
  head.caller = this;
  head.interfaceVersion = unpack::kInterfaceVersion;
  head.callback = &TZipUnpacker::CallbackThunk;
  head.trace = trace_ ? unpack::kTrue : unpack::kFalse;
  head.password = password.c_str();
  head.test = options_.count(ExtractOption::Test) ? unpack::kTrue : unpack::kFalse;
  head.minusOne40 = -1;
  head.verbose = (verbose_ || trace_) ? unpack::kTrue : unpack::kFalse;
  const bool update = options_.count(ExtractOption::Update) != 0;
  head.update = update ? unpack::kTrue : unpack::kFalse;
  head.freshen =
      (!update && options_.count(ExtractOption::Freshen)) ? unpack::kTrue : unpack::kFalse;
  head.folderNames = options_.count(ExtractOption::FolderNames) ? unpack::kTrue : unpack::kFalse;
  head.overwrite = options_.count(ExtractOption::Overwrite) ? unpack::kTrue : unpack::kFalse;
  head.archivePath = archive.c_str();

  callbackFailure_ = nullptr;
  int32_t result;
  if (version < unpack::kEntryArrayVersion) {
    auto record = std::make_unique<unpack::LegacyParams>();
    record->head = head;
    size_t count = std::min<size_t>(names.size(), unpack::kLegacyNameSlots);
    record->head.entryCount = static_cast<int32_t>(count);
    record->seven = 7;
    for (size_t i = 0; i < count; ++i)
      record->names[i] = names[i].c_str();
    // Old libraries read the legacy layout through the same entry point.
    result = exec(reinterpret_cast<unpack::Params*>(record.get()));
  } else {
    std::vector<unpack::EntrySpec> specs(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      specs[i].name = names[i].c_str();
    unpack::Params record{};
    record.head = head;
    record.head.entryCount = static_cast<int32_t>(names.size());
    record.entries = specs.data();
    if (version >= unpack::kPasswordTriesVersion) {
      record.passwordTries = static_cast<int32_t>(passwordTries);
    }
    record.seven = 7;
    result = exec(&record);
  }
  successCount_ = result;
  if (callbackFailure_)
    std::rethrow_exception(std::exchange(callbackFailure_, nullptr));
}

// ---------------------------------------------------------------- spanned

namespace {

// One entry of a spanned set on its way into the single-file copy.
struct SpanItem {
  size_t index = 0;  // in the directory
  uint32_t disk = 0;
  uint64_t offset = 0;
  uint64_t packedSize = 0;
  uint16_t flags = 0;
  std::string name;
};

void Write(platform::WriteStream& out, const void* data, size_t size, uint64_t& written) {
  if (!out.Write(data, size))
    throw EZipUnpacker(kCopyWrite);
  written += size;
}

// Copies `size` bytes from the set into the copy; the bytes may run on over
// several disks.
void Copy(SpanReader& in, platform::WriteStream& out, uint64_t size, uint64_t& written,
          std::vector<uint8_t>& buffer) {
  while (size > 0) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(size, buffer.size()));
    auto got = in.Read(buffer.data(), want);
    if (!got)
      throw EZipUnpacker(kCopyRead);
    if (*got != want)
      throw EZipUnpacker(kCopyTruncated);
    Write(out, buffer.data(), want, written);
    size -= want;
  }
}

}  // namespace

// The entries are copied disk by disk in the order they lie on the disks, so
// that each disk is asked for once; the directory keeps its order, with every
// entry on disk 0 at its offset in the copy.
void TZipUnpacker::RebuildSpanned(const std::string& copy, std::string& created) {
  platform::Files& files = platform_.files;
  if (files.FileExists(copy) && OnCopyOverwrite && !OnCopyOverwrite(copy))
    throw EZipUnpacker(kCopyExists);
  if (spanHeaders_.size() > 0xFFFF)
    throw EZipUnpacker(kCopyZip64);

  std::vector<SpanItem> items;
  for (size_t i = 0; i < spanHeaders_.size(); ++i) {
    const zip::CentralHeader h = zip::ParseCentralHeader(spanHeaders_[i].data());
    if (h.compressedSize == 0xFFFFFFFF || h.uncompressedSize == 0xFFFFFFFF ||
        h.localHeaderOffset == 0xFFFFFFFF || h.startDisk == 0xFFFF) {
      throw EZipUnpacker(kCopyZip64);
    }
    std::string name(reinterpret_cast<const char*>(spanHeaders_[i].data()) + zip::kCentralSize,
                     h.nameLength);
    name = EntryText(name, h.versionMadeBy, h.flags);
    ToBackslashes(name);
    items.push_back({i, h.startDisk, h.localHeaderOffset, h.compressedSize, h.flags, name});
  }
  std::stable_sort(items.begin(), items.end(), [](const SpanItem& a, const SpanItem& b) {
    return a.disk != b.disk ? a.disk < b.disk : a.offset < b.offset;
  });

  auto out = files.OpenWrite(copy);
  if (!out)
    throw EZipUnpacker(kCopyCreate);
  created = copy;

  const int count = static_cast<int>(endRecordDisk_) + 1;
  DiskSet disks(platform_, title_, files.FullPath(archivePath_), drive_, !unattended_,
                {OnNextDisk, OnDiskStatus});
  std::unique_ptr<SpanReader> in;
  std::vector<uint8_t> buffer(kCopyChunk);
  std::vector<uint32_t> newOffsets(spanHeaders_.size());
  uint64_t written = 0;
  for (const SpanItem& item : items) {
    if (item.disk > endRecordDisk_)
      throw EZipUnpacker(kCopyLocalHeader);
    if (in && in->disk() == item.disk) {
      in->Seek(item.offset);
    } else {
      in.reset();
      in = std::make_unique<SpanReader>(disks.Open(item.disk, count), item.disk, item.offset,
                                        &disks, endRecordDisk_, count);
    }
    if (OnProgress)
      OnProgress(ProgressKind::Copying, static_cast<int64_t>(item.packedSize),
                 "Copying: " + item.name);
    if (written > 0xFFFFFFFE)
      throw EZipUnpacker(kCopyZip64);
    newOffsets[item.index] = static_cast<uint32_t>(written);

    uint8_t local[zip::kLocalSize];
    auto got = in->Read(local, sizeof local);
    if (!got)
      throw EZipUnpacker(kCopyRead);
    if (*got != sizeof local || zip::Le32(local) != zip::kSigLocal)
      throw EZipUnpacker(kCopyLocalHeader);
    Write(*out, local, sizeof local, written);
    Copy(*in, *out, zip::LocalHeaderLength(local) - zip::kLocalSize, written, buffer);
    Copy(*in, *out, item.packedSize, written, buffer);
    if (item.flags & zip::kFlagDataDescriptor) {
      // CRC and both sizes, after a signature that writers may leave out.
      uint8_t descriptor[16];
      got = in->Read(descriptor, 4);
      if (!got)
        throw EZipUnpacker(kCopyRead);
      if (*got != 4)
        throw EZipUnpacker(kCopyTruncated);
      const size_t rest = zip::Le32(descriptor) == zip::kSigDataDescriptor ? 12 : 8;
      got = in->Read(descriptor + 4, rest);
      if (!got)
        throw EZipUnpacker(kCopyRead);
      if (*got != rest)
        throw EZipUnpacker(kCopyTruncated);
      Write(*out, descriptor, 4 + rest, written);
    }
  }
  in.reset();

  if (written > 0xFFFFFFFF)
    throw EZipUnpacker(kCopyZip64);
  const auto directoryOffset = static_cast<uint32_t>(written);
  for (size_t i = 0; i < spanHeaders_.size(); ++i) {
    std::vector<uint8_t> header = spanHeaders_[i];
    zip::Put16(header.data() + 34, 0);
    zip::Put32(header.data() + 42, newOffsets[i]);
    Write(*out, header.data(), header.size(), written);
  }
  if (written - directoryOffset > 0xFFFFFFFF)
    throw EZipUnpacker(kCopyZip64);
  std::vector<uint8_t> end(zip::kEndSize);
  zip::Put32(end.data(), zip::kSigEnd);
  zip::Put16(end.data() + 8, static_cast<uint16_t>(spanHeaders_.size()));
  zip::Put16(end.data() + 10, static_cast<uint16_t>(spanHeaders_.size()));
  zip::Put32(end.data() + 12, static_cast<uint32_t>(written - directoryOffset));
  zip::Put32(end.data() + 16, directoryOffset);
  zip::Put16(end.data() + 20, static_cast<uint16_t>(spanComment_.size()));
  end.insert(end.end(), spanComment_.begin(), spanComment_.end());
  Write(*out, end.data(), end.size(), written);
}

// ---------------------------------------------------------------- callback

int32_t UNPACK_CALL TZipUnpacker::CallbackThunk(unpack::CallbackRecord* record) {
  if (!record || !record->caller)
    return 0;
  auto* self = static_cast<TZipUnpacker*>(record->caller);
  // Nothing may unwind through the library: a failing handler stops the
  // extraction and is reported once the library has returned.
  try {
    return self->HandleCallback(*record);
  } catch (...) {
    if (!self->callbackFailure_)
      self->callbackFailure_ = std::current_exception();
    return -1;
  }
}

int TZipUnpacker::HandleCallback(unpack::CallbackRecord& record) {
  const std::string text = RecordText(record);
  const auto size = static_cast<int64_t>(record.size);
  switch (record.action) {
    case unpack::kActionNewEntry:
      if (OnProgress)
        OnProgress(ProgressKind::NewEntry, size, text);
      break;
    case unpack::kActionProgress:
      if (OnProgress)
        OnProgress(ProgressKind::Step, size, text);
      break;
    case unpack::kActionEndOfBatch:
      if (OnProgress)
        OnProgress(ProgressKind::EndOfBatch, size, text);
      break;
    case unpack::kActionMessage:
      lastErrorText_ = text;
      if (record.number != 0)
        lastErrorNumber_ = record.number;
      if (OnMessage)
        OnMessage(record.number, text);
      break;
    case unpack::kActionEntryDone:
      if (OnProgress)
        OnProgress(ProgressKind::EntryDone, size, text);
      break;
    case unpack::kActionTotalSize:
      totalSize_ = size;
      if (OnProgress)
        OnProgress(ProgressKind::TotalSize, size, text);
      break;
    case unpack::kActionRename: {
      std::string name = text;
      if (OnRenameEntry)
        OnRenameEntry(name);
      if (name != text) {
        WriteRecordText(record, name, kMaxRenamed);
        record.number = 1;
      } else {
        record.number = 0;
      }
      break;
    }
    case unpack::kActionPassword:
      AskPassword(record, text);
      break;
    case unpack::kActionCrcError:
      record.number = OnCrcError ? OnCrcError(text) : 2;
      break;
    case unpack::kActionOverwrite:
      if (OnExtractOverwrite)
        record.number = OnExtractOverwrite(text) ? 1 : 0;
      break;
    case unpack::kActionSkipped:
      lastErrorNumber_ = record.number;
      if (OnExtractSkipped)
        OnExtractSkipped(text, record.number);
      break;
    case unpack::kActionEntryComment: {
      std::string comment = text;
      if (OnEntryComment)
        OnEntryComment(comment);
      if (comment != text)
        WriteRecordText(record, comment, kMaxComment);
      break;
    }
    default:
      break;
  }
  const bool cancelled = cancel_;
  platform_.system.ProcessMessages();
  return cancelled ? -1 : 0;
}

void TZipUnpacker::AskPassword(unpack::CallbackRecord& record, const std::string& name) {
  const bool confirm = (record.number & 1) != 0;
  int repeat = static_cast<int>(record.size);
  std::string password;
  if (OnPasswordError) {
    OnPasswordError(name, confirm, password, repeat);
  } else if (unattended_) {
    ShowError(confirm ? kPasswordConfirmUnattended : kPasswordUnattended);
  } else if (passwordPrompt_) {
    // Without message texts the caption (10154) is the fallback text without
    // a number, and both prompts (10155, 10156) are empty.
    const std::string caption(kFallbackText);
    password = passwordPrompt_->Ask(caption, "");
    if (confirm && !password.empty()) {
      std::string again = passwordPrompt_->Ask(caption, "");
      if (again != password) {
        ShowError(kPasswordMismatch);
        password.clear();
      }
    }
  }
  if (!password.empty()) {
    WriteRecordText(record, password, kMaxLibraryPassword);
    record.number = 1;
  } else {
    record.number = 0;
    repeat = 0;
  }
  record.size = std::clamp(repeat, 0, static_cast<int>(kMaxPasswordTries));
}

}  // namespace archive

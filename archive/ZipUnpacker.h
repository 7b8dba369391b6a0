#pragma once

// TZipUnpacker: reads a ZIP archive's central directory itself and extracts
// named entries through the unzip library (SZUNPACK.DLL), which it loads for
// each extraction. It never lets an error escape: every failure is shown and
// stored through one message routine.
//
// The component is used on one thread at a time, and the library calls back
// on the thread that called Extract. From another thread only Cancel may be
// called, and the stop source of the token given to SetStopToken asked to
// stop; nothing else of the component may be touched there.

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "archive/PasswordPrompt.h"
#include "platform/Platform.h"
#include "unpack/EntryName.h"
#include "unpack/UnpackApi.h"
#include "unpack/ZipFormat.h"

namespace archive {

enum class ExtractOption { FolderNames, Overwrite, Freshen, Update, Test };
using ExtractOptions = std::set<ExtractOption>;

/// How entry names and comments without the UTF-8 flag are read.
using CodePage = unpack::NameCodePage;

/// What OnProgress reports. Copying: an entry of a spanned archive is copied
/// into the temporary single-file archive ("Copying: " and its name, and the
/// bytes it takes).
enum class ProgressKind {
  NewEntry = 0,
  Step = 1,
  EndOfBatch = 2,
  EntryDone = 3,
  TotalSize = 4,
  Copying = 5
};

/// One kept header of the central directory: its 42 bytes as stored, the
/// sizes and position with the ZIP64 values applied, and the texts.
struct ZipDirEntry {
  unpack::zip::CentralHeader header;
  unpack::zip::EntryExtent extent;
  std::string name;  // UTF-8, every slash turned into a backslash
  bool encrypted = false;
  std::vector<uint8_t> extra;
  std::string comment;  // UTF-8
};

/// The text of a message number. The program carries no message texts, so it
/// is always the fallback form, with `extra` directly after the number.
std::string MessageText(int number, std::string_view extra = {});

/// The component's own failure: an error number, whether it is to be shown,
/// and the text for the number.
class EZipUnpacker : public std::runtime_error {
 public:
  explicit EZipUnpacker(int number, bool display = true, std::string extra = {});
  int number() const { return number_; }
  bool display() const { return display_; }
  const std::string& extra() const { return extra_; }

 private:
  int number_;
  bool display_;
  std::string extra_;
};

class TZipUnpacker {
 public:
  static constexpr const char* kVersionText = "1.6";
  static constexpr unsigned kMaxPasswordTries = 15;
  static constexpr size_t kMaxPasswordLength = 255;
  /// The file name of the temporary copy of a spanned archive.
  static constexpr const char* kSpanCopyName = "SZSPAN.TMP";

  /// `title` is the application title, the caption of the component's message
  /// dialogs.
  TZipUnpacker(platform::Platform& platform, std::string title);
  ~TZipUnpacker();
  TZipUnpacker(const TZipUnpacker&) = delete;
  TZipUnpacker& operator=(const TZipUnpacker&) = delete;

  // --- published properties ---
  const std::string& ArchivePath() const { return archivePath_; }
  /// Stores the path and reads the archive's directory at once.
  void SetArchivePath(std::string_view path);
  std::vector<std::string>& EntryNames() { return entryNames_; }
  void SetEntryNames(const std::vector<std::string>& names) { entryNames_ = names; }
  const std::string& ExtractDir() const { return extractDir_; }
  void SetExtractDir(std::string_view dir) { extractDir_ = dir; }
  const ExtractOptions& Options() const { return options_; }
  void SetExtractOptions(ExtractOptions options) { options_ = std::move(options); }
  const std::string& LibraryDir() const { return libraryDir_; }
  /// Stored without a trailing backslash. Another directory lets go of the
  /// library the component keeps loaded.
  void SetLibraryDir(std::string_view dir);
  bool Unattended() const { return unattended_; }
  void SetUnattended(bool on) { unattended_ = on; }
  bool Verbose() const { return verbose_; }
  void SetVerbose(bool on) { verbose_ = on; }
  bool Trace() const { return trace_; }
  void SetTrace(bool on) { trace_ = on; }
  const std::string& Password() const { return password_; }
  /// At most kMaxPasswordLength bytes are kept.
  void SetPassword(std::string_view password);
  unsigned PasswordTries() const { return passwordTries_; }
  /// Values above kMaxPasswordTries are stored as kMaxPasswordTries.
  void SetPasswordTries(unsigned tries);
  const std::string& TempDir() const { return tempDir_; }
  void SetTempDir(std::string_view dir) { tempDir_ = dir; }
  archive::CodePage CodePage() const { return codePage_; }
  void SetCodePage(archive::CodePage codePage) { codePage_ = codePage; }
  bool KeepFolderEntries() const { return keepFolderEntries_; }
  void SetKeepFolderEntries(bool on) { keepFolderEntries_ = on; }
  /// The window that owns the library's dialogs (an HWND on Windows).
  uintptr_t OwnerWindow() const { return ownerWindow_; }
  void SetOwnerWindow(uintptr_t window) { ownerWindow_ = window; }

  /// Gives the component its password dialog (the program's TPasswordDlg);
  /// it builds none itself. Without one a password request is answered as if
  /// the user had cancelled.
  void SetPasswordPrompt(std::unique_ptr<PasswordPrompt> prompt);

  // --- operations ---
  /// Extracts the entries named in EntryNames from ArchivePath into
  /// ExtractDir; EntryNames is empty afterwards in every case. Each call
  /// loads the library and releases it again; after the first load that
  /// found both entry points the component keeps one more reference until
  /// it goes or LibraryDir changes, so that the library stays mapped
  /// between calls.
  void Extract();
  /// Asks a running extraction to stop, as a stop through the token does;
  /// callable from any thread. Extract forgets the request when it starts
  /// and when it ends.
  void Cancel() { cancel_ = true; }
  /// Once a stop is requested through `token`, a running extraction stops
  /// at the library's next callback (the library deletes the file it was
  /// writing) or before the next block of a spanned archive's copy (the copy
  /// goes, nothing is extracted), and every later Extract returns at once
  /// without loading the library. A stop is no error: it shows nothing.
  void SetStopToken(std::stop_token token) { stop_ = std::move(token); }

  // --- state ---
  const std::vector<ZipDirEntry>& Directory() const { return directory_; }
  int SuccessCount() const { return successCount_; }
  int LastErrorNumber() const { return lastErrorNumber_; }
  const std::string& LastErrorText() const { return lastErrorText_; }
  const std::string& ArchiveComment() const { return comment_; }
  bool Spanned() const { return spanned_; }
  int SkippedFolderEntries() const { return skippedFolders_; }
  uint64_t DirectoryOffset() const { return directoryOffset_; }
  uint64_t LowestLocalHeaderOffset() const { return lowestLocalOffset_; }
  uint32_t EndRecordDisk() const { return endRecordDisk_; }
  int VolumeNumber() const { return volumeNumber_; }
  int64_t TotalSize() const { return totalSize_; }
  bool Busy() const { return busy_; }

  // --- events ---
  std::function<void()> OnListChanged;
  std::function<void(ProgressKind kind, int64_t size, const std::string& name)> OnProgress;
  std::function<void(int number, const std::string& text)> OnMessage;
  /// May change the name the library writes the entry under.
  std::function<void(std::string& name)> OnRenameEntry;
  std::function<void(int number, const ZipDirEntry& entry)> OnEntryListed;
  /// Returns the answer for the library.
  std::function<int(const std::string& name)> OnCrcError;
  /// Sets `password` (empty for none) and may change `repeatCount`.
  std::function<void(const std::string& name, bool confirm, std::string& password,
                     int& repeatCount)>
      OnPasswordError;
  /// True to overwrite the existing file.
  std::function<bool(const std::string& name)> OnExtractOverwrite;
  std::function<void(const std::string& name, int reason)> OnExtractSkipped;
  /// May change the entry comment.
  std::function<void(std::string& comment)> OnEntryComment;
  /// The temporary copy of a spanned archive exists already: true to replace
  /// it. Without a handler it is replaced.
  std::function<bool(const std::string& path)> OnCopyOverwrite;
  /// A disk of a spanned archive is about to be asked for (1-based; `count` 0
  /// while the directory is read).
  std::function<void(int volume, int count)> OnNextDisk;
  /// A disk of a spanned archive was recognised and opened.
  std::function<void(int volume, const std::string& label, uint32_t serial)> OnDiskStatus;

 private:
  /// What the component uses of a loaded library.
  struct EntryPoints {
    unpack::UnpackExecFn exec = nullptr;
    unpack::GetUnpackVersionFn getVersion = nullptr;
    int32_t version = 0;  // what GetUnpackVersion answered
  };

  void ShowError(int number, std::string_view extra = {});
  bool StopRequested() const { return cancel_ || stop_.stop_requested(); }

  // ZipDirectoryReader.cpp
  void List();
  void ReadDirectory();
  /// An entry name or comment as UTF-8, by CodePage and the system's OEM
  /// code page.
  std::string EntryText(std::string_view raw, uint16_t versionMadeBy, uint16_t flags);
  /// An entry name as UTF-8 with every slash turned into a backslash.
  std::string EntryName(std::string_view raw, uint16_t versionMadeBy, uint16_t flags);

  // ZipExtract.cpp
  /// Loads the library for one Extract and sets `entries` (known already
  /// for the library the component holds); null, after its message, when
  /// the library cannot be used.
  std::unique_ptr<platform::Library> OpenLibrary(EntryPoints& entries);
  /// Calls the library for the entries named in EntryNames, allowing it
  /// `passwordTries` password requests per entry.
  void RunLibrary(const EntryPoints& library, const std::string& archive, unsigned passwordTries);

  // SpannedRebuild.cpp
  /// Writes the spanned archive into the single-file archive `copy`; `created`
  /// names the copy once it exists. False when a stop came first.
  bool RebuildSpanned(const std::string& copy, std::string& created);

  // UnpackCallback.cpp
  static int32_t UNPACK_CALL CallbackThunk(unpack::CallbackRecord* record);
  int HandleCallback(unpack::CallbackRecord& record);
  void AskPassword(unpack::CallbackRecord& record, const std::string& name);

  platform::Platform& platform_;
  std::string title_;
  std::unique_ptr<PasswordPrompt> passwordPrompt_;

  std::string archivePath_;
  std::vector<std::string> entryNames_;
  std::string extractDir_;
  ExtractOptions options_;
  std::string libraryDir_;
  bool unattended_ = false;
  bool verbose_ = false;
  bool trace_ = false;
  std::string password_;
  unsigned passwordTries_ = 1;
  std::string tempDir_;
  archive::CodePage codePage_ = archive::CodePage::Auto;
  bool keepFolderEntries_ = false;
  uintptr_t ownerWindow_ = 0;

  std::vector<ZipDirEntry> directory_;
  int lastErrorNumber_ = 0;
  std::string lastErrorText_;
  int successCount_ = 0;
  bool busy_ = false;
  std::atomic<bool> cancel_ = false;
  std::stop_token stop_;
  std::string comment_;
  bool spanned_ = false;
  int skippedFolders_ = 0;
  uint64_t directoryOffset_ = 0;
  uint64_t lowestLocalOffset_ = 0;
  uint32_t endRecordDisk_ = 0;
  // The raw central headers (with signature) and archive comment of a
  // spanned archive, which Extract writes again into a single-file copy.
  std::vector<std::vector<uint8_t>> spanHeaders_;
  std::string spanComment_;
  int volumeNumber_ = 0;
  std::string drive_;
  int64_t totalSize_ = 0;
  std::exception_ptr callbackFailure_;
  std::unique_ptr<platform::Library> heldLibrary_;
  struct {
    std::string path;  // as loaded
    EntryPoints entries;
  } held_;
};

}  // namespace archive

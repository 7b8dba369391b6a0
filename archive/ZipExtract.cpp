#include "archive/ZipUnpacker.h"

// Extract: the unzip library is loaded (and one reference to it held), given
// the parameter record for its version, and called.

#include <algorithm>
#include <utility>

#include "archive/MessageNumbers.h"
#include "unpack/UnpackApi.h"

namespace archive {

void TZipUnpacker::Extract() {
  successCount_ = 0;
  // A stopped run wants nothing more of the component, not even a message.
  if (stop_.stop_requested()) {
    entryNames_.clear();
    return;
  }
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

    EntryPoints entries;
    const std::unique_ptr<platform::Library> library = OpenLibrary(entries);
    if (library) {
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
          if (!RebuildSpanned(archive, removeCopy.path))
            archive.clear();
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

std::unique_ptr<platform::Library> TZipUnpacker::OpenLibrary(EntryPoints& entries) {
  // The file of a library held from LibraryDir cannot go while it is
  // loaded, and a load by its path gives the loaded library in any case.
  std::string dllPath = libraryDir_ + "\\SZUNPACK.DLL";
  const bool heldFromDir = heldLibrary_ && held_.path == dllPath;
  if (!heldFromDir && !platform_.files.FileExists(dllPath))
    dllPath = "SZUNPACK.DLL";
  std::unique_ptr<platform::Library> library = platform_.libraries.Load(dllPath);
  if (!library) {
    ShowError(kLibraryNotLoaded);
    return nullptr;
  }
  // A load by the path of the library held already gives that library
  // again, whose entry points and version are known.
  const bool held = heldLibrary_ && dllPath == held_.path;
  entries = held ? held_.entries : EntryPoints{};
  if (!held) {
    entries.exec = reinterpret_cast<unpack::UnpackExecFn>(library->Find("UnpackExec"));
    entries.getVersion =
        reinterpret_cast<unpack::GetUnpackVersionFn>(library->Find("GetUnpackVersion"));
  }
  if (!entries.exec) {
    ShowError(kNoUnpackExec);
    return nullptr;
  }
  if (!entries.getVersion) {
    ShowError(kNoGetUnpackVersion);
    return nullptr;
  }
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
  return library;
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

}  // namespace archive

#include "tools/builder/SetupBuilder.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>

#include "engine/PayloadFormat.h"
#include "tools/builder/BuildError.h"
#include "tools/builder/ControlFile.h"
#include "tools/builder/FileSelection.h"
#include "tools/builder/MediaPlan.h"
#include "tools/builder/PayloadLists.h"
#include "tools/builder/SetupFolder.h"
#include "tools/builder/Text.h"
#include "tools/builder/ZipWriter.h"
#include "unpack/EntryName.h"

namespace builder {
namespace {

namespace fs = std::filesystem;

// The date of generated entries when the payload packs no file: 2000-01-01.
constexpr std::time_t kFallbackTime = 946684800;
// The name of medium k's folder is this and k.
constexpr std::string_view kMediumFolder = "Medium";
// Work folders are named "." + output name + this + a number.
constexpr std::string_view kWorkMark = ".entsteht-";

// The output folder as an absolute path without a trailing separator, so
// that its parent is the folder it is made in.
fs::path OutputFolder(const fs::path& output) {
  fs::path folder = fs::absolute(output).lexically_normal();
  if (!folder.has_filename())
    folder = folder.parent_path();
  return folder;
}

// Whether `folder` holds a setup folder the builder made: a Setup.inf, in it
// or in its first medium.
bool IsSetupFolder(const fs::path& folder) {
  std::error_code error;
  return fs::is_regular_file(folder / kControlFileName, error) ||
         fs::is_regular_file(folder / (std::string(kMediumFolder) + "1") / kControlFileName, error);
}

void CheckOutputFolder(const fs::path& folder, bool force) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(folder, error);
  if (fs::exists(status)) {
    if (!fs::is_directory(status))
      throw BuildError("Das Ziel ist kein Ordner: " + folder.string());
    const bool empty = fs::is_empty(folder, error) && !error;
    if (!empty && !force)
      throw BuildError("Der Zielordner existiert und ist nicht leer: " + folder.string() +
                       " (--force ersetzt einen Setup-Ordner)");
    if (!empty && !IsSetupFolder(folder))
      throw BuildError(
          "--force ersetzt nur einen Setup-Ordner (mit Setup.inf oder "
          "Medium1/Setup.inf); " +
          folder.string() + " ist keiner");
  }
  if (!fs::is_directory(folder.parent_path(), error))
    throw BuildError("Der Ordner, in dem der Setup-Ordner entstehen soll, fehlt: " +
                     folder.parent_path().string());
}

void CheckProgram(const fs::path& path, std::string_view what) {
  if (std::optional<std::string> problem = ReadableFileProblem(path, what))
    throw BuildError(*problem);
}

// The uninstaller image: the description's, else the one of the options.
// Raises BuildError when the setup needs one and there is none.
std::optional<fs::path> UninstallerImage(const Description& description,
                                         const BuildOptions& options) {
  if (description.uninstaller)
    return description.uninstaller->path;
  if (options.uninstaller) {
    CheckProgram(*options.uninstaller, "Das Deinstallationsprogramm (--uninstaller)");
    return options.uninstaller;
  }
  if (description.uninstallerNeeded)
    throw BuildError(
        "StandardReg=1 oder CreateUninstallShortcut=1 richten ein Deinstallationsprogramm ein, "
        "aber keines ist angegeben und neben dem Builder liegt keines: --uninstaller PFAD "
        "(Uninstall.exe aus dem Windows-Build) oder [Builder] Uninstaller= angeben");
  return std::nullopt;
}

void CheckPrograms(const BuildOptions& options) {
  if (options.setupExe)
    CheckProgram(*options.setupExe, "Das Programm (--setup-exe)");
  if (options.unzipLibrary)
    CheckProgram(*options.unzipLibrary, "Die Entpackbibliothek (--unzip-library)");
}

// The date of the payload's generated entries: that of the newest file it
// packs, so that the same sources give the same payload byte for byte.
std::time_t GeneratedEntryTime(const Description& description,
                               const std::optional<fs::path>& uninstaller) {
  std::vector<fs::path> packed;
  for (const ProductFile& file : description.files)
    packed.push_back(file.source.path);
  if (uninstaller)
    packed.push_back(*uninstaller);
  for (const ComponentFile& file : description.componentFiles)
    packed.push_back(file.source.path);
  std::optional<std::time_t> newest;
  for (const fs::path& path : packed) {
    const auto modified = std::chrono::file_clock::to_sys(fs::last_write_time(path));
    const std::time_t time = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::system_clock::duration>(modified));
    newest = std::max(newest.value_or(time), time);
  }
  return newest.value_or(kFallbackTime);
}

// A folder held under an exclusive lock for as long as this lives: the lock
// tells other builds that its build is still running. The lock goes with
// the process, so the folder of a killed build is free for removal.
class LockedFolder {
 public:
  explicit LockedFolder(const fs::path& path)
      : fd_(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)) {}
  ~LockedFolder() {
    if (fd_ >= 0)
      close(fd_);
  }
  LockedFolder(const LockedFolder&) = delete;
  LockedFolder& operator=(const LockedFolder&) = delete;

  /// Takes the lock; false when another process holds it.
  bool Lock() { return fd_ >= 0 && flock(fd_, LOCK_EX | LOCK_NB) == 0; }

 private:
  int fd_;
};

std::string WorkPrefix(const fs::path& output) {
  return "." + output.filename().string() + std::string(kWorkMark);
}

// Removes the work folders that killed builds of the same output left
// beside it, and says how many there were.
int RemoveLeftovers(const fs::path& output) {
  const std::string prefix = WorkPrefix(output);
  int removed = 0;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(output.parent_path(), error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(prefix) || name.size() == prefix.size() ||
        name.find_first_not_of("0123456789", prefix.size()) != std::string::npos ||
        !entry.is_directory(error) || entry.is_symlink(error))
      continue;
    LockedFolder folder(entry.path());
    if (folder.Lock() && fs::remove_all(entry.path(), error) != static_cast<uintmax_t>(-1))
      ++removed;
  }
  return removed;
}

// The folder the build writes into, beside the output folder and locked,
// removed again unless it was moved into place.
class WorkFolder {
 public:
  explicit WorkFolder(const fs::path& output) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path candidate =
          output.parent_path() / (WorkPrefix(output) + std::to_string(random() % 1000000));
      std::error_code error;
      if (!fs::create_directory(candidate, error)) {
        if (error)
          throw BuildError("Der Arbeitsordner " + candidate.string() +
                           " kann nicht angelegt werden: " + error.message());
        continue;
      }
      // Another build that cleans up may have taken the new folder for a
      // leftover before it was locked; then it removes it, and this build
      // takes another name.
      lock_.emplace(candidate);
      if (lock_->Lock()) {
        path_ = candidate;
        return;
      }
      lock_.reset();
    }
    throw BuildError("Kein freier Name für den Arbeitsordner neben " + output.string());
  }
  ~WorkFolder() {
    if (!path_.empty()) {
      std::error_code ignored;
      fs::remove_all(path_, ignored);
    }
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const fs::path& path() const { return path_; }

  /// Puts the finished folder in place of `output`. An existing setup
  /// folder there is swapped with it in one step and then removed; a build
  /// killed in between leaves it as a work folder that the next build
  /// removes.
  void MoveTo(const fs::path& output) {
    std::error_code error;
    const bool replace = fs::exists(output, error) && !fs::is_empty(output, error);
    if (!replace) {
      fs::rename(path_, output, error);
      if (error)
        throw BuildError("Der fertige Setup-Ordner kann nicht nach " + output.string() +
                         " verschoben werden: " + error.message());
      path_.clear();
      return;
    }
    if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, output.c_str(), RENAME_EXCHANGE) == 0)
      return;  // the old setup folder now has the work folder's name
    if (errno != EINVAL && errno != ENOSYS)
      throw BuildError("Der Setup-Ordner " + output.string() +
                       " kann nicht ersetzt werden: " + std::strerror(errno));
    // A file system that cannot swap: the old folder first takes a work
    // folder's name, then the new one takes its place.
    const fs::path old = output.parent_path() / (path_.filename().string() + "0");
    fs::rename(output, old, error);
    if (!error) {
      fs::rename(path_, output, error);
      if (error)
        fs::rename(old, output);
    }
    if (error)
      throw BuildError("Der Setup-Ordner " + output.string() +
                       " kann nicht ersetzt werden: " + error.message());
    path_ = old;
  }

 private:
  std::optional<LockedFolder> lock_;
  fs::path path_;
};

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out)
    throw BuildError("Die Datei kann nicht geschrieben werden: " + path.string());
}

void CopyInto(const fs::path& source, const fs::path& target) {
  std::error_code error;
  if (!fs::copy_file(source, target, error))
    throw BuildError("Die Datei " + source.string() + " kann nicht nach " +
                     Quoted(target.string()) + " kopiert werden: " + error.message());
}

// The component archive holds the component list and every program's files
// side by side.
void WriteComponentArchive(const Description& description, const fs::path& path, std::time_t time) {
  ZipWriter archive(path);
  archive.AddBytes(engine::payload::kComponentList,
                   ComponentListText(description.components, description.componentFiles), time);
  for (const ComponentFile& file : description.componentFiles)
    archive.AddFile(file.entryName, file.source.path);
  archive.Close();
}

void WritePayload(const Description& description, const std::optional<fs::path>& uninstaller,
                  const fs::path& folder, std::time_t time) {
  const fs::path components = folder / engine::payload::kComponentEntry;
  if (!description.components.empty())
    WriteComponentArchive(description, components, time);
  ZipWriter payload(folder / engine::payload::kArchiveName);
  for (size_t k = 0; k < description.files.size(); ++k)
    payload.AddFile(std::to_string(k + 1), description.files[k].source.path);
  payload.AddBytes(engine::payload::kListEntry, PayloadListEntry(description.files), time);
  if (uninstaller)
    payload.AddFile(engine::payload::kUninstallerEntry, *uninstaller);
  if (!description.components.empty())
    payload.AddFile(engine::payload::kComponentEntry, components, time);
  payload.Close();
  if (!description.components.empty())
    fs::remove(components);
}

std::string MediumName(int k) {
  return std::string(kMediumFolder) + std::to_string(k);
}

// Cuts the archive into consecutive slices of the planned sizes, part k into
// the folder of medium k + 1, and removes it.
void SplitArchive(const fs::path& archive, const std::vector<uint64_t>& parts,
                  const fs::path& root) {
  std::ifstream in(archive, std::ios::binary);
  std::vector<char> buffer(1 << 20);
  for (size_t k = 1; k <= parts.size(); ++k) {
    const fs::path folder = root / MediumName(static_cast<int>(k) + 1);
    fs::create_directory(folder);
    const fs::path partPath = folder / engine::payload::PartName(static_cast<int>(k));
    std::ofstream out(partPath, std::ios::binary);
    uint64_t left = parts[k - 1];
    while (left > 0 && in && out) {
      const auto chunk = static_cast<std::streamsize>(std::min<uint64_t>(left, buffer.size()));
      in.read(buffer.data(), chunk);
      out.write(buffer.data(), chunk);
      left -= static_cast<uint64_t>(chunk);
    }
    out.close();
    if (!in)
      throw BuildError("Das Archiv kann nicht gelesen werden: " + archive.string());
    if (!out)
      throw BuildError("Der Teil kann nicht geschrieben werden: " + partPath.string());
  }
  in.close();
  fs::remove(archive);
}

// What medium 1 (or the single setup folder) holds besides the payload:
// the programs, Setup.inf and the media files.
struct FirstMedium {
  std::vector<std::pair<std::string, uint64_t>> files;  // name and size

  FirstMedium(const Description& description, const BuildOptions& options) {
    if (options.setupExe)
      files.emplace_back(kProgramName, fs::file_size(*options.setupExe));
    if (options.unzipLibrary)
      files.emplace_back(kLibraryName, fs::file_size(*options.unzipLibrary));
    for (const MediaFile& file : description.media)
      files.emplace_back(file.name,
                         file.converted ? file.converted->size() : fs::file_size(file.source.path));
  }
  uint64_t Bytes(const Description& description, int parts) const {
    uint64_t bytes = ControlFileText(description.sections, parts).size();
    for (const auto& [name, size] : files)
      bytes += size;
    return bytes;
  }
};

std::optional<int> MediaCount(const Description& description, const BuildOptions& options) {
  return options.media ? options.media : description.mediaCount;
}

std::optional<uint64_t> MediumSize(const Description& description, const BuildOptions& options) {
  return options.mediumSize ? options.mediumSize : description.mediumSize;
}

}  // namespace

std::string SelectionText(const FileSelection& selection) {
  return "Zeile " + std::to_string(selection.line) + ": " + std::to_string(selection.files) +
         (selection.files == 1 ? " Datei" : " Dateien") + " aus " + selection.source;
}

std::string MediaPrompts(int media) {
  if (media < 2)
    return {};
  std::string prompts = "Setup fragt nach Medium 2";
  for (int k = 3; k <= media; ++k)
    prompts += ", " + std::to_string(k);
  return prompts + " und am Ende wieder nach Medium 1";
}

BuildResult BuildSetupFolder(const Description& description, const BuildOptions& options) try {
  BuildResult result;
  result.folder = OutputFolder(options.output);
  CheckOutputFolder(result.folder, options.force);
  CheckPrograms(options);
  const std::optional<fs::path> uninstaller = UninstallerImage(description, options);

  if (const int removed = RemoveLeftovers(result.folder); removed > 0)
    result.notes.push_back(std::to_string(removed) +
                           " Arbeitsordner abgebrochener Läufe neben dem Setup-Ordner entfernt.");
  WorkFolder work(result.folder);
  WritePayload(description, uninstaller, work.path(), GeneratedEntryTime(description, uninstaller));
  const fs::path archive = work.path() / engine::payload::kArchiveName;
  result.payloadSize = fs::file_size(archive);

  const FirstMedium first(description, options);
  const MediaPlan plan =
      PlanMedia(MediaCount(description, options), MediumSize(description, options),
                result.payloadSize, [&](int parts) { return first.Bytes(description, parts); });
  result.parts = static_cast<int>(plan.parts.size());
  const fs::path firstFolder = plan.media == 0 ? work.path() : work.path() / MediumName(1);
  fs::create_directory(firstFolder);
  BuiltFolder firstBuilt{plan.media == 0 ? "" : MediumName(1), {}, 0};
  if (plan.parts.empty()) {
    if (firstFolder != work.path())
      fs::rename(archive, firstFolder / engine::payload::kArchiveName);
    firstBuilt.files.emplace_back(engine::payload::kArchiveName);
    firstBuilt.bytes += result.payloadSize;
  } else {
    SplitArchive(archive, plan.parts, work.path());
  }
  WriteBytes(firstFolder / kControlFileName, ControlFileText(description.sections, result.parts));
  for (const MediaFile& file : description.media) {
    if (file.converted)
      WriteBytes(firstFolder / file.name, *file.converted);
    else
      CopyInto(file.source.path, firstFolder / file.name);
  }
  if (options.setupExe)
    CopyInto(*options.setupExe, firstFolder / kProgramName);
  if (options.unzipLibrary)
    CopyInto(*options.unzipLibrary, firstFolder / kLibraryName);
  firstBuilt.files.emplace_back(kControlFileName);
  for (const auto& [name, size] : first.files)
    firstBuilt.files.push_back(name);
  firstBuilt.bytes += first.Bytes(description, result.parts);
  result.media.push_back(std::move(firstBuilt));
  for (size_t k = 1; k <= plan.parts.size(); ++k)
    result.media.push_back({MediumName(static_cast<int>(k) + 1),
                            {engine::payload::PartName(static_cast<int>(k))},
                            plan.parts[k - 1]});
  work.MoveTo(result.folder);

  if (!options.setupExe)
    result.notes.push_back(std::string(kProgramName) +
                           " fehlt noch: bitte das Programm in den Setup-Ordner kopieren "
                           "(oder --setup-exe angeben).");
  if (!options.unzipLibrary)
    result.notes.push_back(std::string(kLibraryName) +
                           " fehlt noch: bitte die Entpackbibliothek in den Setup-Ordner kopieren "
                           "(oder --unzip-library angeben).");
  if (!uninstaller)
    result.notes.push_back(
        "Kein Deinstallationsprogramm angegeben (--uninstaller oder [Builder] Uninstaller=): "
        "das installierte Produkt bekommt keines.");
  return result;
} catch (const fs::filesystem_error& error) {
  // Only unforeseen faults (a file vanishing during the build) get here.
  throw BuildError(std::string("Dateifehler: ") + error.what());
}

std::string DryRun(const Description& description, const BuildOptions& options) {
  if (!options.output.empty())
    CheckOutputFolder(OutputFolder(options.output), options.force);
  CheckPrograms(options);
  const std::optional<fs::path> uninstaller = UninstallerImage(description, options);
  const std::optional<int> media = MediaCount(description, options);
  const std::optional<uint64_t> mediumSize = MediumSize(description, options);
  // The parts follow from the media count; for a medium size alone only the
  // packed payload tells.
  const bool partsKnown = media || !mediumSize;
  const int parts = media ? *media - 1 : 0;

  std::string text =
      "Setup.inf:\n" + unpack::Cp1252ToUtf8(ControlFileText(description.sections, parts));
  std::erase(text, '\r');
  if (!partsKnown)
    text += "(Splitted und SplitFileCount ergeben sich erst aus der gepackten Größe.)\n";
  text += "\nNutzlastliste (" + std::to_string(description.files.size()) + " Dateien):\n";
  for (const std::string& line : PayloadListLines(description.files))
    text += unpack::Cp1252ToUtf8(line) + "\n";
  for (const FileSelection& selection : description.selections)
    text += "  Zeile " + std::to_string(selection.line) + ": " + std::to_string(selection.files) +
            " Dateien aus " + selection.source + "\n";

  text += "\nDeinstallationsprogramm: " +
          (uninstaller ? uninstaller->string() : std::string("keines")) + "\n";
  if (!media && !mediumSize) {
    text += "Medien: ein Setup-Ordner mit Setup.szp\n";
  } else if (!partsKnown) {
    text += "Medien: so viele wie nötig zu je " + std::to_string(*mediumSize) +
            " Bytes; die Anzahl ergibt sich aus der gepackten Größe\n";
  } else {
    text += "Medien: " + std::to_string(*media) + "\n  " + MediumName(1) + ": " +
            std::string(kProgramName) + ", " + std::string(kControlFileName) + ", " +
            std::string(kLibraryName);
    for (const MediaFile& file : description.media)
      text += ", " + file.name;
    if (parts == 0)
      text += ", " + std::string(engine::payload::kArchiveName);
    text += "\n";
    for (int k = 1; k <= parts; ++k)
      text += "  " + MediumName(k + 1) + ": " + engine::payload::PartName(k) + "\n";
    if (*media > 1)
      text += MediaPrompts(*media) + ".\n";
  }
  return text;
}

}  // namespace builder

#include "tools/builder/SetupBuilder.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <ctime>
#include <fstream>
#include <random>

#include "engine/PayloadFormat.h"
#include "tools/builder/BuildError.h"
#include "tools/builder/ControlFile.h"
#include "tools/builder/PayloadLists.h"
#include "tools/builder/SetupFolder.h"
#include "tools/builder/ZipWriter.h"

namespace builder {
namespace {

namespace fs = std::filesystem;

// The date of generated entries when the payload packs no file: 2000-01-01.
constexpr std::time_t kFallbackTime = 946684800;

std::string Quoted(const fs::path& path) {
  return "\"" + path.string() + "\"";
}

// The output folder as an absolute path without a trailing separator, so
// that its parent is the folder it is made in.
fs::path OutputFolder(const fs::path& output) {
  fs::path folder = fs::absolute(output).lexically_normal();
  if (!folder.has_filename())
    folder = folder.parent_path();
  return folder;
}

void CheckOutputFolder(const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::symlink_status(folder, error);
  if (fs::exists(status)) {
    if (!fs::is_directory(status))
      throw BuildError("Das Ziel ist kein Ordner: " + folder.string());
    if (!fs::is_empty(folder, error) || error)
      throw BuildError("Der Zielordner existiert und ist nicht leer: " + folder.string());
  }
  if (!fs::is_directory(folder.parent_path(), error))
    throw BuildError("Der Ordner, in dem der Setup-Ordner entstehen soll, fehlt: " +
                     folder.parent_path().string());
}

// A missing source is reported before anything is written, with the line
// that names it.
void CheckSource(const fs::path& path, int line, std::string_view what) {
  const auto fail = [&](const std::string& message) {
    if (line > 0)
      throw BuildError(line, message);
    throw BuildError(message);
  };
  std::error_code error;
  if (!fs::exists(path, error))
    fail(std::string(what) + " nicht gefunden: " + path.string());
  if (!fs::is_regular_file(path, error))
    fail(std::string(what) + " ist keine Datei: " + path.string());
  if (!std::ifstream(path, std::ios::binary))
    fail(std::string(what) + " kann nicht gelesen werden: " + path.string());
}

// The uninstaller image: the description's, else the one of the options.
std::optional<fs::path> UninstallerImage(const Description& description,
                                         const BuildOptions& options) {
  if (description.uninstaller)
    return description.uninstaller->path;
  return options.uninstaller;
}

void CheckSources(const Description& description, const BuildOptions& options) {
  for (const ProductFile& file : description.files)
    CheckSource(file.source.path, file.source.line, "Quelldatei");
  if (description.uninstaller) {
    CheckSource(description.uninstaller->path, description.uninstaller->line, "Quelldatei");
  } else if (options.uninstaller) {
    CheckSource(*options.uninstaller, 0, "Das Deinstallationsprogramm (--uninstaller)");
  }
  for (const ComponentFile& file : description.componentFiles)
    CheckSource(file.source.path, file.source.line, "Quelldatei");
  for (const MediaFile& file : description.media)
    CheckSource(file.source.path, file.source.line, "Quelldatei");
  if (options.setupExe)
    CheckSource(*options.setupExe, 0, "Das Programm (--setup-exe)");
  if (options.unzipLibrary)
    CheckSource(*options.unzipLibrary, 0, "Die Entpackbibliothek (--unzip-library)");
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

// The folder the build writes into, beside the output folder, removed again
// unless it was moved into place.
class WorkFolder {
 public:
  explicit WorkFolder(const fs::path& output) {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const fs::path candidate =
          output.parent_path() /
          ("." + output.filename().string() + ".entsteht-" + std::to_string(random() % 1000000));
      std::error_code error;
      if (fs::create_directory(candidate, error)) {
        path_ = candidate;
        return;
      }
      if (error)
        throw BuildError("Der Arbeitsordner " + candidate.string() +
                         " kann nicht angelegt werden: " + error.message());
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

  void MoveTo(const fs::path& output) {
    std::error_code error;
    fs::rename(path_, output, error);
    if (error)
      throw BuildError("Der fertige Setup-Ordner kann nicht nach " + output.string() +
                       " verschoben werden: " + error.message());
    path_.clear();
  }

 private:
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
    throw BuildError("Die Datei " + source.string() + " kann nicht nach " + Quoted(target) +
                     " kopiert werden: " + error.message());
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

// Cuts the archive into consecutive slices of `partSize` bytes (the last
// may be shorter) and removes it; returns the number of parts.
int SplitArchive(const fs::path& archive, uint64_t partSize) {
  const uint64_t size = fs::file_size(archive);
  const uint64_t parts = size / partSize + (size % partSize != 0 ? 1 : 0);
  if (parts > INT_MAX)
    throw BuildError("SplitSize " + std::to_string(partSize) + " ergäbe zu viele Teile (" +
                     std::to_string(parts) + ")");
  std::ifstream in(archive, std::ios::binary);
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(partSize, 1 << 20)));
  for (int k = 1; k <= static_cast<int>(parts); ++k) {
    const fs::path partPath = archive.parent_path() / engine::payload::PartName(k);
    std::ofstream out(partPath, std::ios::binary);
    uint64_t left = std::min(partSize, size - static_cast<uint64_t>(k - 1) * partSize);
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
  return static_cast<int>(parts);
}

}  // namespace

BuildResult BuildSetupFolder(const Description& description, const BuildOptions& options) try {
  BuildResult result;
  result.folder = OutputFolder(options.output);
  CheckOutputFolder(result.folder);
  CheckSources(description, options);

  WorkFolder work(result.folder);
  const std::optional<fs::path> uninstaller = UninstallerImage(description, options);
  WritePayload(description, uninstaller, work.path(), GeneratedEntryTime(description, uninstaller));
  const fs::path archive = work.path() / engine::payload::kArchiveName;
  result.payloadSize = fs::file_size(archive);
  if (description.splitSize > 0)
    result.parts = SplitArchive(archive, description.splitSize);
  WriteBytes(work.path() / kControlFileName, ControlFileText(description.sections, result.parts));
  for (const MediaFile& file : description.media)
    CopyInto(file.source.path, work.path() / file.name);
  if (options.setupExe)
    CopyInto(*options.setupExe, work.path() / kProgramName);
  if (options.unzipLibrary)
    CopyInto(*options.unzipLibrary, work.path() / kLibraryName);
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

}  // namespace builder

#include "engine/FilePlacement.h"

#include <algorithm>

#include "engine/Directories.h"
#include "engine/FreeSpace.h"
#include "engine/InstallError.h"
#include "unpack/UnpackApi.h"

namespace engine {

namespace {

// Why the library could not give an entry, as its last message says.
std::string Reason(int libraryMessage) {
  switch (libraryMessage) {
    case unpack::kMsgNotFound:
      return "sie fehlt im Installationsarchiv";
    case unpack::kMsgCrcMismatch:
    case unpack::kMsgDataError:
    case unpack::kMsgSizeMismatch:
    case unpack::kMsgOverlap:
      return "das Installationsarchiv ist beschädigt";
    case unpack::kMsgCreateFailed:
    case unpack::kMsgWriteFailed:
      return "sie konnte nicht geschrieben werden; vielleicht ist das Laufwerk voll";
    default:
      return "Fehler " + std::to_string(libraryMessage);
  }
}

}  // namespace

std::string FilePlacement::Temporary(int n) const {
  return run_.workFolder + "\\" + std::to_string(n);
}

int FilePlacement::Begin() {
  const int count = list_.FileCount();
  run_.log.Append("[Files]");
  run_.log.Append("FileCount=" + std::to_string(count));
  run_.log.ClearExtraFiles();
  run_.zip.SetArchivePath(run_.PayloadArchive());
  sizes_.clear();
  for (const archive::ZipDirEntry& entry : run_.zip.Directory())
    sizes_.emplace(entry.name, entry.extent.uncompressedSize);
  extraCount_ = 0;
  CheckFreeSpace(count);
  return count;
}

void FilePlacement::CheckFreeSpace(int count) {
  // Each file lies in the work folder while it is copied to its place: the
  // work folder's drive needs room for the largest of them besides.
  SpaceNeeds needs;
  uint64_t largest = 0;
  // A destination without a placeholder goes below the one before it: the
  // run's own resolver must still be at the start when the files are placed.
  PlaceholderPaths paths = run_.placeholders;
  for (int n = 1; n <= count && !run_.Ended(); ++n) {
    const auto size = sizes_.find(std::to_string(n));
    const uint64_t bytes = size == sizes_.end() ? 0 : size->second;
    needs.AddFile(paths.Resolve(list_.Destination(n)), bytes);
    largest = std::max(largest, bytes);
  }
  if (count > 0)
    needs.AddFile(run_.workFolder, largest);
  needs.Check(run_.platform.files);
}

std::string FilePlacement::Entry(int n) {
  value_ = list_.Destination(n);
  return value_;
}

void FilePlacement::Extract(int n) {
  // Into the run's own work folder, not the target directory: a file that
  // happens to be named like the entry there must neither be installed in
  // its place nor deleted afterwards.
  run_.Extract(run_.PayloadArchive(), std::to_string(n), run_.workFolder);
  pending_ = n;
  // A file the run cannot place is an error, never a success with a file
  // missing; a stop is no error (the run ends at its next step).
  if (!run_.Ended() && !run_.platform.files.FileExists(Temporary(n))) {
    throw EInstallError("Die Datei \"" + value_ +
                        "\" kann nicht entpackt werden: " + Reason(run_.zip.LastErrorNumber()));
  }
}

void FilePlacement::PrepareDestination(int n) {
  const std::string full = run_.placeholders.Resolve(value_);
  ++extraCount_;
  folder_ = FolderPart(full);
  name_ = NamePart(value_);
  run_.log.Append("File" + std::to_string(n) + "=" + Destination());
  run_.log.AppendExtraFile("ExFile" + std::to_string(extraCount_) + "=" + Destination());
  ForceDirectories(run_.platform.files, folder_);
}

void FilePlacement::Copy(int n) {
  if (!run_.platform.files.CopyFile(Temporary(n), Destination(), false))
    throw EInstallError("Die Datei \"" + Destination() + "\" kann nicht geschrieben werden");
  if (const auto size = sizes_.find(std::to_string(n)); size != sizes_.end())
    run_.placedBytes += size->second;
}

void FilePlacement::RemoveTemporary(int n) {
  run_.platform.files.DeleteFile(Temporary(n));
  pending_.reset();
}

void FilePlacement::RemoveLeftover() {
  if (pending_)
    RemoveTemporary(*pending_);
}

void FilePlacement::LogExtraFiles() {
  if (extraCount_ == 0)
    return;
  run_.log.Append("[ExtraFiles]");
  run_.log.Append("ExtraCount=" + std::to_string(extraCount_));
  run_.log.AppendExtraFiles();
}

void FilePlacement::ResolveDisplayIcon() {
  const std::string marker = "[Tessarwolden]";
  if (run_.control.ReadString("UninstallInfo", "DisplayIcon", "") == marker || !list_.IsOpen())
    return;
  const int k = run_.control.ReadInteger("UninstallInfo", "DisplayIcon", 1);
  const std::string full = run_.placeholders.Resolve(list_.Destination(k));
  displayIcon_ = FolderPart(full) + NamePart(list_.DisplayIconSource(k));
}

}  // namespace engine

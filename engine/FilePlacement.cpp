#include "engine/FilePlacement.h"

#include "engine/Directories.h"

namespace engine {

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
  return count;
}

std::string FilePlacement::Entry(int n) {
  value_ = list_.Destination(n);
  return value_;
}

void FilePlacement::Extract(int n) {
  // Into the run's own work folder, not the target directory: a file that
  // happens to be named like the entry there must neither be installed in
  // its place nor deleted afterwards.
  pending_ = n;
  run_.Extract(run_.PayloadArchive(), std::to_string(n), run_.workFolder);
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
  if (run_.platform.files.CopyFile(Temporary(n), Destination(), false)) {
    if (const auto size = sizes_.find(std::to_string(n)); size != sizes_.end())
      run_.placedBytes += size->second;
  }
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

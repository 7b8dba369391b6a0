#include "engine/Recovery.h"

#include <algorithm>
#include <memory>

#include "core/Convert.h"
#include "engine/Journal.h"

namespace engine {

namespace {

bool IsBackupFolder(const platform::DirEntry& entry) {
  return core::SameTextIgnoreCase(entry.name, Journal::kBackupFolder);
}

// Removes a folder with everything in it. A link found inside is removed
// itself; what it points to is never entered. With `keepBackups` the backup
// folder of a journal stays with what is in it.
void RemoveTree(platform::Files& files, const std::string& folder, bool keepBackups) {
  for (const platform::DirEntry& entry : files.ListDirectory(folder)) {
    const std::string path = folder + "\\" + entry.name;
    if (!(entry.attributes & platform::attr::Directory))
      files.DeleteFile(path);
    else if ((entry.attributes & platform::attr::ReparsePoint) ||
             (keepBackups && IsBackupFolder(entry)))
      files.RemoveDirectory(path);
    else
      RemoveTree(files, path, false);
  }
  files.RemoveDirectory(folder);
}

// Removes what a dead run left in its work folder. The backups that its
// journal could not put back stay (the user was told where they are);
// true when nothing else is left.
bool RemoveWorkFolder(platform::Files& files, const std::string& folder) {
  RemoveTree(files, folder, true);
  return std::ranges::all_of(files.ListDirectory(folder), IsBackupFolder);
}

}  // namespace

bool NoteRunning(platform::Registry& registry, std::string_view workFolder) {
  const std::unique_ptr<platform::RegistryKey> key =
      registry.CreateKey(platform::RegRoot::LocalMachine, kRunningKey);
  return key && key->WriteString(workFolder, "");
}

void ForgetRunning(platform::Registry& registry, std::string_view workFolder) {
  {
    const std::unique_ptr<platform::RegistryKey> key =
        registry.OpenKey(platform::RegRoot::LocalMachine, kRunningKey);
    if (!key)
      return;
    key->DeleteValue(workFolder);
  }
  // The key and the keys above it go when nothing else is there (on
  // Windows, "Software" always holds something).
  std::string path(kRunningKey);
  while (registry.DeleteEmptyKey(platform::RegRoot::LocalMachine, path)) {
    const size_t parent = path.rfind('\\');
    if (parent == std::string::npos)
      break;
    path.resize(parent);
  }
}

bool RunsNoted(platform::Registry& registry) {
  const std::unique_ptr<platform::RegistryKey> key =
      registry.OpenKey(platform::RegRoot::LocalMachine, kRunningKey);
  return key && !key->ValueNames().empty();
}

Recovered RecoverUnfinishedRuns(platform::Files& files, platform::Registry& registry) {
  Recovered recovered;
  std::vector<std::string> folders;
  if (const std::unique_ptr<platform::RegistryKey> key =
          registry.OpenKey(platform::RegRoot::LocalMachine, kRunningKey)) {
    folders = key->ValueNames();
  }
  for (const std::string& folder : folders) {
    ++recovered.runs;
    bool cleared = true;
    if (files.DirectoryExists(folder)) {
      for (std::string& item : UndoJournal(files, registry, folder))
        recovered.left.push_back(std::move(item));
      cleared = RemoveWorkFolder(files, folder);
    }
    // A folder that keeps a file in use stays noted, to be cleared by a
    // later start.
    if (cleared)
      ForgetRunning(registry, folder);
  }
  return recovered;
}

std::string UndoneText(const std::vector<std::string>& left) {
  if (left.empty()) {
    return "Die Installation wurde rückgängig gemacht. Ihr Computer ist wieder so, wie er vor "
           "dem Setup war.";
  }
  constexpr size_t kListed = 10;
  std::string text =
      "Die Installation wurde rückgängig gemacht, aber Folgendes konnte nicht "
      "wiederhergestellt werden:";
  for (size_t i = 0; i < left.size() && i < kListed; ++i)
    text += "\r" + left[i];
  if (left.size() > kListed)
    text += "\r... und " + std::to_string(left.size() - kListed) + " weitere";
  return text;
}

}  // namespace engine

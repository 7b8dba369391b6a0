#include "uninstall/Removal.h"

#include <algorithm>
#include <map>
#include <set>

namespace uninstall {

namespace {

// Long lists end after this many lines with a count of the rest.
constexpr size_t kListedLines = 8;

class Remover {
 public:
  explicit Remover(platform::Platform& platform) : platform_(platform) {}

  RemovalReport& report() { return report_; }

  void Run(const Step& step) {
    switch (step.kind) {
      case StepKind::Shortcut:
        if (RemoveFile(step.path))
          ++report_.shortcuts;
        break;
      case StepKind::File:
        if (RemoveFile(step.path))
          ++report_.files;
        break;
      case StepKind::ControlFile:
      case StepKind::UninstallerCopy:
        RemoveFile(step.path);
        break;
      case StepKind::Folder:
        RemoveFolder(step);
        break;
      case StepKind::RegistryValues:
        RemoveValues(step);
        break;
    }
  }

  // Once every step is done: drops the kept folders that went after all
  // and tells for the others what is in them.
  void ExplainKept() {
    auto& files = platform_.files;
    std::set<std::string> notDeleted;
    for (const auto* list : {&report_.atRestart, &report_.failed}) {
      for (const std::string& path : *list)
        notDeleted.insert(FoldName(path));
    }
    std::vector<KeptFolder> tried = std::move(report_.kept);
    std::erase_if(tried,
                  [&](const KeptFolder& folder) { return !files.DirectoryExists(folder.path); });
    // Deeper folders first, so that a folder's kept sub-folders are
    // explained before it.
    std::vector<KeptFolder*> deepestFirst;
    for (KeptFolder& folder : tried)
      deepestFirst.push_back(&folder);
    std::stable_sort(deepestFirst.begin(), deepestFirst.end(),
                     [](const auto* a, const auto* b) { return Depth(a->path) > Depth(b->path); });
    std::map<std::string, KeptReason> reasons;
    for (KeptFolder* folder : deepestFirst) {
      KeptReason reason = KeptReason::Refused;
      for (const platform::DirEntry& entry : files.ListDirectory(folder->path)) {
        const std::string path = FoldName(folder->path + "\\" + entry.name);
        KeptReason held = KeptReason::OthersFolders;
        if (!(entry.attributes & platform::attr::Directory)) {
          held = notDeleted.contains(path) ? KeptReason::FilesLeft : KeptReason::OthersFiles;
        } else if (const auto kept = reasons.find(path); kept != reasons.end()) {
          held = kept->second;
        }
        reason = std::max(reason, held);
      }
      folder->reason = reason;
      reasons.try_emplace(FoldName(folder->path), reason);
    }
    report_.kept = std::move(tried);
  }

 private:
  // True when the file is gone now; a file in use is marked for the restart.
  bool RemoveFile(const std::string& path) {
    auto& files = platform_.files;
    if (!files.FileExists(path))
      return false;
    if (files.DeleteFile(path))
      return true;
    if (files.FileExists(path) && files.DeleteAtRestart(path)) {
      report_.atRestart.push_back(path);
    } else if (files.FileExists(path)) {
      report_.failed.push_back(path);
    }
    return false;
  }

  void RemoveFolder(const Step& step) {
    auto& files = platform_.files;
    if (!files.DirectoryExists(step.path))
      return;
    if (!files.RemoveDirectory(step.path)) {
      report_.kept.push_back({step.path});
      return;
    }
    ++report_.folders;
  }

  void RemoveValues(const Step& step) {
    auto& registry = platform_.registry;
    if (const auto key = registry.OpenKey(step.root, step.key)) {
      for (const std::string& name : step.valueNames) {
        if (key->DeleteValue(name)) {
          ++report_.registryValues;
        } else if (key->ValueType(name)) {
          report_.failed.push_back(std::string(RootName(step.root)) + "\\" + step.key + " \"" +
                                   name + "\"");
        }
      }
    } else if (!step.valueNames.empty() && registry.KeyExists(step.root, step.key)) {
      // The key is there but may not be changed (a user without
      // administrative rights on HKEY_LOCAL_MACHINE): its values stay.
      report_.failed.push_back(std::string(RootName(step.root)) + "\\" + step.key +
                               " (kein Zugriff)");
      return;
    }
    if (IsProtectedKey(step.key) || !registry.DeleteEmptyKey(step.root, step.key) ||
        !step.keyParents) {
      return;
    }
    std::string parent = ParentKey(step.key);
    while (!IsProtectedKey(parent) && registry.DeleteEmptyKey(step.root, parent))
      parent = ParentKey(parent);
  }

  static std::string ParentKey(const std::string& key) {
    const size_t slash = key.rfind('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
  }

  platform::Platform& platform_;
  RemovalReport report_;
};

std::string StatusOf(const Step& step) {
  switch (step.kind) {
    case StepKind::Shortcut:
      return "Verknüpfung wird entfernt: " + step.path;
    case StepKind::Folder:
      return "Ordner wird entfernt: " + step.path;
    case StepKind::RegistryValues:
      return "Registrierungseinträge werden entfernt: " + std::string(RootName(step.root)) + "\\" +
             step.key;
    case StepKind::File:
    case StepKind::ControlFile:
      return "Datei wird gelöscht: " + step.path;
    case StepKind::UninstallerCopy:
      return "Deinstallationsprogramm wird entfernt: " + step.path;
  }
  return {};
}

std::string Count(int n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

void AppendList(std::string& text, std::string_view heading,
                const std::vector<std::string>& lines) {
  if (lines.empty())
    return;
  text += "\n\n" + std::string(heading);
  for (size_t k = 0; k < lines.size() && k < kListedLines; ++k)
    text += "\n" + lines[k];
  if (lines.size() > kListedLines)
    text += "\n… und " + std::to_string(lines.size() - kListedLines) + " weitere";
}

}  // namespace

RemovalReport CarryOut(const RemovalPlan& plan, platform::Platform& platform, RemovalView* view) {
  Remover remover(platform);
  int done = 0;
  for (const Step& step : plan.steps) {
    if (view) {
      view->SetStatus(StatusOf(step));
      platform.system.ProcessMessages();
    }
    remover.Run(step);
    if (view)
      view->SetProgress(++done);
  }
  remover.ExplainKept();
  RemovalReport report = std::move(remover.report());
  report.skipped = plan.skipped;
  return report;
}

std::string ClosingMessage(std::string_view product, const RemovalReport& report) {
  const bool complete = report.failed.empty() && report.kept.empty() && report.skipped.empty();
  std::string text = std::string(product) +
                     (complete ? " wurde vollständig von diesem Computer entfernt."
                               : " wurde von diesem Computer entfernt, bis auf das Folgende.");
  text += "\n\nEntfernt: " + Count(report.files, "Datei", "Dateien") + ", " +
          Count(report.shortcuts, "Verknüpfung", "Verknüpfungen") + ", " +
          Count(report.folders, "Ordner", "Ordner") + ", " +
          Count(report.registryValues, "Registrierungseintrag", "Registrierungseinträge") + ".";
  AppendList(text, "Noch in Gebrauch, wird beim nächsten Neustart von Windows gelöscht:",
             report.atRestart);
  const std::pair<KeptReason, std::string> reasons[] = {
      {KeptReason::OthersFiles,
       "Erhalten geblieben, weil sie Dateien enthalten, die Sie selbst angelegt haben:"},
      {KeptReason::OthersFolders, "Erhalten geblieben, weil sie Ordner enthalten, die nicht zu " +
                                      std::string(product) + " gehören:"},
      {KeptReason::FilesLeft,
       "Erhalten geblieben, weil Dateien darin noch nicht gelöscht werden konnten:"},
      {KeptReason::Refused, "Erhalten geblieben, weil Windows das Entfernen verweigert hat:"},
  };
  for (const auto& [reason, heading] : reasons) {
    std::vector<std::string> folders;
    for (const KeptFolder& folder : report.kept) {
      if (folder.reason == reason)
        folders.push_back(folder.path);
    }
    AppendList(text, heading, folders);
  }
  AppendList(text, "Konnte nicht entfernt werden:", report.failed);
  AppendList(text, "Zur Sicherheit nicht angetastet:", report.skipped);
  return text;
}

}  // namespace uninstall

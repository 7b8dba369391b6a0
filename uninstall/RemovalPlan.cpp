#include "uninstall/RemovalPlan.h"

#include <algorithm>
#include <array>
#include <set>

#include "core/Convert.h"
#include "core/RecordFiles.h"

namespace uninstall {

namespace {

using platform::RegRoot;

constexpr std::string_view kUninstallList =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kWebUpdateKey = "Software\\Vormek\\TW_UPD_WEB";

// The values the uninstall registration and the web-update registration
// write, those for Apps & Features included.
const std::vector<std::string> kUninstallValues = {
    "DisplayName", "UninstallString", "DisplayIcon",   "DisplayVersion",      "Publisher",
    "HelpLink",    "URLInfoAbout",    "URLUpdateInfo", "InstallLocation",     "EstimatedSize",
    "InstallDate", "NoModify",        "NoRepair",      "QuietUninstallString"};
const std::vector<std::string> kVendorValues = {"Company", "Name"};
const std::vector<std::string> kWebUpdateValues = {
    "Asked",       "CompanyName",          "CurrentVersion", "InstallPath", "ProgramName",
    "ProgramPath", "TitleDetectionString", "UpdateCount",    "UpdateID"};

constexpr std::array<std::string_view, 7> kProtectedKeys = {
    kUninstallList,
    "Software\\Classes",
    "Software\\Policies",
    "Software\\Wow6432Node",
    kWebUpdateKey,
    "System\\CurrentControlSet",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
};

std::string KeyPath(std::string_view key) {
  while (!key.empty() && key.front() == '\\')
    key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\')
    key.remove_suffix(1);
  return std::string(key);
}

std::string Skipped(std::string_view what, std::string_view path, std::string_view reason) {
  return std::string(what) + " \"" + std::string(path) + "\": " + std::string(reason);
}

Step PathStep(StepKind kind, std::string path, std::string parentsBelow = {}) {
  Step step;
  step.kind = kind;
  step.path = std::move(path);
  step.parentsBelow = std::move(parentsBelow);
  return step;
}

Step ValuesStep(RegRoot root, std::string key, std::vector<std::string> names, bool parents) {
  Step step;
  step.kind = StepKind::RegistryValues;
  step.root = root;
  step.key = std::move(key);
  step.valueNames = std::move(names);
  step.keyParents = parents;
  return step;
}

bool EndsWithLnk(std::string_view path) {
  return path.size() > 4 && SameName(path.substr(path.size() - 4), ".lnk");
}

// A file that the setup's unattended run wrote, by its first bytes.
bool IsUnattendedLog(platform::Files& files, const std::string& path) {
  const auto stream = files.OpenRead(path);
  if (!stream)
    return false;
  std::string start(core::kUnattendedLogStart.size(), '\0');
  return stream->ReadAt(0, start.data(), start.size()) == start.size() &&
         start == core::kUnattendedLogStart;
}

// Folders of this installation, each once, to be removed children first.
class OwnFolders {
 public:
  void Add(const std::string& folder) {
    if (seen_.insert(FoldName(folder)).second)
      folders_.push_back(folder);
  }

  // The folders that hold `path`, up to `top` (which is not one of them).
  void AddParents(const std::string& path, const std::string& top) {
    for (std::string parent = ParentOf(path); IsBelow(parent, top); parent = ParentOf(parent))
      Add(parent);
  }

  // Deeper folders before shallower ones, else in the order added; without
  // `mainDir`, which has a step of its own.
  std::vector<std::string> DeepestFirst(const std::string& mainDir) const {
    std::vector<std::string> folders;
    for (const std::string& folder : folders_) {
      if (!SameName(folder, mainDir))
        folders.push_back(folder);
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const auto& a, const auto& b) { return Depth(a) > Depth(b); });
    return folders;
  }

 private:
  std::set<std::string> seen_;
  std::vector<std::string> folders_;
};

}  // namespace

RegRoot RootOf(std::string_view name) {
  const std::string upper = core::UpperAscii(name);
  const std::array<std::pair<std::string_view, RegRoot>, 12> roots = {{
      {"HKCR", RegRoot::ClassesRoot},
      {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
      {"HKCU", RegRoot::CurrentUser},
      {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
      {"HKLM", RegRoot::LocalMachine},
      {"HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
      {"HKU", RegRoot::Users},
      {"HKEY_USERS", RegRoot::Users},
      {"HKCC", RegRoot::CurrentConfig},
      {"HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig},
      {"HKDD", RegRoot::DynData},
      {"HKEY_DYN_DATA", RegRoot::DynData},
  }};
  for (const auto& [text, root] : roots) {
    if (upper == text)
      return root;
  }
  return RegRoot::CurrentUser;
}

std::string_view RootName(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case RegRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case RegRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case RegRoot::Users:
      return "HKEY_USERS";
    case RegRoot::CurrentConfig:
      return "HKEY_CURRENT_CONFIG";
    case RegRoot::DynData:
      return "HKEY_DYN_DATA";
  }
  return "HKEY_CURRENT_USER";
}

bool IsProtectedKey(std::string_view key) {
  const std::string path = KeyPath(key);
  if (path.find('\\') == std::string::npos)
    return true;
  for (std::string_view kept : kProtectedKeys) {
    if (SameName(path, kept) || IsBelow(kept, path))
      return true;
  }
  return false;
}

std::optional<std::string> RefuseRecord(const UninstallRecord& record,
                                        const ProtectedFolders& protectedFolders) {
  if (record.signature != kSignature)
    return "Die Datei ist keine Deinstallationsdatei von Tessarwolden Setup oder sie ist "
           "beschädigt.";
  const std::string reason = "Das Installationsverzeichnis \"" + record.mainDir + "\" ";
  if (const auto refused = RefusePath(record.mainDir))
    return reason + "ist nicht zulässig (" + *refused + ").";
  if (protectedFolders.Covers(record.mainDir))
    return reason + "ist ein Ordner des Systems oder des Benutzers.";
  if (protectedFolders.InWindowsDirectory(record.mainDir))
    return reason + "liegt im Windows-Ordner.";
  return std::nullopt;
}

RemovalPlan MakeRemovalPlan(const UninstallRecord& record, const std::string& controlFile,
                            platform::Platform& platform,
                            const ProtectedFolders& protectedFolders) {
  RemovalPlan plan;
  const std::string& mainDir = record.mainDir;
  auto add = [&plan](Step step) { plan.steps.push_back(std::move(step)); };

  for (const std::string& link : record.links) {
    if (const auto refused = RefusePath(link)) {
      plan.skipped.push_back(Skipped("Verknüpfung", link, *refused));
    } else if (!EndsWithLnk(link)) {
      plan.skipped.push_back(Skipped("Verknüpfung", link, "keine .lnk-Datei"));
    } else {
      add(PathStep(StepKind::Shortcut, link));
    }
  }

  if (!record.programPath.empty()) {
    const std::string& folder = record.programPath;
    if (const auto refused = RefusePath(folder)) {
      plan.skipped.push_back(Skipped("Programmordner", folder, *refused));
    } else if (protectedFolders.Covers(folder)) {
      plan.skipped.push_back(Skipped("Programmordner", folder, "Ordner des Systems"));
    } else {
      const std::string& programs = protectedFolders.Programs();
      add(PathStep(StepKind::Folder, folder, IsBelow(folder, programs) ? programs : ""));
    }
  }

  for (auto value = record.values.rbegin(); value != record.values.rend(); ++value) {
    add(ValuesStep(RootOf(value->root), KeyPath(value->key), {value->title}, true));
  }

  // The run names both with AppName read with the default "1"; the file
  // records it with an empty default, so an empty name stands for "1".
  const std::string appName = record.appName.empty() ? "1" : record.appName;
  bool foreignEntry = false;
  if (record.standardReg) {
    const std::string entry = std::string(kUninstallList) + "\\" + appName;
    std::optional<std::string> command;
    if (const auto key = platform.registry.OpenKey(RegRoot::LocalMachine, entry))
      command = key->ReadString("UninstallString");
    // A later installation of a product of the same name into another folder
    // owns the entry now, and the uninstaller copy with it.
    const std::string ours = FoldName("\"" + controlFile + "\"");
    if (command && FoldName(*command).find(ours) == std::string::npos) {
      foreignEntry = true;
      plan.skipped.push_back(Skipped("Registrierungsschlüssel", "HKEY_LOCAL_MACHINE\\" + entry,
                                     "gehört zu einer anderen Installation"));
    } else {
      add(ValuesStep(RegRoot::LocalMachine, entry, kUninstallValues, false));
    }
    // Which company the run used cannot be told when the file records none:
    // the key of a company left blank or the one of a missing company.
    std::vector<std::string> companies = {record.company};
    if (record.company.empty())
      companies = {"<unknown company>", "1"};
    for (const std::string& company : companies) {
      add(ValuesStep(RegRoot::LocalMachine,
                     KeyPath("Software\\" + company + "\\" + appName + "\\" + record.version),
                     kVendorValues, true));
    }
  }

  if (record.marrowlink && record.programId) {
    if (const auto web = platform.registry.OpenKey(RegRoot::LocalMachine, kWebUpdateKey)) {
      std::vector<std::string> names = web->SubkeyNames();
      std::sort(names.begin(), names.end());
      for (const std::string& name : names) {
        if (!SameName(name.substr(0, 7), "Program") ||
            !core::TryStrToInt(name.substr(std::min<size_t>(7, name.size())))) {
          continue;
        }
        const std::string path = std::string(kWebUpdateKey) + "\\" + name;
        const auto entry = platform.registry.OpenKey(RegRoot::LocalMachine, path);
        if (entry && entry->ReadString("UpdateID") == *record.programId &&
            SameName(entry->ReadString("InstallPath").value_or(""), mainDir)) {
          add(ValuesStep(RegRoot::LocalMachine, path, kWebUpdateValues, false));
        }
      }
    }
  }

  // The folders below the installation folder that the run made: those of
  // the placed files and of [ExtraDir] up to the installation folder, and
  // those the list of created folders names.
  OwnFolders below;
  for (auto file = record.files.rbegin(); file != record.files.rend(); ++file) {
    if (const auto refused = RefusePath(*file)) {
      plan.skipped.push_back(Skipped("Datei", *file, *refused));
    } else if (!IsBelow(*file, mainDir)) {
      plan.skipped.push_back(Skipped("Datei", *file, "liegt nicht im Installationsverzeichnis"));
    } else {
      add(PathStep(StepKind::File, *file));
      below.AddParents(*file, mainDir);
    }
  }
  if (const std::string log = mainDir + "\\" + std::string(core::kUnattendedLogName);
      IsUnattendedLog(platform.files, log)) {
    add(PathStep(StepKind::File, log));
  }

  add(PathStep(StepKind::ControlFile, controlFile));
  if (const std::string created = CreatedFoldersFileBeside(controlFile);
      platform.files.FileExists(created)) {
    add(PathStep(StepKind::ControlFile, created));
  }

  for (auto dir = record.extraDirs.rbegin(); dir != record.extraDirs.rend(); ++dir) {
    // The run appends each folder to the target directory's text, so every
    // folder it made starts with that text.
    if (const auto refused = RefusePath(*dir)) {
      plan.skipped.push_back(Skipped("Ordner", *dir, *refused));
    } else if (!FoldName(*dir).starts_with(FoldName(mainDir)) || protectedFolders.Covers(*dir) ||
               protectedFolders.InWindowsDirectory(*dir)) {
      plan.skipped.push_back(Skipped("Ordner", *dir, "gehört nicht zum Installationsverzeichnis"));
    } else {
      below.Add(*dir);
      below.AddParents(*dir, mainDir);
    }
  }

  // The list of created folders also names those above the installation
  // folder (the company's folder); folders beside it are not this
  // installation's to look at.
  OwnFolders above;
  for (auto dir = record.createdFolders.rbegin(); dir != record.createdFolders.rend(); ++dir) {
    if (const auto refused = RefusePath(*dir)) {
      plan.skipped.push_back(Skipped("Ordner", *dir, *refused));
    } else if (IsBelow(*dir, mainDir) || IsBelow(mainDir, *dir)) {
      if (protectedFolders.Covers(*dir) || protectedFolders.InWindowsDirectory(*dir)) {
        plan.skipped.push_back(Skipped("Ordner", *dir, "Ordner des Systems"));
      } else {
        (IsBelow(*dir, mainDir) ? below : above).Add(*dir);
      }
    }
  }

  for (const std::string& folder : below.DeepestFirst(mainDir))
    add(PathStep(StepKind::Folder, folder));
  add(PathStep(StepKind::Folder, mainDir));
  for (const std::string& folder : above.DeepestFirst(mainDir))
    add(PathStep(StepKind::Folder, folder));

  // With a foreign uninstall entry the copy is that installation's; the
  // skipped entry already says so.
  const std::string copyName = "Inst_" + appName + "_remove.exe";
  const auto refusedCopy = RefuseName(copyName);
  if (foreignEntry)
    return plan;
  if (refusedCopy || protectedFolders.WindowsDirectory().empty()) {
    plan.skipped.push_back(Skipped("Deinstallationsprogramm", copyName,
                                   refusedCopy.value_or("Windows-Ordner unbekannt")));
  } else {
    add(PathStep(StepKind::UninstallerCopy, protectedFolders.WindowsDirectory() + "\\" + copyName));
  }
  return plan;
}

}  // namespace uninstall

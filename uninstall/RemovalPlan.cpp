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

// Keys whose values start programs when Windows or a user starts; a
// product's own start there is a value of its own name.
constexpr std::array<std::string_view, 6> kRunKeys = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnceEx",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices",
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run",
};

// Keys of the system whose own values no product's removal takes, whatever
// a record names: the registered owner, the program files folders, the
// shell folders, the logon.
constexpr std::array<std::string_view, 5> kSystemValueKeys = {
    "Software\\Microsoft\\Windows\\CurrentVersion",
    "Software\\Microsoft\\Windows NT\\CurrentVersion",
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
};

constexpr std::array<std::string_view, 7> kProtectedKeys = {
    kUninstallList,
    "Software\\Classes",
    "Software\\Policies",
    "Software\\Wow6432Node",
    kWebUpdateKey,
    "System\\CurrentControlSet",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
};

std::string Skipped(std::string_view what, std::string_view path, std::string_view reason) {
  return std::string(what) + " \"" + std::string(path) + "\": " + std::string(reason);
}

Step PathStep(StepKind kind, std::string path) {
  Step step;
  step.kind = kind;
  step.path = std::move(path);
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

// The run puts shortcuts into the Start menu's programs folder (the
// program folder and the startup folder are in it), the program folder,
// onto the desktop and into "Send to".
bool InShortcutFolder(std::string_view link, const ProtectedFolders& folders,
                      std::string_view programFolder) {
  using platform::SpecialFolder;
  const std::string parent = ParentOf(link);
  for (SpecialFolder folder : {SpecialFolder::Desktop, SpecialFolder::SendTo}) {
    const std::string& path = folders.ShellFolder(folder);
    if (!path.empty() && SameName(parent, path))
      return true;
  }
  return IsBelow(link, folders.Programs()) ||
         IsBelow(link, folders.ShellFolder(SpecialFolder::Startup)) || IsBelow(link, programFolder);
}

std::string ValueName(RegRoot root, std::string_view key, std::string_view title) {
  return "\"" + (title.empty() ? std::string("(Standard)") : std::string(title)) + "\" in \"" +
         std::string(RootName(root)) + "\\" + std::string(key) + "\"";
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

std::string KeyPath(std::string_view key) {
  while (!key.empty() && key.front() == '\\')
    key.remove_prefix(1);
  while (!key.empty() && key.back() == '\\')
    key.remove_suffix(1);
  return std::string(key);
}

std::vector<std::string> VendorKeys(const UninstallRecord& record) {
  // Which company the run used cannot be told when the file records none:
  // the key of a company left blank or the one of a missing company.
  std::vector<std::string> companies = {record.company};
  if (record.company.empty())
    companies = {"<unknown company>", "1"};
  std::vector<std::string> keys;
  for (const std::string& company : companies)
    keys.push_back(
        KeyPath("Software\\" + company + "\\" + record.NameOfCopies() + "\\" + record.version));
  return keys;
}

std::vector<std::string> WebUpdateEntries(platform::Registry& registry, std::string_view programId,
                                          std::string_view mainDir) {
  std::vector<std::string> entries;
  const auto web = registry.OpenKey(RegRoot::LocalMachine, kWebUpdateKey);
  if (!web)
    return entries;
  std::vector<std::string> names = web->SubkeyNames();
  std::sort(names.begin(), names.end());
  for (const std::string& name : names) {
    if (!SameName(name.substr(0, 7), "Program") ||
        !core::TryStrToInt(name.substr(std::min<size_t>(7, name.size())))) {
      continue;
    }
    const std::string path = std::string(kWebUpdateKey) + "\\" + name;
    const auto entry = registry.OpenKey(RegRoot::LocalMachine, path);
    if (entry && entry->ReadString("UpdateID") == programId &&
        SameName(entry->ReadString("InstallPath").value_or(""), mainDir)) {
      entries.push_back(path);
    }
  }
  return entries;
}

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

std::optional<std::string> RefuseValue(RegRoot root, std::string_view key, std::string_view title,
                                       std::string_view appName) {
  const std::string path = FoldName(KeyPath(key));
  std::vector<std::string> levels;
  for (size_t start = 0; !path.empty();) {
    const size_t end = path.find('\\', start);
    levels.push_back(path.substr(start, end - start));
    if (levels.back().empty())
      return "kein gültiger Schlüssel";
    if (end == std::string::npos)
      break;
    start = end + 1;
  }
  // Below HKEY_USERS the first level is the user's.
  if (root == RegRoot::Users && !levels.empty())
    levels.erase(levels.begin());
  if (levels.empty() || (levels.size() < 2 && root != RegRoot::ClassesRoot))
    return "Schlüssel der obersten Ebene";
  // The keys of 32-bit programs mirror the others below Wow6432Node.
  if (levels.size() > 2 && levels[0] == "SOFTWARE" && levels[1] == "WOW6432NODE")
    levels.erase(levels.begin() + 1);
  if (levels.size() >= 3 && levels[0] == "SYSTEM" &&
      (levels[1] == "CURRENTCONTROLSET" || levels[1].starts_with("CONTROLSET")) &&
      levels[2] == "CONTROL") {
    return "Einstellung von Windows";
  }
  std::string normal;
  for (const std::string& level : levels)
    normal += (normal.empty() ? "" : "\\") + level;
  auto atOrBelow = [&](std::string_view kept) {
    return normal == FoldName(kept) || IsBelow(normal, kept);
  };
  for (std::string_view kept : kSystemValueKeys) {
    if (normal == FoldName(kept))
      return "Einstellung von Windows";
  }
  for (std::string_view run : kRunKeys) {
    if (atOrBelow(run) && title.empty())
      return "Autostart-Eintrag ohne eigenen Namen";
  }
  if (atOrBelow(kUninstallList) &&
      !(IsBelow(normal, kUninstallList) && SameName(levels[Depth(kUninstallList) + 1], appName))) {
    return "Eintrag eines anderen Programms in der Liste der installierten Programme";
  }
  if (normal == FoldName(kWebUpdateKey))
    return "Zähler aller Web-Aktualisierungen";
  return std::nullopt;
}

std::optional<std::string> RefuseIdentity(const UninstallRecord& record) {
  if (record.signature != kSignature)
    return "Die Datei ist keine Deinstallationsdatei von Tessarwolden Setup oder sie ist "
           "beschädigt.";
  if (!core::IsPlainAppName(record.appName))
    return "Der Programmname (AppName) \"" + record.appName +
           "\" ergibt keinen einfachen Dateinamen: Er enthält \"\\\", \"/\", \":\", "
           "\"..\" oder ein anderes Zeichen, das Windows in Dateinamen nicht zulässt.";
  return std::nullopt;
}

std::optional<std::string> RefuseRecord(const UninstallRecord& record, std::string_view controlFile,
                                        const ProtectedFolders& protectedFolders) {
  if (const auto refused = RefuseIdentity(record))
    return refused;
  const std::string reason = "Das Installationsverzeichnis \"" + record.mainDir + "\" ";
  if (const auto refused = RefusePath(record.mainDir))
    return reason + "ist nicht zulässig (" + *refused + ").";
  if (protectedFolders.Covers(record.mainDir))
    return reason + "ist ein Ordner des Systems oder eines Benutzers.";
  if (protectedFolders.InWindowsDirectory(record.mainDir))
    return reason + "liegt im Windows-Ordner.";
  // The record of another installation, copied here, is not this one's.
  if (!SameName(controlFile, record.mainDir + "\\Uninstall.inf"))
    return "Die Datei liegt nicht im Installationsverzeichnis \"" + record.mainDir +
           "\", das sie nennt.";
  return std::nullopt;
}

RemovalPlan MakeRemovalPlan(const UninstallRecord& record, const std::string& controlFile,
                            platform::Platform& platform,
                            const ProtectedFolders& protectedFolders) {
  RemovalPlan plan;
  const std::string& mainDir = record.mainDir;
  const std::string& programs = protectedFolders.Programs();
  auto add = [&plan](Step step) { plan.steps.push_back(std::move(step)); };

  // The program folder is one the run made in the Start menu's programs
  // folder; of the folders above it there only those the run made go.
  std::string programFolder;
  if (!record.programPath.empty()) {
    const std::string& folder = record.programPath;
    if (const auto refused = RefusePath(folder)) {
      plan.skipped.push_back(Skipped("Programmordner", folder, *refused));
    } else if (protectedFolders.Covers(folder)) {
      plan.skipped.push_back(Skipped("Programmordner", folder, "Ordner des Systems"));
    } else if (!IsBelow(folder, programs)) {
      plan.skipped.push_back(Skipped("Programmordner", folder, "liegt nicht im Startmenü"));
    } else {
      programFolder = folder;
    }
  }

  for (const std::string& link : record.links) {
    if (const auto refused = RefusePath(link)) {
      plan.skipped.push_back(Skipped("Verknüpfung", link, *refused));
    } else if (!EndsWithLnk(link)) {
      plan.skipped.push_back(Skipped("Verknüpfung", link, "keine .lnk-Datei"));
    } else if (!InShortcutFolder(link, protectedFolders, programFolder)) {
      plan.skipped.push_back(Skipped(
          "Verknüpfung", link, "liegt nicht im Startmenü, auf dem Desktop oder in „Senden an“"));
    } else {
      add(PathStep(StepKind::Shortcut, link));
    }
  }

  // Then the folders in the Start menu's programs folder that held them, as
  // far as the run made them: the program folder always; an earlier
  // version's program folder, whose shortcuts an update took over, too.
  OwnFolders startMenu;
  if (!programFolder.empty())
    startMenu.Add(programFolder);
  std::vector<std::string> held = {programFolder};
  for (const Step& step : plan.steps)
    held.push_back(step.path);
  for (const std::string& path : held) {
    for (std::string parent = ParentOf(path); IsBelow(parent, programs);
         parent = ParentOf(parent)) {
      if (Listed(record.createdFolders, parent) && !protectedFolders.Covers(parent))
        startMenu.Add(parent);
    }
  }
  for (const std::string& folder : startMenu.DeepestFirst({}))
    add(PathStep(StepKind::Folder, folder));

  const std::string appName = record.NameOfCopies();
  for (auto value = record.values.rbegin(); value != record.values.rend(); ++value) {
    const RegRoot root = RootOf(value->root);
    const std::string key = KeyPath(value->key);
    if (const auto refused = RefuseValue(root, key, value->title, appName)) {
      plan.skipped.push_back("Registrierungswert " + ValueName(root, key, value->title) + ": " +
                             *refused);
    } else {
      add(ValuesStep(root, key, {value->title}, true));
    }
  }

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
    for (const std::string& vendor : VendorKeys(record)) {
      if (const auto refused =
              RefuseValue(RegRoot::LocalMachine, vendor, kVendorValues.front(), appName)) {
        plan.skipped.push_back(
            Skipped("Registrierungsschlüssel", "HKEY_LOCAL_MACHINE\\" + vendor, *refused));
      } else {
        add(ValuesStep(RegRoot::LocalMachine, vendor, kVendorValues, true));
      }
    }
  }

  if (record.marrowlink && record.programId) {
    for (const std::string& path : WebUpdateEntries(platform.registry, *record.programId, mainDir))
      add(ValuesStep(RegRoot::LocalMachine, path, kWebUpdateValues, false));
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
    // A folder value without its leading backslash makes a sibling of the
    // installation folder, whose name only starts like it: that one is no
    // folder of the installation.
    if (const auto refused = RefusePath(*dir)) {
      plan.skipped.push_back(Skipped("Ordner", *dir, *refused));
    } else if (!IsBelow(*dir, mainDir) || protectedFolders.Covers(*dir) ||
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
  // skipped entry already says so. The copies of the records are this one's.
  const std::string copyName = "Inst_" + appName + "_remove.exe";
  const std::string& windows = protectedFolders.WindowsDirectory();
  if (const auto refusedCopy = RefuseName(copyName); refusedCopy || windows.empty()) {
    plan.skipped.push_back(Skipped("Deinstallationsprogramm", copyName,
                                   refusedCopy.value_or("Windows-Ordner unbekannt")));
  } else if (!foreignEntry) {
    add(PathStep(StepKind::UninstallerCopy, windows + "\\" + copyName));
  }
  if (!windows.empty()) {
    for (std::string_view end : {core::kTrustedRecordEnd, core::kTrustedCreatedFoldersEnd})
      add(PathStep(StepKind::ControlFile, core::TrustedCopyPath(windows, appName, end)));
  }
  return plan;
}

}  // namespace uninstall

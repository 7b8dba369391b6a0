#include "uninstall/UninstallRecord.h"

#include <algorithm>
#include <set>

#include "core/Convert.h"
#include "core/IniReader.h"
#include "core/ProfileSnapshot.h"
#include "core/RecordFiles.h"
#include "uninstall/PathRules.h"

namespace uninstall {

namespace {

// No value read from a file can hold a line break: a key read with it as
// the fallback is missing.
constexpr std::string_view kMissing = "\n";

class RecordReader {
 public:
  // `bytes` is the file's content, which bounds every count.
  RecordReader(platform::ProfileStrings& profile, const std::string& path, std::string_view bytes)
      : ini_(profile, path),
        maxItems_(static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n')) + 1) {}

  std::string Text(const std::string& section, std::string_view key) const {
    return ini_.ReadString(section, key, "");
  }

  std::optional<std::string> Present(const std::string& section, std::string_view key) const {
    std::string value = ini_.ReadString(section, key, kMissing);
    if (value == kMissing)
      return std::nullopt;
    return value;
  }

  int Count(const std::string& section, std::string_view key) const {
    const int32_t count = core::TryStrToInt(Text(section, key)).value_or(0);
    return std::clamp(count, 0, maxItems_);
  }

  // The non-empty values of key1 ... keyN of one section.
  std::vector<std::string> Numbered(const std::string& section, std::string_view countKey,
                                    std::string_view key) const {
    std::vector<std::string> values;
    const int count = Count(section, countKey);
    for (int n = 1; n <= count; ++n) {
      std::string value = Text(section, std::string(key) + std::to_string(n));
      if (!value.empty())
        values.push_back(std::move(value));
    }
    return values;
  }

  bool Flag(const std::string& section, std::string_view key) const {
    return ini_.ReadBool(section, key, false);
  }

 private:
  core::IniReader ini_;
  int maxItems_ = 0;
};

}  // namespace

std::string UninstallRecord::ProductTitle() const {
  const std::string title = core::Trim(appName + " " + version);
  return title.empty() ? "das Programm" : title;
}

std::string UninstallRecord::NameOfCopies() const {
  return appName.empty() ? "1" : appName;
}

namespace {

UninstallRecord ReadRecord(const RecordReader& file) {
  UninstallRecord record;
  record.signature = file.Text("Settings", "Signature");
  record.appName = file.Text("Settings", "AppName");
  record.company = file.Text("Settings", "Company");
  record.version = file.Text("Settings", "Version");
  record.standardReg = file.Flag("Settings", "StandardReg");
  record.marrowlink = file.Flag("Settings", "Marrowlink");
  record.mainDir = file.Text("Directories", "MainDir");

  std::set<std::string> seen;
  for (const auto& [section, countKey, key] :
       {std::tuple{"Files", "FileCount", "File"}, {"ExtraFiles", "ExtraCount", "ExFile"}}) {
    for (std::string& path : file.Numbered(section, countKey, key)) {
      if (seen.insert(FoldName(path)).second)
        record.files.push_back(std::move(path));
    }
  }
  record.extraDirs = file.Numbered("ExtraDir", "DirCount", "Dir");

  const int values = file.Count("Registry", "RegCount");
  for (int n = 1; n <= values; ++n) {
    const std::string section = "Reg" + std::to_string(n);
    std::optional<std::string> key = file.Present(section, "Key");
    std::optional<std::string> title = file.Present(section, "Title");
    if (!key && !title)
      continue;
    record.values.push_back(
        {file.Present(section, "Root").value_or("HKLM"), key.value_or(""), title.value_or("")});
  }

  record.programId = file.Present("Marrowlink", "ProgramID");
  const int links = file.Count("Links", "LinkCount");
  for (int n = 1; n <= links; ++n) {
    std::string link = file.Text("Link" + std::to_string(n), "Path");
    if (!link.empty())
      record.links.push_back(std::move(link));
  }
  record.programPath = file.Text("ProgramPath", "Path");
  return record;
}

}  // namespace

UninstallRecord ReadUninstallRecord(platform::Platform& platform, const std::string& path,
                                    const std::string& createdFolders) {
  UninstallRecord record =
      ReadRecord(RecordReader(platform.profile, path, platform.files.ReadFile(path).value_or("")));
  if (!createdFolders.empty()) {
    const RecordReader created(platform.profile, createdFolders,
                               platform.files.ReadFile(createdFolders).value_or(""));
    record.createdFolders = created.Numbered("Created", "FolderCount", "Folder");
  }
  return record;
}

UninstallRecord ParseUninstallRecord(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines)
    text += line + "\r\n";
  const std::string path = "Uninstall.inf";
  core::ProfileSnapshot snapshot(path, text);
  return ReadRecord(RecordReader(snapshot, path, text));
}

std::string CreatedFoldersFileBeside(std::string_view path) {
  std::string folder = ParentOf(path);
  if (!folder.ends_with('\\'))
    folder += '\\';
  return folder + std::string(core::kCreatedFoldersFile);
}

}  // namespace uninstall

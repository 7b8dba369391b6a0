#include "engine/EarlierInstallation.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/Convert.h"
#include "core/RecordFiles.h"
#include "uninstall/PathRules.h"
#include "uninstall/RemovalPlan.h"

namespace engine {

namespace {

using uninstall::IsBelow;
using uninstall::KeyPath;
using uninstall::Listed;
using uninstall::RecordedValue;
using uninstall::SameName;
using uninstall::UninstallRecord;

constexpr std::string_view kUninstallKeys =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The folder of the Uninstall.inf an UninstallString names:
// "<uninstaller>" "<folder>\Uninstall.inf".
std::string FolderOfCommand(std::string_view command) {
  constexpr std::string_view kEnd = "\\Uninstall.inf\"";
  const size_t end = command.size() >= kEnd.size() ? command.size() - kEnd.size() : 0;
  if (!SameName(command.substr(end), kEnd))
    return {};
  const size_t start = command.rfind('"', end);
  return start == std::string_view::npos || start == 0
             ? std::string()
             : std::string(command.substr(start + 1, end - start - 1));
}

bool SameValue(const RecordedValue& a, const RecordedValue& b) {
  return uninstall::RootOf(a.root) == uninstall::RootOf(b.root) &&
         SameName(KeyPath(a.key), KeyPath(b.key)) && SameName(a.title, b.title);
}

// The [Registry] values of a record and the values of its vendor keys.
std::vector<RecordedValue> ValuesOf(const UninstallRecord& record) {
  std::vector<RecordedValue> values = record.values;
  if (record.standardReg) {
    for (const std::string& key : uninstall::VendorKeys(record)) {
      for (const char* title : {"Company", "Name"})
        values.push_back({"HKLM", "\\" + key, title});
    }
  }
  return values;
}

// Uninstall.inf as sections: the comment lines before the first one have
// the empty header.
struct Section {
  std::string header;
  std::vector<std::string> lines;
};

// Where a section stands in the file: a section of a kind goes after every
// section of the same or an earlier kind.
int Rank(std::string_view header) {
  static constexpr std::array<std::string_view, 9> kOrder = {
      "[Settings]", "[Directories]", "[Files]", "[ExtraFiles]", "[ExtraDir]",
      "[Registry]", "[Marrowlink]",  "[Links]", "[ProgramPath]"};
  if (header.empty())
    return 0;
  auto numbered = [&](std::string_view prefix) {
    return header.starts_with(prefix) && header.size() > prefix.size() + 1 &&
           header.find_first_not_of("0123456789", prefix.size()) == header.size() - 1;
  };
  if (numbered("[Reg"))
    header = "[Registry]";
  if (numbered("[Link"))
    header = "[Links]";
  const auto found = std::find(kOrder.begin(), kOrder.end(), header);
  return found == kOrder.end() ? -1 : static_cast<int>(found - kOrder.begin()) + 1;
}

class SectionedFile {
 public:
  explicit SectionedFile(const std::vector<std::string>& lines) {
    sections_.push_back({});
    for (const std::string& line : lines) {
      if (line.starts_with('[') && line.ends_with(']'))
        sections_.push_back({line, {}});
      else
        sections_.back().lines.push_back(line);
    }
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const Section& section : sections_) {
      if (!section.header.empty())
        lines.push_back(section.header);
      lines.insert(lines.end(), section.lines.begin(), section.lines.end());
    }
    return lines;
  }

  Section* Find(std::string_view header) {
    for (Section& section : sections_) {
      if (section.header == header)
        return &section;
    }
    return nullptr;
  }

  // Adds `added` to the count line "<key>=<n>" of `section` (made with the
  // count 0 when missing) and returns n.
  static int Raise(Section& section, std::string_view key, int added) {
    const std::string start = std::string(key) + "=";
    for (std::string& line : section.lines) {
      if (line.starts_with(start)) {
        const int count = core::TryStrToInt(line.substr(start.size())).value_or(0);
        line = start + std::to_string(count + added);
        return count;
      }
    }
    section.lines.insert(section.lines.begin(), start + std::to_string(added));
    return 0;
  }

  // The section `header`, made in its place when the file has none.
  Section& Get(const std::string& header) {
    if (Section* found = Find(header))
      return *found;
    return Insert({{header, {}}}).front();
  }

  // Puts the sections (all of one kind) after every section of the same or
  // an earlier kind; returns them where they now stand.
  std::span<Section> Insert(std::vector<Section> added) {
    const int rank = Rank(added.front().header);
    size_t at = sections_.size();
    while (at > 1 && (Rank(sections_[at - 1].header) < 0 || Rank(sections_[at - 1].header) > rank))
      --at;
    sections_.insert(sections_.begin() + static_cast<std::ptrdiff_t>(at),
                     std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
    return std::span<Section>(sections_).subspan(at, added.size());
  }

 private:
  std::vector<Section> sections_;
};

// Appends `paths` to the numbered keys `key` of `header`, counted by
// `countKey`.
void AddNumbered(SectionedFile& file, const std::string& header, std::string_view countKey,
                 std::string_view key, const std::vector<std::string>& paths) {
  if (paths.empty())
    return;
  Section& section = file.Get(header);
  int n = SectionedFile::Raise(section, countKey, static_cast<int>(paths.size()));
  for (const std::string& path : paths)
    section.lines.push_back(std::string(key) + std::to_string(++n) + "=" + path);
}

// Adds one section "[<prefix><n>]" for each item, numbered on from the count
// `countKey` of `header`.
template <typename Item, typename Lines>
void AddSections(SectionedFile& file, const std::string& header, std::string_view countKey,
                 std::string_view prefix, const std::vector<Item>& items, Lines lines) {
  if (items.empty())
    return;
  int n = SectionedFile::Raise(file.Get(header), countKey, static_cast<int>(items.size()));
  std::vector<Section> added;
  for (const Item& item : items)
    added.push_back({"[" + std::string(prefix) + std::to_string(++n) + "]", lines(item)});
  file.Insert(std::move(added));
}

}  // namespace

std::string EarlierInstallation::Title(std::string_view appName) const {
  return core::Trim(std::string(appName) + " " + version);
}

std::optional<EarlierInstallation> FindEarlierInstallation(platform::Platform& platform,
                                                           std::string_view appName) {
  const std::string name = appName.empty() ? "1" : std::string(appName);
  if (!core::IsPlainAppName(name))
    return std::nullopt;
  const std::string windowsDir = platform.files.WindowsDirectory();
  const std::string copy = core::TrustedCopyPath(windowsDir, name, core::kTrustedRecordEnd);
  if (!windowsDir.empty() && platform.files.FileExists(copy)) {
    UninstallRecord record = uninstall::ReadUninstallRecord(
        platform, copy, core::TrustedCopyPath(windowsDir, name, core::kTrustedCreatedFoldersEnd));
    if (!uninstall::RefuseIdentity(record) && SameName(record.NameOfCopies(), name) &&
        !uninstall::RefusePath(record.mainDir)) {
      EarlierInstallation found{record.mainDir, record.version, std::nullopt};
      found.record = std::move(record);
      return found;
    }
  }
  const auto key = platform.registry.OpenKey(platform::RegRoot::LocalMachine,
                                             std::string(kUninstallKeys) + name);
  if (!key)
    return std::nullopt;
  std::string dir = key->ReadString("InstallLocation").value_or("");
  if (dir.empty())
    dir = FolderOfCommand(key->ReadString("UninstallString").value_or(""));
  if (uninstall::RefusePath(dir))
    return std::nullopt;
  return EarlierInstallation{dir, key->ReadString("DisplayVersion").value_or(""), std::nullopt};
}

std::string UninstallShortcutOf(const UninstallRecord& record) {
  return record.programPath + "\\" + core::Trim(record.appName + " " + record.version) +
         " deinstallieren.lnk";
}

Carried EarlierOnly(const UninstallRecord& earlier, const UninstallRecord& later) {
  Carried carried;
  for (const std::string& file : earlier.files) {
    if (IsBelow(file, earlier.mainDir) && !Listed(later.files, file))
      carried.files.push_back(file);
  }
  for (const std::string& dir : earlier.extraDirs) {
    if (IsBelow(dir, earlier.mainDir) && !Listed(later.extraDirs, dir) &&
        !Listed(carried.dirs, dir))
      carried.dirs.push_back(dir);
  }
  const std::vector<RecordedValue> laterValues = ValuesOf(later);
  for (const RecordedValue& value : ValuesOf(earlier)) {
    auto same = [&](const RecordedValue& other) { return SameValue(value, other); };
    if (std::none_of(laterValues.begin(), laterValues.end(), same) &&
        std::none_of(carried.values.begin(), carried.values.end(), same)) {
      carried.values.push_back(value);
    }
  }
  for (const std::string& link : earlier.links) {
    if (!Listed(later.links, link) && !Listed(carried.links, link))
      carried.links.push_back(link);
  }
  if (earlier.marrowlink && earlier.programId && !later.programId)
    carried.programId = earlier.programId;
  return carried;
}

std::vector<std::string> WithCarried(const std::vector<std::string>& lines,
                                     const Carried& carried) {
  SectionedFile file(lines);
  AddNumbered(file, "[Files]", "FileCount", "File", carried.files);
  AddNumbered(file, "[ExtraFiles]", "ExtraCount", "ExFile", carried.files);
  AddNumbered(file, "[ExtraDir]", "DirCount", "Dir", carried.dirs);
  AddSections(file, "[Registry]", "RegCount", "Reg", carried.values,
              [](const RecordedValue& value) {
                return std::vector<std::string>{"Root=" + value.root, "Key=" + value.key,
                                                "Title=" + value.title};
              });
  if (carried.programId && !file.Find("[Marrowlink]")) {
    file.Get("[Marrowlink]").lines = {"ProgramID=" + *carried.programId};
    for (std::string& line : file.Get("[Settings]").lines) {
      if (line.starts_with("Marrowlink="))
        line = "Marrowlink=1";
    }
  }
  AddSections(file, "[Links]", "LinkCount", "Link", carried.links, [](const std::string& link) {
    return std::vector<std::string>{"Path=\"" + link + "\""};
  });
  return file.Lines();
}

}  // namespace engine

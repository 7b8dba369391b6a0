#include "tools/builder/FileSelection.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <optional>
#include <utility>

#include "tools/builder/Cp1252.h"
#include "tools/builder/Text.h"
#include "tools/builder/WindowsPath.h"

namespace builder {
namespace {

namespace fs = std::filesystem;

using Parts = std::vector<std::string>;

bool HasWildcard(std::string_view text) {
  return text.find_first_of("*?") != std::string_view::npos;
}

// The parts of an absolute, normal path ("/" first).
Parts PartsOf(const fs::path& path) {
  Parts parts;
  for (const fs::path& part : path) {
    if (!part.empty())
      parts.push_back(part.string());
  }
  return parts;
}

// Whether `path` matches `pattern` part by part; a part "**" matches any
// number of parts.
bool MatchesPath(const Parts& pattern, size_t p, const Parts& path, size_t k) {
  if (p == pattern.size())
    return k == path.size();
  if (pattern[p] == "**") {
    for (size_t skip = k; skip <= path.size(); ++skip) {
      if (MatchesPath(pattern, p + 1, path, skip))
        return true;
    }
    return false;
  }
  return k < path.size() && MatchesName(pattern[p], path[k]) &&
         MatchesPath(pattern, p + 1, path, k + 1);
}

// The length of the UTF-8 character that starts with `lead`.
size_t CharacterLength(char lead) {
  const auto b = static_cast<uint8_t>(lead);
  return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
}

// The exclude lines, each either a name matched anywhere below a selected
// folder ("*.bak") or a path pattern relative to the description's folder
// ("product/cache/**").
class Excludes {
 public:
  Excludes(const std::vector<ExcludeEntry>& entries, const fs::path& folder) {
    for (const ExcludeEntry& entry : entries) {
      std::string pattern = entry.pattern;
      while (pattern.size() > 1 && pattern.back() == '/')
        pattern.pop_back();
      const bool byName = pattern.find('/') == std::string::npos;
      rules_.push_back({entry.line,
                        byName ? Parts{pattern} : PartsOf((folder / pattern).lexically_normal()),
                        byName, false});
    }
  }

  /// Whether a file or folder at `absolute` (whose own name is the last
  /// part) is left out.
  bool Leaves(const Parts& absolute) {
    bool left = false;
    for (Rule& rule : rules_) {
      const bool match = rule.byName ? MatchesName(rule.pattern[0], absolute.back())
                                     : MatchesPath(rule.pattern, 0, absolute, 0);
      rule.used = rule.used || match;
      left = left || match;
    }
    return left;
  }

  void WarnUnused(Description& description) const {
    for (const Rule& rule : rules_) {
      if (!rule.used)
        description.warnings.push_back(
            {rule.line, "Der Ausschluss trifft keine Datei und keinen Ordner"});
    }
  }

 private:
  struct Rule {
    int line;
    Parts pattern;
    bool byName;
    bool used;
  };
  std::vector<Rule> rules_;
};

// A file found below a selected folder: its path there and its full path.
struct Found {
  Parts relative;
  fs::path path;
};

class Selector {
 public:
  Selector(const fs::path& folder, Excludes& excludes, Description& description, Problems& problems)
      : folder_(folder), excludes_(excludes), description_(description), problems_(problems) {}

  void Select(const FileEntry& entry);

 private:
  void SelectOne(const FileEntry& entry, const fs::path& path);
  void SelectMany(const FileEntry& entry, const fs::path& base, const Parts& pattern);
  std::vector<Found> Walk(const FileEntry& entry, const fs::path& base, const Parts& pattern);
  void Add(int line, const fs::path& path, std::string destination, std::string_view shown);
  std::string Fault(const FileEntry& entry, std::string_view destination,
                    const std::string& problem) const;
  void Missing(const FileEntry& entry, const std::string& message);

  fs::path folder_;
  Excludes& excludes_;
  Description& description_;
  Problems& problems_;
  std::map<std::string, int> destinations_;  // lower-case Windows-1252 to line
};

void Selector::Select(const FileEntry& entry) {
  if (entry.source.empty()) {
    problems_.Add(entry.line, "Der Quellpfad vor \"=\" fehlt");
    return;
  }
  if (entry.destination.empty()) {
    problems_.Add(entry.line, "Das Ziel nach \"=\" fehlt");
    return;
  }
  const fs::path path = (folder_ / entry.source).lexically_normal();
  if (HasWildcard(entry.source)) {
    // The folder is the part of the path before the first part with a
    // wildcard; the rest is matched below it.
    fs::path base;
    Parts pattern;
    for (const fs::path& part : path) {
      if (!pattern.empty() || HasWildcard(part.string()))
        pattern.push_back(part.string());
      else
        base /= part;
    }
    std::error_code error;
    if (!fs::is_directory(base, error)) {
      Missing(entry, "Der Ordner des Musters fehlt: " + base.string());
      return;
    }
    SelectMany(entry, base, pattern);
    return;
  }
  std::error_code error;
  const fs::file_status status = fs::status(path.has_filename() ? path : path.parent_path(), error);
  const bool folderWritten = entry.source.ends_with('/');
  if (!fs::exists(status)) {
    Missing(entry, std::string(folderWritten ? "Quellordner" : "Quelldatei") +
                       " nicht gefunden: " + path.string());
  } else if (fs::is_directory(status)) {
    SelectMany(entry, path, {"**"});
  } else if (folderWritten) {
    problems_.Add(entry.line, "Die Quelle ist kein Ordner: " + path.string());
  } else if (std::optional<std::string> problem = ReadableFileProblem(path, "Quelldatei")) {
    problems_.Add(entry.line, *problem);
  } else {
    SelectOne(entry, path);
  }
}

// The hint for a line whose source path may hold the "=" it was split at.
std::string SplitHint(const FileEntry& entry) {
  if (!entry.mayHaveSplitSource)
    return {};
  return " (steht ein \"=\" im Quellpfad, dann den Quellpfad in Anführungszeichen setzen: "
         "\"pfad/mit=zeichen.txt\"=Ziel)";
}

std::string Selector::Fault(const FileEntry& entry, std::string_view destination,
                            const std::string& problem) const {
  return "Ungültiges Ziel " + Quoted(destination) + ": " + problem + SplitHint(entry);
}

void Selector::Missing(const FileEntry& entry, const std::string& message) {
  problems_.Add(entry.line, message + SplitHint(entry));
}

void Selector::SelectOne(const FileEntry& entry, const fs::path& path) {
  std::string target = ToCp1252(entry.line, entry.destination);
  if (std::optional<std::string> problem = DestinationProblem(target)) {
    problems_.Add(entry.line, Fault(entry, entry.destination, *problem));
    return;
  }
  Add(entry.line, path, std::move(target), entry.destination);
}

void Selector::SelectMany(const FileEntry& entry, const fs::path& base, const Parts& pattern) {
  // The destination names a folder; a drive's root keeps its backslash.
  std::string folder = entry.destination;
  if (folder.ends_with('\\') && !(folder.size() == 3 && folder[1] == ':'))
    folder.pop_back();
  const std::string folderAnsi = ToCp1252(entry.line, folder);
  if (std::optional<std::string> problem = DestinationFolderProblem(folderAnsi)) {
    problems_.Add(entry.line, Fault(entry, entry.destination, *problem));
    return;
  }
  const std::vector<Found> found = Walk(entry, base, pattern);
  if (found.empty()) {
    problems_.Add(entry.line, (pattern == Parts{"**"} ? "Der Ordner enthält keine Datei: "
                                                      : "Das Muster trifft keine Datei: ") +
                                  (folder_ / entry.source).lexically_normal().string());
    return;
  }
  description_.selections.push_back({entry.line, entry.source, found.size()});
  for (const Found& file : found) {
    std::string destination = folder;
    for (const std::string& part : file.relative)
      destination += (destination.ends_with('\\') ? "" : "\\") + part;
    std::string problem;
    std::optional<std::string> target = Utf8ToCp1252(destination, &problem);
    if (!target) {
      problems_.Add(entry.line, file.path.string() + ": " + problem);
      continue;
    }
    if (std::optional<std::string> fault = DestinationProblem(*target)) {
      problems_.Add(entry.line, "Ungültiges Ziel " + Quoted(destination) + " für " +
                                    file.path.string() + ": " + *fault);
      continue;
    }
    Add(entry.line, file.path, *std::move(target), destination);
  }
}

std::vector<Found> Selector::Walk(const FileEntry& entry, const fs::path& base,
                                  const Parts& pattern) {
  std::vector<Found> found;
  std::vector<fs::path> emptyFolders;
  std::error_code error;
  fs::recursive_directory_iterator it(base, error);
  if (error) {
    problems_.Add(entry.line, "Der Ordner kann nicht gelesen werden: " + base.string() + " (" +
                                  error.message() + ")");
    return found;
  }
  // Folders whose files (after the excludes) were all left: only files are
  // installed, so such a folder would silently be missing.
  std::map<fs::path, bool> holdsFiles;
  for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
    const fs::directory_entry& item = *it;
    std::error_code ignored;
    const bool isFolder = item.is_directory(ignored);
    if (excludes_.Leaves(PartsOf(item.path()))) {
      if (isFolder)
        it.disable_recursion_pending();
      continue;
    }
    const fs::path relativePath = item.path().lexically_relative(base);
    if (isFolder && item.is_symlink(ignored)) {
      description_.warnings.push_back(
          {entry.line, "Der Ordner " + item.path().string() +
                           " ist ein symbolischer Verweis und wird nicht durchsucht"});
    } else if (isFolder) {
      holdsFiles.emplace(relativePath, false);
    } else if (item.is_regular_file(ignored)) {
      Parts relative = PartsOf(relativePath);
      if (!MatchesPath(pattern, 0, relative, 0))
        continue;
      for (fs::path above = relativePath.parent_path(); !above.empty(); above = above.parent_path())
        holdsFiles[above] = true;
      found.push_back({std::move(relative), item.path()});
    }
  }
  if (error) {
    problems_.Add(entry.line, "Der Ordner kann nicht ganz gelesen werden: " + base.string() + " (" +
                                  error.message() + ")");
  }
  if (pattern == Parts{"**"}) {
    for (const auto& [relative, files] : holdsFiles) {
      if (!files)
        emptyFolders.push_back(base / relative);
    }
  }
  if (!emptyFolders.empty()) {
    description_.warnings.push_back(
        {entry.line, std::to_string(emptyFolders.size()) + " Ordner ohne Datei" +
                         (emptyFolders.size() == 1 ? " wird" : " werden") + " nicht angelegt (" +
                         emptyFolders.front().string() + (emptyFolders.size() > 1 ? ", …" : "") +
                         "); einen leeren Ordner legt [Directories] an"});
  }
  std::sort(found.begin(), found.end(),
            [](const Found& a, const Found& b) { return a.relative < b.relative; });
  return found;
}

void Selector::Add(int line, const fs::path& path, std::string destination,
                   std::string_view shown) {
  if (auto [seen, added] = destinations_.emplace(Cp1252Lower(destination), line); !added) {
    problems_.Add(line, "Das Ziel " + Quoted(shown) +
                            " steht doppelt in [Files] (zuerst in Zeile " +
                            std::to_string(seen->second) + ")");
    return;
  }
  description_.files.push_back({{path, line}, std::move(destination)});
}

}  // namespace

std::optional<std::string> ReadableFileProblem(const fs::path& path, std::string_view what) {
  std::error_code error;
  if (!fs::exists(path, error))
    return std::string(what) + " nicht gefunden: " + path.string();
  if (!fs::is_regular_file(path, error))
    return std::string(what) + " ist keine Datei: " + path.string();
  if (!std::ifstream(path, std::ios::binary))
    return std::string(what) + " kann nicht gelesen werden: " + path.string();
  return std::nullopt;
}

bool MatchesName(std::string_view pattern, std::string_view name) {
  if (pattern.empty())
    return name.empty();
  if (pattern[0] == '*') {
    // A run of stars is one star; matching each would take exponential time.
    while (pattern.size() > 1 && pattern[1] == '*')
      pattern.remove_prefix(1);
    for (size_t skip = 0; skip <= name.size(); ++skip) {
      if (MatchesName(pattern.substr(1), name.substr(skip)))
        return true;
    }
    return false;
  }
  if (name.empty())
    return false;
  if (pattern[0] == '?') {
    const size_t length = std::min(CharacterLength(name[0]), name.size());
    return MatchesName(pattern.substr(1), name.substr(length));
  }
  return pattern[0] == name[0] && MatchesName(pattern.substr(1), name.substr(1));
}

void SelectFiles(const std::vector<FileEntry>& entries, const std::vector<ExcludeEntry>& excludes,
                 const fs::path& folder, Description& description, Problems& problems) {
  Excludes leaving(excludes, folder);
  Selector selector(folder, leaving, description, problems);
  for (const FileEntry& entry : entries) {
    try {
      selector.Select(entry);
    } catch (const BuildError& error) {
      problems.Add(error);
    }
  }
  leaving.WarnUnused(description);
}

}  // namespace builder

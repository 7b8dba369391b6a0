#include "tools/builder/Description.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

#include "tools/builder/BuildError.h"
#include "tools/builder/ControlCheck.h"
#include "tools/builder/ControlRules.h"
#include "tools/builder/Cp1252.h"
#include "tools/builder/FileSelection.h"
#include "tools/builder/MediaPlan.h"
#include "tools/builder/PageTexts.h"
#include "tools/builder/SetupFolder.h"
#include "tools/builder/Text.h"
#include "tools/builder/WindowsPath.h"

namespace builder {
namespace {

namespace fs = std::filesystem;

// The component list names itself inside the component archive.
constexpr std::string_view kComponentListLower = "$$exec.ini";

std::string FirstSeen(int line) {
  return " (zuerst in Zeile " + std::to_string(line) + ")";
}

// A line of [Files] or [Media]: the source path (which may be put in double
// quotes, so that it can hold "=") and what follows the "=", if any.
struct SplitLine {
  std::string source;
  std::optional<std::string> rest;
  bool quoted = false;
};

SplitLine SplitSourceLine(int line, std::string_view text) {
  if (!text.starts_with('"')) {
    const size_t equals = text.find('=');
    if (equals == std::string_view::npos)
      return {std::string(text), std::nullopt, false};
    return {std::string(TrimBlanks(text.substr(0, equals))),
            std::string(TrimBlanks(text.substr(equals + 1))), false};
  }
  const size_t close = text.find('"', 1);
  if (close == std::string_view::npos)
    throw BuildError(line, "Der Quellpfad hat kein schließendes \"");
  SplitLine split{std::string(text.substr(1, close - 1)), std::nullopt, true};
  const std::string_view after = TrimBlanks(text.substr(close + 1));
  if (after.empty())
    return split;
  if (after[0] != '=')
    throw BuildError(line, "Nach dem Quellpfad in Anführungszeichen muss \"=\" folgen");
  split.rest = std::string(TrimBlanks(after.substr(1)));
  return split;
}

enum class Kind { Builder, Files, Component, Media, Control, Skipped };

struct ComponentDraft {
  int line = 0;  // of the section header
  std::string executable;
  int executableLine = 0;
  std::vector<SourceFile> files;
};

class Parser {
 public:
  Parser(fs::path folder, Problems& problems) : folder_(std::move(folder)), problems_(problems) {}

  void Line(int line, std::string_view raw);
  Description Finish();

 private:
  void Header(int line, std::string_view text);
  void BuilderEntry(int line, std::string_view key, std::string_view value);
  void FilesLine(int line, std::string_view text);
  void ComponentEntry(int line, std::string_view key, std::string_view value);
  void MediaLine(int line, std::string_view text);
  void FinishComponents();
  SourceFile Source(int line, std::string_view path) const;

  fs::path folder_;
  Problems& problems_;
  Description description_;
  bool inSection_ = false;
  Kind kind_ = Kind::Control;
  const SectionRule* rule_ = nullptr;
  std::string sectionName_;
  ComponentDraft* component_ = nullptr;
  int componentNumber_ = 0;
  std::map<std::string, int> sectionLines_;  // lower-case name to header line
  std::map<std::string, int> builderKeys_;
  std::map<std::string, int> mediaNames_;  // lower-case Windows-1252
  std::map<int, ComponentDraft> components_;
  std::vector<FileEntry> fileEntries_;
  std::vector<ExcludeEntry> excludes_;
};

void Parser::Line(int line, std::string_view raw) {
  const std::string_view text = TrimBlanks(raw);
  if (text.empty() || text[0] == ';' || text[0] == '#')
    return;
  if (text[0] == '[') {
    Header(line, text);
    return;
  }
  if (!inSection_)
    throw BuildError(line, "Eintrag außerhalb eines Abschnitts");
  if (kind_ == Kind::Skipped)
    return;
  if (kind_ == Kind::Files) {
    FilesLine(line, text);
    return;
  }
  if (kind_ == Kind::Media) {
    MediaLine(line, text);
    return;
  }
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    throw BuildError(line, "Zeile ohne \"=\"");
  const std::string_view key = TrimBlanks(text.substr(0, equals));
  const std::string_view value = TrimBlanks(text.substr(equals + 1));
  switch (kind_) {
    case Kind::Builder:
      BuilderEntry(line, key, value);
      break;
    case Kind::Component:
      ComponentEntry(line, key, value);
      break;
    case Kind::Control: {
      // The entry counts even when its line does not convert, so that the
      // checks do not report it missing as well.
      ControlSection& section = description_.sections.back();
      section.entries.push_back(
          {std::string(key), std::string(ProfileValue(value)), line, section.lines.size()});
      section.lines.push_back(ToCp1252(line, raw));
      break;
    }
    case Kind::Files:
    case Kind::Media:
    case Kind::Skipped:
      break;
  }
}

void Parser::Header(int line, std::string_view text) {
  inSection_ = true;
  kind_ = Kind::Skipped;
  component_ = nullptr;
  if (text.back() != ']')
    throw BuildError(line, "Abschnittskopf ohne schließende \"]\"");
  const std::string_view written = TrimBlanks(text.substr(1, text.size() - 2));
  const std::string name = ToCp1252(line, written);
  if (name.empty())
    throw BuildError(line, "Abschnitt ohne Namen");
  if (auto [seen, added] = sectionLines_.emplace(Cp1252Lower(name), line); !added)
    throw BuildError(line, "Der Abschnitt [" + std::string(written) + "] steht doppelt" +
                               FirstSeen(seen->second));
  const std::optional<SectionMatch> match = FindSection(written);
  if (!match)
    throw BuildError(line, UnknownSectionMessage(written));
  if (match->number < 0)
    throw BuildError(line, "Ungültige Nummer in [" + std::string(written) +
                               "]: die Abschnitte heißen [" + Numbered(match->rule->name, 1) +
                               "], [" + Numbered(match->rule->name, 2) + "], …");
  rule_ = match->rule;
  sectionName_ = std::string(written);
  const std::string_view rule = rule_->name;
  if (!rule_->ofBuilder) {
    kind_ = Kind::Control;
    description_.sections.push_back({sectionName_, ToCp1252(line, text), line, {}, {}});
  } else if (rule == "Builder") {
    kind_ = Kind::Builder;
  } else if (rule == "Files") {
    kind_ = Kind::Files;
  } else if (rule == "Media") {
    kind_ = Kind::Media;
  } else {
    kind_ = Kind::Component;
    componentNumber_ = match->number;
    component_ = &components_[componentNumber_];
    component_->line = line;
  }
}

void Parser::BuilderEntry(int line, std::string_view key, std::string_view value) {
  if (SameAscii(key, "SplitSize"))
    throw BuildError(line,
                     "SplitSize gibt es nicht mehr: Media=<Anzahl> teilt das Setup auf so viele "
                     "Medien auf, MediumSize=<Größe> auf Medien dieser Größe");
  const std::optional<KeyMatch> match = FindKey(*rule_, key);
  if (!match)
    throw BuildError(line, UnknownKeyMessage(*rule_, sectionName_, key));
  if (auto [seen, added] = builderKeys_.emplace(AsciiLower(key), line); !added)
    throw BuildError(line, "Der Schlüssel " + Quoted(key) + " steht doppelt in [Builder]" +
                               FirstSeen(seen->second));
  switch (match->rule->kind) {
    case ValueKind::SourcePath:
      if (value.empty())
        throw BuildError(line, "Uninstaller nennt keine Datei");
      description_.uninstaller = Source(line, value);
      break;
    case ValueKind::MediaCount:
      description_.mediaCount = ParseMediaCount(value);
      if (!description_.mediaCount)
        throw BuildError(line, "Media muss die Anzahl der Medien sein (1 bis " +
                                   std::to_string(kMaxMedia) + "), nicht " + Quoted(value));
      break;
    default: {
      const std::optional<uint64_t> size = ParseSize(value);
      if (!size)
        throw BuildError(line,
                         "MediumSize muss eine Größe in Bytes sein, z. B. 1457664, 1400K oder "
                         "650M, nicht " +
                             Quoted(value));
      description_.mediumSize = size;
      break;
    }
  }
}

void Parser::FilesLine(int line, std::string_view text) {
  if (text[0] == '!') {
    const std::string_view pattern = TrimBlanks(text.substr(1));
    if (pattern.empty())
      throw BuildError(line, "Nach \"!\" fehlt, was ausgelassen werden soll");
    excludes_.push_back({line, std::string(pattern)});
    return;
  }
  SplitLine split = SplitSourceLine(line, text);
  if (!split.rest)
    throw BuildError(line, "Zeile ohne \"=\"");
  const bool mayHaveSplitSource = !split.quoted && split.rest->find('=') != std::string::npos;
  fileEntries_.push_back(
      {line, std::move(split.source), *std::move(split.rest), mayHaveSplitSource});
}

void Parser::ComponentEntry(int line, std::string_view key, std::string_view value) {
  const std::string section = "[" + Numbered("Component", componentNumber_) + "]";
  const std::optional<KeyMatch> match = FindKey(*rule_, key);
  if (!match)
    throw BuildError(line, UnknownKeyMessage(*rule_, sectionName_, key));
  if (match->rule->kind == ValueKind::ComponentCommand) {
    if (component_->executableLine != 0)
      throw BuildError(
          line, "Executable steht doppelt in " + section + FirstSeen(component_->executableLine));
    if (value.empty())
      throw BuildError(line, "Executable nennt keinen Befehl");
    component_->executable = ToCp1252(line, value);
    component_->executableLine = line;
  } else {
    if (value.empty())
      throw BuildError(line, "File nennt keine Datei");
    component_->files.push_back(Source(line, value));
  }
}

void Parser::MediaLine(int line, std::string_view text) {
  const SplitLine split = SplitSourceLine(line, text);
  if (split.source.empty())
    throw BuildError(line, "Der Quellpfad fehlt");
  // A media file keeps its own name unless the line gives another.
  const std::string name = split.rest ? *split.rest : fs::path(split.source).filename().string();
  const std::string windowsName = ToCp1252(line, name);
  if (std::optional<std::string> problem = NameProblem(windowsName))
    throw BuildError(line, "Ungültiger Name im Setup-Ordner " + Quoted(name) + ": " + *problem);
  if (IsBuilderName(windowsName))
    throw BuildError(line, "Der Name " + Quoted(name) +
                               " ist für eine Datei vergeben, die der Builder selbst schreibt");
  if (auto [seen, added] = mediaNames_.emplace(Cp1252Lower(windowsName), line); !added)
    throw BuildError(
        line, "Der Name " + Quoted(name) + " steht doppelt in [Media]" + FirstSeen(seen->second));
  description_.media.push_back({Source(line, split.source), name, std::nullopt});
}

// Numbers the programs and lays out the flat component archive, where a
// file named by several programs is stored once and no two different files
// may share a name.
void Parser::FinishComponents() {
  std::map<std::string, size_t> byPath;
  std::map<std::string, size_t> byName;  // lower-case Windows-1252
  int expected = 1;
  for (const auto& [number, draft] : components_) {
    const std::string section = "[" + Numbered("Component", number) + "]";
    if (number != expected)
      throw BuildError(draft.line, section + " folgt auf eine Lücke: [" +
                                       Numbered("Component", expected) + "] fehlt");
    ++expected;
    if (draft.executableLine == 0)
      throw BuildError(draft.line, section + " hat kein Executable");
    if (draft.files.empty())
      throw BuildError(draft.line, section + " hat keine File-Zeile");
    ComponentProgram program{draft.executable, {}};
    for (const SourceFile& source : draft.files) {
      auto known = byPath.find(source.path.string());
      if (known == byPath.end()) {
        const std::string entryName = source.path.filename().string();
        const std::string listName = ToCp1252(source.line, entryName);
        if (std::optional<std::string> problem = NameProblem(listName))
          throw BuildError(source.line,
                           "Ungültiger Dateiname " + Quoted(entryName) + ": " + *problem);
        const std::string lower = Cp1252Lower(listName);
        if (lower == kComponentListLower)
          throw BuildError(source.line, "Der Name " + Quoted(entryName) +
                                            " ist der Komponentenliste vorbehalten");
        if (auto other = byName.find(lower); other != byName.end())
          throw BuildError(
              source.line,
              "Zwei verschiedene Dateien heißen im Komponentenarchiv " + Quoted(entryName) +
                  " (die andere in Zeile " +
                  std::to_string(description_.componentFiles[other->second].source.line) + ")");
        const size_t index = description_.componentFiles.size();
        description_.componentFiles.push_back({source, entryName, listName});
        byName.emplace(lower, index);
        known = byPath.emplace(source.path.string(), index).first;
      }
      for (size_t listed : program.files) {
        if (listed == known->second)
          throw BuildError(source.line, "Die Datei steht doppelt in " + section);
      }
      program.files.push_back(known->second);
    }
    // The setup runs the command from the folder it unpacked the program's
    // files into, so the command has to start with one of them.
    std::vector<std::string> names;
    for (size_t index : program.files)
      names.push_back(description_.componentFiles[index].listName);
    if (!StartsWithName(program.executable, names))
      throw BuildError(draft.executableLine, "Executable muss mit dem Namen einer Datei aus " +
                                                 section + " beginnen, gefolgt von den Parametern");
    description_.components.push_back(std::move(program));
  }
}

SourceFile Parser::Source(int line, std::string_view path) const {
  return {(folder_ / fs::path(std::string(path))).lexically_normal(), line};
}

// Every file the build reads besides those of [Files] must be there before
// anything is written.
bool CheckSource(const SourceFile& source, Problems& problems) {
  const std::optional<std::string> problem = ReadableFileProblem(source.path, "Quelldatei");
  if (problem)
    problems.Add(source.line, *problem);
  return !problem;
}

Description Parser::Finish() {
  if (!sectionLines_.contains("settings"))
    problems_.Add(0, "Der Abschnitt [Settings] fehlt; " +
                         std::string(FindSection("Settings")->rule->purpose));
  // A faulty line of a component would make it look incomplete as well.
  if (problems_.empty()) {
    try {
      FinishComponents();
    } catch (const BuildError& error) {
      problems_.Add(error);
    }
  }
  SelectFiles(fileEntries_, excludes_, folder_, description_, problems_);
  if (description_.uninstaller)
    CheckSource(*description_.uninstaller, problems_);
  for (const ComponentFile& file : description_.componentFiles)
    CheckSource(file.source, problems_);
  for (MediaFile& file : description_.media) {
    if (CheckSource(file.source, problems_))
      ConvertPageText(file, description_.warnings, problems_);
  }
  CheckControlSections(description_, problems_);
  return std::move(description_);
}

}  // namespace

std::optional<uint64_t> ParseSize(std::string_view text) {
  uint64_t unit = 1;
  switch (text.empty() ? '\0' : text.back()) {
    case 'K':
    case 'k':
      unit = uint64_t{1} << 10;
      break;
    case 'M':
    case 'm':
      unit = uint64_t{1} << 20;
      break;
    case 'G':
    case 'g':
      unit = uint64_t{1} << 30;
      break;
    default:
      break;
  }
  const std::string_view digits = unit == 1 ? text : text.substr(0, text.size() - 1);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  uint64_t number = 0;
  for (char c : digits) {
    const auto digit = static_cast<uint64_t>(c - '0');
    if (number > (UINT64_MAX - digit) / 10)
      return std::nullopt;
    number = number * 10 + digit;
  }
  if (number == 0 || number > UINT64_MAX / unit)
    return std::nullopt;
  return number * unit;
}

Description ParseDescription(std::string_view text, const std::filesystem::path& folder) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark))
    text.remove_prefix(kByteOrderMark.size());
  Problems problems;
  Parser parser(std::filesystem::absolute(folder), problems);
  int line = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view raw = text.substr(start, end - start);
    if (raw.ends_with('\r'))
      raw.remove_suffix(1);
    try {
      parser.Line(++line, raw);
    } catch (const BuildError& error) {
      problems.Add(error);
    }
    start = end + 1;
  }
  Description description = parser.Finish();
  problems.ThrowIfAny();
  return description;
}

Description ReadDescription(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error))
    throw BuildError("Die Beschreibung wurde nicht gefunden: " + file.string());
  std::ifstream in(file, std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad())
    throw BuildError("Die Beschreibung kann nicht gelesen werden: " + file.string());
  return ParseDescription(text, std::filesystem::absolute(file).parent_path());
}

}  // namespace builder

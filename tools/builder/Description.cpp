#include "tools/builder/Description.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <utility>

#include "tools/builder/BuildError.h"
#include "tools/builder/Cp1252.h"
#include "tools/builder/SetupFolder.h"
#include "tools/builder/Text.h"
#include "tools/builder/WindowsPath.h"

namespace builder {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kComponentPrefix = "component";
// The component list names itself inside the component archive.
constexpr std::string_view kComponentListLower = "$$exec.ini";

// Keys and section names are compared with ASCII words only.
std::string AsciiLower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string ToCp1252(int line, std::string_view utf8) {
  std::string problem;
  std::optional<std::string> converted = Utf8ToCp1252(utf8, &problem);
  if (!converted)
    throw BuildError(line, problem);
  return *std::move(converted);
}

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

std::string FirstSeen(int line) {
  return " (zuerst in Zeile " + std::to_string(line) + ")";
}

enum class Kind { Builder, Files, Component, Media, Control };

struct ComponentDraft {
  int line = 0;  // of the section header
  std::string executable;
  int executableLine = 0;
  std::vector<SourceFile> files;
};

class Parser {
 public:
  explicit Parser(fs::path folder) : folder_(std::move(folder)) {}

  void Line(int line, std::string_view raw);
  Description Finish();

 private:
  void Header(int line, std::string_view text);
  void BuilderEntry(int line, std::string_view key, std::string_view value);
  void FileEntry(int line, std::string_view source, std::string_view destination);
  void ComponentEntry(int line, std::string_view key, std::string_view value);
  void MediaEntry(int line, std::string_view source, std::string_view name);
  void FinishComponents();
  SourceFile Source(int line, std::string_view path) const;

  fs::path folder_;
  Description description_;
  bool inSection_ = false;
  Kind kind_ = Kind::Control;
  ComponentDraft* component_ = nullptr;
  int componentNumber_ = 0;
  std::map<std::string, int> sectionLines_;  // lower-case name to header line
  std::map<std::string, int> builderKeys_;
  std::map<std::string, int> destinations_;  // lower-case Windows-1252
  std::map<std::string, int> mediaNames_;    // lower-case Windows-1252
  std::map<int, ComponentDraft> components_;
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
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos && kind_ != Kind::Media)
    throw BuildError(line, "Zeile ohne \"=\"");
  const std::string_view key = TrimBlanks(text.substr(0, equals));
  const std::string_view value =
      equals == std::string_view::npos ? std::string_view() : TrimBlanks(text.substr(equals + 1));
  switch (kind_) {
    case Kind::Builder:
      BuilderEntry(line, key, value);
      break;
    case Kind::Files:
      FileEntry(line, key, value);
      break;
    case Kind::Component:
      ComponentEntry(line, key, value);
      break;
    case Kind::Media:
      // A media file keeps its own name unless the line gives another.
      MediaEntry(line, key,
                 equals == std::string_view::npos ? fs::path(std::string(key)).filename().string()
                                                  : std::string(value));
      break;
    case Kind::Control:
      description_.sections.back().lines.push_back(ToCp1252(line, raw));
      break;
  }
}

void Parser::Header(int line, std::string_view text) {
  if (text.back() != ']')
    throw BuildError(line, "Abschnittskopf ohne schließende \"]\"");
  const std::string_view written = TrimBlanks(text.substr(1, text.size() - 2));
  const std::string name = ToCp1252(line, written);
  if (name.empty())
    throw BuildError(line, "Abschnitt ohne Namen");
  const std::string lower = Cp1252Lower(name);
  if (auto [seen, added] = sectionLines_.emplace(lower, line); !added)
    throw BuildError(line, "Der Abschnitt [" + std::string(written) + "] steht doppelt" +
                               FirstSeen(seen->second));
  inSection_ = true;
  component_ = nullptr;
  if (lower == "builder") {
    kind_ = Kind::Builder;
  } else if (lower == "files") {
    kind_ = Kind::Files;
  } else if (lower == "media") {
    kind_ = Kind::Media;
  } else if (lower.size() > kComponentPrefix.size() && lower.starts_with(kComponentPrefix) &&
             lower.find_first_not_of("0123456789", kComponentPrefix.size()) == std::string::npos) {
    const std::string digits = lower.substr(kComponentPrefix.size());
    if (digits[0] == '0' || digits.size() > 4)
      throw BuildError(line, "Ungültige Komponentennummer in [" + std::string(written) +
                                 "]: die Komponenten heißen [Component1], [Component2], …");
    kind_ = Kind::Component;
    componentNumber_ = std::stoi(digits);
    component_ = &components_[componentNumber_];
    component_->line = line;
  } else {
    kind_ = Kind::Control;
    description_.sections.push_back({name, ToCp1252(line, text), {}});
  }
}

void Parser::BuilderEntry(int line, std::string_view key, std::string_view value) {
  const std::string lower = AsciiLower(key);
  if (lower != "splitsize" && lower != "uninstaller")
    throw BuildError(line, "Unbekannter Schlüssel " + Quoted(key) +
                               " in [Builder]; bekannt sind SplitSize und Uninstaller");
  if (auto [seen, added] = builderKeys_.emplace(lower, line); !added)
    throw BuildError(line, "Der Schlüssel " + Quoted(key) + " steht doppelt in [Builder]" +
                               FirstSeen(seen->second));
  if (lower == "uninstaller") {
    if (value.empty())
      throw BuildError(line, "Uninstaller nennt keine Datei");
    description_.uninstaller = Source(line, value);
    return;
  }
  const std::string notANumber =
      "SplitSize muss eine Größe in Bytes sein (eine Dezimalzahl), nicht " + Quoted(value);
  if (value.empty() || value.find_first_not_of("0123456789") != std::string_view::npos)
    throw BuildError(line, notANumber);
  uint64_t size = 0;
  for (char c : value) {
    const auto digit = static_cast<uint64_t>(c - '0');
    if (size > (UINT64_MAX - digit) / 10)
      throw BuildError(line, notANumber);
    size = size * 10 + digit;
  }
  description_.splitSize = size;
}

void Parser::FileEntry(int line, std::string_view source, std::string_view destination) {
  if (source.empty())
    throw BuildError(line, "Der Quellpfad vor \"=\" fehlt");
  if (destination.empty())
    throw BuildError(line, "Das Ziel nach \"=\" fehlt");
  std::string target = ToCp1252(line, destination);
  if (std::optional<std::string> problem = DestinationProblem(target))
    throw BuildError(line, "Ungültiges Ziel " + Quoted(destination) + ": " + *problem);
  if (auto [seen, added] = destinations_.emplace(Cp1252Lower(target), line); !added)
    throw BuildError(line, "Das Ziel " + Quoted(destination) + " steht doppelt in [Files]" +
                               FirstSeen(seen->second));
  description_.files.push_back({Source(line, source), std::move(target)});
}

void Parser::ComponentEntry(int line, std::string_view key, std::string_view value) {
  const std::string lower = AsciiLower(key);
  const std::string section = "[Component" + std::to_string(componentNumber_) + "]";
  if (lower == "executable") {
    if (component_->executableLine != 0)
      throw BuildError(
          line, "Executable steht doppelt in " + section + FirstSeen(component_->executableLine));
    if (value.empty())
      throw BuildError(line, "Executable nennt keinen Befehl");
    component_->executable = ToCp1252(line, value);
    component_->executableLine = line;
  } else if (lower == "file") {
    if (value.empty())
      throw BuildError(line, "File nennt keine Datei");
    component_->files.push_back(Source(line, value));
  } else {
    throw BuildError(line, "Unbekannter Schlüssel " + Quoted(key) + " in " + section +
                               "; bekannt sind Executable und File");
  }
}

void Parser::MediaEntry(int line, std::string_view source, std::string_view name) {
  if (source.empty())
    throw BuildError(line, "Der Quellpfad fehlt");
  const std::string windowsName = ToCp1252(line, name);
  if (std::optional<std::string> problem = NameProblem(windowsName))
    throw BuildError(line, "Ungültiger Name im Setup-Ordner " + Quoted(name) + ": " + *problem);
  if (IsBuilderName(windowsName))
    throw BuildError(line, "Der Name " + Quoted(name) +
                               " ist für eine Datei vergeben, die der Builder selbst schreibt");
  if (auto [seen, added] = mediaNames_.emplace(Cp1252Lower(windowsName), line); !added)
    throw BuildError(
        line, "Der Name " + Quoted(name) + " steht doppelt in [Media]" + FirstSeen(seen->second));
  description_.media.push_back({Source(line, source), std::string(name)});
}

// Numbers the programs and lays out the flat component archive, where a
// file named by several programs is stored once and no two different files
// may share a name.
void Parser::FinishComponents() {
  std::map<std::string, size_t> byPath;
  std::map<std::string, size_t> byName;  // lower-case Windows-1252
  int expected = 1;
  for (const auto& [number, draft] : components_) {
    const std::string section = "[Component" + std::to_string(number) + "]";
    if (number != expected)
      throw BuildError(draft.line, section + " folgt auf eine Lücke: [Component" +
                                       std::to_string(expected) + "] fehlt");
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
    const std::string command = Cp1252Lower(program.executable);
    bool startsWithFile = false;
    for (size_t index : program.files) {
      const std::string file = Cp1252Lower(description_.componentFiles[index].listName);
      if (command.starts_with(file) &&
          (command.size() == file.size() || command[file.size()] == ' '))
        startsWithFile = true;
    }
    if (!startsWithFile)
      throw BuildError(draft.executableLine, "Executable muss mit dem Namen einer Datei aus " +
                                                 section + " beginnen, gefolgt von den Parametern");
    description_.components.push_back(std::move(program));
  }
}

SourceFile Parser::Source(int line, std::string_view path) const {
  return {(folder_ / fs::path(std::string(path))).lexically_normal(), line};
}

Description Parser::Finish() {
  if (!sectionLines_.contains("settings"))
    throw BuildError(
        "Der Abschnitt [Settings] fehlt; er nennt das Produkt (AppName, Version, Company)");
  FinishComponents();
  return std::move(description_);
}

}  // namespace

Description ParseDescription(std::string_view text, const std::filesystem::path& folder) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark))
    text.remove_prefix(kByteOrderMark.size());
  Parser parser(std::filesystem::absolute(folder));
  int line = 0;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view raw = text.substr(start, end - start);
    if (raw.ends_with('\r'))
      raw.remove_suffix(1);
    parser.Line(++line, raw);
    start = end + 1;
  }
  return parser.Finish();
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

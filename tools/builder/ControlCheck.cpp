#include "tools/builder/ControlCheck.h"

#include <algorithm>
#include <map>
#include <optional>

#include "tools/builder/ControlRules.h"
#include "tools/builder/Cp1252.h"
#include "tools/builder/Text.h"
#include "tools/builder/WindowsPath.h"

namespace builder {
namespace {

constexpr std::string_view kNoIcon = "[Tessarwolden]";
constexpr std::string_view kShortcutPlaceholders[] = {"%InstStandard%", "%Programs%", "%Desktop%",
                                                      "%SendTo%"};
constexpr std::string_view kRoots[] = {
    "HKCR", "HKEY_CLASSES_ROOT", "HKCU", "HKEY_CURRENT_USER",   "HKLM", "HKEY_LOCAL_MACHINE",
    "HKU",  "HKEY_USERS",        "HKCC", "HKEY_CURRENT_CONFIG", "HKDD", "HKEY_DYN_DATA",
};

bool IsDecimal(std::string_view text) {
  return !text.empty() && text.size() <= 9 &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

// A decimal number with an optional sign and fraction ("-1,5", "2.25").
bool IsDecimalNumber(std::string_view text) {
  if (!text.empty() && (text[0] == '-' || text[0] == '+'))
    text.remove_prefix(1);
  const size_t separator = text.find_first_of(".,");
  const std::string_view whole = text.substr(0, separator);
  if (whole.empty() || whole.find_first_not_of("0123456789") != std::string_view::npos)
    return false;
  if (separator == std::string_view::npos)
    return true;
  const std::string_view fraction = text.substr(separator + 1);
  return !fraction.empty() && fraction.find_first_not_of("0123456789") == std::string_view::npos;
}

// The type name of a registry entry as Setup.exe tells them apart.
enum class RegistryType { String, Float, Boolean, Currency, Unknown };

RegistryType TypeOf(std::string_view data) {
  const std::string lower = AsciiLower(data);
  if (lower == "string")
    return RegistryType::String;
  if (lower == "float")
    return RegistryType::Float;
  if (lower == "boolean" || data == "BOOL")
    return RegistryType::Boolean;
  if (lower == "currency")
    return RegistryType::Currency;
  return RegistryType::Unknown;
}

std::string Ansi(std::string_view utf8) {
  return Utf8ToCp1252(utf8).value_or(std::string());
}

struct Located {
  ControlSection* section;
  const SectionRule* rule;
  int number;
  std::map<std::string, const ControlEntry*> keys;  // lower-case key
};

class Checker {
 public:
  Checker(Description& description, Problems& problems)
      : description_(description), problems_(problems) {}

  void Run();

 private:
  void Index();
  void CheckEntry(const Located& at, const ControlEntry& entry, const KeyRule& rule, int number);
  void CheckSubstituted(const ControlEntry& entry);
  void CheckRegistryData(const Located& at, const ControlEntry& entry);
  void CheckDisplayIcon(const Located& at, const ControlEntry& entry);
  void CheckNeeds();
  void CheckCounts();
  void CheckPageTexts();
  void Complete();

  // The section of that name that takes no number.
  const Located* Section(std::string_view name) const;
  const ControlEntry* Entry(std::string_view section, std::string_view key) const;
  bool FlagOn(std::string_view key) const;
  void Warn(int line, std::string message) {
    description_.warnings.push_back({line, std::move(message)});
  }

  Description& description_;
  Problems& problems_;
  std::vector<Located> located_;
  std::vector<std::string> mediaNames_;  // Windows-1252
  // Completions, applied once everything is checked.
  struct IconNumber {
    ControlSection* section;
    const ControlEntry* entry;
    size_t number;
  };
  std::vector<IconNumber> iconNumbers_;
  std::vector<std::pair<const CountRule*, int>> missingCounts_;
};

void Checker::Run() {
  for (const MediaFile& file : description_.media)
    mediaNames_.push_back(Ansi(file.name));
  Index();
  for (Located& at : located_) {
    for (const ControlEntry& entry : at.section->entries) {
      const std::optional<KeyMatch> key = FindKey(*at.rule, entry.key);
      if (!key) {
        problems_.Add(entry.line, UnknownKeyMessage(*at.rule, at.section->name, entry.key));
      } else if (key->number < 0) {
        problems_.Add(entry.line, "Ungültige Nummer in " + Quoted(entry.key) +
                                      ": gezählt wird 1, 2, … ohne führende Null");
      } else if (auto [seen, added] = at.keys.emplace(AsciiLower(entry.key), &entry); !added) {
        problems_.Add(entry.line, "Der Schlüssel " + Quoted(entry.key) + " steht doppelt in [" +
                                      at.section->name + "] (zuerst in Zeile " +
                                      std::to_string(seen->second->line) +
                                      "); Setup liest nur den ersten");
      }
    }
  }
  for (const Located& at : located_) {
    for (const ControlEntry& entry : at.section->entries) {
      const auto first = at.keys.find(AsciiLower(entry.key));
      if (first == at.keys.end() || first->second != &entry)
        continue;
      const KeyMatch key = *FindKey(*at.rule, entry.key);
      CheckEntry(at, entry, *key.rule, key.number);
    }
  }
  CheckNeeds();
  CheckCounts();
  CheckPageTexts();
  description_.uninstallerNeeded = FlagOn("StandardReg") || FlagOn("CreateUninstallShortcut");
  if (problems_.empty())
    Complete();
}

void Checker::Index() {
  for (ControlSection& section : description_.sections) {
    const std::optional<SectionMatch> match = FindSection(section.name);
    located_.push_back({&section, match->rule, match->number, {}});
  }
}

const Located* Checker::Section(std::string_view name) const {
  for (const Located& at : located_) {
    if (at.rule->name == name && !at.rule->numbered)
      return &at;
  }
  return nullptr;
}

const ControlEntry* Checker::Entry(std::string_view section, std::string_view key) const {
  const Located* at = Section(section);
  if (at == nullptr)
    return nullptr;
  const auto found = at->keys.find(AsciiLower(key));
  return found == at->keys.end() ? nullptr : found->second;
}

bool Checker::FlagOn(std::string_view key) const {
  const ControlEntry* entry = Entry("Settings", key);
  return entry != nullptr && entry->value == "1";
}

void Checker::CheckEntry(const Located& at, const ControlEntry& entry, const KeyRule& rule,
                         int number) {
  const std::string& key = entry.key;
  const std::string& value = entry.value;
  const std::string ansi = Ansi(value);
  const auto fail = [&](const std::string& message) { problems_.Add(entry.line, message); };
  switch (rule.kind) {
    case ValueKind::Text:
      break;
    case ValueKind::NameText:
      if (std::optional<std::string> problem = CharacterProblem(ansi))
        fail(key + " " + Quoted(value) + " wird Teil von Ordnernamen: " + *problem);
      break;
    case ValueKind::AppName: {
      const std::string uninstaller = "Inst_" + value + "_remove.exe";
      if (value.empty())
        fail("AppName ist leer; Setup braucht den Namen des Produkts");
      else if (std::optional<std::string> problem = NameProblem(Ansi(uninstaller)))
        fail("AppName " + Quoted(value) + " wird Teil des Dateinamens " + Quoted(uninstaller) +
             " des Deinstallationsprogramms: " + *problem);
      break;
    }
    case ValueKind::Switch:
      if (value == "0" || value == "1")
        break;
      if (value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
        fail(key + " ist eine Zahl: 1 schaltet ein, 0 aus; " + Quoted(value) +
             " ist keine Zahl und gälte als aus. " + key + "=1 oder " + key + "=0 schreiben");
      else
        fail(key + " ist 1 (ein) oder 0 (aus), nicht " + Quoted(value));
      break;
    case ValueKind::TrueWord:
      if (!SameAscii(value, "true") && !SameAscii(value, "false"))
        fail(key + " ist ein Wort: True zeigt die Seite, alles andere nicht; " + Quoted(value) +
             " gälte als nein. " + key + "=True oder " + key + "=False schreiben");
      break;
    case ValueKind::LowerTrue:
      if (value != "true" && value != "false")
        fail(key + " gilt nur mit genau \"true\" (klein geschrieben); " + Quoted(value) +
             " gälte als false. " + key + "=true oder " + key + "=false schreiben");
      break;
    case ValueKind::BuilderOwned:
      fail(key +
           " setzt der Builder passend zur Nutzlast; die Zeile streichen (mehrere Medien: "
           "[Builder] Media= oder --media)");
      break;
    case ValueKind::Count:
    case ValueKind::Number:
      if (!IsDecimal(value))
        fail(key + " muss eine Zahl sein, nicht " + Quoted(value));
      break;
    case ValueKind::SubstitutedText:
      CheckSubstituted(entry);
      break;
    case ValueKind::DisplayIcon:
      CheckDisplayIcon(at, entry);
      break;
    case ValueKind::SubFolder:
      if (!value.starts_with('\\'))
        fail(key + " muss mit \"\\\" beginnen (ein Ordner im Zielverzeichnis, z. B. \\Daten); " +
             Quoted(value) + " ergäbe einen Ordner neben dem Zielverzeichnis");
      else if (std::optional<std::string> problem = RelativePathProblem(ansi.substr(1)))
        fail("Ungültiger Ordner " + Quoted(value) + ": " + *problem);
      break;
    case ValueKind::RegistryRoot:
      if (std::ranges::none_of(kRoots,
                               [&](std::string_view root) { return SameAscii(root, value); }))
        fail("Root " + Quoted(value) +
             " kennt Setup nicht und schriebe nach HKEY_CURRENT_USER; erlaubt sind HKCR, HKCU, "
             "HKLM, HKU, HKCC, HKDD und ihre langen Namen (HKEY_LOCAL_MACHINE, …)");
      else if (SameAscii(value, "HKDD") || SameAscii(value, "HKEY_DYN_DATA"))
        Warn(entry.line,
             "HKEY_DYN_DATA gibt es nur unter alten Windows-Versionen; sonst endet das Schreiben "
             "mit dem Registry-Fehler");
      break;
    case ValueKind::RegistryType:
      if (TypeOf(value) == RegistryType::Unknown)
        fail("Data " + Quoted(value) +
             " kennt Setup nicht und schriebe nichts; erlaubt sind String, Float, Boolean, "
             "Currency (beliebig geschrieben) und BOOL (genau so)");
      break;
    case ValueKind::RegistryData:
      CheckRegistryData(at, entry);
      break;
    case ValueKind::RegistryKey:
      if (value.empty())
        fail("Key ist leer; der Wert käme direkt in den Wurzelschlüssel");
      break;
    case ValueKind::ShortcutFolder: {
      if (std::ranges::any_of(kShortcutPlaceholders,
                              [&](std::string_view known) { return SameAscii(known, value); }))
        break;
      if (value.size() >= 2 && value[1] == ':') {
        if (std::optional<std::string> problem = DriveFolderProblem(ansi))
          fail("Folder " + Quoted(value) + ": " + *problem);
        break;
      }
      fail("Folder " + Quoted(value) +
           " nimmt Setup wörtlich als Ordner; erlaubt sind %InstStandard%, %Programs%, "
           "%Desktop%, %SendTo% (ohne weiteren Pfad) oder ein Ordner wie C:\\Verknüpfungen");
      break;
    }
    case ValueKind::ShortcutTitle:
      if (value.empty())
        fail("Title ist leer; die Verknüpfung hieße \".lnk\"");
      else if (std::optional<std::string> problem = NameProblem(ansi + ".lnk"))
        fail("Title " + Quoted(value) + " taugt nicht als Dateiname: " + *problem);
      break;
    case ValueKind::Destination:
      if (std::optional<std::string> problem = DestinationProblem(ansi))
        fail(key + " " + Quoted(value) + ": " + *problem);
      break;
    case ValueKind::MediumCommand:
      if (!StartsWithName(ansi, mediaNames_))
        fail(Numbered(rule.name, number) +
             " muss mit dem Namen einer Datei aus [Media] beginnen (Setup startet sie von Medium "
             "1), gefolgt von den Parametern");
      break;
    case ValueKind::ComponentStyle:
      if (!SameAscii(value, "after_inst"))
        Warn(entry.line,
             key + "=" + value + ": Setup führt nur after_inst aus, dieser Eintrag läuft nie");
      break;
    case ValueKind::MediaCount:
    case ValueKind::MediumSize:
    case ValueKind::SourcePath:
    case ValueKind::ComponentCommand:
      break;
  }
}

// Setup.exe replaces the first "%...%" of such a text with a folder, and
// drops a placeholder it does not know: a URL with "%20" would lose its end.
void Checker::CheckSubstituted(const ControlEntry& entry) {
  const size_t percent = entry.value.find('%');
  if (percent == std::string::npos)
    return;
  const size_t close = entry.value.find('%', percent + 1);
  const std::string placeholder =
      entry.value.substr(percent, close == std::string::npos ? close : close - percent + 1);
  if (close != std::string::npos && IsKnownPlaceholder(placeholder))
    return;
  problems_.Add(entry.line,
                "Setup ersetzt in " + entry.key +
                    " ab dem ersten \"%\" einen Platzhalter wie %selected%; " +
                    Quoted(placeholder) +
                    " ist keiner und fiele weg. Ein \"%\" steht hier nur für einen Platzhalter");
}

void Checker::CheckRegistryData(const Located& at, const ControlEntry& entry) {
  const auto type = at.keys.find("data");
  const std::string data = type == at.keys.end() ? "String" : type->second->value;
  const std::string& value = entry.value;
  switch (TypeOf(data)) {
    case RegistryType::String:
      CheckSubstituted(entry);
      break;
    case RegistryType::Boolean:
      if (!SameAscii(value, "true") && !SameAscii(value, "false"))
        problems_.Add(entry.line, "Mit Data=" + data +
                                      " schreibt Setup nur bei Value=true oder Value=false "
                                      "etwas, nicht bei " +
                                      Quoted(value));
      break;
    case RegistryType::Float:
    case RegistryType::Currency:
      if (!IsDecimalNumber(value))
        problems_.Add(
            entry.line,
            "Mit Data=" + data + " muss Value eine Zahl sein (z. B. 1,5), nicht " + Quoted(value));
      break;
    case RegistryType::Unknown:
      break;
  }
}

void Checker::CheckDisplayIcon(const Located& at, const ControlEntry& entry) {
  const std::string& value = entry.value;
  const size_t files = description_.files.size();
  if (value == kNoIcon)
    return;
  if (IsDecimal(value)) {
    const size_t number = std::stoul(value);
    if (number < 1 || number > files)
      problems_.Add(entry.line, "DisplayIcon=" + value +
                                    " liegt außerhalb der Nutzlastliste (Nummern 1 bis " +
                                    std::to_string(files) + ")");
    return;
  }
  const std::string lower = Cp1252Lower(Ansi(value));
  for (size_t k = 0; k < files; ++k) {
    if (Cp1252Lower(description_.files[k].destination) == lower) {
      iconNumbers_.push_back({at.section, &entry, k + 1});
      return;
    }
  }
  problems_.Add(entry.line,
                "DisplayIcon muss [Tessarwolden] (kein Symbol), eine Nummer der Nutzlastliste "
                "oder ein Ziel aus [Files] sein, nicht " +
                    Quoted(value));
}

void Checker::CheckNeeds() {
  const struct {
    Need need;
    std::string_view flag;
  } conditions[] = {
      {Need::WithStandardReg, "StandardReg"},
      {Need::WithExtendedUninstall, "ExtendedUninstall"},
      {Need::WithMarrowlink, "Marrowlink"},
  };
  const auto flagFor = [&](Need need) -> const ControlEntry* {
    for (const auto& condition : conditions) {
      if (condition.need == need)
        return FlagOn(condition.flag) ? Entry("Settings", condition.flag) : nullptr;
    }
    return nullptr;
  };
  for (const SectionRule& section : SectionRules()) {
    if (section.ofBuilder || section.numbered)
      continue;
    const Located* at = Section(section.name);
    if (at == nullptr) {
      if (const ControlEntry* flag = flagFor(section.need))
        problems_.Add(flag->line, flag->key + "=1 braucht den Abschnitt [" +
                                      std::string(section.name) + "]; " +
                                      std::string(section.purpose));
      continue;
    }
    for (const KeyRule& key : section.keys) {
      if (key.need == Need::Optional || at->keys.contains(AsciiLower(key.name)))
        continue;
      const std::string missing = "fehlt in [" + at->section->name + "] " + std::string(key.name) +
                                  "= (" + std::string(key.purpose) + ")";
      if (key.need == Need::Required)
        problems_.Add(at->section->line, "Es " + missing);
      else if (const ControlEntry* flag = flagFor(key.need))
        problems_.Add(at->section->line, "Mit " + flag->key + "=1 (Zeile " +
                                             std::to_string(flag->line) + ") " + missing);
    }
  }
  // Numbered sections need their keys too.
  for (const Located& at : located_) {
    if (!at.rule->numbered)
      continue;
    for (const KeyRule& key : at.rule->keys) {
      if (key.need == Need::Required && !at.keys.contains(AsciiLower(key.name)))
        problems_.Add(at.section->line, "Es fehlt in [" + at.section->name + "] " +
                                            std::string(key.name) + "= (" +
                                            std::string(key.purpose) + ")");
    }
    if (at.rule->name == "Reg" && !at.keys.contains("value")) {
      const auto type = at.keys.find("data");
      if (type != at.keys.end() && TypeOf(type->second->value) != RegistryType::String &&
          TypeOf(type->second->value) != RegistryType::Unknown)
        problems_.Add(at.section->line, "Mit Data=" + type->second->value + " braucht [" +
                                            at.section->name + "] ein Value=");
    }
  }
  if (FlagOn("ExtendedUninstall") && !FlagOn("StandardReg"))
    Warn(Entry("Settings", "ExtendedUninstall")->line,
         "ExtendedUninstall=1 wirkt nur zusammen mit StandardReg=1");
}

void Checker::CheckCounts() {
  for (const CountRule& rule : CountRules()) {
    // The numbers of the entries, with the line of each.
    std::map<int, int> numbers;
    const Located* counting = Section(rule.section);
    if (rule.entriesAreSections) {
      for (const Located& at : located_) {
        if (at.rule->numbered && at.rule->name == rule.entries)
          numbers.emplace(at.number, at.section->line);
      }
    } else if (counting != nullptr) {
      for (const auto& [lower, entry] : counting->keys) {
        const std::optional<KeyMatch> key = FindKey(*counting->rule, entry->key);
        if (key->rule->name == rule.entries)
          numbers.emplace(key->number, entry->line);
      }
    }
    int expected = 1;
    bool gap = false;
    for (const auto& [number, line] : numbers) {
      if (number != expected && !gap) {
        const std::string name = Numbered(rule.entries, expected);
        problems_.Add(line, (rule.entriesAreSections ? "[" + name + "]" : name + "=") +
                                " fehlt: die Einträge werden von 1 an ohne Lücke gezählt");
        gap = true;
      }
      expected = number + 1;
    }
    const int entries = numbers.empty() ? 0 : numbers.rbegin()->first;
    const ControlEntry* count = Entry(rule.section, rule.key);
    if (count == nullptr) {
      if (counting != nullptr || entries > 0 || rule.missingCountsOne)
        missingCounts_.emplace_back(&rule, entries);
      continue;
    }
    if (!IsDecimal(count->value) || std::stoi(count->value) == entries)
      continue;
    const std::string first =
        rule.entriesAreSections ? "[" + Numbered(rule.entries, 1) + "]" : Numbered(rule.entries, 1);
    const std::string last = rule.entriesAreSections ? "[" + Numbered(rule.entries, entries) + "]"
                                                     : Numbered(rule.entries, entries);
    const std::string have = entries == 0   ? "keinen Eintrag " + first
                             : entries == 1 ? "nur " + first
                                            : first + " bis " + last;
    problems_.Add(count->line, count->key + "=" + count->value + ", aber die Beschreibung hat " +
                                   have + "; " + count->key + "=" + std::to_string(entries) +
                                   " schreiben oder die Zeile weglassen (dann zählt der Builder)");
  }
}

void Checker::CheckPageTexts() {
  const struct {
    std::string_view key;
    std::string_view file;
    std::string_view replacement;
  } pages[] = {
      {"License", "License.txt", "Setup konnte keine Lizenzangaben finden."},
      {"Information", "Information.txt", "Setup konnte keine Informationen finden."},
  };
  for (const auto& page : pages) {
    const ControlEntry* flag = Entry("Settings", page.key);
    const bool shown = flag != nullptr && SameAscii(flag->value, "true");
    const auto file = std::ranges::find_if(description_.media, [&](const MediaFile& media) {
      return SameAscii(media.name, page.file);
    });
    if (shown && file == description_.media.end())
      problems_.Add(flag->line, flag->key + "=True zeigt " + std::string(page.file) +
                                    ", aber [Media] bringt keine mit; sonst zeigt die Seite \"" +
                                    std::string(page.replacement) + "\"");
    if (!shown && file != description_.media.end())
      Warn(file->source.line, file->name + " liegt bei, aber ohne " + std::string(page.key) +
                                  "=True in [Settings] zeigt Setup die Seite nicht");
  }
}

void Checker::Complete() {
  for (const IconNumber& icon : iconNumbers_)
    icon.section->lines[icon.entry->index] =
        Ansi(icon.entry->key) + "=" + std::to_string(icon.number);
  // Sections are added last: adding moves the sections that located_ points to.
  std::vector<ControlSection> added;
  for (const auto& [rule, entries] : missingCounts_) {
    const std::string line = std::string(rule->key) + "=" + std::to_string(entries);
    if (const Located* at = Section(rule->section))
      at->section->lines.push_back(line);
    else
      added.push_back(
          {std::string(rule->section), "[" + std::string(rule->section) + "]", 0, {line}, {}});
  }
  for (ControlSection& section : added)
    description_.sections.push_back(std::move(section));
}

}  // namespace

bool StartsWithName(std::string_view command, const std::vector<std::string>& names) {
  const std::string lower = Cp1252Lower(command);
  return std::ranges::any_of(names, [&](const std::string& name) {
    const std::string file = Cp1252Lower(name);
    return lower.starts_with(file) && (lower.size() == file.size() || lower[file.size()] == ' ');
  });
}

void CheckControlSections(Description& description, Problems& problems) {
  Checker(description, problems).Run();
}

}  // namespace builder

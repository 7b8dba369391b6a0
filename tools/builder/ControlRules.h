#pragma once

// The one table of what a description may hold: the builder's own sections
// and every section and key that Setup.exe reads from Setup.inf, each key
// with the kind of value Setup.exe takes from it. The checks of a
// description (ControlCheck) and the parser go by this table alone.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace builder {

/// How Setup.exe reads a key, and so what the builder lets through.
enum class ValueKind {
  Text,             // any text
  NameText,         // text that becomes part of folder names (company, version)
  AppName,          // the product name; also part of the uninstaller's file name
  Switch,           // an integer: 1 on, 0 off; words read as off
  TrueWord,         // "True" in any case is on; anything else, "1" too, is off
  LowerTrue,        // exactly "true" is on; "True" is off
  BuilderOwned,     // written by the builder to match the payload
  Count,            // the number of numbered entries; must match them
  Number,           // a decimal number
  SubstitutedText,  // text in which Setup.exe replaces its first "%...%"
  DisplayIcon,      // "[Tessarwolden]", a payload list number or a destination of [Files]
  SubFolder,        // "\Daten\Bilder", below the target directory
  RegistryRoot,
  RegistryType,
  RegistryData,  // checked against the entry's type
  RegistryKey,
  ShortcutFolder,
  ShortcutTitle,
  Destination,     // a drive or placeholder path, as in [Files]
  MediumCommand,   // a program of [Media] and its parameters
  ComponentStyle,  // "after_inst" runs; anything else never runs
  // The builder's own keys.
  MediaCount,
  MediumSize,
  SourcePath,
  ComponentCommand,
};

/// When a key must be present.
enum class Need { Optional, Required, WithStandardReg, WithExtendedUninstall, WithMarrowlink };

struct KeyRule {
  std::string_view name;  // for a numbered key the part before the number
  ValueKind kind;
  Need need = Need::Optional;
  std::string_view purpose = {};  // German, says what a missing key is for
  bool numbered = false;          // Folder1, Folder2, ...
};

struct SectionRule {
  std::string_view name;          // for a numbered section the part before the number
  bool numbered;                  // [Reg1], [Reg2], ...
  bool ofBuilder;                 // read by the builder, not written to Setup.inf
  std::span<const KeyRule> keys;  // empty for sections of plain lines ([Files], [Media])
  Need need = Need::Optional;
  std::string_view purpose = {};
};

/// A count key and the entries it counts: numbered sections ([Reg1]) or
/// numbered keys of its own section (Folder1).
struct CountRule {
  std::string_view section;
  std::string_view key;
  std::string_view entries;
  bool entriesAreSections;
  /// Setup.exe takes 1 for a missing count; the builder then writes the
  /// section with the count of its entries (0 when there are none).
  bool missingCountsOne;
};

std::span<const SectionRule> SectionRules();
std::span<const CountRule> CountRules();

/// The section of that name (any case) with its number (0 when it takes
/// none); nullopt when the table has no such section. A numbered section
/// with a malformed number ("Reg01") comes back with number -1.
struct SectionMatch {
  const SectionRule* rule;
  int number;
};
std::optional<SectionMatch> FindSection(std::string_view name);

/// The key of that name (any case) in `section`, with its number as above.
struct KeyMatch {
  const KeyRule* rule;
  int number;
};
std::optional<KeyMatch> FindKey(const SectionRule& section, std::string_view key);

/// "Unbekannter Abschnitt [x]" with the nearest known name, or the list of
/// all when none is near.
std::string UnknownSectionMessage(std::string_view written);
/// The same for a key of `section` (named as written in the description).
std::string UnknownKeyMessage(const SectionRule& rule, std::string_view sectionName,
                              std::string_view key);

/// The name among `candidates` closest to `written` (ignoring case) when it
/// is close enough to be a slip of the keyboard.
std::optional<std::string> NearestName(std::string_view written,
                                       std::span<const std::string> candidates);

/// The section name with a number: "Reg" and 3 give "Reg3".
std::string Numbered(std::string_view name, int number);

}  // namespace builder

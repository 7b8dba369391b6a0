#include "tools/builder/ControlRules.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "tools/builder/Text.h"

namespace builder {
namespace {

using K = ValueKind;

constexpr KeyRule kBuilderKeys[] = {
    {"Media", K::MediaCount},
    {"MediumSize", K::MediumSize},
    {"Uninstaller", K::SourcePath},
};
constexpr KeyRule kComponentKeys[] = {
    {"Executable", K::ComponentCommand},
    {"File", K::SourcePath},
};
constexpr KeyRule kSettingsKeys[] = {
    {"AppName", K::AppName, Need::Required, "der Name des Produkts"},
    {"Version", K::NameText, Need::Required, "die Version, Teil des Produkttitels"},
    {"Company", K::NameText, Need::Required, "der Hersteller, Teil des Zielverzeichnisses"},
    {"Reboot", K::LowerTrue},
    {"Splitted", K::BuilderOwned},
    {"SplitFileCount", K::BuilderOwned},
    {"CreateUninstallShortcut", K::Switch},
    {"ExtendedUninstall", K::Switch},
    {"StandardReg", K::Switch},
    {"Marrowlink", K::Switch},
    {"RemoveObsolete", K::Switch},
    {"License", K::TrueWord},
    {"Information", K::TrueWord},
};
constexpr KeyRule kUninstallInfoKeys[] = {
    {"DisplayName", K::SubstitutedText, Need::WithStandardReg,
     "der Name in Apps & Features; ohne ihn zeigt Windows \"1\""},
    {"DisplayIcon", K::DisplayIcon},
    {"DisplayVersion", K::SubstitutedText, Need::WithExtendedUninstall,
     "ohne ihn zeigt Windows \"1\""},
    {"Publisher", K::SubstitutedText, Need::WithExtendedUninstall, "ohne ihn zeigt Windows \"1\""},
    {"HelpLink", K::SubstitutedText, Need::WithExtendedUninstall, "ohne ihn zeigt Windows \"1\""},
    {"URLInfoAbout", K::SubstitutedText, Need::WithExtendedUninstall,
     "ohne ihn zeigt Windows \"1\""},
    {"URLUpdateInfo", K::SubstitutedText, Need::WithExtendedUninstall,
     "ohne ihn zeigt Windows \"1\""},
};
constexpr KeyRule kDirectoriesKeys[] = {
    {"FolderCount", K::Count},
    {"Folder", K::SubFolder, Need::Optional, {}, true},
};
constexpr KeyRule kRegistryKeys[] = {{"RegCount", K::Count}};
constexpr KeyRule kRegKeys[] = {
    {"Root", K::RegistryRoot},
    {"Key", K::RegistryKey, Need::Required, "der Schlüssel, in den der Wert kommt"},
    {"Title", K::Text},
    {"Value", K::RegistryData},
    {"Data", K::RegistryType},
};
constexpr KeyRule kMarrowlinkKeys[] = {
    {"UpdateCount", K::Number},
    {"CompanyName", K::Text},
    {"CurrentVersion", K::Text},
    {"ProgramName", K::Text},
    {"TitleDetectionString", K::Text},
    {"UpdateID", K::Text, Need::WithMarrowlink, "die Kennung, unter der das Produkt Updates sucht"},
};
constexpr KeyRule kLinksKeys[] = {{"LinkCount", K::Count}};
constexpr KeyRule kLinkKeys[] = {
    {"Folder", K::ShortcutFolder, Need::Required,
     "der Ordner der Verknüpfung, z. B. %InstStandard% oder %Desktop%"},
    {"Title", K::ShortcutTitle, Need::Required, "der Name der Verknüpfung"},
    {"File", K::Destination, Need::Required, "das Ziel der Verknüpfung, z. B. %selected%\\a.exe"},
    {"Params", K::Text},
    {"Comment", K::Text},
};
constexpr KeyRule kComponentInstallKeys[] = {
    {"CmpCount", K::Count},
    {"CmpFile", K::MediumCommand, Need::Optional, {}, true},
    {"ExStyle", K::ComponentStyle, Need::Optional, {}, true},
};

constexpr SectionRule kSections[] = {
    {"Builder", false, true, kBuilderKeys},
    {"Files", false, true, {}},
    {"Media", false, true, {}},
    {"Component", true, true, kComponentKeys},
    {"Settings", false, false, kSettingsKeys, Need::Required,
     "er nennt das Produkt (AppName, Version, Company)"},
    {"UninstallInfo", false, false, kUninstallInfoKeys, Need::WithStandardReg,
     "er nennt das Produkt in Apps & Features"},
    {"Directories", false, false, kDirectoriesKeys},
    {"Registry", false, false, kRegistryKeys},
    {"Reg", true, false, kRegKeys},
    {"Marrowlink", false, false, kMarrowlinkKeys, Need::WithMarrowlink,
     "er beschreibt die Registrierung für Web-Updates"},
    {"Links", false, false, kLinksKeys},
    {"Link", true, false, kLinkKeys},
    {"ComponentInstall", false, false, kComponentInstallKeys},
};

constexpr CountRule kCounts[] = {
    {"Directories", "FolderCount", "Folder", false, true},
    {"Registry", "RegCount", "Reg", true, true},
    {"Links", "LinkCount", "Link", true, true},
    {"ComponentInstall", "CmpCount", "CmpFile", false, false},
};

// The number after `prefix` in `name` (compared without regard to ASCII
// case): nullopt when `name` is no numbered form of it, -1 for a number with
// a leading zero or more than four digits.
std::optional<int> NumberAfter(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || !SameAscii(name.substr(0, prefix.size()), prefix))
    return std::nullopt;
  const std::string_view digits = name.substr(prefix.size());
  if (digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  if (digits[0] == '0' || digits.size() > 4)
    return -1;
  return std::stoi(std::string(digits));
}

// The rule of that name (any case) with its number, or a null rule; a
// section and a key rule are looked up alike.
template <typename Rule>
std::pair<const Rule*, int> FindRule(std::span<const Rule> rules, std::string_view name) {
  for (const Rule& rule : rules) {
    if (!rule.numbered && SameAscii(name, rule.name))
      return {&rule, 0};
    if (rule.numbered) {
      if (std::optional<int> number = NumberAfter(name, rule.name))
        return {&rule, *number};
    }
  }
  return {nullptr, 0};
}

// The optimal string alignment distance of the two names in lower case: the
// edits (insert, delete, replace, swap of neighbours) that turn one into the
// other.
size_t Distance(std::string_view a, std::string_view b) {
  const std::string x = AsciiLower(a);
  const std::string y = AsciiLower(b);
  std::vector<std::vector<size_t>> d(x.size() + 1, std::vector<size_t>(y.size() + 1));
  for (size_t i = 0; i <= x.size(); ++i)
    d[i][0] = i;
  for (size_t j = 0; j <= y.size(); ++j)
    d[0][j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    for (size_t j = 1; j <= y.size(); ++j) {
      const size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  }
  return d[x.size()][y.size()];
}

// The names a section or key could have been meant as: the numbered ones
// with the number that was written, or with 1.
std::vector<std::string> Candidates(std::string_view written, std::string_view name,
                                    bool numbered) {
  if (!numbered)
    return {std::string(name)};
  const size_t digits = written.find_last_not_of("0123456789") + 1;
  const std::string number =
      digits < written.size() ? std::string(written.substr(digits)) : std::string("1");
  return {std::string(name) + number};
}

// A name for the lists of known names: numbered ones with 1 and 2.
std::string Listed(std::string_view name, bool numbered, std::string_view open,
                   std::string_view close) {
  const std::string one = std::string(open) + std::string(name);
  if (!numbered)
    return one + std::string(close);
  return one + "1" + std::string(close) + ", " + one + "2" + std::string(close) + ", …";
}

}  // namespace

std::span<const SectionRule> SectionRules() {
  return kSections;
}

std::span<const CountRule> CountRules() {
  return kCounts;
}

std::string Numbered(std::string_view name, int number) {
  return std::string(name) + std::to_string(number);
}

std::optional<SectionMatch> FindSection(std::string_view name) {
  if (auto [rule, number] = FindRule(std::span<const SectionRule>(kSections), name); rule)
    return SectionMatch{rule, number};
  return std::nullopt;
}

std::optional<KeyMatch> FindKey(const SectionRule& section, std::string_view key) {
  if (auto [rule, number] = FindRule(section.keys, key); rule)
    return KeyMatch{rule, number};
  return std::nullopt;
}

std::optional<std::string> NearestName(std::string_view written,
                                       std::span<const std::string> candidates) {
  std::optional<std::string> nearest;
  size_t best = 0;
  for (const std::string& candidate : candidates) {
    const size_t distance = Distance(written, candidate);
    // One slip in short names, a few more in long ones.
    if (distance > std::max<size_t>(1, candidate.size() / 4))
      continue;
    if (!nearest || distance < best) {
      nearest = candidate;
      best = distance;
    }
  }
  return nearest;
}

std::string UnknownSectionMessage(std::string_view written) {
  std::vector<std::string> candidates;
  std::string all;
  for (const SectionRule& rule : kSections) {
    for (std::string& candidate : Candidates(written, rule.name, rule.numbered))
      candidates.push_back(std::move(candidate));
    all += (all.empty() ? "" : ", ") + Listed(rule.name, rule.numbered, "[", "]");
  }
  const std::string message = "Unbekannter Abschnitt [" + std::string(written) + "]";
  if (std::optional<std::string> nearest = NearestName(written, candidates))
    return message + "; gemeint ist wohl [" + *nearest + "]";
  return message + "; bekannt sind " + all;
}

std::string UnknownKeyMessage(const SectionRule& rule, std::string_view sectionName,
                              std::string_view key) {
  std::vector<std::string> candidates;
  std::string all;
  for (const KeyRule& known : rule.keys) {
    for (std::string& candidate : Candidates(key, known.name, known.numbered))
      candidates.push_back(std::move(candidate));
    all += (all.empty() ? "" : ", ") + Listed(known.name, known.numbered, "", "");
  }
  const std::string message =
      "Unbekannter Schlüssel \"" + std::string(key) + "\" in [" + std::string(sectionName) + "]";
  if (std::optional<std::string> nearest = NearestName(key, candidates))
    return message + "; gemeint ist wohl \"" + *nearest + "\"";
  return message + "; bekannt sind " + all;
}

}  // namespace builder

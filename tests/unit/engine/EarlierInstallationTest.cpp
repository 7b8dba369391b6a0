#include "engine/EarlierInstallation.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/support/ExampleUninstallInf.h"

namespace {

using platform::RegRoot;
using uninstall::RecordedValue;

constexpr const char* kEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";
constexpr const char* kMain = "C:\\Programme\\Firma\\Produkt 1.2";

// What a record names, in the order Uninstall.inf lists it.
struct Items {
  std::string version = "1.2";
  std::string company = "Firma";
  bool standardReg = false;
  std::vector<std::string> files{};
  std::vector<std::string> dirs{};
  std::vector<RecordedValue> values{};
  std::optional<std::string> programId{};
  std::vector<std::string> links{};
};

// Uninstall.inf as the run writes it for `items` in kMain.
std::vector<std::string> RecordLines(const Items& items) {
  std::vector<std::string> lines = testing_support::ProduktHeaderLines(
      items.company, items.version, items.standardReg, items.programId.has_value(), kMain);
  lines.insert(lines.end(), {"[Files]", "FileCount=" + std::to_string(items.files.size())});
  auto numbered = [&](std::string_view key, const std::vector<std::string>& values) {
    for (size_t n = 0; n < values.size(); ++n)
      lines.push_back(std::string(key) + std::to_string(n + 1) + "=" + values[n]);
  };
  numbered("File", items.files);
  if (!items.files.empty()) {
    lines.push_back("[ExtraFiles]");
    lines.push_back("ExtraCount=" + std::to_string(items.files.size()));
    numbered("ExFile", items.files);
  }
  lines.push_back("[ExtraDir]");
  lines.push_back("DirCount=" + std::to_string(items.dirs.size()));
  numbered("Dir", items.dirs);
  if (!items.values.empty()) {
    lines.push_back("[Registry]");
    lines.push_back("RegCount=" + std::to_string(items.values.size()));
    for (size_t n = 0; n < items.values.size(); ++n) {
      const RecordedValue& value = items.values[n];
      lines.insert(lines.end(), {"[Reg" + std::to_string(n + 1) + "]", "Root=" + value.root,
                                 "Key=" + value.key, "Title=" + value.title});
    }
  }
  if (items.programId)
    lines.insert(lines.end(), {"[Marrowlink]", "ProgramID=" + *items.programId});
  if (!items.links.empty()) {
    lines.push_back("[Links]");
    lines.push_back("LinkCount=" + std::to_string(items.links.size()));
    for (size_t n = 0; n < items.links.size(); ++n)
      lines.insert(lines.end(),
                   {"[Link" + std::to_string(n + 1) + "]", "Path=\"" + items.links[n] + "\""});
  }
  lines.insert(lines.end(), {"[ProgramPath]", "Path=\"C:\\Startmenü\\Firma\""});
  return lines;
}

uninstall::UninstallRecord RecordOf(const Items& items) {
  return uninstall::ParseUninstallRecord(RecordLines(items));
}

std::string In(std::string_view relative) {
  return std::string(kMain) + "\\" + std::string(relative);
}

std::vector<std::string> Names(const std::vector<RecordedValue>& values) {
  std::vector<std::string> names;
  for (const RecordedValue& value : values)
    names.push_back(value.root + " " + value.key + " " + value.title);
  return names;
}

struct UnionCase {
  std::string name;
  Items earlier{};
  Items later{};
  // What the new record takes over of the earlier one.
  std::vector<std::string> files{};
  std::vector<std::string> dirs{};
  std::vector<std::string> values{};
  std::vector<std::string> links{};
  std::optional<std::string> programId{};
};

void PrintTo(const UnionCase& row, std::ostream* out) {
  *out << row.name;
}

class RecordUnion : public testing::TestWithParam<UnionCase> {};

TEST_P(RecordUnion, TakesOverWhatOnlyTheEarlierInstallationRecords) {
  const UnionCase& row = GetParam();
  const engine::Carried carried = engine::EarlierOnly(RecordOf(row.earlier), RecordOf(row.later));
  EXPECT_EQ(carried.files, row.files);
  EXPECT_EQ(carried.dirs, row.dirs);
  EXPECT_EQ(Names(carried.values), row.values);
  EXPECT_EQ(carried.links, row.links);
  EXPECT_EQ(carried.programId, row.programId);
}

const RecordedValue kPfad{"HKCU", "\\Software\\Firma\\Produkt", "Pfad"};
const RecordedValue kAnsicht{"HKCU", "\\Software\\Firma\\Produkt\\Alt", "Ansicht"};
constexpr const char* kDesktopLink = "C:\\Users\\Anna\\Desktop\\Produkt Hilfe.lnk";
constexpr const char* kMenuLink = "C:\\Startmenü\\Firma\\Produkt.lnk";

INSTANTIATE_TEST_SUITE_P(
    Update, RecordUnion,
    testing::Values(
        UnionCase{.name = "TheSameInstallationAgain",
                  .earlier = {.files = {In("a.exe")}, .values = {kPfad}, .links = {kMenuLink}},
                  .later = {.files = {In("a.exe")}, .values = {kPfad}, .links = {kMenuLink}}},
        UnionCase{.name = "AFileOnlyTheEarlierPlaced",
                  .earlier = {.files = {In("a.exe"), In("Hilfe\\alt.txt")}},
                  .later = {.version = "1.3", .files = {In("a.exe"), In("neu.txt")}},
                  .files = {In("Hilfe\\alt.txt")}},
        UnionCase{.name = "FilesAreComparedAsWindowsComparesNames",
                  .earlier = {.files = {In("LIESMICH.txt"), In("Übersicht.txt")}},
                  .later = {.files = {In("liesmich.TXT"), In("übersicht.txt")}}},
        // The uninstaller removes no file outside the installation folder.
        UnionCase{.name = "AFileOutsideTheInstallationFolder",
                  .earlier = {.files = {"C:\\Windows\\alt.dll", "C:\\Programme\\Firma\\x.txt"}}},
        UnionCase{.name = "AnExtraFolderOnlyTheEarlierMade",
                  .earlier = {.dirs = {In("Alt"), In("Daten")}},
                  .later = {.dirs = {In("Daten")}},
                  .dirs = {In("Alt")}},
        UnionCase{.name = "AShortcutOnlyTheEarlierMade",
                  .earlier = {.links = {kMenuLink, kDesktopLink}},
                  .later = {.links = {kMenuLink}},
                  .links = {kDesktopLink}},
        UnionCase{.name = "AValueOnlyTheEarlierWrote",
                  .earlier = {.values = {kPfad, kAnsicht}},
                  .later = {.values = {kPfad}},
                  .values = {"HKCU \\Software\\Firma\\Produkt\\Alt Ansicht"}},
        UnionCase{
            .name = "AValueNamedOtherwiseButTheSame",
            .earlier = {.values = {{"HKEY_CURRENT_USER", "Software\\FIRMA\\Produkt\\", "pfad"}}},
            .later = {.values = {kPfad}}},
        UnionCase{.name = "AValueOfAnotherRoot",
                  .earlier = {.values = {{"HKLM", "\\Software\\Firma\\Produkt", "Pfad"}}},
                  .later = {.values = {kPfad}},
                  .values = {"HKLM \\Software\\Firma\\Produkt Pfad"}},
        UnionCase{.name = "TheEarlierVersionsVendorKey",
                  .earlier = {.standardReg = true},
                  .later = {.version = "1.3", .standardReg = true},
                  .values = {"HKLM \\Software\\Firma\\Produkt\\1.2 Company",
                             "HKLM \\Software\\Firma\\Produkt\\1.2 Name"}},
        UnionCase{.name = "TheSameVersionsVendorKey",
                  .earlier = {.standardReg = true},
                  .later = {.standardReg = true}},
        // Left blank or missing in Setup.inf: either key may be the one.
        UnionCase{.name = "AVendorKeyWithoutCompany",
                  .earlier = {.company = "", .standardReg = true},
                  .later = {.version = "1.3", .company = "", .standardReg = true},
                  .values = {"HKLM \\Software\\<unknown company>\\Produkt\\1.2 Company",
                             "HKLM \\Software\\<unknown company>\\Produkt\\1.2 Name",
                             "HKLM \\Software\\1\\Produkt\\1.2 Company",
                             "HKLM \\Software\\1\\Produkt\\1.2 Name"}},
        UnionCase{.name = "AWebUpdateEntryTheLaterMakesNone",
                  .earlier = {.programId = "PRD-12"},
                  .programId = "PRD-12"},
        UnionCase{.name = "AWebUpdateEntryTheLaterUpdates",
                  .earlier = {.programId = "PRD-12"},
                  .later = {.programId = "PRD-13"}}),
    [](const testing::TestParamInfo<UnionCase>& info) { return info.param.name; });

// The items go into the sections Uninstall.inf lists their kinds in, counted
// there: also into sections the new run wrote none of, in their place.
TEST(RecordUnion, ItemsGoIntoTheirSectionsNumberedOnFromTheCounts) {
  const std::vector<std::string> later = {";",
                                          "[Settings]",
                                          "Marrowlink=0",
                                          "[Directories]",
                                          std::string("MainDir=") + kMain,
                                          "[Files]",
                                          "FileCount=0",
                                          "[ExtraDir]",
                                          "DirCount=1",
                                          "Dir1=" + In("Daten"),
                                          "[ProgramPath]",
                                          "Path=\"C:\\Startmenü\\(kein)\""};
  engine::Carried carried;
  carried.files = {In("alt.txt")};
  carried.dirs = {In("Alt")};
  carried.values = {kAnsicht};
  carried.links = {kDesktopLink};
  carried.programId = "PRD-12";
  EXPECT_EQ(engine::WithCarried(later, carried), (std::vector<std::string>{
                                                     ";",
                                                     "[Settings]",
                                                     "Marrowlink=1",
                                                     "[Directories]",
                                                     std::string("MainDir=") + kMain,
                                                     "[Files]",
                                                     "FileCount=1",
                                                     "File1=" + In("alt.txt"),
                                                     "[ExtraFiles]",
                                                     "ExtraCount=1",
                                                     "ExFile1=" + In("alt.txt"),
                                                     "[ExtraDir]",
                                                     "DirCount=2",
                                                     "Dir1=" + In("Daten"),
                                                     "Dir2=" + In("Alt"),
                                                     "[Registry]",
                                                     "RegCount=1",
                                                     "[Reg1]",
                                                     "Root=HKCU",
                                                     "Key=\\Software\\Firma\\Produkt\\Alt",
                                                     "Title=Ansicht",
                                                     "[Marrowlink]",
                                                     "ProgramID=PRD-12",
                                                     "[Links]",
                                                     "LinkCount=1",
                                                     "[Link1]",
                                                     "Path=\"" + std::string(kDesktopLink) + "\"",
                                                     "[ProgramPath]",
                                                     "Path=\"C:\\Startmenü\\(kein)\"",
                                                 }));

  // A registry region that failed at its second entry of three counts three
  // entries and lists one: the values taken over come after the count.
  std::vector<std::string> failed = RecordLines({.files = {In("a.exe")}, .values = {kPfad}});
  for (std::string& line : failed) {
    if (line == "RegCount=1")
      line = "RegCount=3";
  }
  engine::Carried more;
  more.files = {In("b.txt")};
  more.values = {kAnsicht};
  const uninstall::UninstallRecord merged =
      uninstall::ParseUninstallRecord(engine::WithCarried(failed, more));
  EXPECT_EQ(merged.files, (std::vector<std::string>{In("a.exe"), In("b.txt")}));
  EXPECT_EQ(Names(merged.values),
            (std::vector<std::string>{"HKCU \\Software\\Firma\\Produkt Pfad",
                                      "HKCU \\Software\\Firma\\Produkt\\Alt Ansicht"}));
}

struct FoundCase {
  std::string name;
  // The run's copy of Uninstall.inf in the Windows directory; none when empty.
  std::vector<std::string> copy{};
  // Values of the product's uninstall entry.
  std::vector<std::pair<std::string, std::string>> entry{};
  // Where the installation is found; nullopt when it is not.
  std::optional<std::string> dir{};
  std::string version{};
  bool recorded = false;
};

void PrintTo(const FoundCase& row, std::ostream* out) {
  *out << row.name;
}

class Detection : public testing::TestWithParam<FoundCase> {};

TEST_P(Detection, FindsTheInstallationByTheRunsCopyOrItsUninstallEntryOnly) {
  const FoundCase& row = GetParam();
  platform::sim::SimPlatform sim;
  // A record in the folder alone tells nothing: any user may have put it there.
  sim.PutFile(In("Uninstall.inf"), "");
  if (!row.copy.empty()) {
    std::string text;
    for (const std::string& line : row.copy)
      text += line + "\r\n";
    sim.PutFile("C:\\Windows\\Inst_Produkt_remove.inf", sim.platform().system.Utf8ToAnsi(text));
  }
  for (const auto& [name, value] : row.entry)
    sim.PutRegString(RegRoot::LocalMachine, kEntry, name, value);

  const auto found = engine::FindEarlierInstallation(sim.platform(), "Produkt");
  ASSERT_EQ(found.has_value(), row.dir.has_value());
  if (!found)
    return;
  EXPECT_EQ(found->dir, *row.dir);
  EXPECT_EQ(found->version, row.version);
  EXPECT_EQ(found->record.has_value(), row.recorded);
}

std::vector<std::string> CopyWith(const std::string& start, const std::string& line) {
  std::vector<std::string> lines = RecordLines({.files = {In("a.exe")}});
  for (std::string& each : lines) {
    if (each.starts_with(start))
      each = line;
  }
  return lines;
}

INSTANTIATE_TEST_SUITE_P(
    Update, Detection,
    testing::Values(
        FoundCase{.name = "TheRunsCopy",
                  .copy = RecordLines({.files = {In("a.exe")}}),
                  .entry = {{"InstallLocation", "C:\\Anderswo"}, {"DisplayVersion", "9.9"}},
                  .dir = kMain,
                  .version = "1.2",
                  .recorded = true},
        FoundCase{.name = "TheUninstallEntryOfAnOlderSetup",
                  .entry = {{"InstallLocation", "C:\\Alt\\Produkt"}, {"DisplayVersion", "1.0"}},
                  .dir = "C:\\Alt\\Produkt",
                  .version = "1.0"},
        FoundCase{.name = "TheUninstallStringAlone",
                  .entry = {{"UninstallString",
                             "\"C:\\Windows\\Inst_Produkt_remove.exe\" \"C:\\Alt\\Produkt\\"
                             "Uninstall.inf\""}},
                  .dir = "C:\\Alt\\Produkt"},
        FoundCase{.name = "ACopyWithoutTheSignature",
                  .copy = CopyWith("Signature=", "Signature=\"gefälscht\"")},
        FoundCase{.name = "ACopyOfAnotherProduct",
                  .copy = CopyWith("AppName=", "AppName=\"Anders\"")},
        FoundCase{.name = "ACopyWithARelativeFolder",
                  .copy = CopyWith("MainDir=", "MainDir=Produkt")},
        FoundCase{.name = "AnEntryWithARelativeFolder", .entry = {{"InstallLocation", "Produkt"}}},
        FoundCase{.name = "NeitherCopyNorEntry"}),
    [](const testing::TestParamInfo<FoundCase>& info) { return info.param.name; });

}  // namespace

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/Journal.h"
#include "engine/Recovery.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/ExampleUninstallInf.h"
#include "uninstall/RemovalPlan.h"
#include "uninstall/UninstallProgram.h"
#include "uninstall/UninstallRecord.h"

namespace uninstall {
namespace {

using platform::MsgAnswer;
using platform::MsgIcon;
using platform::RegRoot;

constexpr const char* kMain = "C:\\Programme\\Firma\\Produkt 2.1";
constexpr const char* kInf = "C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf";
constexpr const char* kCopy = "C:\\Windows\\Inst_Produkt_remove.exe";
// The run's copies of Uninstall.inf and of the list of created folders.
constexpr const char* kTrustedInf = "C:\\Windows\\Inst_Produkt_remove.inf";
constexpr const char* kTrustedList = "C:\\Windows\\Inst_Produkt_remove_extra.inf";
// UTF-8 here; the file holds it in the ANSI code page.
constexpr const char* kPrograms = "C:\\WINDOWS\\Startmenü\\Programme";
constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";

// The lines as the run writes them: Windows-1252, CR LF after every line.
std::string AnsiFile(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    for (size_t k = 0; k < line.size(); ++k) {
      const auto c = static_cast<unsigned char>(line[k]);
      if (c == 0xC3 && k + 1 < line.size()) {
        text += static_cast<char>(static_cast<unsigned char>(line[++k]) + 0x40);
      } else {
        text += line[k];
      }
    }
    text += "\r\n";
  }
  return text;
}

std::string In(const std::string& relative) {
  return std::string(kMain) + "\\" + relative;
}

// Replaces the line that starts with `start` (up to its '=').
std::vector<std::string> With(std::vector<std::string> lines, const std::string& start,
                              const std::string& replacement) {
  for (std::string& line : lines) {
    if (line.starts_with(start + "=") || line == start)
      line = replacement;
  }
  return lines;
}

// What the closing message says after the line of what was removed; empty
// when nothing stayed.
std::string WhatStayed(const std::string& closing) {
  const size_t removed = closing.find("\n\nEntfernt: ");
  const size_t next = closing.find("\n\n", removed + 2);
  return removed == std::string::npos || next == std::string::npos ? std::string()
                                                                   : closing.substr(next + 2);
}

class RecordingView : public RemovalView {
 public:
  void Open(std::string_view caption, int steps) override {
    events.push_back("open " + std::string(caption) + " " + std::to_string(steps));
  }
  void SetStatus(std::string_view text) override { events.push_back(std::string(text)); }
  void SetProgress(int done) override { last = done; }
  void Finish() override { events.push_back("finish"); }

  std::vector<std::string> events;
  int last = 0;
};

// A machine with the example product installed as the run leaves it, and
// things of others around it.
class Uninstaller : public testing::Test {
 protected:
  Uninstaller() {
    sim_.SetSpecialFolder(platform::SpecialFolder::Programs, kPrograms);
    sim_.PutRegString(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                      "ProgramFilesDir", "C:\\Programme");
    Install(testing_support::ExampleUninstallLines());
  }

  void Install(const std::vector<std::string>& lines) {
    const std::string main = kMain;
    Put(main + "\\produkt.exe");
    Put(main + "\\liesmich.txt");
    MakeFolder(main + "\\Daten");
    Put(std::string(kPrograms) + "\\Firma\\Produkt\\Produkt.lnk");
    Put(std::string(kPrograms) + "\\Firma\\Produkt\\Produkt 2.1 deinstallieren.lnk");
    Put(kCopy);
    Record(lines);
    sim_.PutRegString(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Pfad", main);
    sim_.PutRegString(RegRoot::LocalMachine, kUninstallKey, "DisplayName", "Produkt 2.1");
    sim_.PutRegString(RegRoot::LocalMachine, kUninstallKey, "UninstallString",
                      "\"" + std::string(kCopy) + "\" \"" + kInf + "\"");
    // What Apps & Features shows besides.
    sim_.PutRegString(RegRoot::LocalMachine, kUninstallKey, "InstallLocation", main);
    sim_.PutRegDWord(RegRoot::LocalMachine, kUninstallKey, "EstimatedSize", 4);
    sim_.PutRegDWord(RegRoot::LocalMachine, kUninstallKey, "NoRepair", 1);
    sim_.PutRegString(RegRoot::LocalMachine, kUninstallKey, "QuietUninstallString",
                      "\"" + std::string(kCopy) + "\" \"" + kInf + "\" /silent");
    sim_.PutRegString(RegRoot::LocalMachine, "Software\\Firma\\Produkt\\2.1", "Company", "Firma");
    sim_.PutRegString(RegRoot::LocalMachine, "Software\\Firma\\Produkt\\2.1", "Name", "Anna");
    // Others' things beside the product's.
    Put("C:\\Programme\\Firma\\Anderes\\anderes.exe");
    Put(std::string(kPrograms) + "\\Firma\\Anderes.lnk");
    Put("C:\\Windows\\win.ini");
    Put("C:\\Windows\\notepad.exe");
    Put("C:\\autoexec.bat");
    sim_.PutRegString(RegRoot::CurrentUser, "Software\\Firma\\Anderes", "Pfad", "x");
    sim_.PutRegString(RegRoot::LocalMachine,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Anderes",
                      "DisplayName", "Anderes");
  }

  // Uninstall.inf as the run leaves it: in `inf` and as its copy beside the
  // uninstaller's copy, named by the AppName of its lines.
  void Record(const std::vector<std::string>& lines, const std::string& inf = kInf) {
    sim_.PutFile(inf, AnsiFile(lines));
    std::string appName = "1";
    for (const std::string& line : lines) {
      if (line.starts_with("AppName=\"") && line.size() > 10)
        appName = line.substr(9, line.size() - 10);
    }
    sim_.PutFile("C:\\Windows\\Inst_" + appName + "_remove.inf", AnsiFile(lines));
  }

  // An Uninstall.inf changed after the run: the run's copy stays as it was.
  void Forge(const std::vector<std::string>& lines) { sim_.PutFile(kInf, AnsiFile(lines)); }

  // The list of created folders as the run leaves it: beside Uninstall.inf
  // in `mainDir` and as its copy.
  void CreatedFolders(const std::string& list, const std::string& mainDir = kMain) {
    sim_.PutFile(mainDir + "\\UninstallExtra.inf", list);
    sim_.PutFile(kTrustedList, list);
  }

  void Put(const std::string& path) { sim_.PutFile(path, "Inhalt von " + path); }

  void MakeFolder(const std::string& path) {
    for (size_t k = path.find('\\', 3); k != std::string::npos; k = path.find('\\', k + 1))
      sim_.platform().files.CreateDirectory(path.substr(0, k));
    sim_.platform().files.CreateDirectory(path);
  }

  int Run(std::vector<std::string> arguments) {
    sim_.SetModulePath(kCopy);
    sim_.SetArguments(std::move(arguments));
    return RunUninstaller(sim_.platform(), view_);
  }

  bool Exists(const std::string& path) {
    return sim_.platform().files.FileExists(path) || sim_.platform().files.DirectoryExists(path);
  }

  void ExpectOthersUntouched() {
    for (const char* path :
         {"C:\\Programme\\Firma\\Anderes\\anderes.exe", "C:\\Windows\\win.ini",
          "C:\\Windows\\notepad.exe", "C:\\autoexec.bat", "C:\\Windows\\System32"}) {
      EXPECT_TRUE(Exists(path)) << path;
    }
    EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Firma\\Anderes.lnk"));
    EXPECT_TRUE(sim_.RegString(RegRoot::CurrentUser, "Software\\Firma\\Anderes", "Pfad"));
    EXPECT_TRUE(sim_.RegKeyExists(
        RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Anderes"));
  }

  void ExpectProductUntouched() {
    for (const std::string& path :
         {std::string(kMain) + "\\produkt.exe", std::string(kMain) + "\\liesmich.txt",
          std::string(kInf), std::string(kMain) + "\\Daten", std::string(kCopy)}) {
      EXPECT_TRUE(Exists(path)) << path;
    }
    EXPECT_TRUE(sim_.RegString(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Pfad"));
    EXPECT_TRUE(sim_.RegKeyExists(RegRoot::LocalMachine, kUninstallKey));
  }

  platform::sim::SimPlatform sim_;
  RecordingView view_;
};

TEST_F(Uninstaller, ThePlanUndoesTheExampleRunInReverseOrder) {
  const UninstallRecord record = ReadUninstallRecord(sim_.platform(), kTrustedInf, kTrustedList);
  EXPECT_EQ(record.ProductTitle(), "Produkt 2.1");
  EXPECT_EQ(record.files, (std::vector<std::string>{std::string(kMain) + "\\produkt.exe",
                                                    std::string(kMain) + "\\liesmich.txt"}))
      << "[ExtraFiles] repeats [Files]: each path once";
  const ProtectedFolders folders(sim_.platform());
  ASSERT_FALSE(RefuseRecord(record, kInf, folders));

  const RemovalPlan plan = MakeRemovalPlan(record, kInf, sim_.platform(), folders);
  std::vector<std::string> order;
  for (const Step& step : plan.steps) {
    order.push_back(step.kind == StepKind::RegistryValues
                        ? std::string(RootName(step.root)) + "\\" + step.key
                        : step.path);
  }
  const std::string programs = kPrograms;
  EXPECT_EQ(order, (std::vector<std::string>{
                       programs + "\\Firma\\Produkt\\Produkt.lnk",
                       programs + "\\Firma\\Produkt\\Produkt 2.1 deinstallieren.lnk",
                       programs + "\\Firma\\Produkt",
                       "HKEY_CURRENT_USER\\Software\\Firma\\Produkt",
                       "HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey),
                       "HKEY_LOCAL_MACHINE\\Software\\Firma\\Produkt\\2.1",
                       std::string(kMain) + "\\liesmich.txt",
                       std::string(kMain) + "\\produkt.exe",
                       kInf,
                       std::string(kMain) + "\\Daten",
                       kMain,
                       kCopy,
                       kTrustedInf,
                       kTrustedList,
                   }));
  EXPECT_TRUE(plan.skipped.empty());
}

TEST_F(Uninstaller, SilentlyRemovesEverythingTheFileRecordsAndNothingElse) {
  EXPECT_EQ(Run({kInf, "/SILENT"}), kRemoved);
  EXPECT_TRUE(sim_.Messages().empty()) << "no questions, no messages";
  EXPECT_TRUE(view_.events.empty()) << "no window";

  for (const std::string& path :
       {std::string(kMain), std::string(kCopy), std::string(kPrograms) + "\\Firma\\Produkt",
        std::string(kTrustedInf), std::string(kTrustedList)}) {
    EXPECT_FALSE(Exists(path)) << path;
  }
  EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Firma")) << "holds another product's shortcut";
  EXPECT_TRUE(Exists("C:\\Programme\\Firma")) << "the target's parent is not the product's";
  EXPECT_FALSE(sim_.RegKeyExists(RegRoot::CurrentUser, "Software\\Firma\\Produkt"));
  EXPECT_TRUE(sim_.RegKeyExists(RegRoot::CurrentUser, "Software\\Firma"));
  EXPECT_FALSE(sim_.RegKeyExists(RegRoot::LocalMachine, kUninstallKey));
  EXPECT_FALSE(sim_.RegKeyExists(RegRoot::LocalMachine, "Software\\Firma"))
      << "the emptied vendor key goes with its empty parents";
  EXPECT_TRUE(sim_.RegKeyExists(RegRoot::LocalMachine, "Software"));
  EXPECT_TRUE(sim_.RestartDeletes().empty());
  ExpectOthersUntouched();
}

// A setup of a new version whose process died while it replaced the
// product's files.
class AfterAKilledSetup : public Uninstaller {
 protected:
  AfterAKilledSetup() {
    auto& files = sim_.platform().files;
    const std::string main = kMain;
    files.CreateDirectory(kWork);
    engine::NoteRunning(sim_.platform().registry, kWork);
    engine::Journal journal(files);
    journal.Open(kWork);
    journal.FileCreated(main + "\\neu.dll");
    files.WriteFile(main + "\\neu.dll", "Version 3");
    const std::string backup = journal.FileReplaced(main + "\\produkt.exe");
    files.MoveFile(main + "\\produkt.exe", backup, false);
    files.WriteFile(main + "\\produkt.exe", "Version 3, halb");
  }

  static constexpr const char* kWork = "C:\\Windows\\Temp\\tewol_inst";
};

TEST_F(AfterAKilledSetup, TheUninstallerFirstUndoesThatRunThenRemovesTheProductWhole) {
  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_FALSE(Exists(kMain)) << "the file of the dead run went too";
  EXPECT_FALSE(Exists(kWork));
  EXPECT_FALSE(engine::RunsNoted(sim_.platform().registry));
  ExpectOthersUntouched();
}

TEST_F(AfterAKilledSetup, WhileASetupRunsItsRunsAreItsOwn) {
  sim_.HoldLockElsewhere(engine::kSingleInstanceLock);
  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_TRUE(Exists(std::string(kMain) + "\\neu.dll"));
  EXPECT_TRUE(engine::RunsNoted(sim_.platform().registry));
}

TEST_F(Uninstaller, AsksNamingTheProductShowsProgressAndSaysWhatWasLeft) {
  Put(std::string(kMain) + "\\Daten\\meine Notizen.txt");
  EXPECT_EQ(Run({kInf}), kRemoved);

  ASSERT_EQ(sim_.Messages().size(), 2u);
  const auto& question = sim_.Messages()[0];
  EXPECT_EQ(question.caption, "Produkt 2.1 deinstallieren");
  EXPECT_EQ(question.text,
            "Möchten Sie Produkt 2.1 und alle seine Bestandteile von diesem Computer entfernen?");
  EXPECT_EQ(question.icon, MsgIcon::Question);
  ASSERT_GE(view_.events.size(), 3u);
  EXPECT_EQ(view_.events.front(), "open Produkt 2.1 wird deinstalliert 14");
  EXPECT_EQ(view_.events[1], "Verknüpfung wird entfernt: " + std::string(kPrograms) +
                                 "\\Firma\\Produkt\\Produkt.lnk");
  EXPECT_EQ(view_.events.back(), "finish");
  EXPECT_EQ(view_.last, 14);

  const auto& closing = sim_.Messages()[1];
  EXPECT_EQ(closing.icon, MsgIcon::Information);
  EXPECT_EQ(closing.text,
            "Produkt 2.1 wurde von diesem Computer entfernt, bis auf das Folgende.\n\n"
            "Entfernt: 2 Dateien, 2 Verknüpfungen, 1 Ordner, 9 Registrierungseinträge.\n\n"
            "Erhalten geblieben, weil sie Dateien enthalten, die Sie selbst angelegt haben:\n" +
                std::string(kMain) + "\\Daten\n" + kMain);
  EXPECT_TRUE(Exists(std::string(kMain) + "\\Daten\\meine Notizen.txt"));
  EXPECT_FALSE(Exists(std::string(kMain) + "\\produkt.exe"));
  EXPECT_FALSE(Exists(kInf));
}

constexpr const char* kCompany = "C:\\Programme\\Firma";
// The other product beside this one, as `removedFirst` takes it away.
const std::vector<std::string> kOtherProduct = {"C:\\Programme\\Firma\\Anderes\\anderes.exe",
                                                "C:\\Programme\\Firma\\Anderes"};
constexpr const char* kKeptFiles =
    "Erhalten geblieben, weil sie Dateien enthalten, die Sie selbst angelegt haben:\n";
constexpr const char* kKeptFolders =
    "Erhalten geblieben, weil sie Ordner enthalten, die nicht zu Produkt 2.1 gehören:\n";

// The list of created folders as the run writes it: UTF-8 with byte-order
// mark, CR LF.
std::string CreatedList(const std::vector<std::string>& folders) {
  std::string text =
      "\xEF\xBB\xBF[Created]\r\nFolderCount=" + std::to_string(folders.size()) + "\r\n";
  for (size_t n = 0; n < folders.size(); ++n)
    text += "Folder" + std::to_string(n + 1) + "=" + folders[n] + "\r\n";
  return text;
}

struct LeftoverCase {
  const char* name = "";
  /// Files of the user or of others, put before the removal.
  std::vector<std::string> files = {};
  std::vector<std::string> emptyFolders = {};
  /// Taken away before the removal.
  std::vector<std::string> removedFirst = {};
  /// Folders Windows will not let go.
  std::vector<std::string> denied = {};
  /// UninstallExtra.inf; none when nullopt.
  std::optional<std::string> createdList = {};
  std::vector<std::string> gone = {};
  std::vector<std::string> stay = {};
  /// The closing message after its line of what was removed.
  std::string leftovers = {};
};

void PrintTo(const LeftoverCase& c, std::ostream* out) {
  *out << c.name;
}

// The example installation with a third file in folders the run made for it
// and the log of an unattended run.
class Leftovers : public Uninstaller, public testing::WithParamInterface<LeftoverCase> {
 protected:
  Leftovers() {
    std::vector<std::string> lines =
        With(testing_support::ExampleUninstallLines(), "FileCount", "FileCount=3");
    lines = With(lines, "File2", "File2=" + In("liesmich.txt") + "\r\nFile3=" + In(kPicture));
    lines = With(lines, "ExtraCount", "ExtraCount=3");
    lines = With(lines, "ExFile2", "ExFile2=" + In("liesmich.txt") + "\r\nExFile3=" + In(kPicture));
    Record(lines);
    Put(In(kPicture));
    sim_.PutFile(In("Setup.log"),
                 "\xEF\xBB\xBFUnbeaufsichtigte Installation von Produkt 2.1\r\nErgebnis: 0\r\n");
  }

  static constexpr const char* kPicture = "Hilfe\\Bilder\\bild.png";
};

TEST_P(Leftovers, OnlyWhatHoldsSomethingNotInstalledStaysAndTheMessageSaysWhy) {
  const LeftoverCase& c = GetParam();
  for (const std::string& file : c.files)
    sim_.PutFile(file, "von Anna");
  for (const std::string& folder : c.emptyFolders)
    MakeFolder(folder);
  for (const std::string& path : c.removedFirst) {
    sim_.platform().files.DeleteFile(path);
    sim_.platform().files.RemoveDirectory(path);
  }
  for (const std::string& folder : c.denied)
    sim_.DenyWrites(folder);
  if (c.createdList)
    CreatedFolders(*c.createdList);

  EXPECT_EQ(Run({kInf}), kRemoved);
  for (const std::string& path : c.gone)
    EXPECT_FALSE(Exists(path)) << path;
  for (const std::string& path : c.stay)
    EXPECT_TRUE(Exists(path)) << path;
  for (const char* ours : {"produkt.exe", "liesmich.txt", "Hilfe\\Bilder\\bild.png",
                           "Uninstall.inf", "UninstallExtra.inf"}) {
    EXPECT_FALSE(sim_.platform().files.FileExists(In(ours))) << ours;
  }
  EXPECT_TRUE(Exists("C:\\Programme")) << "the program files folder";
  ASSERT_EQ(sim_.Messages().size(), 2u);
  const std::string& closing = sim_.Messages()[1].text;
  EXPECT_EQ(WhatStayed(closing), c.leftovers) << closing;
  EXPECT_EQ(closing.starts_with("Produkt 2.1 wurde vollständig"), c.leftovers.empty()) << closing;
}

INSTANTIATE_TEST_SUITE_P(
    Uninstaller, Leftovers,
    testing::Values(
        LeftoverCase{.name = "EverythingOfTheRunGoesTheCompanyFolderIsNotTouchedWithoutAList",
                     .gone = {kMain},
                     .stay = {kCompany}},
        LeftoverCase{.name = "TheUsersFileBesideTheLogStays",
                     .files = {In("meine Notizen.txt")},
                     .gone = {In("Setup.log"), In("Hilfe"), In("Daten")},
                     .stay = {In("meine Notizen.txt")},
                     .leftovers = kKeptFiles + std::string(kMain)},
        LeftoverCase{.name = "ALogTheRunDidNotWriteStays",
                     .files = {In("Setup.log")},
                     .stay = {In("Setup.log")},
                     .leftovers = kKeptFiles + std::string(kMain)},
        LeftoverCase{
            .name = "AUsersFileKeepsTheFoldersThatHoldIt",
            .files = {In("Hilfe\\Bilder\\meins.png")},
            .gone = {In("Daten")},
            .stay = {In("Hilfe\\Bilder\\meins.png")},
            .leftovers = kKeptFiles + In("Hilfe\\Bilder") + "\n" + In("Hilfe") + "\n" + kMain},
        LeftoverCase{.name = "AnEmptyFolderTheRunDidNotMakeStays",
                     .emptyFolders = {In("Hilfe\\Neuer Ordner")},
                     .gone = {In("Daten")},
                     .stay = {In("Hilfe\\Neuer Ordner")},
                     .leftovers = kKeptFolders + In("Hilfe") + "\n" + kMain},
        LeftoverCase{
            .name = "AFolderWindowsWillNotRemove",
            .denied = {In("Daten")},
            .gone = {In("Hilfe")},
            .leftovers = "Erhalten geblieben, weil Windows das Entfernen verweigert hat:\n" +
                         In("Daten") + "\n" + kMain},
        LeftoverCase{.name = "TheProgramFoldersEmptyParentStaysWhenTheRunDidNotMakeIt",
                     .removedFirst = {std::string(kPrograms) + "\\Firma\\Anderes.lnk"},
                     .gone = {kMain, std::string(kPrograms) + "\\Firma\\Produkt"},
                     .stay = {std::string(kPrograms) + "\\Firma"}},
        LeftoverCase{.name = "TheProgramFoldersEmptyParentGoesWhenTheRunMadeIt",
                     .removedFirst = {std::string(kPrograms) + "\\Firma\\Anderes.lnk"},
                     .createdList = CreatedList({kPrograms, std::string(kPrograms) + "\\Firma",
                                                 std::string(kPrograms) + "\\Firma\\Produkt"}),
                     .gone = {std::string(kPrograms) + "\\Firma"},
                     .stay = {kPrograms}},
        LeftoverCase{.name = "TheEmptyCompanyFolderAndEveryListedFolderGo",
                     .emptyFolders = {In("Protokolle")},
                     .removedFirst = kOtherProduct,
                     .createdList = CreatedList({kCompany, kMain, In("Hilfe"), In("Hilfe\\Bilder"),
                                                 In("Protokolle")}),
                     .gone = {kCompany}},
        LeftoverCase{.name = "TheCompanyFolderWithAnotherProductStays",
                     .createdList = CreatedList({kCompany, kMain}),
                     .gone = {kMain},
                     .stay = {kOtherProduct.front()},
                     .leftovers = kKeptFolders + std::string(kCompany)},
        LeftoverCase{.name = "TheCompanyFolderStaysWithTheUsersFileInTheProduct",
                     .files = {In("meine Notizen.txt")},
                     .removedFirst = kOtherProduct,
                     .createdList = CreatedList({kCompany, kMain}),
                     .stay = {In("meine Notizen.txt")},
                     .leftovers = kKeptFiles + std::string(kMain) + "\n" + kCompany},
        LeftoverCase{
            .name = "ForgedEntriesAreLeftAlone",
            .emptyFolders = {"C:\\Leer"},
            .removedFirst = kOtherProduct,
            .createdList = CreatedList({"C:\\", "C:\\Windows\\System32", "C:\\Programme", kCompany,
                                        "C:\\Leer", "Produkt 2.1", "..", In("..")}),
            .gone = {kCompany},
            .stay = {"C:\\Windows\\System32", "C:\\Leer"},
            .leftovers = "Zur Sicherheit nicht angetastet:\n"
                         "Ordner \"" +
                         In("..") +
                         "\": enthält \".\" oder \"..\"\n"
                         "Ordner \"..\": kein vollständiger Pfad mit Laufwerk\n"
                         "Ordner \"Produkt 2.1\": kein vollständiger Pfad mit Laufwerk\n"
                         "Ordner \"C:\\Programme\": Ordner des Systems\n"
                         "Ordner \"C:\\\": Ordner des Systems"},
        LeftoverCase{.name = "AListThatIsNoneChangesNothing",
                     .removedFirst = kOtherProduct,
                     .createdList = "\xEF\xBB\xBF[Created]\r\nFolderCount=zwei\r\nFolder1=" +
                                    std::string(kCompany) + "\r\n" + std::string("\0\xFF", 2),
                     .gone = {kMain},
                     .stay = {kCompany}}),
    [](const testing::TestParamInfo<LeftoverCase>& info) { return info.param.name; });

TEST_F(Uninstaller, TheListOfCreatedFoldersIsReadAsUtf8) {
  // Uninstall.inf holds the installation folder in the ANSI code page, the
  // list in UTF-8: both name the same folder.
  const std::string company = "C:\\Programme\\Müller & Söhne";
  const std::string main = company + "\\Produkt 2.1";
  std::vector<std::string> lines;
  for (std::string line : testing_support::ExampleUninstallLines()) {
    if (const size_t at = line.find(kMain); at != std::string::npos)
      line.replace(at, std::string(kMain).size(), main);
    lines.push_back(line);
  }
  const std::string inf = main + "\\Uninstall.inf";
  Record(lines, inf);
  Put(main + "\\produkt.exe");
  CreatedFolders(CreatedList({company, main}), main);

  EXPECT_EQ(Run({inf, "/silent"}), kRemoved);
  EXPECT_FALSE(Exists(company));
}

TEST_F(Uninstaller, MachineKeysAUserMayNotChangeAreReportedAsLeft) {
  sim_.DenyRegistryRoot(RegRoot::LocalMachine);
  EXPECT_EQ(Run({kInf}), kRefusedOrFailed);
  EXPECT_TRUE(sim_.RegKeyExists(RegRoot::LocalMachine, kUninstallKey));
  ASSERT_EQ(sim_.Messages().size(), 2u);
  EXPECT_NE(sim_.Messages()[1].text.find("HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey) +
                                         " (kein Zugriff)"),
            std::string::npos)
      << sim_.Messages()[1].text;
  EXPECT_FALSE(Exists(std::string(kMain) + "\\produkt.exe")) << "the files go all the same";
}

TEST_F(Uninstaller, NoChangesNothing) {
  sim_.QueueAnswers({MsgAnswer::No});
  EXPECT_EQ(Run({kInf}), kCancelled);
  EXPECT_EQ(sim_.Messages().size(), 1u);
  EXPECT_TRUE(view_.events.empty());
  ExpectProductUntouched();
}

TEST_F(Uninstaller, AFileInUseIsDeletedAtTheNextRestart) {
  const std::string exe = std::string(kMain) + "\\produkt.exe";
  {
    const auto running = sim_.platform().files.OpenRead(exe);
    ASSERT_NE(running, nullptr);
    EXPECT_EQ(Run({kInf}), kRemoved);
  }
  EXPECT_EQ(sim_.RestartDeletes(), std::vector<std::string>{exe});
  EXPECT_TRUE(Exists(exe)) << "until the restart";
  EXPECT_FALSE(Exists(std::string(kMain) + "\\liesmich.txt"));
  ASSERT_EQ(sim_.Messages().size(), 2u);
  EXPECT_EQ(WhatStayed(sim_.Messages()[1].text),
            "Noch in Gebrauch, wird beim nächsten Neustart von Windows gelöscht:\n" + exe +
                "\n\nErhalten geblieben, weil Dateien darin noch nicht gelöscht werden konnten:\n" +
                kMain);
}

TEST_F(Uninstaller, EdgeCasesOfTheFileRemoveWhatIsThere) {
  // No [Registry], a skipped link (its [Link1] has no Path), no program
  // folder chosen, and counts larger than the lines present.
  std::vector<std::string> lines = testing_support::ExampleUninstallLines();
  lines.erase(lines.begin() + 23, lines.begin() + 29);
  lines = With(lines, "FileCount", "FileCount=40");
  lines = With(lines, "ExtraCount", "ExtraCount=2147483647");
  lines = With(lines, "DirCount", "DirCount=9");
  lines = With(lines, "LinkCount", "LinkCount=7");
  lines =
      With(lines, "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt.lnk\"", "");
  lines = With(lines, "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\"",
               "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\(kein)\"");
  Record(lines);

  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_FALSE(Exists(kMain));
  EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Firma\\Produkt\\Produkt.lnk"))
      << "not recorded, not removed";
  EXPECT_FALSE(Exists(std::string(kPrograms) + "\\Firma\\Produkt\\Produkt 2.1 deinstallieren.lnk"));
  EXPECT_TRUE(sim_.RegString(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Pfad"))
      << "no [Registry], no registry value removed";
  EXPECT_FALSE(sim_.RegKeyExists(RegRoot::LocalMachine, kUninstallKey));
  ExpectOthersUntouched();
}

struct RefusedCase {
  const char* name;
  std::vector<std::string> arguments;
  std::vector<std::string> lines;
  const char* says;
};

class RefusedFile : public Uninstaller, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFile, ChangesNothingAndSaysWhy) {
  const RefusedCase& c = GetParam();
  if (!c.lines.empty())
    Record(c.lines);
  EXPECT_EQ(Run(c.arguments), kRefusedOrFailed);
  ASSERT_EQ(sim_.Messages().size(), 1u);
  EXPECT_EQ(sim_.Messages()[0].icon, MsgIcon::Error);
  EXPECT_NE(sim_.Messages()[0].text.find(c.says), std::string::npos) << sim_.Messages()[0].text;
  EXPECT_NE(sim_.Messages()[0].text.find("Es wurde nichts verändert."), std::string::npos);
  ExpectProductUntouched();
  ExpectOthersUntouched();

  sim_.SetArguments({});
  std::vector<std::string> silent = c.arguments;
  silent.push_back("/silent");
  EXPECT_EQ(Run(silent), kRefusedOrFailed);
  EXPECT_EQ(sim_.Messages().size(), 1u) << "silent: no message";
}

const std::vector<std::string> kExample = testing_support::ExampleUninstallLines();

INSTANTIATE_TEST_SUITE_P(
    Uninstaller, RefusedFile,
    testing::Values(
        RefusedCase{"NoArgument", {}, {}, "Uninstall.inf"},
        RefusedCase{"MissingFile", {"C:\\Nirgends\\Uninstall.inf"}, {}, "nicht gefunden"},
        RefusedCase{"WrongSignature",
                    {kInf},
                    With(kExample, "Signature", "Signature=\"#$Anders$#\""),
                    "keine Deinstallationsdatei"},
        RefusedCase{"NoSignature", {kInf}, With(kExample, "Signature", ";"), "beschädigt"},
        RefusedCase{"DriveRoot", {kInf}, With(kExample, "MainDir", "MainDir=C:\\"), "System"},
        RefusedCase{
            "WindowsDirectory", {kInf}, With(kExample, "MainDir", "MainDir=C:\\Windows"), "System"},
        RefusedCase{"BelowWindows",
                    {kInf},
                    With(kExample, "MainDir", "MainDir=c:\\windows\\Fonts"),
                    "Windows-Ordner"},
        RefusedCase{"DotDot",
                    {kInf},
                    With(kExample, "MainDir", "MainDir=C:\\Programme\\..\\Windows"),
                    "\"..\""},
        RefusedCase{"Relative", {kInf}, With(kExample, "MainDir", "MainDir=Produkt"), "Laufwerk"},
        RefusedCase{"Device", {kInf}, With(kExample, "MainDir", "MainDir=C:\\NUL"), "Gerät"},
        RefusedCase{
            "ShortName", {kInf}, With(kExample, "MainDir", "MainDir=C:\\WINDOW~1"), "Kurznamen"},
        RefusedCase{
            "UserProfile", {kInf}, With(kExample, "MainDir", "MainDir=C:\\Users\\Sim"), "System"},
        RefusedCase{"NoMainDir", {kInf}, With(kExample, "MainDir", ""), "Laufwerk"}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST_F(Uninstaller, HostileItemsAreSkippedWithANote) {
  std::vector<std::string> lines = testing_support::ExampleUninstallLines();
  lines = With(lines, "FileCount", "FileCount=6");
  lines = With(lines, "File2",
               "File2=C:\\Windows\\win.ini\r\nFile3=C:\\Programme\\Firma\\Produkt "
               "2.1\\..\\Anderes\\anderes.exe\r\nFile4=liesmich.txt\r\nFile5=C:\\Programme\\Firma\\"
               "Produkt 2.1\\CON\r\nFile6=C:\\autoexec.bat");
  lines = With(lines, "Dir1", "Dir1=C:\\Windows");
  lines = With(lines, "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt.lnk\"",
               "Path=\"C:\\Windows\\notepad.exe\"");
  lines = With(lines, "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\"",
               "Path=\"C:\\WINDOWS\\Startmenü\\Programme\"");
  Record(lines);

  EXPECT_EQ(Run({kInf}), kRemoved);
  ExpectOthersUntouched();
  EXPECT_TRUE(Exists(kPrograms));
  EXPECT_FALSE(Exists(std::string(kMain) + "\\produkt.exe"));
  const std::string& closing = sim_.Messages().back().text;
  for (const char* note :
       {"Zur Sicherheit nicht angetastet:",
        "Datei \"C:\\autoexec.bat\": liegt nicht im Installationsverzeichnis",
        "Datei \"liesmich.txt\": kein vollständiger Pfad mit Laufwerk",
        "Produkt 2.1\\CON\": nennt ein Gerät", "Verknüpfung \"C:\\Windows\\notepad.exe\": keine",
        "Ordner \"C:\\Windows\": gehört nicht zum Installationsverzeichnis",
        "Programmordner \"C:\\WINDOWS\\Startmenü\\Programme\": Ordner des Systems"}) {
    EXPECT_NE(closing.find(note), std::string::npos) << note << "\n" << closing;
  }
}

TEST_F(Uninstaller, AnotherInstallationsUninstallEntryAndCopyStay) {
  sim_.PutRegString(RegRoot::LocalMachine, kUninstallKey, "UninstallString",
                    "\"" + std::string(kCopy) + "\" \"D:\\Neu\\Uninstall.inf\"");
  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_EQ(sim_.RegString(RegRoot::LocalMachine, kUninstallKey, "DisplayName"), "Produkt 2.1");
  EXPECT_TRUE(Exists(kCopy));
  EXPECT_FALSE(Exists(kMain));
}

TEST_F(Uninstaller, OnlyTheWebUpdateEntryOfThisInstallationGoes) {
  std::vector<std::string> lines =
      With(testing_support::ExampleUninstallLines(), "Marrowlink", "Marrowlink=1");
  lines = With(lines, "[Links]", "[Marrowlink]\r\nProgramID=PRD-21\r\n[Links]");
  Record(lines);
  const std::string web = "Software\\Vormek\\TW_UPD_WEB";
  sim_.PutRegString(RegRoot::LocalMachine, web, "SetupCount", "5");
  for (const auto& [entry, path] : {std::pair{"Program4", "D:\\Woanders"}, {"Program5", kMain}}) {
    sim_.PutRegString(RegRoot::LocalMachine, web + "\\" + entry, "UpdateID", "PRD-21");
    sim_.PutRegString(RegRoot::LocalMachine, web + "\\" + entry, "InstallPath", path);
    sim_.PutRegString(RegRoot::LocalMachine, web + "\\" + entry, "Asked", "3");
  }
  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_FALSE(sim_.RegKeyExists(RegRoot::LocalMachine, web + "\\Program5"));
  EXPECT_TRUE(sim_.RegString(RegRoot::LocalMachine, web + "\\Program4", "Asked"));
  EXPECT_EQ(sim_.RegString(RegRoot::LocalMachine, web, "SetupCount"), "5")
      << "numbers are never used again";
}

TEST_F(Uninstaller, AnInstallationWithoutTheRunsCopyIsRefusedUntilItIsInstalledAgain) {
  sim_.platform().files.DeleteFile(kTrustedInf);
  const std::string before = sim_.Describe();
  EXPECT_EQ(Run({kInf}), kRefusedOrFailed);
  EXPECT_EQ(sim_.Describe(), before);
  ASSERT_EQ(sim_.Messages().size(), 1u);
  EXPECT_EQ(sim_.Messages()[0].caption, "Deinstallation");
  EXPECT_EQ(sim_.Messages()[0].text,
            "\"C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf\" kann nicht verwendet werden.\n\n"
            "Die geschützte Kopie \"C:\\Windows\\Inst_Produkt_remove.inf\", die Setup bei jeder "
            "Installation im Windows-Ordner ablegt, fehlt. Ohne sie lässt sich nicht prüfen, ob "
            "die Datei seit der Installation verändert wurde. Die Installation stammt vielleicht "
            "von einem älteren Setup.\n\n"
            "Installieren Sie Produkt 2.1 noch einmal in dasselbe Verzeichnis und entfernen Sie es "
            "danach, oder entfernen Sie es von Hand.\n\n"
            "Es wurde nichts verändert.");

  // What the message advises: the run writes the file and its copy anew.
  Record(testing_support::ExampleUninstallLines());
  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_FALSE(Exists(kMain));
  EXPECT_FALSE(Exists(kTrustedInf));
}

TEST_F(Uninstaller, AFileChangedSinceTheRunIsRefusedAndChangesNothing) {
  // One blank more than the run wrote.
  Forge(With(testing_support::ExampleUninstallLines(), "Version", "Version=\"2.1 \""));
  const std::string before = sim_.Describe();
  EXPECT_EQ(Run({kInf}), kRefusedOrFailed);
  EXPECT_EQ(sim_.Describe(), before);
  ASSERT_EQ(sim_.Messages().size(), 1u);
  EXPECT_EQ(sim_.Messages()[0].icon, MsgIcon::Error);
  EXPECT_EQ(sim_.Messages()[0].text,
            "\"C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf\" kann nicht verwendet werden.\n\n"
            "Die Datei stimmt nicht mit der geschützten Kopie "
            "\"C:\\Windows\\Inst_Produkt_remove.inf\" überein, die Setup bei der Installation im "
            "Windows-Ordner abgelegt hat: Sie wurde seit der Installation verändert.\n\n"
            "Installieren Sie Produkt 2.1 noch einmal in dasselbe Verzeichnis und entfernen Sie "
            "es danach, oder entfernen Sie es von Hand.\n\n"
            "Es wurde nichts verändert.");
}

TEST_F(Uninstaller, TheCreatedFoldersAreReadFromTheRunsCopyOnly) {
  for (const std::string& path : kOtherProduct) {
    sim_.platform().files.DeleteFile(path);
    sim_.platform().files.RemoveDirectory(path);
  }
  MakeFolder("C:\\Leer");
  CreatedFolders(CreatedList({kMain}));
  // Changed beside Uninstall.inf after the run.
  sim_.PutFile(In("UninstallExtra.inf"), CreatedList({"C:\\Leer", kCompany, kMain}));

  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  EXPECT_FALSE(Exists(kMain));
  EXPECT_TRUE(Exists(kCompany));
  EXPECT_TRUE(Exists("C:\\Leer"));
  EXPECT_FALSE(Exists(kTrustedList));
}

TEST_F(Uninstaller, ShortcutsGoOnlyFromWhereTheRunPutsThem) {
  const std::string desktop = "C:\\Users\\Sim\\Desktop";
  const std::string sendTo = "C:\\Users\\Sim\\AppData\\Roaming\\Microsoft\\Windows\\SendTo";
  const std::string startup =
      "C:\\Users\\Sim\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\"
      "Programs\\Startup";
  sim_.SetSpecialFolder(platform::SpecialFolder::Startup, startup);
  const std::vector<std::string> removed = {desktop + "\\Produkt.lnk", sendTo + "\\Produkt.lnk",
                                            startup + "\\Produkt.lnk",
                                            std::string(kPrograms) + "\\Produkt.lnk"};
  const std::vector<std::string> kept = {desktop + "\\Ordner\\Produkt.lnk",
                                         "C:\\Users\\Sim\\Documents\\Produkt.lnk",
                                         "C:\\Users\\Anna\\Desktop\\Produkt.lnk"};
  std::string links = "LinkCount=" + std::to_string(removed.size() + kept.size());
  int n = 0;
  for (const auto* list : {&removed, &kept}) {
    for (const std::string& link : *list) {
      Put(link);
      links += "\r\n[Link" + std::to_string(++n) + "]\r\nPath=\"" + link + "\"";
    }
  }
  std::vector<std::string> lines = testing_support::ExampleUninstallLines();
  lines.erase(lines.begin() + 31, lines.begin() + 35);
  Record(With(lines, "LinkCount", links));

  EXPECT_EQ(Run({kInf}), kRemoved);
  for (const std::string& link : removed)
    EXPECT_FALSE(Exists(link)) << link;
  const std::string& closing = sim_.Messages().back().text;
  for (const std::string& link : kept) {
    EXPECT_TRUE(Exists(link)) << link;
    EXPECT_NE(closing.find("Verknüpfung \"" + link +
                           "\": liegt nicht im Startmenü, auf dem Desktop oder in „Senden an“"),
              std::string::npos)
        << closing;
  }
}

// After an update whose user chose another program folder, the record holds
// the shortcuts of the earlier program folder too: that folder goes with
// them when the run made it, as does no folder the run did not make and no
// folder of the system.
TEST_F(Uninstaller, AFolderOfRecordedShortcutsInTheStartMenuGoesWhenTheRunMadeIt) {
  const std::string earlier = std::string(kPrograms) + "\\Firma\\Produkt 2.0";
  const std::string foreign = std::string(kPrograms) + "\\Werkzeuge";
  const std::string startup = std::string(kPrograms) + "\\Autostart";
  sim_.SetSpecialFolder(platform::SpecialFolder::Startup, startup);
  const std::vector<std::string> links = {earlier + "\\Produkt.lnk", foreign + "\\Produkt.lnk",
                                          startup + "\\Produkt.lnk"};
  std::string section = "LinkCount=" + std::to_string(links.size());
  for (size_t n = 0; n < links.size(); ++n) {
    Put(links[n]);
    section += "\r\n[Link" + std::to_string(n + 1) + "]\r\nPath=\"" + links[n] + "\"";
  }
  std::vector<std::string> lines = testing_support::ExampleUninstallLines();
  lines.erase(lines.begin() + 31, lines.begin() + 35);
  Record(With(lines, "LinkCount", section));
  CreatedFolders(CreatedList({earlier, startup, std::string(kPrograms) + "\\Firma\\Produkt"}));

  EXPECT_EQ(Run({kInf, "/silent"}), kRemoved);
  for (const std::string& link : links)
    EXPECT_FALSE(Exists(link)) << link;
  EXPECT_FALSE(Exists(earlier));
  EXPECT_TRUE(Exists(foreign)) << "not made by the run";
  EXPECT_TRUE(Exists(startup)) << "a folder of the system";
  EXPECT_TRUE(Exists(std::string(kPrograms) + "\\Firma\\Anderes.lnk"));
}

struct RegVictim {
  RegRoot root;
  std::string key;
  std::string name;
};

// What the uninstaller makes of the same lines when the run wrote them.
enum class WhenTheRunWroteIt {
  /// The whole file is refused.
  Refused,
  /// The item is left alone and the closing message says so.
  Skipped,
  /// The item is what the run made: it goes.
  Removed,
};

struct ForgedCase {
  const char* name;
  /// The lines of the example record changed, as With changes them.
  std::vector<std::pair<std::string, std::string>> changes;
  /// What the forged file is after, made before the uninstaller runs.
  std::vector<std::string> files = {};
  std::vector<std::string> emptyFolders = {};
  std::vector<RegVictim> values = {};
  WhenTheRunWroteIt written = WhenTheRunWroteIt::Skipped;
  /// What the message says then.
  const char* says = "";
  /// What the refusal of the forged file says.
  const char* forgedSays = "geschützte";
};

void PrintTo(const ForgedCase& c, std::ostream* out) {
  *out << c.name;
}

class ForgedRecord : public Uninstaller, public testing::WithParamInterface<ForgedCase> {
 protected:
  bool VictimsThere() {
    bool there = true;
    for (const std::string& path : GetParam().files)
      there = there && sim_.platform().files.FileExists(path);
    for (const std::string& path : GetParam().emptyFolders)
      there = there && sim_.platform().files.DirectoryExists(path);
    for (const RegVictim& value : GetParam().values)
      there = there && sim_.RegString(value.root, value.key, value.name).has_value();
    return there;
  }
};

TEST_P(ForgedRecord, IsRefusedAndTheRunsOwnRecordReachesNoFurtherThanTheProduct) {
  const ForgedCase& c = GetParam();
  for (const std::string& path : c.files)
    Put(path);
  for (const std::string& path : c.emptyFolders)
    MakeFolder(path);
  for (const RegVictim& value : c.values)
    sim_.PutRegString(value.root, value.key, value.name, "von einem anderen Programm");
  std::vector<std::string> lines = testing_support::ExampleUninstallLines();
  for (const auto& [start, replacement] : c.changes)
    lines = With(lines, start, replacement);

  Forge(lines);
  std::string before = sim_.Describe();
  EXPECT_EQ(Run({kInf}), kRefusedOrFailed);
  EXPECT_EQ(sim_.Describe(), before) << "nothing changed";
  ASSERT_EQ(sim_.Messages().size(), 1u);
  EXPECT_NE(sim_.Messages()[0].text.find(c.forgedSays), std::string::npos)
      << sim_.Messages()[0].text;
  EXPECT_NE(sim_.Messages()[0].text.find("Es wurde nichts verändert."), std::string::npos);

  Record(lines);
  before = sim_.Describe();
  const int code = Run({kInf});
  const std::string& said = sim_.Messages().back().text;
  EXPECT_NE(said.find(c.says), std::string::npos) << said;
  switch (c.written) {
    case WhenTheRunWroteIt::Refused:
      EXPECT_EQ(code, kRefusedOrFailed);
      EXPECT_EQ(sim_.Messages().size(), 2u);
      EXPECT_EQ(sim_.Describe(), before);
      break;
    case WhenTheRunWroteIt::Skipped:
      EXPECT_EQ(code, kRemoved);
      EXPECT_TRUE(VictimsThere());
      EXPECT_NE(said.find("Zur Sicherheit nicht angetastet:"), std::string::npos) << said;
      EXPECT_FALSE(Exists(In("produkt.exe"))) << "the product's own items go";
      break;
    case WhenTheRunWroteIt::Removed:
      EXPECT_EQ(code, kRemoved);
      EXPECT_FALSE(VictimsThere());
      break;
  }
  ExpectOthersUntouched();
}

constexpr const char* kRun = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

INSTANTIATE_TEST_SUITE_P(
    Uninstaller, ForgedRecord,
    testing::Values(
        // The run wrote that very value: the product's own start goes with it.
        ForgedCase{.name = "AValueOfTheRunKey",
                   .changes = {{"Root", "Root=HKLM"},
                               {"Key", std::string("Key=") + kRun},
                               {"Title", "Title=Wächter"}},
                   .values = {{RegRoot::LocalMachine, kRun + 1, "Wächter"}},
                   .written = WhenTheRunWroteIt::Removed},
        ForgedCase{.name = "TheDefaultValueOfTheRunOnceKey",
                   .changes = {{"Key", std::string("Key=") + kRun + "Once"}, {"Title", "Title="}},
                   .values = {{RegRoot::CurrentUser, std::string(kRun + 1) + "Once", ""}},
                   .says = "Autostart-Eintrag ohne eigenen Namen"},
        ForgedCase{.name = "AnotherProductsUninstallString",
                   .changes = {{"Root", "Root=HKEY_LOCAL_MACHINE"},
                               {"Key",
                                "Key=\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                                "Anderes"},
                               {"Title", "Title=UninstallString"}},
                   .values = {{RegRoot::LocalMachine,
                               "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Anderes",
                               "UninstallString"}},
                   .says = "Eintrag eines anderen Programms in der Liste der installierten "
                           "Programme"},
        ForgedCase{.name = "TheSystemsEnvironment",
                   .changes = {{"Root", "Root=HKLM"},
                               {"Key",
                                "Key=System\\CurrentControlSet\\Control\\Session "
                                "Manager\\Environment"},
                               {"Title", "Title=Path"}},
                   .values = {{RegRoot::LocalMachine,
                               "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
                               "Path"}},
                   .says = "Einstellung von Windows"},
        ForgedCase{
            .name = "TheRegisteredOwner",
            .changes = {{"Root", "Root=HKLM"},
                        {"Key", "Key=\\Software\\Microsoft\\Windows NT\\CurrentVersion"},
                        {"Title", "Title=RegisteredOwner"}},
            .values = {{RegRoot::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion",
                        "RegisteredOwner"}},
            .says = "Einstellung von Windows"},
        ForgedCase{
            .name = "AShortcutInSystem32",
            .changes = {{"Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt.lnk\"",
                         "Path=\"C:\\Windows\\System32\\Eingabeaufforderung.lnk\""}},
            .files = {"C:\\Windows\\System32\\Eingabeaufforderung.lnk"},
            .says = "liegt nicht im Startmenü"},
        ForgedCase{
            .name = "AShortcutInTheUsersDocuments",
            .changes = {{"Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt.lnk\"",
                         "Path=\"C:\\Users\\Sim\\Documents\\Bericht.lnk\""}},
            .files = {"C:\\Users\\Sim\\Documents\\Bericht.lnk"},
            .says = "liegt nicht im Startmenü"},
        // Once the run of that name wrote it, it names its own copy.
        ForgedCase{
            .name = "AnotherProductsUninstallerCopy",
            .changes = {{"AppName", "AppName=\"Anderes\""}, {"StandardReg", "StandardReg=0"}},
            .files = {"C:\\Windows\\Inst_Anderes_remove.exe"},
            .written = WhenTheRunWroteIt::Removed},
        ForgedCase{.name = "AnAppNameLeadingOutOfTheWindowsDirectory",
                   .changes = {{"AppName", "AppName=\"x\\..\\..\\Anderes\""},
                               {"StandardReg", "StandardReg=0"}},
                   .files = {"C:\\Anderes_remove.exe"},
                   .written = WhenTheRunWroteIt::Refused,
                   .says = "Der Programmname (AppName) \"x\\..\\..\\Anderes\" ergibt keinen "
                           "einfachen Dateinamen",
                   .forgedSays = "Der Programmname"},
        ForgedCase{.name = "AnEmptyFolderElsewhere",
                   .changes = {{"Dir1", "Dir1=C:\\Leer"}},
                   .emptyFolders = {"C:\\Leer"},
                   .says = "Ordner \"C:\\Leer\": gehört nicht zum Installationsverzeichnis"},
        ForgedCase{.name = "AFolderWhoseNameOnlyStartsLikeTheInstallationFolder",
                   .changes = {{"Dir1", "Dir1=C:\\Programme\\Firma\\Produkt 2.1 alt"}},
                   .emptyFolders = {"C:\\Programme\\Firma\\Produkt 2.1 alt"},
                   .says = "gehört nicht zum Installationsverzeichnis"},
        ForgedCase{.name = "AProgramFolderOutsideTheStartMenu",
                   .changes = {{"Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\"",
                                "Path=\"C:\\Users\\Sim\\Documents\\Leer\""}},
                   .emptyFolders = {"C:\\Users\\Sim\\Documents\\Leer"},
                   .says = "Programmordner \"C:\\Users\\Sim\\Documents\\Leer\": liegt nicht im "
                           "Startmenü"},
        ForgedCase{.name = "AnotherUsersProfile",
                   .changes = {{"MainDir", "MainDir=C:\\Users\\Anna"},
                               {"File1", "File1=C:\\Users\\Anna\\NTUSER.DAT"}},
                   .files = {"C:\\Users\\Anna\\NTUSER.DAT"},
                   .written = WhenTheRunWroteIt::Refused,
                   .says = "ist ein Ordner des Systems oder eines Benutzers"},
        ForgedCase{.name = "ThePublicProfile",
                   .changes = {{"MainDir", "MainDir=C:\\Users\\Public"},
                               {"File1", "File1=C:\\Users\\Public\\Liste.txt"}},
                   .files = {"C:\\Users\\Public\\Liste.txt"},
                   .written = WhenTheRunWroteIt::Refused,
                   .says = "ist ein Ordner des Systems oder eines Benutzers"},
        ForgedCase{.name = "AnotherUsersDocuments",
                   .changes = {{"MainDir", "MainDir=C:\\Users\\Anna\\Documents"},
                               {"File1", "File1=C:\\Users\\Anna\\Documents\\Brief.txt"}},
                   .files = {"C:\\Users\\Anna\\Documents\\Brief.txt"},
                   .written = WhenTheRunWroteIt::Refused,
                   .says = "ist ein Ordner des Systems oder eines Benutzers"},
        // Another installation's record, byte for byte, in this folder.
        ForgedCase{.name = "TheRecordOfAnotherInstallation",
                   .changes = {{"AppName", "AppName=\"Anderes\""},
                               {"MainDir", "MainDir=C:\\Programme\\Firma\\Anderes"},
                               {"File1", "File1=C:\\Programme\\Firma\\Anderes\\anderes.exe"},
                               {"ExFile1", "ExFile1=C:\\Programme\\Firma\\Anderes\\anderes.exe"}},
                   .files = {"C:\\Programme\\Firma\\Anderes\\anderes.exe"},
                   .written = WhenTheRunWroteIt::Refused,
                   .says = "Die Datei liegt nicht im Installationsverzeichnis "
                           "\"C:\\Programme\\Firma\\Anderes\", das sie nennt."}),
    [](const testing::TestParamInfo<ForgedCase>& info) { return info.param.name; });

TEST(RegistryRules, OnlyValuesPlausiblyTheProductsOwnGo) {
  struct Case {
    RegRoot root;
    const char* key;
    const char* title;
    bool goes;
  };
  const Case cases[] = {
      {RegRoot::CurrentUser, "\\Software\\Firma\\Produkt\\", "Pfad", true},
      {RegRoot::ClassesRoot, ".prd", "", true},
      {RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\p.exe", "",
       true},
      {RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt",
       "Comments", true},
      {RegRoot::LocalMachine, "System\\CurrentControlSet\\Services\\Produkt", "Start", true},
      {RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Produkt", true},
      {RegRoot::CurrentUser, "Environment", "Path", false},
      {RegRoot::LocalMachine, "Software", "Pfad", false},
      {RegRoot::CurrentUser, "", "Pfad", false},
      {RegRoot::CurrentUser, "Software\\\\Firma", "Pfad", false},
      {RegRoot::LocalMachine, "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
       "", false},
      {RegRoot::LocalMachine,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\Run", "", false},
      {RegRoot::Users, "S-1-5-21-1\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "", false},
      {RegRoot::Users, "S-1-5-21-1\\Environment", "Path", false},
      {RegRoot::LocalMachine, "System\\ControlSet001\\Control\\Session Manager", "BootExecute",
       false},
      {RegRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Lsa", "Notification Packages",
       false},
      {RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
       false},
      {RegRoot::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", "Shell",
       false},
      {RegRoot::CurrentUser,
       "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "Personal",
       false},
      {RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "x",
       false},
      {RegRoot::LocalMachine,
       "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Anderes",
       "UninstallString", false},
      {RegRoot::LocalMachine, "Software\\Vormek\\TW_UPD_WEB", "SetupCount", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(!RefuseValue(c.root, c.key, c.title, "Produkt").has_value(), c.goes)
        << RootName(c.root) << "\\" << c.key << " \"" << c.title << "\"";
  }
}

}  // namespace
}  // namespace uninstall

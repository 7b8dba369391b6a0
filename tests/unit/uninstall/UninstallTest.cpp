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
    sim_.PutFile(kInf, AnsiFile(lines));
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
  const UninstallRecord record = ReadUninstallRecord(sim_.platform(), kInf);
  EXPECT_EQ(record.ProductTitle(), "Produkt 2.1");
  EXPECT_EQ(record.files, (std::vector<std::string>{std::string(kMain) + "\\produkt.exe",
                                                    std::string(kMain) + "\\liesmich.txt"}))
      << "[ExtraFiles] repeats [Files]: each path once";
  const ProtectedFolders folders(sim_.platform());
  ASSERT_FALSE(RefuseRecord(record, folders));

  const RemovalPlan plan = MakeRemovalPlan(record, kInf, sim_.platform(), folders);
  std::vector<std::string> order;
  for (const Step& step : plan.steps) {
    order.push_back(step.kind == StepKind::RegistryValues
                        ? std::string(RootName(step.root)) + "\\" + step.key
                        : step.path + (step.parentsBelow.empty() ? "" : " < " + step.parentsBelow));
  }
  const std::string programs = kPrograms;
  EXPECT_EQ(order, (std::vector<std::string>{
                       programs + "\\Firma\\Produkt\\Produkt.lnk",
                       programs + "\\Firma\\Produkt\\Produkt 2.1 deinstallieren.lnk",
                       programs + "\\Firma\\Produkt < " + programs,
                       "HKEY_CURRENT_USER\\Software\\Firma\\Produkt",
                       "HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey),
                       "HKEY_LOCAL_MACHINE\\Software\\Firma\\Produkt\\2.1",
                       std::string(kMain) + "\\liesmich.txt",
                       std::string(kMain) + "\\produkt.exe",
                       kInf,
                       std::string(kMain) + "\\Daten",
                       kMain,
                       kCopy,
                   }));
  EXPECT_TRUE(plan.skipped.empty());
}

TEST_F(Uninstaller, SilentlyRemovesEverythingTheFileRecordsAndNothingElse) {
  EXPECT_EQ(Run({kInf, "/SILENT"}), kRemoved);
  EXPECT_TRUE(sim_.Messages().empty()) << "no questions, no messages";
  EXPECT_TRUE(view_.events.empty()) << "no window";

  for (const std::string& path :
       {std::string(kMain), std::string(kCopy), std::string(kPrograms) + "\\Firma\\Produkt"}) {
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
  EXPECT_EQ(view_.events.front(), "open Produkt 2.1 wird deinstalliert 12");
  EXPECT_EQ(view_.events[1], "Verknüpfung wird entfernt: " + std::string(kPrograms) +
                                 "\\Firma\\Produkt\\Produkt.lnk");
  EXPECT_EQ(view_.events.back(), "finish");
  EXPECT_EQ(view_.last, 12);

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

std::string In(const std::string& relative) {
  return std::string(kMain) + "\\" + relative;
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
    sim_.PutFile(kInf, AnsiFile(lines));
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
    sim_.PutFile(In("UninstallExtra.inf"), *c.createdList);

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
  sim_.PutFile(inf, AnsiFile(lines));
  Put(main + "\\produkt.exe");
  sim_.PutFile(main + "\\UninstallExtra.inf", CreatedList({company, main}));

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
  sim_.PutFile(kInf, AnsiFile(lines));

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
    sim_.PutFile(kInf, AnsiFile(c.lines));
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
  sim_.PutFile(kInf, AnsiFile(lines));

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
  sim_.PutFile(kInf, AnsiFile(lines));
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

}  // namespace
}  // namespace uninstall

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  EXPECT_NE(sim_.Messages()[1].text.find(
                "Noch in Gebrauch, wird beim nächsten Neustart von Windows gelöscht:\n" + exe),
            std::string::npos)
      << sim_.Messages()[1].text;
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

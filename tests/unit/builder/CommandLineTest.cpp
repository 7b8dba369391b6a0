#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/unit/builder/BuilderTest.h"

namespace {

using builder_test::FolderNames;
using builder_test::ReadBytes;
namespace fs = std::filesystem;

struct Outcome {
  int exitCode = -1;
  std::string out;
  std::string err;
};

class CommandLineTest : public builder_test::ScratchTest {
 protected:
  // Runs setup-builder (or `program`) in the scratch folder with
  // `arguments` (shell words).
  Outcome RunBuilder(const std::string& arguments, const std::string& program = SETUP_BUILDER_EXE) {
    const std::string command = "cd '" + root.string() + "' && '" + program + "' " + arguments +
                                " >stdout.txt 2>stderr.txt";
    const int status = std::system(command.c_str());
    Outcome run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadBytes(root / "stdout.txt");
    run.err = ReadBytes(root / "stderr.txt");
    fs::remove(root / "stdout.txt");
    fs::remove(root / "stderr.txt");
    return run;
  }

  static bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
};

TEST_F(CommandLineTest, BuildsTheFolderAndSaysWhatItStillLacks) {
  Source("a.txt", "a");
  Source("bin/Setup.exe", "MZ setup");
  Source("bin/SZUNPACK.DLL", "MZ entpacken");
  Source("demo.setup",
         "[Settings]\nAppName=Demo\nVersion=1\nCompany=F\n[Files]\na.txt=C:\\a.txt\n");

  const Outcome bare = RunBuilder("demo.setup out");
  EXPECT_EQ(bare.exitCode, 0) << bare.err;
  EXPECT_EQ(bare.err, "");
  EXPECT_TRUE(Contains(bare.out, "Setup-Ordner erstellt: " + out.string() + "\n")) << bare.out;
  EXPECT_TRUE(Contains(bare.out, "Hinweis: Setup.exe fehlt noch")) << bare.out;
  EXPECT_TRUE(Contains(bare.out, "Hinweis: SZUNPACK.DLL fehlt noch")) << bare.out;
  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp"}));

  const Outcome full =
      RunBuilder("--unzip-library bin/SZUNPACK.DLL demo.setup out2 --setup-exe bin/Setup.exe");
  EXPECT_EQ(full.exitCode, 0) << full.err;
  EXPECT_FALSE(Contains(full.out, "fehlt noch")) << full.out;
  EXPECT_EQ(ReadBytes(root / "out2" / "Setup.exe"), "MZ setup");
  EXPECT_EQ(ReadBytes(root / "out2" / "SZUNPACK.DLL"), "MZ entpacken");
}

TEST_F(CommandLineTest, AFaultNamesTheDescriptionAndLineOnStandardError) {
  Source("demo.setup",
         "[Settings]\nAppName=Demo\nVersion=1\nCompany=F\n[Files]\nfehlt.txt=C:\\a.txt\n");
  const Outcome run = RunBuilder("demo.setup out");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "setup-builder: demo.setup, Zeile 6: Quelldatei nicht gefunden: " +
                         (root / "fehlt.txt").string() + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(FolderNames(root), std::set<std::string>{"demo.setup"});

  Source("zwei.setup",
         "[Settings]\nAppName=Demo\nVersion=1\nCompany=F\nStandardReg=ja\n[Regsitry]\n");
  const Outcome two = RunBuilder("zwei.setup out");
  EXPECT_EQ(two.exitCode, 1);
  EXPECT_EQ(two.err,
            "setup-builder: zwei.setup, Zeile 5: StandardReg ist eine Zahl: 1 schaltet ein, 0 aus; "
            "\"ja\" ist keine Zahl und gälte als aus. StandardReg=1 oder StandardReg=0 schreiben\n"
            "setup-builder: zwei.setup, Zeile 6: Unbekannter Abschnitt [Regsitry]; gemeint ist "
            "wohl [Registry]\n");

  const Outcome missing = RunBuilder("nirgends.setup out");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "setup-builder: Die Beschreibung wurde nicht gefunden: nirgends.setup\n");
}

TEST_F(CommandLineTest, RefusesArgumentsOutsideTheUsage) {
  Source("demo.setup", "[Settings]\nAppName=Demo\n");
  struct Case {
    std::string arguments;
    std::string firstLine;
  };
  for (const Case& c : std::vector<Case>{
           {"", "Aufruf: setup-builder"},
           {"demo.setup", "Aufruf: setup-builder"},
           {"demo.setup out extra", "Aufruf: setup-builder"},
           {"demo.setup out --setup-exe", "setup-builder: --setup-exe braucht einen Pfad"},
           {"demo.setup out --setup-exe a --setup-exe b",
            "setup-builder: --setup-exe ist doppelt angegeben"},
           {"demo.setup out --split 100", "setup-builder: unbekannte Option --split"},
           {"--dry-run", "Aufruf: setup-builder"},
           {"demo.setup out --media", "setup-builder: --media braucht einen Wert"},
           {"demo.setup out --media 0",
            "setup-builder: --media braucht die Anzahl der Medien (1 bis 999), nicht \"0\""},
           {"demo.setup out --medium-size 1,4M",
            "setup-builder: --medium-size braucht eine Größe in Bytes"},
       }) {
    const Outcome run = RunBuilder(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')).find(c.firstLine), 0u)
        << c.arguments << ": " << run.err;
    EXPECT_FALSE(fs::exists(out)) << c.arguments;
  }
}

TEST_F(CommandLineTest, HelpAndVersionAnswerOnStandardOutput) {
  const Outcome help = RunBuilder("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_EQ(help.out.find("Aufruf: setup-builder [Optionen] <Beschreibung> <Setup-Ordner>\n"), 0u)
      << help.out;
  for (const char* option : {"--setup-exe", "--unzip-library", "--uninstaller", "--media",
                             "--medium-size", "--force", "--dry-run", "--version"})
    EXPECT_TRUE(Contains(help.out, std::string("\n  ") + option + " ")) << option;
  EXPECT_EQ(help.err, "");

  const Outcome version = RunBuilder("--version");
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "setup-builder (Tessarwolden) 1.2\n");
}

// Ends in [Files], so that a test can add lines.
const std::string kFolderSetup =
    "[Settings]\nAppName=Demo\nVersion=1\nCompany=Müller\n"
    "[Builder]\nUninstaller=u.exe\n"
    "[Files]\ndocs=%selected%\\Doku\n";

TEST_F(CommandLineTest, ADryRunShowsWhatTheBuildWouldMakeAndWritesNothing) {
  Source("docs/b/c.txt", "c");
  Source("docs/a.txt", "a");
  Source("u.exe", "MZ");
  Source("demo.setup", kFolderSetup);
  const std::set<std::string> before = FolderNames(root);

  for (const char* arguments :
       {"--dry-run demo.setup --media 2", "--media 2 demo.setup out --dry-run"}) {
    const Outcome run = RunBuilder(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out,
              "Setup.inf:\n"
              "[Settings]\nAppName=Demo\nVersion=1\nCompany=Müller\nSplitted=true\n"
              "SplitFileCount=1\n"
              "\n[Directories]\nFolderCount=0\n"
              "\n[Registry]\nRegCount=0\n"
              "\n[Links]\nLinkCount=0\n"
              "\nNutzlastliste (2 Dateien):\n"
              "[Listfile]\nFileCount=2\n1=%selected%\\Doku\\a.txt\n2=%selected%\\Doku\\b\\c.txt\n"
              "  Zeile 8: 2 Dateien aus docs\n"
              "\nDeinstallationsprogramm: " +
                  (root / "u.exe").string() +
                  "\n"
                  "Medien: 2\n"
                  "  Medium1: Setup.exe, Setup.inf, SZUNPACK.DLL\n"
                  "  Medium2: Disk1.id\n"
                  "Setup fragt nach Medium 2 und am Ende wieder nach Medium 1.\n");
    EXPECT_EQ(FolderNames(root), before) << arguments;
  }
}

TEST_F(CommandLineTest, AMediaBuildSaysWhatLiesOnEachMediumAndWhatSetupWillAsk) {
  Source("docs/b/c.txt", "c");
  Source("docs/a.txt", "a");
  Source("u.exe", "MZ");
  Source("demo.setup", kFolderSetup + "!nirgends\n");

  const Outcome run = RunBuilder("demo.setup out --media 3");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err,
            "setup-builder: demo.setup, Zeile 9: Warnung: Der Ausschluss trifft keine "
            "Datei und keinen Ordner\n");
  EXPECT_TRUE(Contains(run.out, "  Produktdateien: 2 (Zeile 8: 2 Dateien aus docs), ")) << run.out;
  EXPECT_TRUE(Contains(run.out, "  Medium1: Setup.inf (")) << run.out;
  EXPECT_TRUE(Contains(run.out, "  Medium2: Disk1.id (")) << run.out;
  EXPECT_TRUE(Contains(run.out, "  Medium3: Disk2.id (")) << run.out;
  EXPECT_TRUE(
      Contains(run.out, "  Setup fragt nach Medium 2, 3 und am Ende wieder nach Medium 1.\n"))
      << run.out;
  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Medium1", "Medium2", "Medium3"}));
}

TEST_F(CommandLineTest, ForceReplacesASetupFolderAndNothingElse) {
  Source("a.txt", "a");
  Source("demo.setup",
         "[Settings]\nAppName=Demo\nVersion=1\nCompany=F\n[Files]\na.txt=C:\\a.txt\n");
  ASSERT_EQ(RunBuilder("demo.setup out").exitCode, 0);
  Source("out/alt.txt", "vom letzten Lauf");

  const Outcome refused = RunBuilder("demo.setup out");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_TRUE(Contains(refused.err, "Der Zielordner existiert und ist nicht leer")) << refused.err;
  EXPECT_TRUE(fs::exists(out / "alt.txt"));

  const Outcome forced = RunBuilder("--force demo.setup out");
  EXPECT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp"}));
  EXPECT_EQ(FolderNames(root), (std::set<std::string>{"a.txt", "demo.setup", "out"}));

  Source("fremd/keep.txt", "bleibt");
  const Outcome foreign = RunBuilder("--force demo.setup fremd");
  EXPECT_EQ(foreign.exitCode, 1);
  EXPECT_EQ(foreign.err,
            "setup-builder: --force ersetzt nur einen Setup-Ordner (mit Setup.inf oder "
            "Medium1/Setup.inf); " +
                (root / "fremd").string() + " ist keiner\n");
  EXPECT_EQ(ReadBytes(root / "fremd/keep.txt"), "bleibt");
}

// A build that was killed leaves its work folder; the next build of the same
// folder removes it, unless a running build still holds it.
TEST_F(CommandLineTest, WorkFoldersOfKilledBuildsAreRemovedByTheNextBuild) {
  Source("a.txt", "a");
  Source("demo.setup",
         "[Settings]\nAppName=Demo\nVersion=1\nCompany=F\n[Files]\na.txt=C:\\a.txt\n");
  Source(".out.entsteht-4711/Setup.szp", "halb");
  Source(".out.entsteht-815/Setup.szp", "läuft noch");
  Source(".out.entsteht-x/keep.txt", "kein Arbeitsordner");
  const int running = open((root / ".out.entsteht-815").c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(running, 0);
  ASSERT_EQ(flock(running, LOCK_EX | LOCK_NB), 0);

  const Outcome run = RunBuilder("demo.setup out");
  close(running);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_TRUE(Contains(run.out,
                       "Hinweis: 1 Arbeitsordner abgebrochener Läufe neben dem Setup-Ordner "
                       "entfernt.\n"))
      << run.out;
  EXPECT_EQ(FolderNames(root), (std::set<std::string>{"a.txt", "demo.setup", "out",
                                                      ".out.entsteht-815", ".out.entsteht-x"}));
}

// Without --uninstaller the builder packs the Uninstall.exe that lies beside
// it, as in a folder that holds the builder and the Windows programs.
TEST_F(CommandLineTest, TheUninstallerBesideTheBuilderIsPackedByDefault) {
  fs::create_directory(root / "bin");
  fs::copy_file(SETUP_BUILDER_EXE, root / "bin/setup-builder");
  Source("bin/Uninstall.exe", "MZ daneben");
  Source("eigenes.exe", "MZ eigenes");
  Source("a.txt", "a");
  Source("demo.setup",
         "[Settings]\nAppName=Demo\nVersion=1\nCompany=F\nStandardReg=1\n"
         "[UninstallInfo]\nDisplayName=Demo 1\n[Files]\na.txt=C:\\a.txt\n");
  const std::string program = (root / "bin/setup-builder").string();

  const Outcome packed = RunBuilder("demo.setup out", program);
  EXPECT_EQ(packed.exitCode, 0) << packed.err;
  EXPECT_EQ(
      builder_test::FindEntry(builder_test::ReadZip(ReadBytes(out / "Setup.szp")), "in32i$$.ex_")
          .data,
      "MZ daneben");

  const Outcome given = RunBuilder("demo.setup out2 --uninstaller eigenes.exe", program);
  EXPECT_EQ(given.exitCode, 0) << given.err;
  EXPECT_EQ(builder_test::FindEntry(builder_test::ReadZip(ReadBytes(root / "out2/Setup.szp")),
                                    "in32i$$.ex_")
                .data,
            "MZ eigenes");
}

}  // namespace

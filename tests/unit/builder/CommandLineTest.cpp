#include <gtest/gtest.h>
#include <sys/wait.h>

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
  // Runs setup-builder in the scratch folder with `arguments` (shell words).
  Outcome RunBuilder(const std::string& arguments) {
    const std::string command = "cd '" + root.string() + "' && '" SETUP_BUILDER_EXE "' " +
                                arguments + " >stdout.txt 2>stderr.txt";
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
  Source("demo.setup", "[Settings]\nAppName=Demo\n[Files]\na.txt=C:\\a.txt\n");

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
  Source("demo.setup", "[Settings]\nAppName=Demo\n[Files]\nfehlt.txt=C:\\a.txt\n");
  const Outcome run = RunBuilder("demo.setup out");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "setup-builder: demo.setup, Zeile 4: Quelldatei nicht gefunden: " +
                         (root / "fehlt.txt").string() + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(FolderNames(root), std::set<std::string>{"demo.setup"});

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
       }) {
    const Outcome run = RunBuilder(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments;
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')).find(c.firstLine), 0u)
        << c.arguments << ": " << run.err;
    EXPECT_FALSE(fs::exists(out)) << c.arguments;
  }
}

}  // namespace

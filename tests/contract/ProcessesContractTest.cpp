#include <optional>
#include <string>
#include <vector>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

// Every test starts the recorder, placed in a folder whose name has a blank
// and an umlaut, with its file "calls.txt" in the folder it runs in.
class ProcessesContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    ASSERT_TRUE(platform().files.CreateDirectory(Scratch("Prüf Programm")));
    ASSERT_TRUE(platform().files.CreateDirectory(Scratch("Arbeits Ordner")));
    recorder_ = fixture().PlaceRecorder(Scratch("Prüf Programm"));
  }

  std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

  // The recorder's line for one run with `arguments` in the work folder.
  std::string Line(const std::vector<std::string>& arguments) {
    std::string line;
    for (const std::string& argument : arguments)
      line += argument + "|";
    return line + fixture().DirectoryAsProgramsSeeIt(Scratch("Arbeits Ordner")) + "\n";
  }

  std::optional<std::string> Calls() {
    return platform().files.ReadFile(Scratch("Arbeits Ordner\\calls.txt"));
  }

  std::string recorder_;
};

struct ArgumentCase {
  const char* arguments;
  std::vector<std::string> expected;
};

TEST_F(ProcessesContract, StartsTheProgramInTheFolderWithItsArgumentsAndWaitsForIt) {
  const ArgumentCase cases[] = {
      {"", {}},
      {" eins \t zwei ", {"eins", "zwei"}},
      {"\"zwei Wörter\" \"\" \"  \"", {"zwei Wörter", "", "  "}},
      {"sag\\\"hallo\\\"", {"sag\"hallo\""}},
      {"\"C:\\Ziel Ordner\\\\\" C:\\a\\b\\", {"C:\\Ziel Ordner\\", "C:\\a\\b\\"}},
      {"a\\\\\\\"b mit\"ten drin\"", {"a\\\"b", "mitten drin"}},
  };
  std::string expected;
  for (const ArgumentCase& c : cases) {
    SCOPED_TRACE(c.arguments);
    const std::string commandLine = Quoted(recorder_) + " calls.txt " + c.arguments;
    ASSERT_TRUE(platform().processes.RunAndWait(commandLine, Scratch("Arbeits Ordner")));
    // The program has ended: its line is there at once.
    expected += Line(c.expected);
    EXPECT_EQ(Calls(), expected);
  }
}

TEST_F(ProcessesContract, ProgramNamesWithoutExtensionOrQuotesAreFound) {
  ASSERT_TRUE(platform().files.CreateDirectory(Scratch("Ohne")));
  const std::string plain = fixture().PlaceRecorder(Scratch("Ohne"));
  const std::string withoutExtension = plain.substr(0, plain.size() - 4);
  for (const std::string& program : {Quoted(withoutExtension), plain, withoutExtension}) {
    ASSERT_TRUE(platform().processes.RunAndWait(program + " calls.txt " + program,
                                                Scratch("Arbeits Ordner")))
        << program;
  }
  EXPECT_EQ(Calls(), Line({withoutExtension}) + Line({plain}) + Line({withoutExtension}));
}

TEST_F(ProcessesContract, NothingStartsWithoutTheProgramOrTheFolder) {
  struct Case {
    std::string commandLine;
    std::string folder;
  };
  const Case cases[] = {
      {Quoted(Scratch("Prüf Programm\\fehlt.exe")) + " calls.txt", Scratch("Arbeits Ordner")},
      {Quoted(Scratch("Prüf Programm")) + " calls.txt", Scratch("Arbeits Ordner")},
      {Quoted(recorder_) + " calls.txt", Scratch("Fehlender Ordner")},
      {Quoted(recorder_) + " calls.txt", ""},
      {"", Scratch("Arbeits Ordner")},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(platform().processes.RunAndWait(c.commandLine, c.folder))
        << c.commandLine << " in " << c.folder;
  }
  EXPECT_EQ(Calls(), std::nullopt);
}

}  // namespace
}  // namespace contract

#include <algorithm>
#include <cctype>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using SystemContract = ContractTest;

std::string Byte(int b) {
  return std::string(1, static_cast<char>(b));
}

TEST_F(SystemContract, ModulePathNamesTheRunningProgram) {
  const std::string path = platform().system.ModulePath();
  ASSERT_GE(path.size(), 4u);
  EXPECT_EQ(path[1], ':');
  EXPECT_EQ(platform().files.FullPath(path), path) << "absolute";
  EXPECT_TRUE(platform().files.FileExists(path));
}

TEST_F(SystemContract, ArgumentsLeaveOutTheProgramName) {
  EXPECT_EQ(platform().system.Arguments(), fixture().ExpectedArguments());
}

TEST_F(SystemContract, QuitStaysPendingThroughProcessMessages) {
  platform().system.PostQuit();
  platform().system.ProcessMessages();
  EXPECT_TRUE(fixture().TakeQuitRequest()) << "the main loop must still see the quit message";
}

struct KnownCharacter {
  int ansi;
  int oem;
  const char* utf8;
};

TEST_F(SystemContract, GermanCharactersConvert) {
  auto& system = platform().system;
  for (const KnownCharacter& c : {KnownCharacter{0xE4, 0x84, "ä"},
                                  {0xF6, 0x94, "ö"},
                                  {0xFC, 0x81, "ü"},
                                  {0xC4, 0x8E, "Ä"},
                                  {0xD6, 0x99, "Ö"},
                                  {0xDC, 0x9A, "Ü"},
                                  {0xDF, 0xE1, "ß"},
                                  {0xE9, 0x82, "é"}}) {
    EXPECT_EQ(system.AnsiToUtf8(Byte(c.ansi)), c.utf8);
    EXPECT_EQ(system.Utf8ToAnsi(c.utf8), Byte(c.ansi)) << c.utf8;
    EXPECT_EQ(system.OemToUtf8(Byte(c.oem)), c.utf8);
  }
  EXPECT_EQ(system.AnsiToUtf8("\x80"), "€");
  EXPECT_EQ(system.Utf8ToAnsi("Größe €"),
            "Gr\xF6\xDF"
            "e \x80");
}

TEST_F(SystemContract, EveryAnsiByteRoundTrips) {
  auto& system = platform().system;
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += Byte(b);
  EXPECT_EQ(system.Utf8ToAnsi(system.AnsiToUtf8(all)), all);
  EXPECT_EQ(system.AnsiToUtf8(""), "");
  EXPECT_EQ(system.Utf8ToAnsi(""), "");
}

TEST_F(SystemContract, CharactersMissingFromAnsiBecomeQuestionMarks) {
  auto& system = platform().system;
  EXPECT_EQ(system.Utf8ToAnsi("a\u4E2Db"), "a?b");
  EXPECT_EQ(system.Utf8ToAnsi("\u0141\u0107"), "??") << "no look-alikes";
  EXPECT_EQ(system.Utf8ToAnsi("a\U0001F600b"), "a??b") << "one mark per UTF-16 unit";
}

TEST_F(SystemContract, OemBytesAreDistinctCharacters) {
  auto& system = platform().system;
  std::set<std::string> seen;
  for (int b = 0; b < 256; ++b) {
    const std::string utf8 = system.OemToUtf8(Byte(b));
    EXPECT_FALSE(utf8.empty()) << b;
    EXPECT_TRUE(seen.insert(utf8).second) << "byte " << b << " maps to " << utf8 << " again";
  }
  EXPECT_EQ(system.OemToUtf8("ASCII text"), "ASCII text");
}

// The number names the code page OemToUtf8 reads: the bytes below differ
// between the two OEM code pages of Western Windows.
TEST_F(SystemContract, OemCodePageNumberMatchesTheConversion) {
  auto& system = platform().system;
  struct Known {
    unsigned codePage;
    const char* utf8;  // of the bytes 9B 9D B5 E9
  };
  const unsigned codePage = system.OemCodePage();
  const std::string converted = system.OemToUtf8("\x9B\x9D\xB5\xE9");
  for (const Known& k :
       {Known{437, "\u00A2\u00A5\u2561\u0398"}, Known{850, "\u00F8\u00D8\u00C1\u00DA"}}) {
    if (k.codePage == codePage) {
      EXPECT_EQ(converted, k.utf8) << codePage;
    } else {
      EXPECT_NE(converted, k.utf8) << "converted as " << k.codePage << ", named " << codePage;
    }
  }
  EXPECT_GT(codePage, 0u);
}

// The separator differs between machines (a German Windows has a comma,
// Wine's default locale a point); it is one character that cannot be taken
// for part of a number or a gap.
TEST_F(SystemContract, DecimalSeparatorIsOneCharacterNeitherDigitNorBlank) {
  const std::string separator = platform().system.DecimalSeparator();
  ASSERT_EQ(std::count_if(separator.begin(), separator.end(),
                          [](unsigned char c) { return (c & 0xC0) != 0x80; }),
            1)
      << separator;
  EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(separator[0]))) << separator;
  EXPECT_FALSE(std::isspace(static_cast<unsigned char>(separator[0]))) << separator;
}

// Folder names as the Start menu lists them: case does not count, an umlaut
// or accent sorts beside its base letter, ß as ss.
TEST_F(SystemContract, NamesCompareAlphabeticallyWithoutCaseAndWithUmlautsBesideTheirLetters) {
  const std::vector<std::string> ordered = {"äpfel",  "Autostart", "beta",       "Éditeur",
                                            "Straße", "Strasse2",  "Übersetzer", "Zubehör"};
  for (size_t i = 0; i + 1 < ordered.size(); ++i) {
    SCOPED_TRACE(ordered[i] + " < " + ordered[i + 1]);
    EXPECT_LT(platform().system.CompareNames(ordered[i], ordered[i + 1]), 0);
    EXPECT_GT(platform().system.CompareNames(ordered[i + 1], ordered[i]), 0);
  }
  EXPECT_EQ(platform().system.CompareNames("Zubehör", "ZUBEHÖR"), 0);
}

TEST_F(SystemContract, UnguessableNumbersDoNotRepeat) {
  std::set<uint64_t> drawn;
  for (int k = 0; k < 16; ++k)
    drawn.insert(platform().system.UnguessableNumber());
  EXPECT_EQ(drawn.size(), 16u);
}

TEST_F(SystemContract, LocalDateIsYearMonthDay) {
  const std::string date = platform().system.LocalDate();
  ASSERT_EQ(date.size(), 8u) << date;
  EXPECT_TRUE(std::all_of(date.begin(), date.end(), [](char c) { return c >= '0' && c <= '9'; }))
      << date;
  EXPECT_GE(date, "20260101");
  EXPECT_GE(date.substr(4, 2), "01");
  EXPECT_LE(date.substr(4, 2), "12");
}

TEST_F(SystemContract, ALockIsHeldByTheFirstTakerOnly) {
  const std::string name = "Tessarwolden.ContractTest." + std::to_string(std::random_device{}());
  EXPECT_TRUE(platform().system.HoldLock(name));
  EXPECT_FALSE(platform().system.HoldLock(name));
  EXPECT_TRUE(platform().system.HoldLock(name + ".other"));
}

}  // namespace
}  // namespace contract

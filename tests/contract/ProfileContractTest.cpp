#include <algorithm>
#include <string>
#include <vector>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

struct ProfileCase {
  const char* name;
  std::string content;  // the file's bytes
  const char* section;
  const char* key;
  const char* fallback;
  std::string expected;
};

void PrintTo(const ProfileCase& c, std::ostream* out) {
  *out << c.name;
}

std::string Repeat(char c, size_t count) {
  return std::string(count, c);
}

// UTF-16LE with byte-order mark, from ASCII and Latin-1 text given as UTF-8.
std::string Utf16LE(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// Windows-1252 bytes of a text made of ASCII, Latin-1 letters and the euro sign.
std::string Ansi(std::string_view utf8) {
  std::string bytes;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      bytes += static_cast<char>(lead);
    } else if (lead == 0xE2) {  // U+20AC
      bytes += '\x80';
      i += 2;
    } else {
      bytes += static_cast<char>(((lead & 0x1F) << 6) | (utf8[++i] & 0x3F));
    }
  }
  return bytes;
}

const std::vector<ProfileCase>& Cases() {
  static const std::vector<ProfileCase> cases = {
      {"Plain", "[S]\r\nKey=Value\r\n", "S", "Key", "fb", "Value"},
      {"NoFinalNewline", "[S]\nKey=Value", "S", "Key", "fb", "Value"},
      {"CarriageReturnsOnly", "[S]\rKey=x\rOther=y", "S", "Key", "fb", "x"},
      {"DoubleQuotes", "[S]\nKey=\"quoted value\"\n", "S", "Key", "fb", "quoted value"},
      {"SingleQuotes", "[S]\nKey='quoted'\n", "S", "Key", "fb", "quoted"},
      {"MismatchedQuotes", "[S]\nKey=\"abc'\n", "S", "Key", "fb", "\"abc'"},
      {"OpeningQuoteOnly", "[S]\nKey=\"abc\n", "S", "Key", "fb", "\"abc"},
      {"ClosingQuoteOnly", "[S]\nKey=abc\"\n", "S", "Key", "fb", "abc\""},
      {"QuotesInside", "[S]\nKey=a \"b\" c\n", "S", "Key", "fb", "a \"b\" c"},
      {"QuoteInsideQuotes", "[S]\nKey=\"a\"b\"\n", "S", "Key", "fb", "a\"b"},
      {"OnlyOnePairRemoved", "[S]\nKey=\"\"x\"\"\n", "S", "Key", "fb", "\"x\""},
      {"LoneQuote", "[S]\nKey=\"\n", "S", "Key", "fb", "\""},
      {"EmptyQuotes", "[S]\nKey=\"\"\n", "S", "Key", "fb", ""},
      {"BlanksInsideQuotesKept", "[S]\nKey=\"  padded  \"\n", "S", "Key", "fb", "  padded  "},
      {"BlanksOutsideQuotesGo", "[S]\nKey=  \"q\"  \n", "S", "Key", "fb", "q"},
      {"BlanksAndTabsAround", "[S]\n \t Key \t=\t  Value  \t \r\n", "S", "Key", "fb", "Value"},
      {"BlanksAroundEquals", "[S]\nKey = value\n", "S", "Key", "fb", "value"},
      {"BlanksInsideValueKept", "[S]\nKey=a  \tb\n", "S", "Key", "fb", "a  \tb"},
      {"HexLookingValue", "[S]\nKey=0x1F\n", "S", "Key", "fb", "0x1F"},
      {"DollarHexValue", "[S]\nKey=$FF\n", "S", "Key", "fb", "$FF"},
      {"ValueContainingEquals", "[S]\nKey=a=b==c\n", "S", "Key", "fb", "a=b==c"},
      {"EmptyValue", "[S]\nKey=\n", "S", "Key", "fb", ""},
      {"BlankValue", "[S]\nKey=   \n", "S", "Key", "fb", ""},
      {"MissingKey", "[S]\nOther=1\n", "S", "Key", "fb", "fb"},
      {"MissingSection", "[T]\nKey=1\n", "S", "Key", "fb", "fb"},
      {"KeyInOtherSection", "[S]\nA=1\n[T]\nKey=1\n", "S", "Key", "fb", "fb"},
      {"KeyWithoutEquals", "[S]\nKey\n", "S", "Key", "fb", "fb"},
      {"KeyWithoutEqualsComesFirst", "[S]\nKey\nKey=v\n", "S", "Key", "fb", "fb"},
      {"DuplicateKeysFirstWins", "[S]\nKey=first\nKey=second\n", "S", "Key", "fb", "first"},
      {"DuplicateSectionsFirstWins", "[S]\nKey=first\n[S]\nKey=second\n", "S", "Key", "fb",
       "first"},
      {"DuplicateSectionKeyOnlyInSecond", "[S]\nA=1\n[T]\n[S]\nKey=second\n", "S", "Key", "fb",
       "fb"},
      {"CommentLineIsNoKey", "[S]\n;Key=commented\n", "S", "Key", "fb", "fb"},
      {"CommentLineIsAKeyOfItsOwn", "[S]\n;Key=commented\n", "S", ";Key", "fb", "commented"},
      {"SemicolonInValueKept", "[S]\nKey=value ; note\n", "S", "Key", "fb", "value ; note"},
      {"NamesIgnoreCase", "[SeTtInGs]\nAPPNAME=x\n", "settings", "appname", "fb", "x"},
      {"BlanksInsideSectionBrackets", "[ \tS ]\nKey=x\n", "S", "Key", "fb", "x"},
      {"BlanksAroundSectionHeader", "  [S]  \nKey=x\n", "S", "Key", "fb", "x"},
      {"TextAfterSectionHeader", "[S] trailing\nKey=x\n", "S", "Key", "fb", "x"},
      {"BlanksAroundRequestedNames", "[S]\nKey=x\n", " S ", "\tKey ", "fb", "x"},
      {"KeyBeforeAnySection", "Key=x\n[S]\nOther=y\n", "S", "Key", "fb", "fb"},
      {"OverlongValue", "[S]\nKey=" + Repeat('x', 3000) + "\n", "S", "Key", "fb",
       Repeat('x', 2047)},
      {"OverlongQuotedValue", "[S]\nKey=\"" + Repeat('x', 3000) + "\"\n", "S", "Key", "fb",
       Repeat('x', 2047)},
      {"QuotedValueFillingTheBuffer", "[S]\nKey=\"" + Repeat('x', 2047) + "\"\n", "S", "Key", "fb",
       Repeat('x', 2046)},
      {"QuotedValueJustFitting", "[S]\nKey=\"" + Repeat('x', 2046) + "\"\n", "S", "Key", "fb",
       Repeat('x', 2046)},
      {"AnsiText", Ansi("[S]\nKey=Größe €\n"), "S", "Key", "fb", "Größe €"},
      {"AnsiNames", Ansi("[Größe]\nSchlüssel=x\n"), "gRößE", "SCHLüSSEL", "fb", "x"},
      // Wine compares names without regard to the case of ASCII letters only.
      {"NonAsciiSectionCase", Ansi("[Größe]\nKey=x\n"), "GRÖßE", "Key", "fb", "fb"},
      {"NonAsciiKeyCase", Ansi("[S]\nSchlüssel=x\n"), "S", "SCHLÜSSEL", "fb", "fb"},
      {"Utf16WithByteOrderMark", Utf16LE(u"[S]\r\nKey=Gr\u00F6\u00DFe \u20AC\r\n"), "S", "Key",
       "fb", "Größe €"},
      {"Utf8WithByteOrderMark", "\xEF\xBB\xBF[S]\nKey=Größe\n", "S", "Key", "fb", "Größe"},
      {"FallbackLosesTrailingBlanks", "[S]\n", "S", "Key", "fb  ", "fb"},
      {"FallbackKeepsLeadingBlanks", "[S]\n", "S", "Key", "  fb", "  fb"},
      {"EmptyFallback", "[S]\n", "S", "Key", "", ""},
      {"FallbackUtf8", "[S]\n", "S", "Key", "Größe", "Größe"},
  };
  return cases;
}

class ProfileContract : public ContractTest, public ::testing::WithParamInterface<ProfileCase> {};

TEST_P(ProfileContract, ReadsAsWindowsDoes) {
  const ProfileCase& c = GetParam();
  const std::string file = Scratch(std::string(c.name) + ".ini");
  fixture().WriteRaw(file, c.content);
  EXPECT_EQ(platform().profile.Read(file, c.section, c.key, c.fallback), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileContract, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

using ProfileFiles = ContractTest;

TEST_F(ProfileFiles, MissingFileGivesTheFallback) {
  auto& profile = platform().profile;
  EXPECT_EQ(profile.Read(Scratch("missing.ini"), "S", "Key", "fb"), "fb");
  EXPECT_EQ(profile.Read(Scratch("missing\\dir\\x.ini"), "S", "Key", ""), "");
}

TEST_F(ProfileFiles, EveryReadSeesTheFileAsItIsNow) {
  auto& profile = platform().profile;
  const std::string file = Scratch("changing.ini");
  fixture().WriteRaw(file, "[S]\nKey=before\n");
  EXPECT_EQ(profile.Read(file, "S", "Key", "fb"), "before");
  fixture().WriteRaw(file, "[S]\nKey=after, and longer\n");
  EXPECT_EQ(profile.Read(file, "S", "Key", "fb"), "after, and longer");
  fixture().RemoveRaw(file);
  EXPECT_EQ(profile.Read(file, "S", "Key", "fb"), "fb");
}

TEST_F(ProfileFiles, BareFileNameIsLookedForInTheWindowsDirectory) {
  const std::string name = "TessarwoldenContract.ini";
  const std::string inWindows = platform().files.WindowsDirectory() + "\\" + name;
  fixture().WriteRaw(inWindows, "[S]\nKey=windows\n");
  ASSERT_TRUE(platform().files.SetCurrentDirectory(fixture().ScratchFolder()));
  fixture().WriteRaw(Scratch(name), "[S]\nKey=current\n");

  EXPECT_EQ(platform().profile.Read(name, "S", "Key", "fb"), "windows");
  EXPECT_EQ(platform().profile.Read(".\\" + name, "S", "Key", "fb"), "current");
  fixture().RemoveRaw(inWindows);
}

TEST_F(ProfileFiles, KeyAndSectionNamesAreListedAsWritten) {
  auto& profile = platform().profile;
  const std::string file = Scratch("names.ini");
  fixture().WriteRaw(file, "[Eins]\nFolder1=a\nFolder12 = c\nohne Wert\n\n[Zwei]\nX=1\n");
  const auto sorted = [](std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(sorted(profile.KeyNames(file, "EINS")),
            (std::vector<std::string>{"Folder1", "Folder12"}));
  EXPECT_EQ(sorted(profile.SectionNames(file)), (std::vector<std::string>{"Eins", "Zwei"}));
  EXPECT_TRUE(profile.KeyNames(file, "Drei").empty());
  EXPECT_TRUE(profile.KeyNames(Scratch("fehlt.ini"), "Eins").empty());
  EXPECT_TRUE(profile.SectionNames(Scratch("fehlt.ini")).empty());
}

}  // namespace
}  // namespace contract

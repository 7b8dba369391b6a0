#include "unpack/EntryName.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "unpack/OemCodePage.h"

namespace unpack {
namespace {

constexpr uint16_t MadeBy(unsigned host, unsigned version) {
  return static_cast<uint16_t>((host << 8) | version);
}

struct NameCase {
  const char* raw;
  uint16_t versionMadeBy;
  uint16_t flags;
  NameCodePage codePage;
  const char* expected;
};

TEST(EntryTextToUtf8, FollowsFlagHostSystemAndCodePage) {
  const NameCase cases[] = {
      {"plain/name.txt", MadeBy(0, 20), 0, NameCodePage::Auto, "plain/name.txt"},
      // MS-DOS names are OEM under Auto only.
      {"Gr\x81n", MadeBy(0, 20), 0, NameCodePage::Auto, "Gr\u00fcn"},
      {"Gr\x81n", MadeBy(0, 20), 0, NameCodePage::None, "Gr\u0081n"},
      // OS/2 and NTFS with version byte 50 are OEM whatever the setting.
      {"\x84rger", MadeBy(6, 20), 0, NameCodePage::None, "\u00e4rger"},
      {"\x84rger", MadeBy(11, 50), 0, NameCodePage::None, "\u00e4rger"},
      {"\x84rger", MadeBy(11, 20), 0, NameCodePage::Auto, "\u201erger"},
      // Unix without the UTF-8 flag: the ANSI code page, unless forced to OEM.
      {"Caf\xe9", MadeBy(3, 20), 0, NameCodePage::Auto, "Caf\u00e9"},
      {"Caf\xe9", MadeBy(3, 20), 0, NameCodePage::Oem, "Caf\u00da"},
      {"\x80", MadeBy(3, 20), 0, NameCodePage::Auto, "\u20ac"},
      // The UTF-8 flag wins, unless the bytes are no UTF-8.
      {"Stra\xc3\x9f"
       "e",
       MadeBy(0, 20), kFlagUtf8, NameCodePage::Auto, "Stra\u00dfe"},
      {"Stra\xdf"
       "e",
       MadeBy(3, 20), kFlagUtf8, NameCodePage::Auto, "Stra\u00dfe"},
      {"\xed\xa0\x80", MadeBy(3, 20), kFlagUtf8, NameCodePage::Auto, "\u00ed\u00a0\u20ac"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EntryTextToUtf8(c.raw, c.versionMadeBy, c.flags, c.codePage, OemToUtf8), c.expected)
        << c.raw << " made by " << c.versionMadeBy;
  }
}

TEST(OemCodePage, Is850UnlessTheEnvironmentNames437) {
  const char* bytes = "\x9B\x9D\xB5\xE9\xD5 ASCII";
  EXPECT_EQ(OemCodePage(), 850u);
  EXPECT_EQ(OemToUtf8(bytes), "\u00f8\u00d8\u00c1\u00da\u0131 ASCII");
  for (const char* other : {"1252", "", "437x"}) {
    ::setenv("SZUNPACK_OEMCP", other, 1);
    EXPECT_EQ(OemCodePage(), 850u) << other;
  }
  ::setenv("SZUNPACK_OEMCP", "437", 1);
  EXPECT_EQ(OemCodePage(), 437u);
  EXPECT_EQ(OemToUtf8(bytes), "\u00a2\u00a5\u2561\u0398\u2552 ASCII");
  ::unsetenv("SZUNPACK_OEMCP");
}

TEST(FlatFileName, KeepsOnlyTheLastPartAndRefusesWhatIsNoFileName) {
  const std::pair<const char*, const char*> kept[] = {
      {"1", "1"},
      {"a/b/1", "1"},
      {"..\\..\\1", "1"},
      {"C:\\x\\1", "1"},
      {"/abs/1", "1"},
      {"../1", "1"},
      {"dir/Stra\xc3\x9f"
       "e.txt",
       "Stra\xc3\x9f"
       "e.txt"},
      {"(listfile)", "(listfile)"},
      {"in32i$$.ex_", "in32i$$.ex_"},
      {"a b.txt", "a b.txt"},
      {"CONSOLE", "CONSOLE"},
      {"com0", "com0"},
      {"COM\u2074", "COM\u2074"},
      {"lpt\u00b9\u00b9", "lpt\u00b9\u00b9"},
  };
  for (const auto& [name, expected] : kept) {
    auto flat = FlatFileName(name);
    ASSERT_TRUE(flat) << name;
    EXPECT_EQ(*flat, expected) << name;
  }
  const char* refused[] = {"", "dir/", "a\\", ".", "..", "x/.", "x/..", "bad?name", "a:b", "C:1",
                           "a<b", "a>b", "a|b", "a\"b", "a*b", "tab\t", "trail.", "blank ", "CON",
                           "con.txt", "Nul", "aux.tar.gz", "LPT1", "com9.x", "PRN ",
                           // Windows counts the superscript digits as digits here.
                           "COM\u00b9", "com\u00b2.txt", "Lpt\u00b3", "LPT\u00b9.tar.gz",
                           "lpt\u00b2 .x"};
  for (const char* name : refused) {
    EXPECT_FALSE(FlatFileName(name)) << '"' << name << '"';
  }
}

}  // namespace
}  // namespace unpack

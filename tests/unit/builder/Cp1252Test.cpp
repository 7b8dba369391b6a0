#include "tools/builder/Cp1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(Utf8ToCp1252, MapsEveryCharacterOfTheCodePageToItsByte) {
  struct Case {
    std::string utf8;
    std::string cp1252;
  };
  for (const Case& c : std::vector<Case>{
           {"", ""},
           {"Setup 1.0\t=;#", "Setup 1.0\t=;#"},
           {"äöüÄÖÜß", "\xE4\xF6\xFC\xC4\xD6\xDC\xDF"},
           {"\u00A0©°½ÿ", "\xA0\xA9\xB0\xBD\xFF"},
           {"€‚ƒ„…†‡ˆ‰Š‹ŒŽ", "\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E"},
           {"‘’“”•–—˜™š›œžŸ", "\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F"},
       }) {
    EXPECT_EQ(builder::Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
  }
}

TEST(Utf8ToCp1252, RefusesWhatTheCodePageLacksAndBrokenUtf8) {
  struct Case {
    std::string utf8;
    std::string problem;
  };
  for (const Case& c : std::vector<Case>{
           {"Ω", "Das Zeichen \"Ω\" (U+03A9) gibt es in Windows-1252 nicht"},
           {"Plan ✓", "Das Zeichen \"✓\" (U+2713) gibt es in Windows-1252 nicht"},
           {"a😀", "Das Zeichen \"😀\" (U+1F600) gibt es in Windows-1252 nicht"},
           // The bytes the code page leaves unassigned have no character.
           {"\u0081", "Das Zeichen \"\u0081\" (U+0081) gibt es in Windows-1252 nicht"},
           {"\u009D", "Das Zeichen \"\u009D\" (U+009D) gibt es in Windows-1252 nicht"},
           {"M\xFCller", "Kein gültiges UTF-8 (Byte 0xFC)"},
           {"\xC3", "Kein gültiges UTF-8 (Byte 0xC3)"},
           {"\xC0\xAF", "Kein gültiges UTF-8 (Byte 0xC0)"},          // overlong "/"
           {"\xED\xA0\x80", "Kein gültiges UTF-8 (Byte 0xED)"},      // surrogate
           {"\xF4\x90\x80\x80", "Kein gültiges UTF-8 (Byte 0xF4)"},  // past U+10FFFF
       }) {
    std::string problem;
    EXPECT_EQ(builder::Utf8ToCp1252(c.utf8, &problem), std::nullopt) << c.utf8;
    EXPECT_EQ(problem, c.problem);
  }
}

TEST(Cp1252Lower, FoldsTheLettersWindowsTakesAsOneName) {
  EXPECT_EQ(builder::Cp1252Lower("SETUP.EXE Setup.exe"), "setup.exe setup.exe");
  EXPECT_EQ(builder::Cp1252Lower("\xC4\xD6\xDC\xC0\xDE"), "\xE4\xF6\xFC\xE0\xFE");
  EXPECT_EQ(builder::Cp1252Lower("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
  // Multiplication sign and sharp s have no case partner.
  EXPECT_EQ(builder::Cp1252Lower("\xD7\xDF[]@"), "\xD7\xDF[]@");
}

}  // namespace

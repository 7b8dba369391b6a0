#include "core/Convert.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(StrToInt, AcceptsSignedDecimalsAndPrefixedHexadecimalsOnly) {
  struct Case {
    std::string text;
    std::optional<int32_t> value;
  };
  for (const Case& c : std::vector<Case>{
           {"0", 0},
           {"42", 42},
           {"+42", 42},
           {"-42", -42},
           {"   7", 7},
           {"007", 7},
           {"2147483647", 2147483647},
           {"-2147483648", INT32_MIN},
           {"$1F", 31},
           {"x1f", 31},
           {"X1F", 31},
           {"0x10", 16},
           {"0X10", 16},
           {"$FFFFFFFF", -1},
           {"$80000000", INT32_MIN},
           {"", std::nullopt},
           {"   ", std::nullopt},
           {"7 ", std::nullopt},
           {"\t7", std::nullopt},
           {"1.5", std::nullopt},
           {"abc", std::nullopt},
           {"-", std::nullopt},
           {"+", std::nullopt},
           {"$", std::nullopt},
           {"0x", std::nullopt},
           {"$G", std::nullopt},
           {"-$10", std::nullopt},
           {"--1", std::nullopt},
           {"2147483648", std::nullopt},
           {"-2147483649", std::nullopt},
           {"$100000000", std::nullopt},
           {"99999999999999999999", std::nullopt},
       }) {
    EXPECT_EQ(core::TryStrToInt(c.text), c.value) << "'" << c.text << "'";
  }
}

TEST(StrToInt, RaisesTheGermanMessageWithTheText) {
  try {
    core::StrToInt("12a");
    FAIL() << "no error raised";
  } catch (const core::EConvertError& error) {
    EXPECT_STREQ(error.what(), "'12a' ist kein gültiger Integerwert");
  }
  EXPECT_THROW(core::StrToInt(""), core::EConvertError);
  EXPECT_EQ(core::StrToInt(" -3"), -3);
}

TEST(Trim, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(core::Trim(" \t Demo 1.0 \r\n"), "Demo 1.0");
  EXPECT_EQ(core::Trim("   "), "");
  EXPECT_EQ(core::Trim("ä "), "ä");
  EXPECT_EQ(core::TrimRight("  C:\\Ziel  \t"), "  C:\\Ziel");
}

TEST(FormatText, FillsTheFirstPlaceholderOnly) {
  EXPECT_EQ(core::FormatText("Setup für %s", "Demo"), "Setup für Demo");
  EXPECT_EQ(core::FormatText("Setup für %s", "%s 2.0"), "Setup für %s 2.0");
  EXPECT_EQ(core::FormatText("100%% %s", "x"), "100% x");
  EXPECT_EQ(core::FormatText("ohne", "x"), "ohne");
  EXPECT_EQ(core::FormatText("%s und %s", "a"), "a und %s");
}

TEST(SplitLines, BreaksAtAnyLineEnd) {
  EXPECT_EQ(core::SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(core::SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_TRUE(core::SplitLines("").empty());
}

}  // namespace

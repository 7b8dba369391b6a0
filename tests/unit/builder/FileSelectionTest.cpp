#include "tools/builder/FileSelection.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/unit/builder/BuilderTest.h"

namespace {

namespace fs = std::filesystem;

class FileSelectionTest : public builder_test::ScratchTest {
 protected:
  builder::Description Read(const std::string& files) {
    builder_test::WriteBytes(
        root / "test.setup",
        "[Settings]\nAppName=Demo\nVersion=1.0\nCompany=Firma\n[Files]\n" + files);
    return builder::ReadDescription(root / "test.setup");
  }

  // The product files as (source relative to the scratch folder, destination).
  std::vector<std::pair<std::string, std::string>> Files(const builder::Description& description) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const builder::ProductFile& file : description.files)
      files.emplace_back(file.source.path.lexically_relative(root).string(), file.destination);
    return files;
  }
};

// A folder line takes every file below it with its subfolders, a pattern
// line the files it matches; both in the order of their paths, whatever
// order the file system lists them in, and without what a "!" line leaves
// out.
TEST_F(FileSelectionTest, FoldersAndPatternsExpandInPathOrderWithoutTheExcluded) {
  for (const char* name :
       {"product/notes.bak", "product/bin/app.pdb", "product/bin/app.exe",
        "product/Daten/cache/x.tmp", "product/Daten/sub/tief/d.txt", "product/Daten/sub/c.txt",
        "product/Daten/a.txt", "product/Daten/B.txt", "product/liesmich.txt"})
    Source(name, name);
  fs::create_directories(root / "product/Daten/leer");

  const builder::Description description = Read(
      "product/liesmich.txt=%selected%\\Liesmich.txt\n"  // line 6
      "product/Daten=%selected%\\Daten\n"
      "product/bin/*.exe=%selected%\\\n"
      "product/**/*.bak=C:\\Sicherung\n"
      "!cache\n"
      "!product/bin/*.pdb\n"
      "!nirgends\n");

  EXPECT_EQ(Files(description),
            (std::vector<std::pair<std::string, std::string>>{
                {"product/liesmich.txt", "%selected%\\Liesmich.txt"},
                {"product/Daten/B.txt", "%selected%\\Daten\\B.txt"},
                {"product/Daten/a.txt", "%selected%\\Daten\\a.txt"},
                {"product/Daten/sub/c.txt", "%selected%\\Daten\\sub\\c.txt"},
                {"product/Daten/sub/tief/d.txt", "%selected%\\Daten\\sub\\tief\\d.txt"},
                {"product/bin/app.exe", "%selected%\\app.exe"},
                {"product/notes.bak", "C:\\Sicherung\\notes.bak"},
            }));
  ASSERT_EQ(description.selections.size(), 3u);
  EXPECT_EQ(description.selections[0].line, 7);
  EXPECT_EQ(description.selections[0].source, "product/Daten");
  EXPECT_EQ(description.selections[0].files, 4u);
  EXPECT_EQ(description.selections[1].files, 1u);
  EXPECT_EQ(description.selections[2].files, 1u);
  EXPECT_EQ(
      description.warnings,
      (std::vector<builder::Problem>{
          {7, "1 Ordner ohne Datei wird nicht angelegt (" + (root / "product/Daten/leer").string() +
                  "); einen leeren Ordner legt [Directories] an"},
          {12, "Der Ausschluss trifft keine Datei und keinen Ordner"},
      }));
}

// Names are matched part by part: "*" and "?" stay within one folder or
// file name ("?" takes one character, also one of several bytes).
TEST_F(FileSelectionTest, WildcardsMatchWithinOneName) {
  struct Case {
    std::string pattern;
    std::string name;
    bool matches;
  };
  for (const Case& c : std::vector<Case>{
           {"*.txt", "a.txt", true},
           {"*.txt", ".txt", true},
           {"*.txt", "a.txt.bak", false},
           {"a*b*c", "aXbYbc", true},
           {"a" + std::string(40, '*') + "b", std::string(60, 'a'), false},
           {"a?c", "abc", true},
           {"a?c", "aäc", true},
           {"a?c", "ac", false},
           {"*", "", true},
           {"A.txt", "a.txt", false},
       }) {
    EXPECT_EQ(builder::MatchesName(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
  }
}

// A source path in double quotes may hold "=" and keep its blanks.
TEST_F(FileSelectionTest, AQuotedSourceMayHoldAnEqualsSign) {
  Source("a=b .txt", "a");
  const builder::Description description = Read("\"a=b .txt\" = %selected%\\a=b.txt\n");
  EXPECT_EQ(
      Files(description),
      (std::vector<std::pair<std::string, std::string>>{{"a=b .txt", "%selected%\\a=b.txt"}}));
}

}  // namespace

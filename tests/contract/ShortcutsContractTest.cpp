#include <optional>
#include <string>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using platform::Shortcut;
using platform::ShortcutResult;

class ShortcutsContract : public ContractTest {
 protected:
  void SetUp() override {
    ContractTest::SetUp();
    ASSERT_TRUE(platform().files.CreateDirectory(Scratch("Prüf Programm")));
    fixture().WriteRaw(Scratch("Prüf Programm\\Tessarwölden Start.exe"), "MZ");
  }

  // A shortcut to the program above with blanks and umlauts in every field.
  Shortcut Full() {
    return {Scratch("Prüf Programm\\Tessarwölden Start.exe"), "/Größe \"zwei Wörter\"",
            Scratch("Prüf Programm"), "Startet Tessarwölden – schön"};
  }

  void ExpectReadBack(std::string_view path, const Shortcut& written) {
    const std::optional<Shortcut> read = fixture().ReadShortcut(path);
    ASSERT_TRUE(read.has_value()) << path;
    EXPECT_EQ(read->target, written.target);
    EXPECT_EQ(read->arguments, written.arguments);
    EXPECT_EQ(read->workingDirectory, written.workingDirectory);
    EXPECT_EQ(read->description, written.description);
  }
};

TEST_F(ShortcutsContract, ReadersGetBackEveryFieldAsWritten) {
  const std::string path = Scratch("Tessarwölden starten.lnk");
  ASSERT_EQ(platform().shell.WriteShortcut(Full(), path), ShortcutResult::Saved);
  ExpectReadBack(path, Full());
}

TEST_F(ShortcutsContract, AnExistingFileIsReplacedWhole) {
  const std::string path = Scratch("Verweis.lnk");
  fixture().WriteRaw(path, "kein Verweis");
  ASSERT_EQ(platform().shell.WriteShortcut(Full(), path), ShortcutResult::Saved);
  ExpectReadBack(path, Full());

  const Shortcut targetOnly{Scratch("Prüf Programm\\Tessarwölden Start.exe"), "", "", ""};
  ASSERT_EQ(platform().shell.WriteShortcut(targetOnly, path), ShortcutResult::Saved);
  ExpectReadBack(path, targetOnly);
}

TEST_F(ShortcutsContract, IsNotSavedIntoAMissingFolder) {
  const std::string path = Scratch("Fehlt\\Verweis.lnk");
  EXPECT_EQ(platform().shell.WriteShortcut(Full(), path), ShortcutResult::NotSaved);
  EXPECT_FALSE(platform().files.FileExists(path));
}

}  // namespace
}  // namespace contract

#include <algorithm>
#include <cctype>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using platform::SpecialFolder;

using ShellContract = ContractTest;

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

TEST_F(ShellContract, SpecialFoldersAreDrivePathsWithoutTrailingBackslash) {
  for (SpecialFolder folder :
       {SpecialFolder::Programs, SpecialFolder::Desktop, SpecialFolder::Personal,
        SpecialFolder::SendTo, SpecialFolder::Recent, SpecialFolder::AppData,
        SpecialFolder::Favorites, SpecialFolder::MyMusic, SpecialFolder::MyPictures,
        SpecialFolder::MyVideo, SpecialFolder::Startup}) {
    const std::string path = platform().shell.SpecialFolderPath(folder);
    SCOPED_TRACE(static_cast<int>(folder));
    ASSERT_GT(path.size(), 3u) << path;
    EXPECT_EQ(path.substr(1, 2), ":\\") << path;
    EXPECT_NE(path.back(), '\\') << path;
  }
}

TEST_F(ShellContract, FolderBrowserGivesTheChosenFolderADriveRootOrNothing) {
  const std::string medien = Scratch("Medien");
  ASSERT_TRUE(platform().files.CreateDirectory(medien));
  fixture().ScriptFolderBrowser({medien, "C:\\", std::nullopt});

  const std::optional<std::string> chosen = platform().shell.BrowseForFolder("Bitte wählen!");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(Folded(*chosen), Folded(medien));
  EXPECT_EQ(platform().shell.BrowseForFolder("Bitte wählen!"), "C:\\");
  EXPECT_EQ(platform().shell.BrowseForFolder("Bitte wählen!"), std::nullopt);
}

TEST_F(ShellContract, DisplayNamesOfComputerDrivesAndFolders) {
  auto& shell = platform().shell;
  EXPECT_FALSE(shell.ComputerName().empty());
  const std::string drive = shell.DisplayName("C:\\");
  EXPECT_NE(drive.find("(C:)"), std::string::npos) << drive;
  const std::string folder = Scratch("Bilder");
  ASSERT_TRUE(platform().files.CreateDirectory(folder));
  EXPECT_EQ(shell.DisplayName(folder), "Bilder");
  EXPECT_EQ(shell.DisplayName(Scratch("Fehlt")), "");
}

TEST_F(ShellContract, RenameFolderKeepsItsContent) {
  auto& files = platform().files;
  const std::string from = Scratch("Alt");
  const std::string to = Scratch("Neu");
  ASSERT_TRUE(files.CreateDirectory(from));
  ASSERT_TRUE(files.WriteFile(from + "\\Datei.txt", "Inhalt"));
  EXPECT_TRUE(platform().shell.RenameFolder(from, to));
  EXPECT_FALSE(files.DirectoryExists(from));
  EXPECT_EQ(files.ReadFile(to + "\\Datei.txt"), "Inhalt");
}

}  // namespace
}  // namespace contract

#include "engine/SpecialFolders.h"

#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"

namespace {

using platform::RegRoot;
using platform::SpecialFolder;

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class SpecialFolders : public ::testing::Test {
 protected:
  SpecialFolders() {
    state.TargetDir = "C:\\Apps";
    sim.PutRegString(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                     "ProgramFilesDir", "C:\\Programme");
    for (const char* name : {"Programs", "Desktop", "Personal", "SendTo", "Recent", "AppData",
                             "Favorites", "MyMusic", "MyPictures", "MyVideo", "Startup"}) {
      sim.PutRegString(RegRoot::CurrentUser, kShellFolders, name, std::string("C:\\P\\") + name);
    }
  }
  std::optional<std::string> Folder(std::string_view name) {
    return engine::GetSpecialFolderPath(sim.platform(), state, name);
  }

  platform::sim::SimPlatform sim;
  engine::RunSettings state;
};

TEST_F(SpecialFolders, EveryPlaceholderNamesItsFolderWithATrailingBackslash) {
  struct Case {
    const char* name;
    const char* folder;
  };
  for (const Case& c : std::vector<Case>{
           {"%windir%", "C:\\Windows\\"},
           {"%SELECTED%", "C:\\Apps\\"},
           {"%Programs%", "C:\\P\\Programs\\"},
           {"%desktop%", "C:\\P\\Desktop\\"},
           {"%personal%", "C:\\P\\Personal\\"},
           {"%sendto%", "C:\\P\\SendTo\\"},
           {"%recent%", "C:\\P\\Recent\\"},
           {"%programfiles%", "C:\\Programme\\"},
           {"%appdata%", "C:\\P\\AppData\\"},
           {"%favorites%", "C:\\P\\Favorites\\"},
           {"%mymusic%", "C:\\P\\MyMusic\\"},
           {"%mypictures%", "C:\\P\\MyPictures\\"},
           {"%myvideo%", "C:\\P\\MyVideo\\"},
           {"%STARTUP%", "C:\\P\\Startup\\"},
       }) {
    EXPECT_EQ(Folder(c.name), c.folder) << c.name;
  }
  EXPECT_EQ(Folder("%temp%"), std::nullopt);
  EXPECT_EQ(Folder("%selected"), std::nullopt);
}

TEST_F(SpecialFolders, MediaFoldersFallBackToTheNamesWindowsWritesAndThenToTheShell) {
  const std::string key = kShellFolders;
  // Windows writes "My Music"; the name without blank is tried first.
  sim.PutRegString(RegRoot::CurrentUser, key, "MyMusic", "");
  sim.PutRegString(RegRoot::CurrentUser, key, "My Music", "C:\\Users\\Ich\\Musik");
  EXPECT_EQ(Folder("%mymusic%"), "C:\\Users\\Ich\\Musik\\");

  sim.PutRegString(RegRoot::CurrentUser, key, "MyVideo", "");
  sim.SetSpecialFolder(SpecialFolder::MyVideo, "C:\\Users\\Ich\\Videos");
  EXPECT_EQ(Folder("%myvideo%"), "C:\\Users\\Ich\\Videos\\");

  sim.SetSpecialFolder(SpecialFolder::MyVideo, "");
  EXPECT_EQ(Folder("%myvideo%"), "") << "no folder: nothing to graft a path onto";
}

TEST_F(SpecialFolders, PathsResolveAgainstTheLastPlaceholderBase) {
  engine::PlaceholderPaths paths(sim.platform(), state);
  struct Step {
    const char* value;
    const char* full;
  };
  for (const Step& s : std::vector<Step>{
           {"relativ\\vorher.txt", "vorher.txt"},
           {"%SELECTED%\\bin\\app.exe", "C:\\Apps\\bin\\app.exe"},
           {"D:\\Tools\\app.exe", "D:\\Tools\\app.exe"},
           {"irgendwo\\danach.txt", "C:\\Apps\\danach.txt"},
           {"%windir%\\notepad.exe", "C:\\Windows\\notepad.exe"},
           {"%unbekannt%\\x.txt", "C:\\Windows\\x.txt"},
           {"%windir", "C:\\Windows\\%windir"},
       }) {
    EXPECT_EQ(paths.Resolve(s.value), s.full) << s.value;
  }
}

TEST(PathParts, FolderNameAndGraftedPaths) {
  EXPECT_EQ(engine::FolderPart("C:\\Apps\\bin\\a.exe"), "C:\\Apps\\bin\\");
  EXPECT_EQ(engine::FolderPart("C:a.exe"), "C:");
  EXPECT_EQ(engine::FolderPart("a.exe"), "");
  EXPECT_EQ(engine::NamePart("C:\\Apps\\bin\\a.exe"), "a.exe");
  EXPECT_EQ(engine::NamePart("a.exe"), "a.exe");
  EXPECT_EQ(engine::MakeReadyPath("C:\\Apps\\", "%selected%\\bin\\tool.exe"),
            "C:\\Apps\\bin\\tool.exe");
  EXPECT_EQ(engine::MakeReadyPath("C:\\Apps\\", "tool.exe"), "C:\\Apps\\tool.exe");
}

}  // namespace

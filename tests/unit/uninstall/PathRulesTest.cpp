#include <gtest/gtest.h>

#include "platform/sim/SimPlatform.h"
#include "uninstall/PathRules.h"

namespace uninstall {
namespace {

struct PathCase {
  const char* path;
  bool accepted;
};

TEST(PathRules, OnlyAbsoluteLocalPathsWithPlainNamesAreAccepted) {
  const PathCase cases[] = {
      {"C:\\Programme\\Firma\\Produkt 2.1", true},
      {"d:\\Spiele\\Äpfel\\ä.txt", true},
      {"C:\\", true},
      {"Programme\\Produkt", false},
      {"\\Programme\\Produkt", false},
      {"C:Produkt", false},
      {"\\\\server\\share\\Produkt", false},
      {"\\\\?\\C:\\Produkt", false},
      {"\\\\.\\PhysicalDrive0", false},
      {"C:\\Programme\\..\\Windows", false},
      {"C:\\Programme\\.\\Produkt", false},
      {"C:\\Programme\\\\Produkt", false},
      {"C:\\Programme\\Produkt\\", false},
      {"C:\\Programme/Produkt", false},
      {"C:\\Produkt\\a:b", false},
      {"C:\\Produkt\\a*.txt", false},
      {"C:\\Windows.\\System32", false},
      {"C:\\Windows \\System32", false},
      {"C:\\PROGRA~1\\Produkt", false},
      {"C:\\Produkt\\CON", false},
      {"C:\\Produkt\\nul.txt", false},
      {"C:\\Produkt\\Lpt1", false},
      {"C:\\Produkt\\COM9.log", false},
      {"C:\\Produkt\\CONOUT$", false},
      {"C:\\Produkt\\Console", true},
      {"C:\\Produkt\\COM10", true},
      {"C:\\Produkt\\Tab\tName", false},
  };
  for (const PathCase& c : cases)
    EXPECT_EQ(!RefusePath(c.path).has_value(), c.accepted) << c.path;
}

TEST(PathRules, NamesCompareAsWindowsComparesThem) {
  EXPECT_TRUE(SameName("C:\\ÄPFEL\\Größe", "c:\\äpfel\\grÖße"));
  EXPECT_FALSE(SameName("C:\\a÷", "C:\\a×")) << "signs are no letters";
  EXPECT_TRUE(IsBelow("C:\\Produkt\\a.txt", "c:\\PRODUKT"));
  EXPECT_FALSE(IsBelow("C:\\Produkt", "C:\\Produkt"));
  EXPECT_FALSE(IsBelow("C:\\Produkt 2\\a.txt", "C:\\Produkt")) << "a sibling with a longer name";
  EXPECT_EQ(ParentOf("C:\\a\\b"), "C:\\a");
  EXPECT_EQ(ParentOf("C:\\a"), "C:\\");
  EXPECT_EQ(ParentOf("C:\\"), "");
}

TEST(PathRules, SystemAndUserFoldersAndEverythingAboveThemAreProtected) {
  platform::sim::SimPlatform sim;
  sim.SetSpecialFolder(platform::SpecialFolder::Desktop, "C:\\Users\\Anna\\Desktop");
  sim.SetSpecialFolder(platform::SpecialFolder::Programs, "C:\\Users\\Anna\\Start Menu\\Programs");
  sim.PutRegString(platform::RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion",
                   "ProgramFilesDir", "D:\\Apps");
  sim.PutRegString(platform::RegRoot::LocalMachine,
                   "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                   "ProfilesDirectory", "%SystemDrive%\\Profile", platform::RegType::ExpandString);
  const ProtectedFolders folders(sim.platform());
  for (const char* path :
       {"C:\\", "D:\\", "C:\\Windows", "c:\\windows\\system32", "C:\\Windows\\Temp",
        "C:\\Program Files", "D:\\Apps", "C:\\Users", "C:\\Users\\Anna", "C:\\Users\\Anna\\Desktop",
        "C:\\Users\\Anna\\Start Menu", "C:\\Users\\Anna\\Start Menu\\Programs",
        // Every profile and what Windows keeps in it, not only the user's.
        "C:\\Users\\Public", "C:\\users\\public\\Documents", "C:\\Users\\Default",
        "C:\\Users\\Bert", "C:\\Users\\Bert\\Desktop", "C:\\Users\\Bert\\AppData",
        "C:\\Users\\Bert\\AppData\\Local", "C:\\Documents and Settings\\Bert",
        "C:\\Profile\\Bert\\Documents"}) {
    EXPECT_TRUE(folders.Covers(path)) << path;
  }
  for (const char* path :
       {"C:\\Programme\\Firma", "D:\\Apps\\Produkt", "C:\\Users\\Anna\\Start Menu\\Programs\\Firma",
        "C:\\Windows\\Fonts", "C:\\Users\\Bert\\AppData\\Local\\Programs",
        "C:\\Users\\Bert\\Documents\\Produkt", "C:\\Profile\\Bert\\Documents\\Produkt"}) {
    EXPECT_FALSE(folders.Covers(path)) << path;
  }
  EXPECT_TRUE(folders.InWindowsDirectory("C:\\WINDOWS\\Fonts"));
  EXPECT_FALSE(folders.InWindowsDirectory("C:\\Windows2"));
  EXPECT_EQ(folders.Programs(), "C:\\Users\\Anna\\Start Menu\\Programs");
}

}  // namespace
}  // namespace uninstall

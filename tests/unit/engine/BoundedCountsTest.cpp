#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "engine/PayloadFormat.h"
#include "tests/unit/engine/RunFixture.h"
#include "tools/builder/ZipWriter.h"

namespace engine_test {
namespace {

// Every count a setup reads says 2147483647 while its file holds one or two
// entries: the run visits what is there and ends, instead of looping for
// minutes over entries that do not exist.
TEST_F(RunFixture, CountsLargerThanTheirEntriesEndAtTheLastEntryPresent) {
  SetupInf(
      "[Settings]\r\nAppName=Produkt\r\nStandardReg=1\r\n"
      "[Directories]\r\nFolderCount=2147483647\r\nFolder1=\\Daten\r\n"
      "[Registry]\r\nRegCount=2147483647\r\n"
      "[Reg1]\r\nRoot=HKCU\r\nKey=Software\\Firma\r\nTitle=Eins\r\nValue=1\r\n"
      "[Links]\r\nLinkCount=2147483647\r\n[Link1]\r\nTitle=A\r\nFile=%selected%\\a.txt\r\n"
      "[ComponentInstall]\r\nCmpCount=2147483647\r\nCmpFile1=fehlt.exe\r\n");
  std::string list;
  for (const char* line :
       {"[Listfile]", "FileCount=2147483647", "1=%selected%\\a.txt", "2=%selected%\\b.txt"}) {
    list += engine::payload::ScrambleLine(line) + "\r\n";
  }
  {
    builder::ZipWriter zip(sim.HostPath("C:\\Setup\\Setup.szp"));
    zip.AddBytes(engine::payload::kListEntry, list, 0);
    zip.AddBytes("1", "a", 0);
    zip.AddBytes("2", "b", 0);
    zip.AddBytes(engine::payload::kUninstallerEntry, "MZ", 0);
    zip.Close();
  }
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(Content("C:\\Ziel\\a.txt"), "a");
  EXPECT_EQ(Content("C:\\Ziel\\b.txt"), "b");
  EXPECT_TRUE(Exists("C:\\Ziel\\Daten"));
  EXPECT_EQ(sim.RegString(platform::RegRoot::CurrentUser, "Software\\Firma", "Eins"), "1");
  EXPECT_EQ(sim.StartedProcesses().size(), 1u);
  const std::string log = Content("C:\\Ziel\\Uninstall.inf");
  for (const char* line :
       {"\r\nFileCount=2\r\n", "\r\nDirCount=1\r\n", "\r\nRegCount=1\r\n", "\r\nLinkCount=1\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace engine_test

#include "engine/Shortcuts.h"

#include <gtest/gtest.h>

#include "core/Convert.h"
#include "tests/support/LnkInfo.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

using platform::RegRoot;

constexpr const char* kPrograms = "C:\\WINDOWS\\Startmenü\\Programme";

class Shortcuts : public RunFixture {
 protected:
  Shortcuts() {
    sim.AddDrive('D', platform::DriveType::Fixed);
    sim.PutRegString(RegRoot::CurrentUser, kShellFolders, "Desktop", "C:\\Users\\Sim\\Desktop");
    sim.PutRegString(RegRoot::CurrentUser, kShellFolders, "SendTo", "C:\\Users\\Sim\\SendTo");
    for (const char* folder : {"C:\\Users\\Sim\\Desktop", "C:\\Users\\Sim\\SendTo", "D:\\Ablage"})
      std::filesystem::create_directories(sim.HostPath(folder));
  }

  /// Runs the shortcut phase over [Settings] and `links`; gives the log.
  std::vector<std::string> Create(std::string_view links,
                                  std::string programFolder = "Firma\\Produkt",
                                  std::string_view settings = "") {
    SetupInf(std::string("[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\n") +
             std::string(settings) + std::string(links));
    StartUp("C:\\Apps", std::move(programFolder));
    engine::RunContext run(sim.platform(), Settings(), zip, view, stop.get_token());
    run.windowsDir = "C:\\Windows";
    engine::CreateShortcuts(run);
    return run.log.Lines();
  }
  std::optional<platform::Shortcut> Read(const std::string& windowsPath) {
    return testing_support::ReadWithLnkinfo(sim.HostPath(windowsPath));
  }
};

TEST_F(Shortcuts, EntriesResolveTheirFolderTargetAndWorkingDirectory) {
  const std::vector<std::string> log = Create(
      "[Links]\r\nLinkCount=4\r\n"
      "[Link1]\r\nFolder=%InstStandard%\r\nTitle=Produkt\r\nFile=%selected%\\bin\\app.exe\r\n"
      "Params=/start \"zwei Wörter\"\r\nComment=Startet Produkt\r\n"
      "[Link2]\r\nFolder=%desktop%\r\nTitle=Werkzeug\r\nFile=D:\\Tools\\app.exe\r\n"
      "[Link3]\r\nFolder=%SendTo%\r\nFile=%windir%\\notepad.exe\r\n"
      "[Link4]\r\nFolder=D:\\Ablage\r\nTitle=Ohne Platzhalter\r\nFile=liesmich.txt\r\n");

  const std::string folder = std::string(kPrograms) + "\\Firma\\Produkt";
  EXPECT_EQ(log, (std::vector<std::string>{
                     "[Links]", "LinkCount=4", "[Link1]", "Path=\"" + folder + "\\Produkt.lnk\"",
                     "[Link2]", "Path=\"C:\\Users\\Sim\\Desktop\\Werkzeug.lnk\"", "[Link3]",
                     "Path=\"C:\\Users\\Sim\\SendTo\\Link.lnk\"", "[Link4]",
                     "Path=\"D:\\Ablage\\Ohne Platzhalter.lnk\""}));
  struct Expected {
    std::string path;
    platform::Shortcut shortcut;
  };
  for (const Expected& e : std::vector<Expected>{
           {folder + "\\Produkt.lnk",
            {"C:\\Apps\\bin\\app.exe", "/start \"zwei Wörter\"", "C:\\Apps\\bin\\",
             "Startet Produkt"}},
           {"C:\\Users\\Sim\\Desktop\\Werkzeug.lnk", {"D:\\Tools\\app.exe", "", "D:\\Tools\\", ""}},
           {"C:\\Users\\Sim\\SendTo\\Link.lnk",
            {"C:\\Windows\\notepad.exe", "", "C:\\Windows\\", ""}},
           {"D:\\Ablage\\Ohne Platzhalter.lnk",
            {"C:\\Windows\\liesmich.txt", "", "C:\\Windows\\", ""}},
       }) {
    const std::optional<platform::Shortcut> read = Read(e.path);
    ASSERT_TRUE(read) << e.path;
    EXPECT_EQ(read->target, e.shortcut.target) << e.path;
    EXPECT_EQ(read->arguments, e.shortcut.arguments) << e.path;
    EXPECT_EQ(read->workingDirectory, e.shortcut.workingDirectory) << e.path;
    EXPECT_EQ(read->description, e.shortcut.description) << e.path;
  }
}

TEST_F(Shortcuts, CountsAndSkipsAsTheChoicesOfTheProgramFolderPageSay) {
  struct Case {
    const char* name;
    const char* links;
    std::string programFolder;
    bool noShortcuts;
    bool uninstallShortcut;
    std::vector<std::string> log;
    bool folderMade;
  };
  const std::string programs = kPrograms;
  for (const Case& c : std::vector<Case>{
           {"none", "[Links]\r\nLinkCount=0\r\n", "Firma", false, false, {}, false},
           {"only the uninstall shortcut",
            "[Links]\r\nLinkCount=0\r\n",
            "Firma",
            false,
            true,
            {"[Links]", "LinkCount=1", "[Link1]",
             "Path=\"" + programs + "\\Firma\\Produkt 2.1 deinstallieren.lnk\""},
            true},
           {"no shortcuts wanted",
            "[Links]\r\nLinkCount=2\r\n[Link1]\r\nTitle=A\r\n[Link2]\r\nTitle=B\r\n",
            "",
            true,
            false,
            {"[Links]", "LinkCount=2", "[Link1]", "[Link2]"},
            false},
           {"program folder emptied",
            "[Links]\r\nLinkCount=1\r\n[Link1]\r\nTitle=A\r\nFile=%selected%\\a.exe\r\n",
            "",
            false,
            false,
            {"[Links]", "LinkCount=1", "[Link1]", "Path=\"" + programs + "\\\\A.lnk\""},
            false},
       }) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(sim.HostPath(programs));
    state.CreateUninstallShortcut = false;
    SetupInf(
        std::string("[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCreateUninstallShortcut=") +
        (c.uninstallShortcut ? "1" : "0") + "\r\n" + c.links);
    StartUp("C:\\Apps", c.programFolder);
    state.NoShortcuts = c.noShortcuts;
    engine::RunContext run(sim.platform(), Settings(), zip, view, stop.get_token());
    run.windowsDir = "C:\\Windows";
    engine::CreateShortcuts(run);
    EXPECT_EQ(run.log.Lines(), c.log);
    EXPECT_EQ(sim.platform().files.DirectoryExists(programs + "\\Firma"), c.folderMade);
  }
}

TEST_F(Shortcuts, TheUninstallShortcutStartsTheUninstallerWithTheControlFile) {
  Create("[Links]\r\nLinkCount=0\r\n", "Firma", "CreateUninstallShortcut=1\r\n");
  const std::string link = std::string(kPrograms) + "\\Firma\\Produkt 2.1 deinstallieren.lnk";
  const std::optional<platform::Shortcut> read = Read(link);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->target, "C:\\Windows\\Inst_Produkt_remove.exe");
  EXPECT_EQ(read->arguments, "\"C:\\Apps\\Uninstall.inf\"");
  EXPECT_EQ(read->workingDirectory, "C:\\Windows");
  EXPECT_EQ(read->description, "Deinstallation (Tessarwolden)");
}

TEST_F(Shortcuts, ACountThatIsNoNumberOrAMissingShellLinkObjectEndTheRun) {
  EXPECT_THROW(Create("[Links]\r\nLinkCount=zwei\r\n"), core::EConvertError);
  sim.DenyShellLinks();
  EXPECT_THROW(Create("[Links]\r\nLinkCount=1\r\n[Link1]\r\nFile=C:\\a.exe\r\n"),
               engine::EInstallError);
}

}  // namespace
}  // namespace engine_test

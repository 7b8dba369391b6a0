// The parts of the simulated machine that tests of the program set up and
// inspect, beyond what the contract suites check on both implementations.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"

namespace {

using platform::DriveType;
using platform::MsgAnswer;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::RegRoot;
using platform::RegType;
using platform::sim::SimError;
using platform::sim::SimPlatform;
namespace attr = platform::attr;

TEST(SimFiles, HostPathFollowsExistingSpellingAndKeepsTheRest) {
  SimPlatform sim;
  sim.PutFile("C:\\Program Files\\Tessarwolden\\App.exe", "x");
  const std::filesystem::path host = sim.HostPath("c:\\PROGRAM FILES\\tessarwolden\\New\\Sub.txt");
  EXPECT_EQ(host.filename(), "Sub.txt");
  EXPECT_EQ(host.parent_path().filename(), "New");
  EXPECT_EQ(host.parent_path().parent_path(), sim.HostPath("C:\\Program Files\\Tessarwolden"));
  EXPECT_TRUE(std::filesystem::exists(sim.HostPath("C:/program files/TESSARWOLDEN/app.EXE")));
}

TEST(SimFiles, StartsWithDriveCAndTheWindowsFolders) {
  SimPlatform sim;
  auto& files = sim.platform().files;
  EXPECT_EQ(files.LogicalDrives(), 1u << ('C' - 'A'));
  EXPECT_EQ(files.CurrentDirectory(), "C:\\");
  for (const char* dir : {"C:\\Windows", "C:\\Windows\\System32", "C:\\Windows\\Temp"}) {
    EXPECT_TRUE(files.DirectoryExists(dir)) << dir;
  }
  EXPECT_EQ(files.WindowsDirectory(), "C:\\Windows");
  EXPECT_EQ(files.TempDirectory(), "C:\\Windows\\Temp\\");
  EXPECT_EQ(sim.platform().system.ModulePath(), "C:\\Setup\\Setup.exe");
  EXPECT_TRUE(sim.platform().system.Arguments().empty());
}

TEST(SimFiles, DrivesWithAndWithoutMedium) {
  SimPlatform sim;
  auto& files = sim.platform().files;
  sim.AddDrive('d', DriveType::CdRom, false);
  sim.AddDrive('E', DriveType::Removable, true, "DISK2", 0x1234ABCD);

  EXPECT_EQ(files.LogicalDrives(), (1u << 2) | (1u << 3) | (1u << 4));
  EXPECT_EQ(files.GetDriveType("D:\\"), DriveType::CdRom);
  EXPECT_EQ(files.GetDriveType("e:"), DriveType::Removable);
  EXPECT_EQ(files.GetDriveType("C:\\Windows\\"), DriveType::NoRootDir);

  EXPECT_FALSE(files.VolumeInformation("D:\\").has_value());
  EXPECT_FALSE(files.DirectoryExists("D:\\"));
  EXPECT_FALSE(files.FileExists("D:\\Disk1.id"));
  EXPECT_THROW(sim.PutFile("D:\\Disk1.id", "x"), SimError);
  EXPECT_THROW(sim.PutFile("Q:\\file", "x"), SimError);

  const auto volume = files.VolumeInformation("E:\\");
  ASSERT_TRUE(volume.has_value());
  EXPECT_EQ(volume->label, "DISK2");
  EXPECT_EQ(volume->serial, 0x1234ABCDu);
  sim.PutFile("E:\\Disk2.id", "part");
  EXPECT_EQ(files.ReadFile("e:\\DISK2.ID"), "part");
}

// Wine running as root writes over read-only files; Windows refuses.
TEST(SimFiles, ReadOnlyFilesAreNotOverwritten) {
  SimPlatform sim;
  auto& files = sim.platform().files;
  sim.PutFile("C:\\ro.txt", "kept");
  sim.PutFile("C:\\other.txt", "other");
  sim.SetAttributes("C:\\RO.TXT", attr::ReadOnly | attr::Directory);
  EXPECT_EQ(files.Attributes("C:\\ro.txt"), attr::ReadOnly | 0x20u);

  EXPECT_FALSE(files.WriteFile("C:\\ro.txt", "changed"));
  EXPECT_EQ(files.OpenWrite("C:\\ro.txt"), nullptr);
  EXPECT_FALSE(files.CopyFile("C:\\other.txt", "C:\\ro.txt", false));
  EXPECT_EQ(files.ReadFile("C:\\ro.txt"), "kept");
}

TEST(SimFiles, DeletedFilesForgetTheirAttributes) {
  SimPlatform sim;
  auto& files = sim.platform().files;
  sim.PutFile("C:\\Dir\\f.txt", "x");
  sim.SetAttributes("C:\\Dir\\f.txt", attr::Hidden);
  sim.SetAttributes("C:\\Dir", attr::System);
  ASSERT_TRUE(files.DeleteFile("C:\\Dir\\f.txt"));
  ASSERT_TRUE(files.RemoveDirectory("C:\\Dir"));
  sim.PutFile("C:\\Dir\\f.txt", "x");
  EXPECT_EQ(files.Attributes("C:\\Dir\\f.txt"), 0x20u);
  EXPECT_EQ(files.Attributes("C:\\Dir"), attr::Directory);
  EXPECT_THROW(sim.SetAttributes("C:\\Missing", attr::Hidden), SimError);
}

TEST(SimFiles, RootListingCarriesAttributes) {
  SimPlatform sim;
  sim.SetAttributes("C:\\Windows", attr::System);
  for (const auto& entry : sim.platform().files.ListSubdirectories("C:\\")) {
    if (entry.name == "Windows") {
      EXPECT_EQ(entry.attributes, attr::Directory | attr::System);
    }
  }
}

TEST(SimFiles, CurrentDirectoryMustExist) {
  SimPlatform sim;
  EXPECT_THROW(sim.SetCurrentDirectory("C:\\Missing"), SimError);
  sim.SetCurrentDirectory("c:\\windows\\");
  EXPECT_EQ(sim.platform().files.CurrentDirectory(), "c:\\windows");
  EXPECT_EQ(sim.platform().files.FullPath("D:x"), "D:\\x") << "another drive starts at its root";
}

TEST(SimFiles, DeniedFoldersRefuseEveryChangeBelowThemButStayReadable) {
  SimPlatform sim;
  auto& files = sim.platform().files;
  sim.PutFile("C:\\Voll\\Unter\\alt.txt", "alt");
  sim.PutFile("C:\\Quelle.txt", "neu");
  sim.DenyWrites("C:\\voll");

  EXPECT_FALSE(files.CreateDirectory("C:\\Voll\\Neu"));
  EXPECT_FALSE(files.WriteFile("C:\\Voll\\neu.txt", "x"));
  EXPECT_FALSE(files.WriteFile("C:\\Voll\\Unter\\alt.txt", "x"));
  EXPECT_FALSE(files.CopyFile("C:\\Quelle.txt", "C:\\Voll\\Unter\\kopie.txt", false));
  EXPECT_FALSE(files.DeleteFile("C:\\Voll\\Unter\\alt.txt"));
  EXPECT_EQ(files.ReadFile("C:\\Voll\\Unter\\alt.txt"), "alt");
  EXPECT_TRUE(files.WriteFile("C:\\Vollständig.txt", "x")) << "a sibling with the same start";

  sim.DenyWrites("C:\\Voll", false);
  EXPECT_TRUE(files.WriteFile("C:\\Voll\\neu.txt", "x"));
}

TEST(SimFiles, ADriveWithLittleRoomFillsUpAndGetsRoomBackFromDeletions) {
  SimPlatform sim;
  sim.AddDrive('D', DriveType::Fixed);
  auto& files = sim.platform().files;
  sim.PutFile("C:\\Quelle.bin", std::string(6, 'q'));
  sim.SetFreeSpace('d', 10);
  EXPECT_EQ(files.FreeSpace("D:\\"), 10u);

  EXPECT_TRUE(files.WriteFile("D:\\a.bin", "1234"));
  EXPECT_EQ(files.FreeSpace("D:\\"), 6u);
  EXPECT_FALSE(files.WriteFile("D:\\b.bin", "12345678")) << "a write that does not fit";
  EXPECT_EQ(files.ReadFile("D:\\b.bin"), "123456") << "the stream wrote what still fitted";
  EXPECT_EQ(files.FreeSpace("D:\\"), 0u);
  EXPECT_FALSE(files.CopyFile("C:\\Quelle.bin", "D:\\c.bin", false));
  EXPECT_FALSE(files.FileExists("D:\\c.bin")) << "a copy that does not fit writes nothing";
  EXPECT_FALSE(files.MoveFile("C:\\Quelle.bin", "D:\\c.bin", false));
  EXPECT_TRUE(files.FileExists("C:\\Quelle.bin"));

  EXPECT_TRUE(files.DeleteFile("D:\\b.bin"));
  EXPECT_TRUE(files.MoveFile("C:\\Quelle.bin", "D:\\c.bin", false));
  EXPECT_EQ(files.FreeSpace("D:\\"), 0u);
  EXPECT_TRUE(files.MoveFile("D:\\c.bin", "D:\\a.bin", true)) << "a move within the drive";
  EXPECT_EQ(files.FreeSpace("D:\\"), 4u) << "the replaced file gave its room back";
  EXPECT_TRUE(files.WriteFile("D:\\a.bin", "")) << "truncating gives room back";
  EXPECT_EQ(files.FreeSpace("D:\\"), 10u);
  EXPECT_EQ(files.FreeSpace("C:\\"), platform::sim::SimFiles::kSimDiskSize / 2)
      << "other drives are not limited";
}

TEST(SimShell, FolderBrowserAnswersFromTheScriptAndSpecialFoldersFromTheTable) {
  SimPlatform sim;
  auto& shell = sim.platform().shell;
  sim.QueueFolderChoices({"D:\\Medien"});
  EXPECT_EQ(shell.BrowseForFolder("Wählen"), "D:\\Medien");
  EXPECT_EQ(shell.BrowseForFolder("Noch einmal"), std::nullopt) << "nothing queued: cancelled";
  EXPECT_EQ(sim.FolderBrowserPrompts(), (std::vector<std::string>{"Wählen", "Noch einmal"}));

  sim.SetSpecialFolder(platform::SpecialFolder::Desktop, "C:\\Schreibtisch");
  EXPECT_EQ(shell.SpecialFolderPath(platform::SpecialFolder::Desktop), "C:\\Schreibtisch");
  sim.SetSpecialFolder(platform::SpecialFolder::Desktop, "");
  EXPECT_EQ(shell.SpecialFolderPath(platform::SpecialFolder::Desktop), "");
}

TEST(SimShell, ShortcutsNeedTheShellLinkObject) {
  SimPlatform sim;
  const platform::Shortcut shortcut{"C:\\Windows\\notepad.exe", "", "", ""};
  sim.DenyShellLinks();
  EXPECT_EQ(sim.platform().shell.WriteShortcut(shortcut, "C:\\Notiz.lnk"),
            platform::ShortcutResult::NoShellLink);
  EXPECT_FALSE(sim.platform().files.FileExists("C:\\Notiz.lnk"));
  sim.DenyShellLinks(false);
  EXPECT_EQ(sim.platform().shell.WriteShortcut(shortcut, "C:\\Notiz.lnk"),
            platform::ShortcutResult::Saved);
}

TEST(SimRegistry, DeniedRootsRefuseEveryOpen) {
  SimPlatform sim;
  auto& registry = sim.platform().registry;
  sim.PutRegString(RegRoot::LocalMachine, "Software\\Vendor", "Name", "value");
  sim.DenyRegistryRoot(RegRoot::LocalMachine);
  EXPECT_EQ(registry.OpenKey(RegRoot::LocalMachine, "Software\\Vendor"), nullptr);
  EXPECT_EQ(registry.CreateKey(RegRoot::LocalMachine, "Software\\Other"), nullptr);
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, "Software\\Other"));
  EXPECT_NE(registry.CreateKey(RegRoot::CurrentUser, "Software\\Other"), nullptr);

  sim.DenyRegistryRoot(RegRoot::LocalMachine, false);
  auto key = registry.OpenKey(RegRoot::LocalMachine, "\\SOFTWARE\\vendor");
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->ReadString("name"), "value");
}

TEST(SimRegistry, DirectAccessSeesWhatTheProgramWrote) {
  SimPlatform sim;
  auto key = sim.platform().registry.CreateKey(RegRoot::CurrentUser, "Software\\Tessarwolden");
  ASSERT_NE(key, nullptr);
  key->WriteString("Path", "%windir%", true);
  key->WriteDWord("Count", 3);
  key->WriteBinary("Blob", {1, 2, 3});

  EXPECT_TRUE(sim.RegKeyExists(RegRoot::CurrentUser, "software\\TESSARWOLDEN"));
  EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, "Software\\Tessarwolden"));
  EXPECT_EQ(sim.RegValueType(RegRoot::CurrentUser, "Software\\Tessarwolden", "path"),
            RegType::ExpandString);
  EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, "Software\\Tessarwolden", "Path"), "%windir%");
  EXPECT_EQ(sim.RegDWord(RegRoot::CurrentUser, "Software\\Tessarwolden", "count"), 3u);
  EXPECT_EQ(sim.RegBinary(RegRoot::CurrentUser, "Software\\Tessarwolden", "Blob"),
            (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, "Software\\Tessarwolden", "Count"), std::nullopt);
  EXPECT_EQ(sim.RegDWord(RegRoot::CurrentUser, "Software\\Missing", "Count"), std::nullopt);

  sim.PutRegDWord(RegRoot::CurrentUser, "Software\\Tessarwolden", "COUNT", 4);
  EXPECT_EQ(key->ReadDWord("Count"), 4u);
  sim.PutRegBinary(RegRoot::Users, "X", "B", {9});
  sim.PutRegString(RegRoot::Users, "X", "M", "a", RegType::MultiString);
  auto users = sim.platform().registry.OpenKey(RegRoot::Users, "X");
  ASSERT_NE(users, nullptr);
  EXPECT_EQ(users->ReadBinary("b"), std::vector<uint8_t>{9});
  EXPECT_EQ(users->ValueType("M"), RegType::MultiString);
  EXPECT_EQ(users->ReadString("M"), std::nullopt);
}

TEST(SimDialogs, RecordsEveryBoxAndAnswersFromTheScript) {
  SimPlatform sim;
  auto& dialogs = sim.platform().dialogs;
  EXPECT_EQ(dialogs.MessageBox("A", "one", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::Yes);
  EXPECT_EQ(dialogs.MessageBox("B", "two", MsgButtons::OkCancel, MsgIcon::Error), MsgAnswer::Ok);
  sim.QueueAnswers({MsgAnswer::No});
  EXPECT_EQ(dialogs.MessageBox("C", "three", MsgButtons::YesNo, MsgIcon::None), MsgAnswer::No);

  const auto& shown = sim.Messages();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].caption, "A");
  EXPECT_EQ(shown[0].text, "one");
  EXPECT_EQ(shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(shown[0].icon, MsgIcon::Question);
  EXPECT_EQ(shown[0].answer, MsgAnswer::Yes);
  EXPECT_EQ(shown[1].icon, MsgIcon::Error);
  EXPECT_EQ(shown[2].answer, MsgAnswer::No);
}

TEST(SimDialogs, HookSeesTheBoxBeforeItIsAnswered) {
  SimPlatform sim;
  sim.OnMessage([&sim](const platform::sim::ShownMessage& box) {
    if (box.caption == "Setup beenden")
      sim.QueueAnswers({MsgAnswer::No});
  });
  auto& dialogs = sim.platform().dialogs;
  EXPECT_EQ(dialogs.MessageBox("Setup beenden", "?", MsgButtons::YesNo, MsgIcon::Question),
            MsgAnswer::No);
  EXPECT_EQ(dialogs.MessageBox("Other", "?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::Yes);
}

TEST(SimDialogs, AnswerWithoutItsButtonIsAScriptError) {
  SimPlatform sim;
  sim.QueueAnswers({MsgAnswer::Yes});
  EXPECT_THROW(sim.platform().dialogs.MessageBox("Info", "x", MsgButtons::Ok, MsgIcon::None),
               SimError);
}

TEST(SimSystem, ProcessAndMessageLoop) {
  SimPlatform sim;
  auto& system = sim.platform().system;
  sim.SetModulePath("D:\\Setup.exe");
  EXPECT_EQ(system.ModulePath(), "D:\\Setup.exe");

  int processed = 0;
  sim.OnProcessMessages([&processed] { ++processed; });
  system.ProcessMessages();
  system.ProcessMessages();
  EXPECT_EQ(processed, 2);

  EXPECT_FALSE(sim.QuitPosted());
  system.PostQuit();
  EXPECT_TRUE(sim.QuitPosted());
}

TEST(SimSystem, NumbersHaveADecimalCommaUnlessSetOtherwise) {
  SimPlatform sim;
  EXPECT_EQ(sim.platform().system.DecimalSeparator(), ",");
  sim.SetDecimalSeparator(".");
  EXPECT_EQ(sim.platform().system.DecimalSeparator(), ".");
}

TEST(SimSystem, CodePagesAreWindows1252AndOem850) {
  SimPlatform sim;
  auto& system = sim.platform().system;
  EXPECT_EQ(system.AnsiToUtf8("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D")
      << "undefined bytes pass as C1 controls";
  EXPECT_EQ(system.AnsiToUtf8("\x8A\x9F"), "ŠŸ");
  EXPECT_EQ(system.OemToUtf8("\x9B\xD5\xF2\xB0"), "øı‗░") << "where 850 differs from 437";
  EXPECT_EQ(system.OemCodePage(), 850u);
  EXPECT_EQ(system.Utf8ToAnsi("\xFF"), "?") << "invalid UTF-8";
}

// The recorder (tests/support/Recorder.cpp) on a simulated drive, written as
// an installation unpacks it.
void PutRecorder(SimPlatform& sim, std::string_view path) {
  std::ifstream in(RECORDER_PATH, std::ios::binary);
  ASSERT_TRUE(in) << RECORDER_PATH;
  sim.PutFile(path, std::string(std::istreambuf_iterator<char>(in), {}));
}

TEST(SimProcesses, AnUnquotedProgramPathIsTriedUpToEachBlankShortestFirst) {
  SimPlatform sim;
  PutRecorder(sim, "C:\\Werk zeug.exe");
  sim.PutFile("C:\\Arbeit\\Liesmich.txt", "");
  auto& processes = sim.platform().processes;
  const std::string folder = std::filesystem::canonical(sim.HostPath("C:\\Arbeit")).string();

  ASSERT_TRUE(processes.RunAndWait("C:\\Werk zeug.exe eins", "C:\\Arbeit"));
  // The program's own start-up code splits its name at the blank, and the
  // recorder takes the second half for its file.
  EXPECT_EQ(sim.platform().files.ReadFile("C:\\Arbeit\\zeug.exe"), "eins|" + folder + "\n");

  sim.PutFile("C:\\Werk.exe", "MZ");
  EXPECT_FALSE(processes.RunAndWait("C:\\Werk zeug.exe zwei", "C:\\Arbeit"))
      << "C:\\Werk.exe comes first and is no program";
  EXPECT_EQ(sim.platform().files.ReadFile("C:\\Arbeit\\zeug.exe"), "eins|" + folder + "\n");
}

TEST(SimProcesses, RecordsEveryStartAskedFor) {
  SimPlatform sim;
  PutRecorder(sim, "C:\\Rec.exe");
  auto& processes = sim.platform().processes;
  EXPECT_TRUE(processes.RunAndWait("\"C:\\Rec.exe\" a.txt", "C:\\Windows"));
  EXPECT_FALSE(processes.RunAndWait("C:\\Fehlt.exe", "C:\\"));

  const auto& started = sim.StartedProcesses();
  ASSERT_EQ(started.size(), 2u);
  EXPECT_EQ(started[0].commandLine, "\"C:\\Rec.exe\" a.txt");
  EXPECT_EQ(started[0].currentDirectory, "C:\\Windows");
  EXPECT_EQ(started[1].commandLine, "C:\\Fehlt.exe");
  EXPECT_EQ(started[1].currentDirectory, "C:\\");
}

class SimLibrariesTest : public ::testing::Test {
 protected:
  static void* Answer(std::string_view entry) {
    static int answer = 42;
    return entry == "UnpackExec" ? &answer : nullptr;
  }

  SimPlatform sim_;
  platform::Libraries& libraries_ = sim_.platform().libraries;
};

TEST_F(SimLibrariesTest, RegisteredPathsMatchWithoutRegardToCase) {
  sim_.RegisterLibrary("C:\\Setup\\SZUNPACK.DLL", Answer);
  auto library = libraries_.Load("c:\\setup\\szunpack.dll");
  ASSERT_NE(library, nullptr);
  EXPECT_NE(library->Find("UnpackExec"), nullptr);
  EXPECT_EQ(library->Find("GetUnpackVersion"), nullptr);
  EXPECT_EQ(libraries_.Load("C:\\Other\\SZUNPACK.DLL"), nullptr) << "another folder";
  EXPECT_NE(libraries_.Load("SzUnpack.dll"), nullptr) << "bare names match the file name";
  EXPECT_NE(libraries_.Load("C:\\Setup\\SZUNPACK"), nullptr) << ".dll is implied";
}

TEST_F(SimLibrariesTest, CountsOpenLibrariesAndRecordsEveryLoad) {
  sim_.RegisterLibrary("C:\\Setup\\SZUNPACK.DLL", Answer);
  {
    auto first = libraries_.Load("C:\\Setup\\SZUNPACK.DLL");
    auto second = libraries_.Load("C:\\Setup\\SZUNPACK.DLL");
    EXPECT_EQ(libraries_.Load("C:\\Missing.dll"), nullptr);
    EXPECT_EQ(sim_.OpenLibraryCount(), 2);
  }
  EXPECT_EQ(sim_.OpenLibraryCount(), 0);
  EXPECT_EQ(sim_.LoadedLibraries(),
            (std::vector<std::string>{"C:\\Setup\\SZUNPACK.DLL", "C:\\Setup\\SZUNPACK.DLL",
                                      "C:\\Missing.dll"}));
}

TEST_F(SimLibrariesTest, RealLibraryOnASimDriveIsLoadedFromTheHost) {
  std::ifstream in(CONTRACT_MODULE_PATH, std::ios::binary);
  ASSERT_TRUE(in) << CONTRACT_MODULE_PATH;
  const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  sim_.PutFile("C:\\Setup\\Module.dll", image);

  for (const char* path : {"C:\\SETUP\\module.dll", "Module.dll"}) {
    auto library = libraries_.Load(path);
    ASSERT_NE(library, nullptr) << path;
    auto* entry = reinterpret_cast<int (*)()>(library->Find("ContractModuleAnswer"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry(), 42);
    EXPECT_EQ(library->Find("NoSuchEntry"), nullptr);
    EXPECT_EQ(sim_.OpenLibraryCount(), 1);
  }
  EXPECT_EQ(sim_.OpenLibraryCount(), 0);
}

}  // namespace

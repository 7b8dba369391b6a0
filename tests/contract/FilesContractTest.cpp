#include <algorithm>
#include <string>

#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using platform::DirEntry;
using platform::DriveType;
namespace attr = platform::attr;

using FilesContract = ContractTest;

// Every byte value, so that no text-mode translation goes unnoticed.
std::string AllBytes() {
  std::string bytes;
  for (int b = 0; b < 256; ++b)
    bytes += static_cast<char>(b);
  return bytes + "\r\n\n\r";
}

TEST_F(FilesContract, WrittenFileReadsBackByteForByte) {
  auto& files = platform().files;
  const std::string path = Scratch("data.bin");
  ASSERT_TRUE(files.WriteFile(path, AllBytes()));
  EXPECT_EQ(files.ReadFile(path), AllBytes());

  ASSERT_TRUE(files.WriteFile(path, "short"));
  EXPECT_EQ(files.ReadFile(path), "short") << "rewriting must truncate";

  ASSERT_TRUE(files.WriteFile(path, ""));
  EXPECT_EQ(files.ReadFile(path), "");
}

TEST_F(FilesContract, MissingThingsAreReportedAsMissing) {
  auto& files = platform().files;
  const std::string missing = Scratch("missing.txt");
  EXPECT_FALSE(files.FileExists(missing));
  EXPECT_FALSE(files.DirectoryExists(missing));
  EXPECT_EQ(files.ReadFile(missing), std::nullopt);
  EXPECT_EQ(files.OpenRead(missing), nullptr);
  EXPECT_EQ(files.Attributes(missing), std::nullopt);
  EXPECT_FALSE(files.DeleteFile(missing));
  EXPECT_FALSE(files.RemoveDirectory(missing));
  EXPECT_FALSE(files.CopyFile(missing, Scratch("copy.txt"), false));
  EXPECT_TRUE(files.ListDirectory(missing).empty());
  EXPECT_FALSE(files.WriteFile(Scratch("no\\such\\dir\\file.txt"), "x"));
  EXPECT_EQ(files.OpenWrite(Scratch("no\\such\\dir\\file.txt")), nullptr);
}

TEST_F(FilesContract, FilesAndDirectoriesAreToldApart) {
  auto& files = platform().files;
  ASSERT_TRUE(files.CreateDirectory(Scratch("dir")));
  ASSERT_TRUE(files.WriteFile(Scratch("file.txt"), "x"));

  EXPECT_TRUE(files.DirectoryExists(Scratch("dir")));
  EXPECT_FALSE(files.FileExists(Scratch("dir")));
  EXPECT_TRUE(files.FileExists(Scratch("file.txt")));
  EXPECT_FALSE(files.DirectoryExists(Scratch("file.txt")));
  EXPECT_EQ(files.ReadFile(Scratch("dir")), std::nullopt);
  EXPECT_FALSE(files.WriteFile(Scratch("dir"), "x"));
  EXPECT_FALSE(files.DeleteFile(Scratch("dir")));
  EXPECT_FALSE(files.RemoveDirectory(Scratch("file.txt")));

  ASSERT_TRUE(files.Attributes(Scratch("dir")).has_value());
  EXPECT_NE(*files.Attributes(Scratch("dir")) & attr::Directory, 0u);
  ASSERT_TRUE(files.Attributes(Scratch("file.txt")).has_value());
  EXPECT_EQ(*files.Attributes(Scratch("file.txt")) & attr::Directory, 0u);
}

TEST_F(FilesContract, NamesMatchWithoutRegardToCaseAndEitherSlash) {
  auto& files = platform().files;
  ASSERT_TRUE(files.CreateDirectory(Scratch("Größe")));
  ASSERT_TRUE(files.WriteFile(Scratch("Größe\\Setup.INF"), "content"));

  EXPECT_TRUE(files.DirectoryExists(Scratch("GRÖßE")));
  EXPECT_TRUE(files.FileExists(Scratch("größe\\setup.inf")));
  EXPECT_TRUE(files.FileExists(Scratch("Größe/Setup.INF")));
  EXPECT_EQ(files.ReadFile(Scratch("GRÖßE/SETUP.inf")), "content");
  EXPECT_FALSE(files.CreateDirectory(Scratch("größe"))) << "exists in another spelling";

  ASSERT_TRUE(files.WriteFile(Scratch("größe\\SETUP.INF"), "new"));
  const std::vector<DirEntry> dirs = files.ListSubdirectories(fixture().ScratchFolder());
  ASSERT_EQ(dirs.size(), 1u);
  EXPECT_EQ(dirs[0].name, "Größe") << "the name keeps the spelling it was created with";
  EXPECT_EQ(files.ReadFile(Scratch("Größe\\Setup.INF")), "new");
}

TEST_F(FilesContract, CreateDirectoryMakesOneLevel) {
  auto& files = platform().files;
  EXPECT_FALSE(files.CreateDirectory(Scratch("a\\b"))) << "parent missing";
  EXPECT_FALSE(files.DirectoryExists(Scratch("a")));
  ASSERT_TRUE(files.CreateDirectory(Scratch("a")));
  EXPECT_FALSE(files.CreateDirectory(Scratch("a"))) << "exists already";
  ASSERT_TRUE(files.CreateDirectory(Scratch("a\\b")));
  EXPECT_TRUE(files.DirectoryExists(Scratch("a\\b")));

  ASSERT_TRUE(files.WriteFile(Scratch("f"), ""));
  EXPECT_FALSE(files.CreateDirectory(Scratch("f"))) << "a file of that name exists";
}

// A private directory is made like any other, and the program itself may
// still use it: the access list names the running user.
TEST_F(FilesContract, APrivateDirectoryIsMadeOnlyWhereNothingIsAndStaysUsable) {
  auto& files = platform().files;
  EXPECT_FALSE(files.CreatePrivateDirectory(Scratch("p\\q"))) << "parent missing";
  ASSERT_TRUE(files.CreatePrivateDirectory(Scratch("p")));
  EXPECT_FALSE(files.CreatePrivateDirectory(Scratch("p"))) << "exists already";
  ASSERT_TRUE(files.WriteFile(Scratch("f"), ""));
  EXPECT_FALSE(files.CreatePrivateDirectory(Scratch("f"))) << "a file of that name exists";

  ASSERT_TRUE(files.CreateDirectory(Scratch("p\\unter")));
  ASSERT_TRUE(files.WriteFile(Scratch("p\\unter\\x.txt"), "drin"));
  EXPECT_EQ(files.ReadFile(Scratch("p\\unter\\x.txt")), "drin");
  EXPECT_TRUE(files.DeleteFile(Scratch("p\\unter\\x.txt")));
  EXPECT_TRUE(files.RemoveDirectory(Scratch("p\\unter")));
  EXPECT_TRUE(files.RemoveDirectory(Scratch("p")));
}

TEST_F(FilesContract, RemoveDirectoryOnlyWhenEmpty) {
  auto& files = platform().files;
  ASSERT_TRUE(files.CreateDirectory(Scratch("d")));
  ASSERT_TRUE(files.WriteFile(Scratch("d\\f.txt"), "x"));
  EXPECT_FALSE(files.RemoveDirectory(Scratch("d")));
  EXPECT_TRUE(files.DirectoryExists(Scratch("d")));
  ASSERT_TRUE(files.DeleteFile(Scratch("d\\f.txt")));
  EXPECT_FALSE(files.FileExists(Scratch("d\\f.txt")));
  EXPECT_TRUE(files.RemoveDirectory(Scratch("d")));
  EXPECT_FALSE(files.DirectoryExists(Scratch("d")));
}

TEST_F(FilesContract, CopyFileOverwritesOnlyWhenAllowed) {
  auto& files = platform().files;
  ASSERT_TRUE(files.WriteFile(Scratch("from"), AllBytes()));
  ASSERT_TRUE(files.CopyFile(Scratch("from"), Scratch("to"), true));
  EXPECT_EQ(files.ReadFile(Scratch("to")), AllBytes());

  ASSERT_TRUE(files.WriteFile(Scratch("from"), "second"));
  EXPECT_FALSE(files.CopyFile(Scratch("from"), Scratch("to"), true));
  EXPECT_EQ(files.ReadFile(Scratch("to")), AllBytes()) << "a refused copy leaves the target";
  EXPECT_TRUE(files.CopyFile(Scratch("from"), Scratch("to"), false));
  EXPECT_EQ(files.ReadFile(Scratch("to")), "second");
  EXPECT_EQ(files.ReadFile(Scratch("from")), "second");

  ASSERT_TRUE(files.CreateDirectory(Scratch("dir")));
  EXPECT_FALSE(files.CopyFile(Scratch("dir"), Scratch("dircopy"), false));
  EXPECT_FALSE(files.CopyFile(Scratch("from"), Scratch("dir"), false));
  EXPECT_FALSE(files.CopyFile(Scratch("from"), Scratch("nodir\\to"), false));
}

TEST_F(FilesContract, MoveFileReplacesOnlyWhenAskedAndLeavesTheSourceWhenRefused) {
  auto& files = platform().files;
  ASSERT_TRUE(files.CreateDirectory(Scratch("dir")));
  ASSERT_TRUE(files.WriteFile(Scratch("from"), "erste"));
  ASSERT_TRUE(files.MoveFile(Scratch("from"), Scratch("dir\\to"), false));
  EXPECT_FALSE(files.FileExists(Scratch("from")));
  EXPECT_EQ(files.ReadFile(Scratch("dir\\to")), "erste");

  ASSERT_TRUE(files.WriteFile(Scratch("from"), "zweite"));
  EXPECT_FALSE(files.MoveFile(Scratch("from"), Scratch("dir\\to"), false));
  EXPECT_EQ(files.ReadFile(Scratch("from")), "zweite") << "a refused move leaves the source";
  EXPECT_EQ(files.ReadFile(Scratch("dir\\to")), "erste");
  EXPECT_TRUE(files.MoveFile(Scratch("from"), Scratch("dir\\to"), true));
  EXPECT_EQ(files.ReadFile(Scratch("dir\\to")), "zweite");

  EXPECT_FALSE(files.MoveFile(Scratch("missing"), Scratch("x"), true));
  EXPECT_FALSE(files.MoveFile(Scratch("dir\\to"), Scratch("nodir\\to"), true));
  EXPECT_FALSE(files.MoveFile(Scratch("dir\\to"), Scratch("dir"), true));
  {
    const auto reader = files.OpenRead(Scratch("dir\\to"));
    ASSERT_NE(reader, nullptr);
    EXPECT_FALSE(files.MoveFile(Scratch("dir\\to"), Scratch("moved"), false)) << "open elsewhere";
  }
  EXPECT_EQ(files.ReadFile(Scratch("dir\\to")), "zweite");
}

// Windows also refuses to overwrite a read-only file, but Wine running as root
// lets the write through, so only deleting is checked here.
TEST_F(FilesContract, ReadOnlyFilesCannotBeDeleted) {
  auto& files = platform().files;
  ASSERT_TRUE(files.WriteFile(Scratch("ro.txt"), "kept"));
  fixture().SetAttributes(Scratch("ro.txt"), attr::ReadOnly);
  ASSERT_NE(files.Attributes(Scratch("ro.txt")).value_or(0) & attr::ReadOnly, 0u);

  EXPECT_FALSE(files.DeleteFile(Scratch("ro.txt")));
  EXPECT_EQ(files.ReadFile(Scratch("ro.txt")), "kept");

  EXPECT_TRUE(files.CopyFile(Scratch("ro.txt"), Scratch("copy.txt"), false));
  EXPECT_NE(files.Attributes(Scratch("copy.txt")).value_or(0) & attr::ReadOnly, 0u)
      << "a copy takes the attributes along";

  fixture().SetAttributes(Scratch("ro.txt"), 0);
  EXPECT_TRUE(files.DeleteFile(Scratch("ro.txt")));
}

TEST_F(FilesContract, ReadStreamReadsAtAnyOffset) {
  auto& files = platform().files;
  ASSERT_TRUE(files.WriteFile(Scratch("s.bin"), "0123456789"));
  std::unique_ptr<platform::ReadStream> in = files.OpenRead(Scratch("s.bin"));
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->Size(), 10u);

  char buffer[8] = {};
  EXPECT_EQ(in->ReadAt(3, buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "3456");
  EXPECT_EQ(in->ReadAt(0, buffer, 2), 2u);
  EXPECT_EQ(std::string(buffer, 2), "01");
  EXPECT_EQ(in->ReadAt(7, buffer, 8), 3u) << "short read at the end";
  EXPECT_EQ(std::string(buffer, 3), "789");
  EXPECT_EQ(in->ReadAt(10, buffer, 8), 0u);
  EXPECT_EQ(in->ReadAt(1000, buffer, 8), 0u);
}

TEST_F(FilesContract, OpenReadLetsOthersReadButNotWrite) {
  auto& files = platform().files;
  ASSERT_TRUE(files.WriteFile(Scratch("shared.bin"), "content"));
  {
    std::unique_ptr<platform::ReadStream> in = files.OpenRead(Scratch("shared.bin"));
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(files.ReadFile(Scratch("shared.bin")), "content");
    EXPECT_NE(files.OpenRead(Scratch("shared.bin")), nullptr);
    EXPECT_TRUE(files.CopyFile(Scratch("shared.bin"), Scratch("copy.bin"), false));
    EXPECT_FALSE(files.WriteFile(Scratch("shared.bin"), "changed"));
    EXPECT_EQ(files.OpenWrite(Scratch("shared.bin")), nullptr);
    EXPECT_FALSE(files.DeleteFile(Scratch("shared.bin")));
    EXPECT_FALSE(files.CopyFile(Scratch("copy.bin"), Scratch("shared.bin"), false));
  }
  EXPECT_TRUE(files.WriteFile(Scratch("shared.bin"), "changed")) << "free again once closed";
  EXPECT_TRUE(files.DeleteFile(Scratch("shared.bin")));
}

TEST_F(FilesContract, AFileInUseIsMarkedForDeletionAtTheNextStart) {
  auto& files = platform().files;
  ASSERT_TRUE(files.WriteFile(Scratch("busy.dll"), "in use"));
  {
    std::unique_ptr<platform::ReadStream> in = files.OpenRead(Scratch("busy.dll"));
    ASSERT_NE(in, nullptr);
    ASSERT_FALSE(files.DeleteFile(Scratch("busy.dll")));
    EXPECT_TRUE(files.DeleteAtRestart(Scratch("busy.dll")));
  }
  EXPECT_EQ(files.ReadFile(Scratch("busy.dll")), "in use") << "it stays until the restart";

  EXPECT_FALSE(files.DeleteAtRestart(Scratch("missing.dll")));
  ASSERT_TRUE(files.CreateDirectory(Scratch("folder")));
  EXPECT_FALSE(files.DeleteAtRestart(Scratch("folder"))) << "only files";
}

TEST_F(FilesContract, WriteStreamAppendsAndTruncates) {
  auto& files = platform().files;
  ASSERT_TRUE(files.WriteFile(Scratch("w.txt"), "old content that is long"));
  {
    std::unique_ptr<platform::WriteStream> out = files.OpenWrite(Scratch("w.txt"));
    ASSERT_NE(out, nullptr);
    EXPECT_TRUE(out->Write("ab", 2));
    EXPECT_TRUE(out->Write("", 0));
    EXPECT_TRUE(out->Write("cd", 2));
    EXPECT_EQ(files.ReadFile(Scratch("w.txt")), std::nullopt) << "no reading while written";
    EXPECT_FALSE(files.DeleteFile(Scratch("w.txt")));
  }
  EXPECT_EQ(files.ReadFile(Scratch("w.txt")), "abcd");
}

TEST_F(FilesContract, ListsEntriesAndSubdirectoriesWithTheirAttributes) {
  auto& files = platform().files;
  for (const char* name : {"plain", "hidden", "system"}) {
    ASSERT_TRUE(files.CreateDirectory(Scratch(name)));
  }
  ASSERT_TRUE(files.WriteFile(Scratch("file.txt"), "x"));
  ASSERT_TRUE(files.CreateDirectory(Scratch("plain\\nested")));
  fixture().SetAttributes(Scratch("hidden"), attr::Hidden);
  fixture().SetAttributes(Scratch("system"), attr::System);

  std::vector<DirEntry> dirs = files.ListSubdirectories(fixture().ScratchFolder());
  std::sort(dirs.begin(), dirs.end(), [](auto& a, auto& b) { return a.name < b.name; });
  ASSERT_EQ(dirs.size(), 3u);
  EXPECT_EQ(dirs[0].name, "hidden");
  EXPECT_EQ(dirs[0].attributes & (attr::Directory | attr::Hidden | attr::System),
            attr::Directory | attr::Hidden);
  EXPECT_EQ(dirs[1].name, "plain");
  EXPECT_EQ(dirs[1].attributes & (attr::Directory | attr::Hidden | attr::System), attr::Directory);
  EXPECT_EQ(dirs[2].name, "system");
  EXPECT_EQ(dirs[2].attributes & (attr::Directory | attr::Hidden | attr::System),
            attr::Directory | attr::System);

  EXPECT_EQ(files.ListSubdirectories(fixture().ScratchFolder() + "\\").size(), 3u)
      << "a trailing backslash changes nothing";
  EXPECT_NE(files.Attributes(Scratch("hidden")).value_or(0) & attr::Hidden, 0u);

  std::vector<DirEntry> all = files.ListDirectory(fixture().ScratchFolder());
  std::sort(all.begin(), all.end(), [](auto& a, auto& b) { return a.name < b.name; });
  ASSERT_EQ(all.size(), 4u) << "the file too, but not what lies in the folders";
  EXPECT_EQ(all[0].name, "file.txt");
  EXPECT_EQ(all[0].attributes & attr::Directory, 0u);
  EXPECT_EQ(all[2].name, "plain");
  EXPECT_TRUE(files.ListDirectory(Scratch("plain\\nested")).empty());
  EXPECT_TRUE(files.ListDirectory(Scratch("file.txt")).empty()) << "a file lists nothing";
}

TEST_F(FilesContract, CurrentDirectoryFollowsSetCurrentDirectory) {
  auto& files = platform().files;
  ASSERT_TRUE(files.CreateDirectory(Scratch("cwd")));
  ASSERT_TRUE(files.WriteFile(Scratch("cwd\\here.txt"), "here"));

  ASSERT_TRUE(files.SetCurrentDirectory(Scratch("cwd")));
  EXPECT_EQ(files.CurrentDirectory(), Scratch("cwd"));
  EXPECT_EQ(files.ReadFile("here.txt"), "here") << "relative paths start at the current one";
  EXPECT_TRUE(files.FileExists("..\\cwd\\here.txt"));

  EXPECT_FALSE(files.SetCurrentDirectory(Scratch("missing")));
  EXPECT_EQ(files.CurrentDirectory(), Scratch("cwd")) << "a refused change changes nothing";
}

TEST_F(FilesContract, FullPathResolvesDotsAgainstTheCurrentDirectory) {
  auto& files = platform().files;
  ASSERT_TRUE(files.SetCurrentDirectory(fixture().ScratchFolder()));
  const std::string scratch = fixture().ScratchFolder();
  const std::string drive = scratch.substr(0, 2);

  EXPECT_EQ(files.FullPath("a\\b.txt"), scratch + "\\a\\b.txt");
  EXPECT_EQ(files.FullPath("."), scratch);
  EXPECT_EQ(files.FullPath(".\\a\\..\\b"), scratch + "\\b");
  EXPECT_EQ(files.FullPath(drive + "\\x\\.\\y\\..\\z"), drive + "\\x\\z");
  EXPECT_EQ(files.FullPath(drive + "/x/y"), drive + "\\x\\y");
  EXPECT_EQ(files.FullPath(drive + "\\x\\..\\..\\y"), drive + "\\y");
  EXPECT_EQ(files.FullPath(drive + "\\x\\"), drive + "\\x\\");
  EXPECT_EQ(files.FullPath("\\x"), drive + "\\x") << "rooted on the current drive";
}

TEST_F(FilesContract, WindowsAndTempDirectoriesExist) {
  auto& files = platform().files;
  const std::string windows = files.WindowsDirectory();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_NE(windows.back(), '\\');
  EXPECT_EQ(windows[1], ':');
  EXPECT_TRUE(files.DirectoryExists(windows));

  const std::string temp = files.TempDirectory();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files.DirectoryExists(temp));
}

TEST_F(FilesContract, DrivesAreReported) {
  auto& files = platform().files;
  const uint32_t drives = files.LogicalDrives();
  EXPECT_NE(drives & (1u << ('C' - 'A')), 0u);
  EXPECT_EQ(files.GetDriveType("C:\\"), DriveType::Fixed);
  EXPECT_TRUE(files.VolumeInformation("C:\\").has_value());
  const std::optional<uint64_t> size = files.DiskSize("C:\\");
  ASSERT_TRUE(size.has_value());
  EXPECT_GT(*size, 0u);
  const std::optional<uint64_t> free = files.FreeSpace("C:\\");
  ASSERT_TRUE(free.has_value());
  EXPECT_GT(*free, 0u);
  EXPECT_LE(*free, *size);

  char unused = 0;
  for (char letter = 'Z'; letter > 'C'; --letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) {
      unused = letter;
      break;
    }
  }
  ASSERT_NE(unused, 0);
  const std::string root = std::string(1, unused) + ":\\";
  EXPECT_EQ(files.GetDriveType(root), DriveType::NoRootDir);
  EXPECT_FALSE(files.VolumeInformation(root).has_value());
  EXPECT_FALSE(files.DiskSize(root).has_value());
  EXPECT_FALSE(files.FreeSpace(root).has_value());
  EXPECT_FALSE(files.DirectoryExists(root));
  EXPECT_FALSE(files.WriteFile(root + "file.txt", "x"));
}

}  // namespace
}  // namespace contract

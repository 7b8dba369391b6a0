// Spanned archives: listing across disks, the disk requests, and the rebuild
// into a single-file copy that the library reads. The sets are cut by the
// fixture script from archives that zipfile (spanA) and bsdtar (spanB) wrote.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stop_token>

#include "archive/DiskSet.h"
#include "tests/unit/archive/ArchiveTest.h"

namespace archive_test {
namespace {

using archive::ProgressKind;
using platform::MsgAnswer;
using Strings = std::vector<std::string>;

std::string Volume(const std::string& stem, int volume) {
  char name[32];
  std::snprintf(name, sizeof name, "%s%03d.zip", stem.c_str(), volume);
  return name;
}

int DiskCount(const std::string& stem) {
  int count = 0;
  while (std::filesystem::exists(std::string(ARCHIVE_FIXTURES_DIR) + "/" + Volume(stem, count + 1)))
    ++count;
  return count;
}

std::string Label(int volume) {
  char label[16];
  std::snprintf(label, sizeof label, "PKBACK# %03d", volume);
  return label;
}

std::string Prompt(const std::string& request, const std::string& drive) {
  return request + "\r\nin drive: " + drive;
}

const Strings kDeflatedNames = {"1", "2", "big", "empty", "sub\\dir\\3"};
constexpr const char* kCopy = "C:\\Windows\\Temp\\SZSPAN.TMP";

class SpannedTest : public ArchiveTest {
 protected:
  SpannedTest() {
    sim.OnMessage([this](const platform::sim::ShownMessage& m) {
      if (m.buttons != platform::MsgButtons::OkCancel)
        return;
      prompts.push_back(m.text);
      EXPECT_EQ(m.caption, "Tessarwolden");
      if (!swapDisks)
        return;
      // The user puts in the disk asked for.
      int wanted = count;
      std::sscanf(m.text.c_str(), "Please insert disk volume %d", &wanted);
      Insert(wanted);
    });
    zip.OnNextDisk = [this](int volume, int of) { nextDisk.emplace_back(volume, of); };
    zip.OnDiskStatus = [this](int volume, const std::string& label, uint32_t serial) {
      if (removable) {
        EXPECT_EQ(label, Label(volume));
        EXPECT_EQ(serial, 0x1000u + volume);
      }
      disksOpened.push_back(volume);
    };
  }

  /// Drive A: (a floppy drive unless `driveType` says otherwise) holding
  /// disk `volume` of the set as `diskPath`.
  void Insert(int volume) {
    sim.AddDrive('A', driveType, false);
    sim.AddDrive('A', driveType, true, Label(volume), 0x1000u + volume);
    sim.PutFile(diskPath, FixtureBytes(Volume(stem, volume)));
  }

  /// The set on floppies, the last disk in the drive.
  void UseFloppies(const std::string& set) {
    stem = set;
    count = DiskCount(set);
    removable = true;
    Insert(count);
  }

  /// The set side by side in C:\Media as Setup001.szp, Setup002.szp, ...;
  /// `leaveOut` is not there.
  void UseFolder(const std::string& set, int leaveOut = 0) {
    stem = set;
    count = DiskCount(set);
    for (int v = 1; v <= count; ++v) {
      if (v != leaveOut)
        sim.PutFile(FolderVolume(v), FixtureBytes(Volume(set, v)));
    }
  }

  std::string FolderVolume(int volume) {
    char path[64];
    std::snprintf(path, sizeof path, "C:\\Media\\Setup%03d.szp", volume);
    return path;
  }

  /// Extracts `names` into C:\Out, keeping what the library was given to read.
  void ExtractAll(const Strings& names) {
    sim.PutFile("C:\\Out\\keep", "");
    zip.OnProgress = [this](ProgressKind kind, int64_t, const std::string& name) {
      if (kind == ProgressKind::Copying)
        copying.push_back(name);
      if (kind == ProgressKind::TotalSize)
        copySeen = HostFile(copyPath);
    };
    zip.EntryNames() = names;
    zip.SetExtractDir("C:\\Out");
    zip.Extract();
  }

  std::string stem;
  platform::DriveType driveType = platform::DriveType::Removable;
  std::string diskPath = "A:\\SETUP.ZIP";
  int count = 0;
  bool removable = false;
  bool swapDisks = true;
  std::string copyPath = kCopy;
  Strings prompts;
  Strings copying;
  std::string copySeen;
  std::vector<std::pair<int, int>> nextDisk;
  std::vector<int> disksOpened;
};

TEST(VolumeNames, CarryTheNumberInTheLastThreeCharactersBeforeTheExtension) {
  struct Case {
    const char* path;
    int number;
    const char* third;  // the path of volume 3
  };
  const Case cases[] = {
      {"C:\\Media\\Setup007.szp", 7, "C:\\Media\\Setup003.szp"},
      {"\\\\server\\share\\DISK012.ZIP", 12, "\\\\server\\share\\DISK003.ZIP"},
      {"C:\\V1.0\\Setup001", 1, "C:\\V1.0\\Setup003"},
      {"C:\\V1.000\\Setup.zip", 0, ""},
      {"C:\\Media\\12.zip", 0, ""},
      {"C:\\Media\\Setup.szp", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(archive::VolumeNumberOfName(c.path), c.number);
    EXPECT_EQ(archive::VolumePathOf(c.path, 3), c.third);
  }
}

TEST(DiskPrompts, NameTheLastDiskTheVolumeAndTheDrive) {
  EXPECT_EQ(archive::DiskPrompt(7, 7, "A:\\"), "Please insert last disk in set\r\nin drive: A:\\");
  EXPECT_EQ(archive::DiskPrompt(2, 7, "A:\\"),
            "Please insert disk volume 2 of 7\r\nin drive: A:\\");
  EXPECT_EQ(archive::DiskPrompt(12, 0, "B:\\"), "Please insert disk volume 12\r\nin drive: B:\\");
}

TEST_F(SpannedTest, ListsFromTheLastDiskAndAsksForTheDisksOfTheDirectory) {
  UseFloppies("spanA");
  ASSERT_GE(count, 3);
  zip.SetArchivePath("A:\\SETUP.ZIP");
  EXPECT_EQ(Names(), kDeflatedNames);
  EXPECT_EQ(zip.ArchiveComment(), "payload comment");
  EXPECT_EQ(zip.EndRecordDisk(), static_cast<uint32_t>(count - 1));
  EXPECT_EQ(zip.VolumeNumber(), count);
  EXPECT_EQ(zip.ArchivePath(), "A:\\SETUP.ZIP");
  // The directory starts on the disk before the last and runs on to the last.
  EXPECT_EQ(prompts,
            (Strings{Prompt("Please insert disk volume " + std::to_string(count - 1), "A:\\"),
                     Prompt("Please insert disk volume " + std::to_string(count), "A:\\")}));
  EXPECT_EQ(nextDisk, (std::vector<std::pair<int, int>>{{count - 1, 0}, {count, 0}}));
  EXPECT_EQ(disksOpened, (std::vector<int>{count - 1, count}));
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpannedTest, ListsADirectoryOnTheLastDiskWithoutAsking) {
  UseFloppies("spanB");
  zip.SetArchivePath("A:\\SETUP.ZIP");
  EXPECT_EQ(Names(), (Strings{"1", "2", "big", "leer", "sub\\3"}));
  EXPECT_TRUE(prompts.empty());
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpannedTest, ACancelledDiskRequestReports11007AndForgetsThePath) {
  struct Case {
    bool unattended;
    size_t prompts;
  };
  for (const Case c : {Case{false, 1}, Case{true, 0}}) {
    SCOPED_TRACE(c.unattended);
    UseFloppies("spanA");
    messages.clear();
    prompts.clear();
    swapDisks = false;
    zip.SetUnattended(c.unattended);
    sim.QueueAnswers({MsgAnswer::Cancel});
    zip.SetArchivePath("A:\\SETUP.ZIP");
    EXPECT_EQ(messages, std::vector<int>{11007});
    EXPECT_EQ(prompts.size(), c.prompts);
    EXPECT_EQ(zip.ArchivePath(), "");
    sim.QueueAnswers({});
  }
}

TEST_F(SpannedTest, ExtractRebuildsTheSetDiskByDiskFromFloppies) {
  const std::string text = FixtureBytes("big.txt");
  struct Case {
    const char* set;
    const char* source;  // the archive the set was cut from
    Strings names;
  };
  const Case cases[] = {
      {"spanA", "deflated.zip", kDeflatedNames},
      {"spanB", "bsdtar.zip", {"1", "2", "big", "leer", "sub\\3"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.set);
    UseFloppies(c.set);
    zip.SetArchivePath("A:\\SETUP.ZIP");
    prompts.clear();
    copying.clear();
    ExtractAll(c.names);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(zip.SuccessCount(), 5);
    EXPECT_TRUE(HostFile("C:\\Out\\big") == text);
    EXPECT_EQ(HostFile("C:\\Out\\1"), "first file\n");
    // Every disk but the last is asked for in turn; the last only when data
    // lies on it.
    ASSERT_GE(prompts.size(), static_cast<size_t>(count - 1));
    for (int v = 1; v < count; ++v) {
      EXPECT_EQ(prompts[v - 1], Prompt("Please insert disk volume " + std::to_string(v) + " of " +
                                           std::to_string(count),
                                       "A:\\"));
    }
    if (prompts.size() == static_cast<size_t>(count)) {
      EXPECT_EQ(prompts.back(), Prompt("Please insert last disk in set", "A:\\"));
    }
    Strings expected;
    for (const auto& name : c.names)
      expected.push_back("Copying: " + name);
    EXPECT_EQ(copying, expected);
    // Joined again, the set is the archive it was cut from.
    EXPECT_TRUE(copySeen == FixtureBytes(c.source)) << copySeen.size();
    EXPECT_FALSE(sim.platform().files.FileExists(kCopy));
    for (const auto& name : c.names)
      sim.platform().files.DeleteFile("C:\\Out\\" + name.substr(name.find_last_of('\\') + 1));
  }
}

// A CD is asked for by its label like a floppy; the digits in the file name
// are no volume number there.
TEST_F(SpannedTest, ExtractsASetOnCdsByTheirLabels) {
  driveType = platform::DriveType::CdRom;
  diskPath = "A:\\Setup007.szp";
  UseFloppies("spanA");
  zip.SetArchivePath(diskPath);
  EXPECT_EQ(Names(), kDeflatedNames);
  EXPECT_EQ(zip.VolumeNumber(), count);
  prompts.clear();
  ExtractAll({"2", "sub\\dir\\3"});
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(zip.SuccessCount(), 2);
  EXPECT_EQ(HostFile("C:\\Out\\3"), "third file\n");
  EXPECT_EQ(prompts.at(0),
            Prompt("Please insert disk volume 1 of " + std::to_string(count), "A:\\"));
}

TEST_F(SpannedTest, APeerToolAcceptsTheSingleFileCopy) {
  UseFolder("spanB");
  zip.SetArchivePath(FolderVolume(count));
  ExtractAll({"1"});
  ASSERT_FALSE(copySeen.empty());
  const auto host = std::filesystem::temp_directory_path() / "spanned_copy_test.zip";
  std::ofstream(host, std::ios::binary) << copySeen;
  const std::string command = "7z t -bd '" + host.string() + "' > /dev/null";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::filesystem::remove(host);
}

TEST_F(SpannedTest, FindsVolumesOnAFixedDriveByTheNumberInTheirName) {
  UseFolder("spanA");
  zip.SetArchivePath(FolderVolume(count));
  EXPECT_EQ(Names(), kDeflatedNames);
  EXPECT_EQ(zip.VolumeNumber(), count);
  ExtractAll({"2", "sub\\dir\\3"});
  EXPECT_EQ(zip.SuccessCount(), 2);
  EXPECT_TRUE(HostFile("C:\\Out\\2") == FixtureBytes("binary.bin"));
  EXPECT_EQ(HostFile("C:\\Out\\3"), "third file\n");
  EXPECT_TRUE(prompts.empty());
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(sim.platform().files.FileExists(kCopy));
}

TEST_F(SpannedTest, AMissingVolumeIsAskedForAndCancelStopsTheExtraction) {
  UseFolder("spanA", 2);
  swapDisks = false;
  zip.SetArchivePath(FolderVolume(count));
  sim.QueueAnswers({MsgAnswer::Cancel});
  ExtractAll({"1"});
  EXPECT_EQ(prompts,
            Strings{Prompt("Please insert disk volume 2 of " + std::to_string(count), "C:\\")});
  EXPECT_EQ(messages, std::vector<int>{11007});
  EXPECT_EQ(zip.SuccessCount(), 0);
  EXPECT_EQ(HostFile("C:\\Out\\1"), "<missing>");
  EXPECT_FALSE(sim.platform().files.FileExists(kCopy)) << "the copy goes in every case";
  EXPECT_TRUE(zip.EntryNames().empty());
  EXPECT_FALSE(zip.Busy());
}

// spanA holds "big" from the first disk to the sixth. A stop ends the copy
// before its next block: at the start of the first entry's data, or in the
// middle of "big" once the second disk is in, so that the third is never
// asked for.
TEST_F(SpannedTest, AStopDuringTheRebuildRemovesTheCopyAndExtractsNothing) {
  struct Case {
    const char* when;
    int stopAtDisk;  // 0: Cancel at the first "Copying" report
    Strings copied;
    std::vector<int> opened;
  };
  const Case cases[] = {
      {"at the first entry", 0, {"Copying: 1"}, {1}},
      {"in the middle of an entry", 2, {"Copying: 1", "Copying: 2", "Copying: big"}, {1, 2}},
  };
  UseFolder("spanA");
  zip.SetArchivePath(FolderVolume(count));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.when);
    std::stop_source stop;
    zip.SetStopToken(stop.get_token());
    copying.clear();
    disksOpened.clear();
    zip.OnProgress = [&](ProgressKind kind, int64_t, const std::string& name) {
      EXPECT_EQ(kind, ProgressKind::Copying) << "the library is not called";
      copying.push_back(name);
      if (c.stopAtDisk == 0)
        zip.Cancel();
    };
    zip.OnDiskStatus = [&](int volume, const std::string&, uint32_t) {
      disksOpened.push_back(volume);
      if (volume == c.stopAtDisk)
        stop.request_stop();
    };
    sim.PutFile("C:\\Out\\keep", "");
    zip.EntryNames() = {"1", "big"};
    zip.SetExtractDir("C:\\Out");
    zip.Extract();
    EXPECT_EQ(copying, c.copied);
    EXPECT_EQ(disksOpened, c.opened);
    EXPECT_FALSE(sim.platform().files.FileExists(kCopy));
    EXPECT_EQ(HostFile("C:\\Out\\1"), "<missing>");
    EXPECT_EQ(zip.SuccessCount(), 0);
    EXPECT_TRUE(messages.empty()) << "a stop is no error";
    EXPECT_TRUE(sim.Messages().empty());
    EXPECT_FALSE(zip.Busy());
  }
}

TEST_F(SpannedTest, ReportsCopyErrorsAndRemovesTheCopy) {
  struct Case {
    const char* what;
    const char* tempDir;
    int damagedVolume;  // 0: none
    bool cutShort;      // else its first local header is overwritten
    int number;
  };
  const Case cases[] = {
      {"temporary folder missing", "C:\\Fehlt", 0, false, 11009},
      {"a disk cut short: the data runs on past the last disk", "", 2, true, 11018},
      {"a local header overwritten", "", 1, false, 11014},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    messages.clear();
    zip.SetTempDir(c.tempDir);
    UseFolder("spanA");
    if (c.damagedVolume) {
      std::string disk = FixtureBytes(Volume("spanA", c.damagedVolume));
      if (c.cutShort) {
        disk.resize(disk.size() / 2);
      } else {
        disk[4] = 'X';
      }
      sim.PutFile(FolderVolume(c.damagedVolume), disk);
    }
    zip.SetArchivePath(FolderVolume(count));
    ExtractAll({"1", "big"});
    EXPECT_EQ(messages, std::vector<int>{c.number});
    EXPECT_EQ(zip.SuccessCount(), 0);
    EXPECT_FALSE(sim.platform().files.FileExists(kCopy));
  }
}

TEST_F(SpannedTest, AnExistingCopyIsReplacedUnlessOnCopyOverwriteRefuses) {
  UseFolder("spanA");
  zip.SetTempDir("C:\\Work");
  copyPath = "C:\\Work\\SZSPAN.TMP";
  sim.PutFile(copyPath, "not ours");
  std::vector<std::string> asked;
  zip.OnCopyOverwrite = [&](const std::string& path) {
    asked.push_back(path);
    return false;
  };
  zip.SetArchivePath(FolderVolume(count));
  ExtractAll({"1"});
  EXPECT_EQ(messages, std::vector<int>{11010});
  EXPECT_EQ(asked, Strings{copyPath});
  EXPECT_EQ(HostFile(copyPath), "not ours") << "a file the handler kept is left alone";
  EXPECT_EQ(HostFile("C:\\Out\\1"), "<missing>");

  messages.clear();
  zip.OnCopyOverwrite = [](const std::string&) { return true; };
  ExtractAll({"1"});
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(HostFile("C:\\Out\\1"), "first file\n");
  EXPECT_TRUE(copySeen == FixtureBytes("deflated.zip"));
  EXPECT_FALSE(sim.platform().files.FileExists(copyPath));
}

}  // namespace
}  // namespace archive_test

// Naming an archive reads its central directory.

#include <limits>
#include <new>
#include <stdexcept>

#include "tests/unit/archive/ArchiveTest.h"

namespace archive_test {
namespace {

using archive::CodePage;
using Strings = std::vector<std::string>;

class ListTest : public ArchiveTest {};

TEST_F(ListTest, ListsArchivesOfEveryPeerTool) {
  struct Case {
    const char* fixture;
    Strings names;
    std::string comment;
  };
  const Case cases[] = {
      {"stored.zip", {"1", "2", "(listfile)", "sub\\dir\\3"}, ""},
      {"deflated.zip", {"1", "2", "big", "empty", "sub\\dir\\3"}, "payload comment"},
      {"bsdtar.zip", {"1", "2", "big", "leer", "sub\\3"}, ""},
      {"7z.zip", {"1", "2", "big", "leer", "sub\\3"}, ""},
      {"zip64.zip", {"first", "sub\\second"}, ""},
      {"padded.zip", {"1", "2", "big", "empty", "sub\\dir\\3"}, "payload comment"},
      {"longheader.zip", {"1", "2"}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    listChanged = 0;
    zip.SetArchivePath(Put(c.fixture));
    EXPECT_EQ(zip.ArchivePath(), "C:\\Setup\\Setup.szp");
    EXPECT_EQ(Names(), c.names);
    EXPECT_EQ(zip.ArchiveComment(), c.comment);
    EXPECT_EQ(listChanged, 1);
  }
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(sim.Messages().empty());
}

TEST_F(ListTest, KeepsTheDirectoryFieldsWithZip64ValuesApplied) {
  zip.SetArchivePath(Put("zip64.zip"));
  ASSERT_EQ(zip.Directory().size(), 2u);
  const archive::ZipDirEntry& second = zip.Directory()[1];
  EXPECT_EQ(second.extent.uncompressedSize, 200000u);
  EXPECT_EQ(second.header.method, 8);
  EXPECT_EQ(second.header.versionMadeBy, (3 << 8) | 45);
  EXPECT_EQ(second.header.nameLength, 10);
  EXPECT_EQ(second.header.extraLength, 28);
  EXPECT_EQ(second.extra.size(), 28u);
  EXPECT_GT(second.extent.localHeaderOffset, 0u);
  EXPECT_EQ(zip.LowestLocalHeaderOffset(), 0u);
  EXPECT_FALSE(second.encrypted);

  zip.SetArchivePath(Put("encrypted.zip"));
  ASSERT_EQ(zip.Directory().size(), 1u);
  EXPECT_TRUE(zip.Directory()[0].encrypted);
}

// 70,000 entries: counted in the ZIP64 end record, and with only the end
// record, whose 16-bit count has wrapped; the directory is read to its end
// then, as the library reads it.
TEST_F(ListTest, CountsEntriesBeyondWhatTheEndRecordCanHold) {
  for (const char* fixture : {"many.zip", "wrapped.zip"}) {
    SCOPED_TRACE(fixture);
    int listed = 0;
    zip.OnEntryListed = [&](int number, const archive::ZipDirEntry&) {
      EXPECT_EQ(number, ++listed);
    };
    zip.SetArchivePath(Put(fixture));
    EXPECT_EQ(zip.Directory().size(), 70000u);
    EXPECT_EQ(listed, 70000);
    EXPECT_EQ(zip.Directory().back().name, "70000");
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(ListTest, HoldsTheTotalSizeAtTheLargestSignedValue) {
  // Declared sizes of 2^64-1, 2^64-2 and twice 2^63.
  zip.SetArchivePath(Put("hugesizes.zip"));
  EXPECT_EQ(Names(), (Strings{"max", "almost", "half1", "half2"}));
  EXPECT_EQ(zip.TotalSize(), std::numeric_limits<int64_t>::max());
}

TEST_F(ListTest, ConvertsNamesByHostSystemAndCodePage) {
  struct Case {
    CodePage codePage;
    Strings names;
  };
  const Case cases[] = {
      {CodePage::Auto,
       {"Gr\u00fcn.txt", "Caf\u00e9.txt", "\u00e4rger.txt", "\u00dcber\u00f6.txt",
        "Stra\u00dfe.txt", "folder\\inner.txt"}},
      {CodePage::None,
       {"Gr\u0081n.txt", "Caf\u00e9.txt", "\u00e4rger.txt", "\u00dcber\u00f6.txt",
        "Stra\u00dfe.txt", "folder\\inner.txt"}},
      {CodePage::Oem,
       {"Gr\u00fcn.txt", "Caf\u00da.txt", "\u00e4rger.txt", "\u00dcber\u00f6.txt",
        "Stra\u00dfe.txt", "folder\\inner.txt"}},
  };
  for (const auto& c : cases) {
    zip.SetCodePage(c.codePage);
    zip.SetArchivePath(Put("names.zip"));
    EXPECT_EQ(Names(), c.names) << static_cast<int>(c.codePage);
    EXPECT_EQ(zip.SkippedFolderEntries(), 1);
  }
  // In the system's OEM code page, 850 on the simulated machine.
  zip.SetCodePage(CodePage::Auto);
  zip.SetArchivePath(Put("oemnames.zip"));
  EXPECT_EQ(Names(), (Strings{"S\u00f8ren.txt", "\u00d8lkanne.txt", "\u00c1rea.txt"}));
  zip.SetKeepFolderEntries(true);
  zip.SetArchivePath(Put("names.zip"));
  EXPECT_EQ(Names().at(5), "folder\\");
  EXPECT_EQ(zip.SkippedFolderEntries(), 0);
}

TEST_F(ListTest, ReportsDataInFrontEachTimeAndListsAllTheSame) {
  zip.SetArchivePath(Put("sfx.zip"));
  zip.SetArchivePath("C:\\Setup\\Setup.szp");
  EXPECT_EQ(Names(), (Strings{"1", "2", "big", "empty", "sub\\dir\\3"}));
  EXPECT_EQ(zip.ArchivePath(), "C:\\Setup\\Setup.szp");
  EXPECT_EQ(messages, (std::vector<int>{10203, 10203}));
  EXPECT_EQ(Shown(), (Strings{Fallback(10203), Fallback(10203)}));
}

// The library finds the directory of these archives; the component lists
// the same one.
TEST_F(ListTest, FindsTheDirectoryByTheLibrarysRule) {
  for (const char* fixture : {"fakeend.zip", "gap.zip"}) {
    SCOPED_TRACE(fixture);
    zip.SetArchivePath(Put(fixture));
    EXPECT_EQ(Names(), (Strings{"1", "2", "big", "empty", "sub\\dir\\3"}));
    EXPECT_EQ(zip.ArchivePath(), "C:\\Setup\\Setup.szp");
  }
  EXPECT_TRUE(messages.empty());
}

TEST_F(ListTest, ReportsBytesBehindTheCommentButNotZeroPadding) {
  zip.SetArchivePath(Put("trailing.zip"));
  EXPECT_EQ(messages, std::vector<int>{10204});
  EXPECT_EQ(Names().size(), 5u);
  EXPECT_EQ(zip.ArchivePath(), "C:\\Setup\\Setup.szp");
  messages.clear();
  zip.SetArchivePath(Put("padded.zip"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(ListTest, RaisesEachErrorOfABrokenArchiveAndForgetsThePath) {
  struct Case {
    const char* fixture;
    int number;
    size_t listed;  // entries read before the error
  };
  const Case cases[] = {
      {"noend.zip", 11036, 0},    {"tiny.zip", 11008, 0},        {"span.zip", 11045, 0},
      {"badsig.zip", 11015, 0},   {"moreentries.zip", 11013, 5}, {"hugedir.zip", 10201, 0},
      {"longname.zip", 11017, 0}, {"longextra.zip", 10201, 0},   {"longcomment.zip", 11022, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fixture);
    messages.clear();
    listChanged = 0;
    size_t shownBefore = sim.Messages().size();
    zip.SetArchivePath(Put(c.fixture));
    EXPECT_EQ(messages, std::vector<int>{c.number});
    EXPECT_EQ(zip.LastErrorNumber(), c.number);
    EXPECT_EQ(zip.LastErrorText(), Fallback(c.number));
    ASSERT_EQ(sim.Messages().size(), shownBefore + 1);
    EXPECT_EQ(sim.Messages().back().text, Fallback(c.number));
    EXPECT_EQ(sim.Messages().back().caption, "Tessarwolden");
    EXPECT_EQ(zip.ArchivePath(), "");
    EXPECT_EQ(zip.Directory().size(), c.listed);
    EXPECT_EQ(listChanged, 1);
  }
}

// Removable and CD drives number their volumes by the disk label, fixed
// drives by the file name; an archive without an end record is reported as a
// numbered volume (11038) only when its label gave a number.
TEST_F(ListTest, NumbersVolumesByLabelOrNameAsTheDriveTypeSays) {
  using platform::DriveType;
  struct Case {
    DriveType type;
    const char* label;
    const char* name;
    const char* fixture;
    int volume;
    int number;
  };
  const Case cases[] = {
      {DriveType::Removable, "PKBACK# 001", "Setup.szp", "span.zip", 1, 11037},
      {DriveType::Removable, "PKBACK# 002", "Setup.szp", "span.zip", 2, 11045},
      {DriveType::Removable, "PKBACK# 003", "Setup.szp", "noend.zip", 3, 11038},
      {DriveType::Removable, "DATEN", "Setup.szp", "noend.zip", 0, 11036},
      {DriveType::Removable, "DATEN", "Setup002.szp", "noend.zip", 0, 11036},
      {DriveType::CdRom, "PKBACK# 001", "Setup007.szp", "span.zip", 1, 11037},
      {DriveType::CdRom, "DATEN", "Setup001.szp", "span.zip", 0, 11045},
      {DriveType::CdRom, "DATEN", "Setup002.szp", "noend.zip", 0, 11036},
      {DriveType::Fixed, "DATEN", "Setup001.szp", "span.zip", 1, 11037},
      {DriveType::Fixed, "DATEN", "Setup002.szp", "noend.zip", 2, 11036},
      {DriveType::Fixed, "PKBACK# 003", "Setup.szp", "noend.zip", 0, 11038},
      {DriveType::Remote, "DATEN", "Setup002.szp", "span.zip", 2, 11045},
  };
  char letter = 'D';
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.label) + " " + c.name + " on " +
                 std::to_string(static_cast<int>(c.type)));
    messages.clear();
    sim.AddDrive(letter, c.type, true, c.label, 0x1234);
    zip.SetArchivePath(Put(c.fixture, std::string(1, letter) + ":\\" + c.name));
    EXPECT_EQ(messages, std::vector<int>{c.number});
    EXPECT_EQ(zip.VolumeNumber(), c.volume);
    ++letter;
  }
}

TEST_F(ListTest, AMissingArchiveIsSilentUntilExtract) {
  zip.SetArchivePath("C:\\Setup\\Fehlt.szp");
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(listChanged, 1);
  EXPECT_TRUE(zip.Directory().empty());
  zip.EntryNames() = {"1"};
  zip.Extract();
  EXPECT_EQ(messages, std::vector<int>{10102});
  EXPECT_EQ(Shown(), Strings{Fallback(10102)});
  EXPECT_TRUE(zip.EntryNames().empty());
  EXPECT_EQ(sim.LoadedLibraries().size(), 0u);
}

TEST_F(ListTest, ADriveWithoutMediumReports11004AndExtractThen10102) {
  sim.AddDrive('A', platform::DriveType::Removable, false);
  zip.SetArchivePath("A:\\Setup.szp");
  EXPECT_EQ(messages, std::vector<int>{11004});
  EXPECT_EQ(zip.ArchivePath(), "");
  zip.Extract();
  EXPECT_EQ(messages, (std::vector<int>{11004, 10102}));
}

TEST_F(ListTest, UnattendedReportsWithoutShowing) {
  zip.SetUnattended(true);
  zip.SetArchivePath(Put("noend.zip"));
  EXPECT_EQ(messages, std::vector<int>{11036});
  EXPECT_TRUE(sim.Messages().empty());
}

// Files that fail where the simulated disk cannot.
class FailingFiles : public platform::Files {
 public:
  explicit FailingFiles(platform::Files& real) : real_(real) {}
  bool refuseOpen = false;
  bool failReads = false;

  std::unique_ptr<platform::ReadStream> OpenRead(std::string_view path) override {
    if (refuseOpen)
      return nullptr;
    auto stream = real_.OpenRead(path);
    if (!stream || !failReads)
      return stream;
    struct Failing : platform::ReadStream {
      explicit Failing(std::unique_ptr<platform::ReadStream> s) : inner(std::move(s)) {}
      uint64_t Size() override { return inner->Size(); }
      std::optional<size_t> ReadAt(uint64_t, void*, size_t) override { return std::nullopt; }
      std::unique_ptr<platform::ReadStream> inner;
    };
    return std::make_unique<Failing>(std::move(stream));
  }
  bool FileExists(std::string_view p) override { return real_.FileExists(p); }
  bool DirectoryExists(std::string_view p) override { return real_.DirectoryExists(p); }
  bool CreateDirectory(std::string_view p) override { return real_.CreateDirectory(p); }
  bool RemoveDirectory(std::string_view p) override { return real_.RemoveDirectory(p); }
  bool CopyFile(std::string_view f, std::string_view t, bool x) override {
    return real_.CopyFile(f, t, x);
  }
  bool DeleteFile(std::string_view p) override { return real_.DeleteFile(p); }
  bool DeleteAtRestart(std::string_view p) override { return real_.DeleteAtRestart(p); }
  std::optional<std::string> ReadFile(std::string_view p) override { return real_.ReadFile(p); }
  bool WriteFile(std::string_view p, std::string_view c) override { return real_.WriteFile(p, c); }
  std::unique_ptr<platform::WriteStream> OpenWrite(std::string_view p) override {
    return real_.OpenWrite(p);
  }
  std::optional<uint32_t> Attributes(std::string_view p) override { return real_.Attributes(p); }
  std::vector<platform::DirEntry> ListDirectory(std::string_view p) override {
    return real_.ListDirectory(p);
  }
  std::string CurrentDirectory() override { return real_.CurrentDirectory(); }
  bool SetCurrentDirectory(std::string_view p) override { return real_.SetCurrentDirectory(p); }
  std::string WindowsDirectory() override { return real_.WindowsDirectory(); }
  std::string TempDirectory() override { return real_.TempDirectory(); }
  std::string FullPath(std::string_view p) override { return real_.FullPath(p); }
  uint32_t LogicalDrives() override { return real_.LogicalDrives(); }
  platform::DriveType GetDriveType(std::string_view r) override { return real_.GetDriveType(r); }
  std::optional<platform::VolumeInfo> VolumeInformation(std::string_view r) override {
    return real_.VolumeInformation(r);
  }
  std::optional<uint64_t> DiskSize(std::string_view r) override { return real_.DiskSize(r); }

 private:
  platform::Files& real_;
};

TEST_F(ListTest, ReportsAnArchiveThatCannotBeOpenedOrRead) {
  platform::Platform& p = sim.platform();
  FailingFiles files(p.files);
  platform::Platform failing{p.registry,  p.profile, files,   p.dialogs,
                             p.libraries, p.system,  p.shell, p.processes};
  archive::TZipUnpacker component(failing, "Tessarwolden");
  std::vector<int> numbers;
  component.OnMessage = [&](int number, const std::string&) { numbers.push_back(number); };
  const std::string path = Put("stored.zip");

  files.refuseOpen = true;
  component.SetArchivePath(path);
  files.refuseOpen = false;
  files.failReads = true;
  component.SetArchivePath(path);
  EXPECT_EQ(numbers, (std::vector<int>{11001, 11011}));
  EXPECT_EQ(component.ArchivePath(), "");
}

TEST_F(ListTest, ReportsAFailingHandlerAsOtherErrorOrOutOfMemory) {
  zip.OnEntryListed = [](int number, const archive::ZipDirEntry&) {
    if (number == 2)
      throw std::runtime_error("kaputt");
  };
  zip.SetArchivePath(Put("stored.zip"));
  EXPECT_EQ(messages, std::vector<int>{10202});
  EXPECT_EQ(zip.LastErrorText(), Fallback(10202, "kaputt"));
  EXPECT_EQ(zip.Directory().size(), 2u) << "the list stays as far as it was read";
  EXPECT_EQ(zip.ArchivePath(), "");

  zip.OnEntryListed = [](int, const archive::ZipDirEntry&) { throw std::bad_alloc(); };
  zip.SetArchivePath("C:\\Setup\\Setup.szp");
  EXPECT_EQ(messages, (std::vector<int>{10202, 10103}));
}

TEST_F(ListTest, StoresPropertiesAsDocumented) {
  zip.SetPasswordTries(20);
  EXPECT_EQ(zip.PasswordTries(), 15u);
  zip.SetPasswordTries(3);
  EXPECT_EQ(zip.PasswordTries(), 3u);
  EXPECT_EQ(zip.LibraryDir(), "C:\\Setup");
  zip.SetPassword(std::string(300, 'x'));
  EXPECT_EQ(zip.Password().size(), 255u);

  archive::TZipUnpacker fresh(sim.platform(), "Tessarwolden");
  EXPECT_EQ(fresh.PasswordTries(), 1u);
  EXPECT_FALSE(fresh.Unattended());
  EXPECT_EQ(fresh.CodePage(), CodePage::Auto);
  EXPECT_FALSE(fresh.KeepFolderEntries());
  EXPECT_TRUE(fresh.Options().empty());
  EXPECT_EQ(fresh.TempDir(), "");
}

}  // namespace
}  // namespace archive_test

// SZUNPACK.DLL loaded as the program loads it, on Windows (here: Wine): the
// exports, the records, the callbacks, flat extraction and no overwrite, with
// UTF-8 names turned into real Windows file names.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/Utf16.h"
#include "tests/support/RemoveTree.h"
#include "unpack/UnpackApi.h"

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;
using testing_support::RemoveTree;

// The build tree is a host folder; Wine shows the host's root as drive Z:.
std::string WindowsPath(std::string hostPath) {
  for (char& c : hostPath) {
    if (c == '/')
      c = '\\';
  }
  return "Z:" + hostPath;
}

std::string Fixture(const char* name) {
  return WindowsPath(std::string(ARCHIVE_FIXTURES_DIR) + "/" + name);
}

std::string ReadFileW(const std::wstring& path) {
  HANDLE h =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return "<missing>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
    out.append(buf, got);
  CloseHandle(h);
  return out;
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct Seen {
  int32_t action;
  int32_t number;
  intptr_t size;
  std::string text;
};

class UnpackWineTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    library_ = LoadLibraryW(Widen(WindowsPath(SZUNPACK_PATH)).c_str());
    ASSERT_NE(library_, nullptr);
  }
  static void TearDownTestSuite() { FreeLibrary(library_); }

  void SetUp() override {
    ASSERT_NE(library_, nullptr);
    exec_ = reinterpret_cast<unpack::UnpackExecFn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "UnpackExec")));
    version_ = reinterpret_cast<unpack::GetUnpackVersionFn>(
        reinterpret_cast<void*>(GetProcAddress(library_, "GetUnpackVersion")));
    ASSERT_NE(exec_, nullptr);
    ASSERT_NE(version_, nullptr);

    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    outer_ = std::wstring(temp) + L"unpack_wine_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
             Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
    cwd_ = outer_ + L"\\cwd";
    CreateDirectoryW(outer_.c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(cwd_.c_str(), nullptr));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    previous_ = previous;
    ASSERT_TRUE(SetCurrentDirectoryW(cwd_.c_str()));
  }

  void TearDown() override {
    SetCurrentDirectoryW(previous_.c_str());
    RemoveTree(outer_);
  }

  std::vector<std::wstring> Listing(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE)
      return names;
    do {
      std::wstring name = data.cFileName;
      if (name != L"." && name != L"..")
        names.push_back(name);
    } while (FindNextFileW(h, &data));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
  }

  static int32_t UNPACK_CALL Record(unpack::CallbackRecord* r) {
    auto* self = static_cast<UnpackWineTest*>(r->caller);
    self->seen_.push_back({r->action, r->number, r->size, r->text});
    if (r->action == unpack::kActionPassword && !self->typed_.empty()) {
      const std::string password = self->typed_.front();
      self->typed_.erase(self->typed_.begin());
      r->number = 1;
      lstrcpynA(r->text, password.c_str(), sizeof r->text);
    }
    return 0;
  }

  int32_t Extract(const std::string& archive, const std::vector<std::string>& names,
                  bool overwrite = false, const char* password = "", int32_t tries = 1) {
    std::vector<unpack::EntrySpec> specs(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      specs[i].name = names[i].c_str();
    unpack::Params p{};
    p.head.caller = this;
    p.head.interfaceVersion = unpack::kInterfaceVersion;
    p.head.callback = &Record;
    p.head.password = password;
    p.head.minusOne40 = -1;
    p.head.overwrite = overwrite ? unpack::kTrue : unpack::kFalse;
    p.head.entryCount = static_cast<int32_t>(names.size());
    p.head.archivePath = archive.c_str();
    p.entries = specs.data();
    p.passwordTries = tries;
    p.seven = 7;
    return exec_(&p);
  }

  std::vector<Seen> Of(int32_t action) const {
    std::vector<Seen> out;
    for (const auto& s : seen_) {
      if (s.action == action)
        out.push_back(s);
    }
    return out;
  }

  static HMODULE library_;
  unpack::UnpackExecFn exec_ = nullptr;
  unpack::GetUnpackVersionFn version_ = nullptr;
  std::wstring outer_;
  std::wstring cwd_;
  std::wstring previous_;
  std::vector<Seen> seen_;
  /// Passwords given, in turn, when the library asks for one.
  std::vector<std::string> typed_;
};

HMODULE UnpackWineTest::library_ = nullptr;

TEST_F(UnpackWineTest, ReportsItsVersion) {
  EXPECT_EQ(version_(), 160);
}

TEST_F(UnpackWineTest, ExtractsNamedEntriesFlatIntoTheCurrentDirectory) {
  EXPECT_EQ(Extract(Fixture("deflated.zip"), {"1", "sub/dir/3", "big"}), 3);
  EXPECT_EQ(ReadFileW(L"1"), "first file\n");
  EXPECT_EQ(ReadFileW(L"3"), "third file\n");
  EXPECT_EQ(ReadFileW(L"big").size(), 3300000u);
  EXPECT_EQ(Listing(outer_), std::vector<std::wstring>{L"cwd"});

  ASSERT_FALSE(seen_.empty());
  EXPECT_EQ(seen_.front().action, unpack::kActionTotalSize);
  EXPECT_EQ(seen_.back().action, unpack::kActionEndOfBatch);
  EXPECT_EQ(seen_.back().size, 3);
  auto starts = Of(unpack::kActionNewEntry);
  ASSERT_EQ(starts.size(), 3u);
  EXPECT_EQ(starts[2].text, "sub/dir/3");  // in archive order
  EXPECT_EQ(starts[2].size, 11);
}

TEST_F(UnpackWineTest, DropsStoredFoldersAndRefusesWhatIsNoWindowsFileName) {
  EXPECT_EQ(Extract(Fixture("unsafe.zip"),
                    {"a/b/1", "../../2", "..\\..\\3", "C:\\x\\4", "/abs/5", "bad?name", "a:b",
                     "CON", "trail.", "x/..", "COM\u00b9", "lpt\u00b2.txt"}),
            5);
  EXPECT_EQ(Listing(cwd_), (std::vector<std::wstring>{L"1", L"2", L"3", L"4", L"5"}));
  EXPECT_EQ(Listing(outer_), std::vector<std::wstring>{L"cwd"});
  EXPECT_EQ(ReadFileW(L"2"), "dotdot");
  auto skipped = Of(unpack::kActionSkipped);
  ASSERT_EQ(skipped.size(), 7u);
  for (const auto& s : skipped)
    EXPECT_EQ(s.number, unpack::kMsgUnsafeName) << s.text;
}

TEST_F(UnpackWineTest, LeavesExistingFilesAloneUnlessOverwriteIsOn) {
  HANDLE h = CreateFileW(L"1", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  WriteFile(h, "old", 3, &written, nullptr);
  CloseHandle(h);
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}), 0);
  EXPECT_EQ(ReadFileW(L"1"), "old");
  ASSERT_EQ(Of(unpack::kActionSkipped).size(), 1u);
  EXPECT_EQ(Of(unpack::kActionSkipped)[0].number, unpack::kMsgExists);
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}, true), 1);
  EXPECT_EQ(ReadFileW(L"1"), "first file\n");
  // A damaged entry replaces nothing and leaves nothing behind.
  EXPECT_EQ(Extract(Fixture("crc.zip"), {"1"}, true), 0);
  EXPECT_EQ(ReadFileW(L"1"), "first file\n");
  EXPECT_EQ(Listing(cwd_), std::vector<std::wstring>{L"1"});
}

// A name in the current directory that is a symbolic link is replaced by the
// entry's file; the file the link leads to, outside, stays as it was. The
// host has made the link (MakeLink.cmake), as Wine cannot.
TEST_F(UnpackWineTest, ReplacesALinkWithoutTouchingWhatItLeadsTo) {
  const std::wstring folder = Widen(WindowsPath(UNPACK_WINE_LINK_DIR));
  const std::wstring outside = folder + L"\\outside";
  const std::wstring cwd = folder + L"\\cwd";
  if (ReadFileW(cwd + L"\\1") != "outside")
    GTEST_SKIP() << "no link laid out: ctest lays it out before each run";
  ASSERT_TRUE(SetCurrentDirectoryW(cwd.c_str()));
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}), 0);
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}, true), 1);
  EXPECT_EQ(ReadFileW(outside), "outside");
  EXPECT_EQ(ReadFileW(L"1"), "first file\n");
  EXPECT_EQ(Listing(cwd), std::vector<std::wstring>{L"1"});
}

TEST_F(UnpackWineTest, WritesNamesOfEveryEncodingAsUnicodeFileNames) {
  EXPECT_EQ(Extract(Fixture("names.zip"),
                    {"Gr\u00fcn.txt", "Caf\u00e9.txt", "\u00e4rger.txt", "Stra\u00dfe.txt"}),
            4);
  EXPECT_EQ(ReadFileW(L"Gr\u00fcn.txt"), "oem");
  EXPECT_EQ(ReadFileW(L"Caf\u00e9.txt"), "ansi");
  EXPECT_EQ(ReadFileW(L"\u00e4rger.txt"), "ntfs");
  EXPECT_EQ(ReadFileW(L"Stra\u00dfe.txt"), "utf8");
}

// DOS, NTFS (version byte 50) and OS/2 names are read in the system's OEM
// code page: 850 on a German Windows, which reads 9B 9D B5 apart from 437.
TEST_F(UnpackWineTest, ReadsOemNamesInTheSystemsOemCodePage) {
  std::vector<std::string> names;
  for (const char* raw : {"S\x9Bren.txt", "\x9Dlkanne.txt", "\xB5rea.txt"}) {
    wchar_t wide[64] = {};
    ASSERT_GT(MultiByteToWideChar(CP_OEMCP, 0, raw, -1, wide, 64), 0);
    names.push_back(Narrow(wide));
  }
  if (GetOEMCP() == 850) {
    EXPECT_EQ(names,
              (std::vector<std::string>{"S\u00f8ren.txt", "\u00d8lkanne.txt", "\u00c1rea.txt"}));
  }
  EXPECT_EQ(Extract(Fixture("oemnames.zip"), names), 3) << GetOEMCP();
  EXPECT_EQ(ReadFileW(Widen(names[0])), "dos");
  EXPECT_EQ(ReadFileW(Widen(names[1])), "ntfs");
  EXPECT_EQ(ReadFileW(Widen(names[2])), "hpfs");
}

TEST_F(UnpackWineTest, OpensAnArchiveWhosePathIsNotAscii) {
  std::wstring folder = outer_ + L"\\Pr\u00fcfung";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  std::wstring copy = folder + L"\\Setup.szp";
  ASSERT_TRUE(CopyFileW(Widen(Fixture("stored.zip")).c_str(), copy.c_str(), TRUE));
  EXPECT_EQ(Extract(Narrow(copy), {"(listfile)"}), 1);
  EXPECT_EQ(ReadFileW(L"(listfile)"), "[Files]\r\n");
}

TEST_F(UnpackWineTest, DeletesAFileWhoseCrcDoesNotMatch) {
  EXPECT_EQ(Extract(Fixture("crc.zip"), {"1"}), 0);
  EXPECT_FALSE(Exists(L"1"));
  EXPECT_EQ(Of(unpack::kActionCrcError).size(), 1u);
}

TEST_F(UnpackWineTest, DecryptsTraditionallyEncryptedEntries) {
  const std::string first = "first file\n";
  struct Case {
    const char* archive;
    const char* password;            // in the record
    std::vector<std::string> typed;  // when asked
    size_t asked;
  };
  const Case cases[] = {
      {"zipcrypto-stored.zip", "geheim", {}, 0},
      {"zipcrypto-deflated.zip", "", {"falsch", "geheim"}, 2},
      {"zipcrypto-bsdtar.zip", "falsch", {"geheim"}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    seen_.clear();
    typed_ = c.typed;
    EXPECT_EQ(Extract(Fixture(c.archive), {"1", "2"}, false, c.password, 3), 2);
    EXPECT_EQ(ReadFileW(L"1"), first);
    EXPECT_EQ(ReadFileW(L"2").size(), 70000u);
    EXPECT_EQ(Of(unpack::kActionPassword).size(), c.asked);
    DeleteFileW(L"1");
    DeleteFileW(L"2");
  }
}

TEST_F(UnpackWineTest, SkipsAnEntryWhoseTriesAreUsedUpAndDeletesABadOne) {
  typed_ = {"falsch", "auch falsch"};
  EXPECT_EQ(Extract(Fixture("zipcrypto-stored.zip"), {"2"}, false, "", 2), 0);
  EXPECT_EQ(Of(unpack::kActionPassword).size(), 2u);
  ASSERT_EQ(Of(unpack::kActionSkipped).size(), 1u);
  EXPECT_EQ(Of(unpack::kActionSkipped)[0].number, unpack::kMsgEncrypted);
  EXPECT_FALSE(Exists(L"2"));

  seen_.clear();
  EXPECT_EQ(Extract(Fixture("zipcrypto-crc.zip"), {"2"}, false, "geheim"), 0);
  EXPECT_EQ(Of(unpack::kActionCrcError).size(), 1u);
  EXPECT_FALSE(Exists(L"2"));
  EXPECT_EQ(Listing(outer_), std::vector<std::wstring>{L"cwd"});
}

}  // namespace

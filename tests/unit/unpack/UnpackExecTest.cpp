// The library through its exported entry points, on archives made by peer
// tools and on hand-broken ones.

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "unpack/UnpackApi.h"

namespace unpack {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
  return std::string(ARCHIVE_FIXTURES_DIR) + "/" + name;
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

struct Seen {
  int32_t action;
  int32_t number;
  intptr_t size;
  std::string text;
};

// Runs every test in a fresh folder that becomes the current directory, with
// an empty parent folder around it, so that anything written outside shows.
class UnpackExecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    outer_ = fs::temp_directory_path() /
             ("unpack_test_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(outer_);
    fs::create_directories(outer_ / "work" / "cwd");
    fs::current_path(outer_ / "work" / "cwd");
  }
  void TearDown() override {
    fs::current_path(previous_);
    fs::remove_all(outer_);
  }

  static int32_t UNPACK_CALL Record(CallbackRecord* r) {
    auto* self = static_cast<UnpackExecTest*>(r->caller);
    EXPECT_EQ(r->version, kLibraryVersion);
    self->seen_.push_back({r->action, r->number, r->size, r->text});
    if (r->action == kActionPassword && self->passwordAnswer_)
      self->passwordAnswer_(*r);
    return self->answer_ ? self->answer_(*r) : 0;
  }

  int32_t Extract(const std::string& archive, const std::vector<std::string>& names,
                  std::function<void(Params&)> adjust = nullptr) {
    std::vector<EntrySpec> specs(names.size());
    for (size_t i = 0; i < names.size(); ++i)
      specs[i].name = names[i].c_str();
    Params p{};
    p.head.caller = this;
    p.head.interfaceVersion = kInterfaceVersion;
    p.head.callback = &Record;
    p.head.password = "";
    p.head.minusOne40 = -1;
    p.head.entryCount = static_cast<int32_t>(names.size());
    p.head.archivePath = archive.c_str();
    p.entries = specs.data();
    p.passwordTries = 1;
    p.seven = 7;
    if (adjust)
      adjust(p);
    return UnpackExec(&p);
  }

  std::vector<Seen> Of(int32_t action) const {
    std::vector<Seen> out;
    for (const auto& s : seen_) {
      if (s.action == action)
        out.push_back(s);
    }
    return out;
  }

  std::vector<std::string> Files(const fs::path& dir) const {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
      names.push_back(fs::relative(e.path(), dir).generic_string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path previous_;
  fs::path outer_;
  std::vector<Seen> seen_;
  std::function<int32_t(const CallbackRecord&)> answer_;
  /// Answers password requests (kActionPassword) by changing the record.
  std::function<void(CallbackRecord&)> passwordAnswer_;
};

TEST_F(UnpackExecTest, ExtractsEntriesOfEveryPeerToolFlat) {
  const std::string text = ReadAll(Fixture("big.txt"));
  const std::string binary = ReadAll(Fixture("binary.bin"));
  struct Case {
    const char* archive;
    const char* entry;
    const char* file;
    std::string content;
  };
  const Case cases[] = {
      {"stored.zip", "1", "1", "first file\n"},
      {"stored.zip", "2", "2", binary},
      {"stored.zip", "(listfile)", "(listfile)", "[Files]\r\n"},
      {"stored.zip", "sub/dir/3", "3", "third file\n"},
      {"deflated.zip", "big", "big", text},
      {"deflated.zip", "2", "2", binary},
      {"deflated.zip", "empty", "empty", ""},
      {"deflated.zip", "sub\\dir\\3", "3", "third file\n"},
      {"deflated.zip", "BIG", "big", text},
      {"stored.zip", "Sub\\DIR/3", "3", "third file\n"},
      {"bsdtar.zip", "big", "big", text},
      {"bsdtar.zip", "leer", "leer", ""},
      {"bsdtar.zip", "sub/3", "3", "third file\n"},
      {"7z.zip", "big", "big", text},
      {"7z.zip", "2", "2", binary},
      {"7z.zip", "sub/3", "3", "third file\n"},
      {"sfx.zip", "big", "big", text},
      {"padded.zip", "1", "1", "first file\n"},
      {"trailing.zip", "1", "1", "first file\n"},
      {"fakeend.zip", "1", "1", "first file\n"},
      {"gap.zip", "1", "1", "first file\n"},
      {"zip64.zip", "sub/second", "second", text.substr(0, 200000)},
      {"many.zip", "69999", "69999", "69999\n"},
      {"many.zip", "1", "1", "1\n"},
      {"wrapped.zip", "69999", "69999", "69999\n"},
      // The last counted header lies past the directory's size field.
      {"shortsize.zip", "sub/dir/3", "3", "third file\n"},
      {"longheader.zip", "1", "1", "long header\n"},
      {"longheader.zip", "2", "2", "after the long header\n"},
      {"unsafe.zip", "a/b/1", "1", "nested"},
      {"unsafe.zip", "../../2", "2", "dotdot"},
      {"unsafe.zip", "..\\..\\3", "3", "backslash dotdot"},
      {"unsafe.zip", "C:\\x\\4", "4", "drive"},
      {"unsafe.zip", "/abs/5", "5", "absolute"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " " + c.entry);
    seen_.clear();
    EXPECT_EQ(Extract(Fixture(c.archive), {c.entry}), 1);
    EXPECT_EQ(Files(outer_),
              (std::vector<std::string>{"work", "work/cwd", std::string("work/cwd/") + c.file}));
    EXPECT_EQ(ReadAll(c.file), c.content);
    EXPECT_TRUE(Of(kActionMessage).empty()) << Of(kActionMessage)[0].text;
    fs::remove(c.file);
  }
}

TEST_F(UnpackExecTest, ReportsEveryStepThroughTheCallback) {
  const std::string text = ReadAll(Fixture("big.txt"));
  EXPECT_EQ(Extract(Fixture("deflated.zip"), {"1", "big"}), 2);
  ASSERT_GE(seen_.size(), 7u);
  EXPECT_EQ(seen_.front().action, kActionTotalSize);
  EXPECT_EQ(seen_.front().size, static_cast<intptr_t>(11 + text.size()));
  EXPECT_EQ(seen_.back().action, kActionEndOfBatch);
  EXPECT_EQ(seen_.back().size, 2);

  auto starts = Of(kActionNewEntry);
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0].text, "1");
  EXPECT_EQ(starts[0].size, 11);
  EXPECT_EQ(starts[1].text, "big");
  auto done = Of(kActionEntryDone);
  ASSERT_EQ(done.size(), 2u);
  EXPECT_EQ(done[1].text, "big");
  EXPECT_EQ(done[1].size, static_cast<intptr_t>(text.size()));

  intptr_t progressed = 0;
  for (const auto& s : Of(kActionProgress))
    progressed += s.size;
  EXPECT_EQ(progressed, static_cast<intptr_t>(11 + text.size()));
  EXPECT_GT(Of(kActionProgress).size(), 2u) << "big entries report more than once";
}

TEST_F(UnpackExecTest, LeavesExistingFilesAloneUnlessOverwriteIsOn) {
  { std::ofstream("1") << "old"; }
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1", "2"}), 1);
  EXPECT_EQ(ReadAll("1"), "old");
  auto skipped = Of(kActionSkipped);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0].number, kMsgExists);
  EXPECT_EQ(skipped[0].text, "1");
  EXPECT_EQ(ReadAll("2"), ReadAll(Fixture("binary.bin")));

  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}, [](Params& p) { p.head.overwrite = kTrue; }), 1);
  EXPECT_EQ(ReadAll("1"), "first file\n");
}

TEST_F(UnpackExecTest, NeverWritesThroughALinkInTheCurrentDirectory) {
  const fs::path target = outer_ / "work" / "target";
  for (const bool targetExists : {false, true}) {
    SCOPED_TRACE(targetExists ? "link to a file outside" : "dangling link");
    if (targetExists) {
      std::ofstream(target) << "outside";
    }
    fs::create_symlink(target, "1");
    EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}), 0);
    EXPECT_TRUE(fs::is_symlink("1"));
    EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}, [](Params& p) { p.head.overwrite = kTrue; }),
              1);
    EXPECT_EQ(fs::exists(target), targetExists);
    if (targetExists) {
      EXPECT_EQ(ReadAll(target), "outside");
    }
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("1")));
    EXPECT_EQ(ReadAll("1"), "first file\n");
    fs::remove("1");
  }
}

// An entry is written under another name and takes its own only once its
// size and CRC are right: a process killed halfway leaves no partial file
// under the entry's name, and a damaged entry leaves the file it would have
// replaced as it was.
TEST_F(UnpackExecTest, AnEntryTakesItsNameOnlyWhenComplete) {
  const std::string text = ReadAll(Fixture("big.txt"));
  struct Case {
    const char* archive;
    const char* entry;
    const char* before;  // the file of the entry's name beforehand; nullptr: none
    bool overwrite;
    int32_t extracted;
    std::string after;  // "<missing>": no file of that name
  };
  const Case cases[] = {
      {"deflated.zip", "big", nullptr, false, 1, text},
      {"deflated.zip", "big", "old", true, 1, text},
      {"crc.zip", "1", "old", true, 0, "old"},
      {"bomb.zip", "short", nullptr, false, 0, "<missing>"},
  };
  auto contentOf = [](const char* name) {
    return fs::exists(fs::symlink_status(name)) ? ReadAll(name) : std::string("<missing>");
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " " + c.entry);
    seen_.clear();
    if (c.before) {
      std::ofstream(c.entry) << c.before;
    }
    const std::string before = c.before ? c.before : "<missing>";
    bool progressed = false;
    bool keptMeanwhile = true;
    answer_ = [&](const CallbackRecord& r) {
      if (r.action == kActionProgress) {
        progressed = true;
        keptMeanwhile = keptMeanwhile && contentOf(c.entry) == before;
      }
      return 0;
    };
    EXPECT_EQ(Extract(Fixture(c.archive), {c.entry},
                      [&](Params& p) { p.head.overwrite = c.overwrite ? kTrue : kFalse; }),
              c.extracted);
    ASSERT_TRUE(progressed);
    EXPECT_TRUE(keptMeanwhile) << "the name holds what it held until the entry is complete";
    EXPECT_EQ(contentOf(c.entry), c.after);
    const std::vector<std::string> left =
        c.after == "<missing>" ? std::vector<std::string>{} : std::vector<std::string>{c.entry};
    EXPECT_EQ(Files("."), left) << "nothing else is left behind";
    fs::remove(c.entry);
  }
}

TEST_F(UnpackExecTest, SkipsNamesThatAreNoFileNamesWithAMessage) {
  const char* names[] = {"dir/",     "x/.",    "x/..",      "bad?name",  "a:b",          "CON",
                         "lpt1.txt", "trail.", "tab\tname", "COM\u00b9", "lpt\u00b2.txt"};
  for (const char* name : names) {
    SCOPED_TRACE(name);
    seen_.clear();
    EXPECT_EQ(Extract(Fixture("unsafe.zip"), {name}), 0);
    auto skipped = Of(kActionSkipped);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].number, kMsgUnsafeName);
    ASSERT_EQ(Of(kActionMessage).size(), 1u);
    EXPECT_NE(Of(kActionMessage)[0].text.find(name), std::string::npos);
  }
  EXPECT_EQ(Files(outer_), (std::vector<std::string>{"work", "work/cwd"}));
}

TEST_F(UnpackExecTest, DeletesOutputThatDoesNotMatchTheDirectory) {
  struct Case {
    const char* archive;
    const char* entry;
    Message reason;
    intptr_t declared;
  };
  const Case cases[] = {
      {"crc.zip", "1", kMsgCrcMismatch, 11},
      {"bomb.zip", "bomb", kMsgSizeMismatch, 4096},
      {"bomb.zip", "short", kMsgSizeMismatch, 5000},
      {"cut.zip", "text", kMsgDataError, 3300000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " " + c.entry);
    seen_.clear();
    uintmax_t largest = 0;
    answer_ = [&](const CallbackRecord& r) {
      if (r.action == kActionProgress) {
        for (const auto& e : fs::directory_iterator("."))
          largest = std::max(largest, e.file_size());
      }
      return 0;
    };
    EXPECT_EQ(Extract(Fixture(c.archive), {c.entry}), 0);
    EXPECT_FALSE(fs::exists(c.entry));
    EXPECT_LE(largest, static_cast<uintmax_t>(c.declared))
        << "never more than the directory declares";
    auto skipped = Of(kActionSkipped);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].number, c.reason);
    EXPECT_EQ(Of(kActionCrcError).size(), c.reason == kMsgCrcMismatch ? 1u : 0u);
  }
}

TEST_F(UnpackExecTest, ReportsWhatItCannotExtract) {
  struct Case {
    const char* archive;
    std::vector<std::string> names;
    int32_t message;
  };
  const Case cases[] = {
      {"stored.zip", {"missing"}, kMsgNotFound},      {"encrypted.zip", {"1"}, kMsgEncrypted},
      {"does-not-exist.zip", {"1"}, kMsgArchiveOpen}, {"noend.zip", {"1"}, kMsgArchiveFormat},
      {"tiny.zip", {"1"}, kMsgArchiveFormat},         {"badsig.zip", {"1"}, kMsgArchiveFormat},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    seen_.clear();
    EXPECT_EQ(Extract(Fixture(c.archive), c.names), 0);
    auto messages = Of(kActionMessage);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages[0].number, c.message);
    EXPECT_EQ(seen_.back().action, kActionEndOfBatch);
  }
  EXPECT_EQ(Files(outer_), (std::vector<std::string>{"work", "work/cwd"}));
}

// 200 central headers for one local entry of 1 MiB: each entry's data is
// every other's, and none is written.
TEST_F(UnpackExecTest, RefusesEntriesThatShareTheirData) {
  EXPECT_EQ(Extract(Fixture("overlap.zip"), {"1", "2", "200"}), 0);
  const auto skipped = Of(kActionSkipped);
  ASSERT_EQ(skipped.size(), 3u);
  for (const auto& s : skipped)
    EXPECT_EQ(s.number, kMsgOverlap) << s.text;
  const auto messages = Of(kActionMessage);
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].number, kMsgOverlap);
  EXPECT_TRUE(Of(kActionProgress).empty());
  EXPECT_EQ(Files(outer_), (std::vector<std::string>{"work", "work/cwd"}));
}

TEST_F(UnpackExecTest, RefusesAnArchivePathThatIsNoRegularFile) {
  ASSERT_EQ(::mkfifo("pipe.zip", 0600), 0);
  fs::create_directory("folder.zip");
  // Opening a FIFO for reading waits for a writer that never comes: in a
  // child process under an alarm, such a wait fails the test instead of
  // hanging it.
  EXPECT_EXIT(
      {
        ::alarm(60);
        bool refused = true;
        for (const char* path : {"pipe.zip", "folder.zip"}) {
          seen_.clear();
          Extract(path, {"1"});
          const auto messages = Of(kActionMessage);
          refused = refused && messages.size() == 1 && messages[0].number == kMsgArchiveOpen;
        }
        std::_Exit(refused ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

// Sizes come from the archive: whatever an entry declares, the callbacks get
// no negative size.
TEST_F(UnpackExecTest, HoldsDeclaredSizesBeyondTheSignedRangeAtItsLargestValue) {
  constexpr intptr_t kLargest = std::numeric_limits<intptr_t>::max();
  EXPECT_EQ(Extract(Fixture("hugesizes.zip"), {"max", "almost", "half1", "half2"}), 0);
  ASSERT_FALSE(seen_.empty());
  EXPECT_EQ(seen_.front().action, kActionTotalSize);
  EXPECT_EQ(seen_.front().size, kLargest);
  const auto starts = Of(kActionNewEntry);
  ASSERT_EQ(starts.size(), 4u);
  for (const auto& s : starts)
    EXPECT_EQ(s.size, kLargest) << s.text;
  for (const auto& s : Of(kActionSkipped))
    EXPECT_EQ(s.number, kMsgSizeMismatch) << s.text;
}

TEST_F(UnpackExecTest, ReportsProgressByTheChunkWhateverSizeAnEntryDeclares) {
  // The same 64 KiB of data under the largest size and the one below it.
  auto progressReports = [this](const char* entry) {
    seen_.clear();
    Extract(Fixture("hugesizes.zip"), {entry});
    return Of(kActionProgress).size();
  };
  EXPECT_EQ(progressReports("max"), progressReports("almost"));
}

// ---------------------------------------------------------------- encryption

// Answers password requests in turn from `passwords` (an empty one: none
// given), each time with the repeat count `repeat` (unchanged when 0).
std::function<void(CallbackRecord&)> Passwords(std::vector<std::string> passwords,
                                               intptr_t repeat = 0) {
  auto next = std::make_shared<size_t>(0);
  return [passwords, repeat, next](CallbackRecord& r) {
    const std::string& p = passwords.at((*next)++);
    r.number = p.empty() ? 0 : 1;
    std::snprintf(r.text, sizeof r.text, "%s", p.c_str());
    if (repeat)
      r.size = repeat;
  };
}

auto WithPassword(const char* password, int32_t tries) {
  return [password, tries](Params& p) {
    p.head.password = password;
    p.passwordTries = tries;
  };
}

TEST_F(UnpackExecTest, DecryptsEntriesOfPeerToolsWithThePasswordFromTheRecord) {
  const std::string text = ReadAll(Fixture("big.txt"));
  const std::string binary = ReadAll(Fixture("binary.bin"));
  struct Case {
    const char* archive;
    const char* entry;
    std::string content;
  };
  const Case cases[] = {
      {"zipcrypto-stored.zip", "1", "first file\n"},
      {"zipcrypto-stored.zip", "2", binary},
      {"zipcrypto-deflated.zip", "2", binary},
      {"zipcrypto-deflated.zip", "big", text},
      {"zipcrypto-small.zip", "sub/3", "third file\n"},
      {"zipcrypto-bsdtar.zip", "1", "first file\n"},  // check byte from the time
      {"zipcrypto-bsdtar.zip", "big", text},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.archive) + " " + c.entry);
    seen_.clear();
    EXPECT_EQ(Extract(Fixture(c.archive), {c.entry}, WithPassword("geheim", 1)), 1);
    const std::string file = fs::path(c.entry).filename().string();
    EXPECT_EQ(ReadAll(file), c.content);
    EXPECT_TRUE(Of(kActionPassword).empty());
    EXPECT_TRUE(Of(kActionMessage).empty()) << Of(kActionMessage)[0].text;
    fs::remove(file);
  }
}

TEST_F(UnpackExecTest, AsksForAPasswordAndKeepsTheOneThatFits) {
  passwordAnswer_ = Passwords({"falsch", "geheim"});
  EXPECT_EQ(Extract(Fixture("zipcrypto-deflated.zip"), {"1", "2", "big"}, WithPassword("", 3)), 3);
  auto asked = Of(kActionPassword);
  ASSERT_EQ(asked.size(), 2u) << "the entries after the first use the password that fitted";
  EXPECT_EQ(asked[0].text, "1");
  EXPECT_EQ(asked[0].number, 0) << "no confirmation wanted";
  EXPECT_EQ(asked[0].size, 3);
  EXPECT_EQ(asked[1].size, 2);
  EXPECT_EQ(ReadAll("1"), "first file\n");
  EXPECT_EQ(ReadAll("big"), ReadAll(Fixture("big.txt")));

  // A wrong password in the record is tried first, then the caller is asked.
  seen_.clear();
  fs::remove("1");
  passwordAnswer_ = Passwords({"geheim"});
  EXPECT_EQ(Extract(Fixture("zipcrypto-bsdtar.zip"), {"1"}, WithPassword("falsch", 1)), 1);
  EXPECT_EQ(Of(kActionPassword).size(), 1u);
}

TEST_F(UnpackExecTest, SkipsAnEncryptedEntryOnceThePasswordTriesAreUsedUp) {
  struct Case {
    const char* what;
    const char* recordPassword;
    int32_t tries;
    std::vector<std::string> answers;
    intptr_t repeat;  // the caller's repeat count, 0: left as asked
    size_t asked;
    const char* message;  // start of the message; nullptr: extracted
  };
  const Case cases[] = {
      {"wrong password, nobody to ask", "falsch", 0, {}, 0, 0, "wrong password"},
      {"no password, nobody to ask", "", 0, {}, 0, 0, "no password"},
      {"no password given", "", 3, {""}, 0, 1, "no password"},
      {"every try wrong", "", 2, {"a", "b"}, 0, 2, "wrong password"},
      {"wrong, then none given", "", 3, {"a", ""}, 0, 2, "wrong password"},
      {"caller ends the tries", "", 5, {"a"}, 1, 1, "wrong password"},
      {"caller grants more tries", "", 1, {"a", "b", "geheim"}, 3, 3, nullptr},
      {"repeat count capped at 15", "", 1, std::vector<std::string>(15, "x"), 40, 15,
       "wrong password"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    seen_.clear();
    passwordAnswer_ = Passwords(c.answers, c.repeat);
    const int32_t count =
        Extract(Fixture("zipcrypto-stored.zip"), {"2"}, WithPassword(c.recordPassword, c.tries));
    EXPECT_EQ(Of(kActionPassword).size(), c.asked);
    if (!c.message) {
      EXPECT_EQ(count, 1);
      EXPECT_EQ(ReadAll("2"), ReadAll(Fixture("binary.bin")));
      fs::remove("2");
      continue;
    }
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(fs::exists("2"));
    auto skipped = Of(kActionSkipped);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].number, kMsgEncrypted);
    ASSERT_EQ(Of(kActionMessage).size(), 1u);
    EXPECT_EQ(Of(kActionMessage)[0].text.rfind(c.message, 0), 0u) << Of(kActionMessage)[0].text;
  }
}

TEST_F(UnpackExecTest, DeletesADecryptedFileWhoseCrcDoesNotMatch) {
  EXPECT_EQ(Extract(Fixture("zipcrypto-crc.zip"), {"1", "2"}, WithPassword("geheim", 1)), 1);
  EXPECT_EQ(ReadAll("1"), "first file\n");
  EXPECT_FALSE(fs::exists("2"));
  EXPECT_EQ(Of(kActionCrcError).size(), 1u);
}

TEST_F(UnpackExecTest, StopsWhenThePasswordRequestIsCancelled) {
  answer_ = [](const CallbackRecord& r) { return r.action == kActionPassword ? -1 : 0; };
  EXPECT_EQ(Extract(Fixture("zipcrypto-stored.zip"), {"1", "2"}, WithPassword("", 3)), 0);
  EXPECT_EQ(Of(kActionPassword).size(), 1u);
  EXPECT_TRUE(Of(kActionSkipped).empty());
  EXPECT_EQ(Files(outer_), (std::vector<std::string>{"work", "work/cwd"}));
}

TEST_F(UnpackExecTest, SkipsAesEntriesWithoutAskingForAPassword) {
  EXPECT_EQ(Extract(Fixture("aes.zip"), {"1"}, WithPassword("geheim", 3)), 0);
  EXPECT_TRUE(Of(kActionPassword).empty());
  ASSERT_EQ(Of(kActionSkipped).size(), 1u);
  EXPECT_EQ(Of(kActionSkipped)[0].number, kMsgEncrypted);
  EXPECT_NE(Of(kActionMessage).at(0).text.find("AES"), std::string::npos);
  EXPECT_FALSE(fs::exists("1"));
}

TEST_F(UnpackExecTest, MatchesNamesInEveryEncodingAndWithoutRegardToCase) {
  const std::vector<std::string> names = {"Gr\u00fcn.txt",   "Caf\u00e9.txt",
                                          "\u00e4rger.txt",  "\u00dcber\u00f6.txt",
                                          "Stra\u00dfe.txt", "FOLDER\\Inner.TXT"};
  EXPECT_EQ(Extract(Fixture("names.zip"), names), 6);
  EXPECT_EQ(ReadAll("Gr\u00fcn.txt"), "oem");
  EXPECT_EQ(ReadAll("Caf\u00e9.txt"), "ansi");
  EXPECT_EQ(ReadAll("\u00e4rger.txt"), "ntfs");
  EXPECT_EQ(ReadAll("\u00dcber\u00f6.txt"), "hpfs");
  EXPECT_EQ(ReadAll("Stra\u00dfe.txt"), "utf8");
  EXPECT_EQ(ReadAll("inner.txt"), "inner");
}

// The system's OEM code page decides: 850 by default, as on a German
// Windows; 437 when the environment names it, as on an American one.
TEST_F(UnpackExecTest, ReadsOemNamesInTheSystemsOemCodePage) {
  struct Case {
    const char* codePage;  // SZUNPACK_OEMCP; nullptr for the default
    std::vector<std::string> names;
  };
  const Case cases[] = {
      {nullptr, {"S\u00f8ren.txt", "\u00d8lkanne.txt", "\u00c1rea.txt"}},
      {"850", {"S\u00f8ren.txt", "\u00d8lkanne.txt", "\u00c1rea.txt"}},
      {"437", {"S\u00a2ren.txt", "\u00a5lkanne.txt", "\u2561rea.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.codePage ? c.codePage : "default");
    if (c.codePage)
      ::setenv("SZUNPACK_OEMCP", c.codePage, 1);
    const fs::path dir = outer_ / "work" / (c.codePage ? c.codePage : "default");
    fs::create_directory(dir);
    fs::current_path(dir);
    EXPECT_EQ(Extract(Fixture("oemnames.zip"), c.names), 3);
    ::unsetenv("SZUNPACK_OEMCP");
    EXPECT_EQ(ReadAll(c.names[0]), "dos");
    EXPECT_EQ(ReadAll(c.names[1]), "ntfs");
    EXPECT_EQ(ReadAll(c.names[2]), "hpfs");
    EXPECT_EQ(Files(dir).size(), 3u);
  }
}

// The library keeps what it learned of an archive's directory between calls;
// a rewritten archive under the same path is read again when its size, its
// last-write time or its end record differ.
TEST_F(UnpackExecTest, ReadsAnArchiveAgainOnceItChanges) {
  struct Case {
    const char* fixture;
    bool sameTime;  // the last-write time put back as it was
    const char* x;  // what entry x holds then
  };
  const Case cases[] = {
      {"reread-b.zip", false, "BBBB"},    // entries in the other order, same size and end record
      {"reread-c.zip", false, "CCCCCC"},  // larger
      {"reread-d.zip", true, "DDDD"},     // same size and time, another end record
      {"reread-a.zip", false, "AAAA"},
  };
  const fs::path archive = outer_ / "Setup.szp";
  fs::copy_file(Fixture("reread-a.zip"), archive);
  EXPECT_EQ(Extract(archive.string(), {"x"}), 1);
  EXPECT_EQ(ReadAll("x"), "AAAA");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fixture);
    fs::remove("x");
    const fs::file_time_type before = fs::last_write_time(archive);
    fs::copy_file(Fixture(c.fixture), archive, fs::copy_options::overwrite_existing);
    fs::last_write_time(archive, c.sameTime ? before : before + std::chrono::seconds(5));
    seen_.clear();
    EXPECT_EQ(Extract(archive.string(), {"x"}), 1);
    EXPECT_EQ(ReadAll("x"), c.x);
    EXPECT_TRUE(Of(kActionMessage).empty());
  }
}

TEST_F(UnpackExecTest, StopsWhenTheCallbackCancels) {
  answer_ = [](const CallbackRecord& r) { return r.action == kActionProgress ? -1 : 0; };
  EXPECT_EQ(Extract(Fixture("deflated.zip"), {"big", "1"}), 0);
  EXPECT_FALSE(fs::exists("big"));
  EXPECT_FALSE(fs::exists("1"));
  EXPECT_EQ(Of(kActionNewEntry).size(), 1u);
}

TEST_F(UnpackExecTest, TestModeChecksWithoutWriting) {
  auto test = [](Params& p) { p.head.test = kTrue; };
  EXPECT_EQ(Extract(Fixture("deflated.zip"), {"big", "1"}, test), 2);
  EXPECT_EQ(Extract(Fixture("crc.zip"), {"1"}, test), 0);
  EXPECT_EQ(Of(kActionCrcError).size(), 1u);
  EXPECT_EQ(Files(outer_), (std::vector<std::string>{"work", "work/cwd"}));
}

TEST_F(UnpackExecTest, RefusesOptionsItDoesNotSupport) {
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}, [](Params& p) { p.head.folderNames = kTrue; }),
            0);
  ASSERT_EQ(Of(kActionMessage).size(), 1u);
  EXPECT_EQ(Of(kActionMessage)[0].number, kMsgUnsupportedOption);
  EXPECT_FALSE(fs::exists("1"));
}

TEST_F(UnpackExecTest, WorksWithoutCallbackAndRefusesANullRecord) {
  EXPECT_EQ(UnpackExec(nullptr), 0);
  EXPECT_EQ(Extract(Fixture("stored.zip"), {"1"}, [](Params& p) { p.head.callback = nullptr; }), 1);
  EXPECT_EQ(GetUnpackVersion(), 160);
}

// An entry over 4 GiB takes a minute and 4 GiB of disk; run with
// SETUP_LARGE_TESTS=1.
TEST_F(UnpackExecTest, ExtractsAnEntryOverFourGibibytes) {
  if (!std::getenv("SETUP_LARGE_TESTS"))
    GTEST_SKIP() << "set SETUP_LARGE_TESTS=1 to run";
  std::string dir = (outer_ / "large").string();
  std::string cmd = std::string("python3 '") + MAKE_ARCHIVES_SCRIPT + "' '" + dir + "' --large";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  EXPECT_EQ(Extract(dir + "/large.zip", {"large", "after"}), 2);
  EXPECT_EQ(fs::file_size("large"), 257ull << 24);
  EXPECT_EQ(ReadAll("after"), "entry behind the large one\n");
}

}  // namespace
}  // namespace unpack

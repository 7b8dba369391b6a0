// Extract: the real library reached through the simulated machine, and fake
// libraries where the record and the callback table are under test.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <stop_token>
#include <thread>

#include "tests/unit/archive/ArchiveTest.h"

namespace archive_test {
namespace {

using archive::ExtractOption;
using archive::ProgressKind;
using Strings = std::vector<std::string>;

class ExtractTest : public ArchiveTest {
 protected:
  void ExtractInto(const std::string& dir, Strings names) {
    zip.EntryNames() = std::move(names);
    zip.SetExtractDir(dir);
    zip.Extract();
  }
};

TEST_F(ExtractTest, ExtractsWhatTheListNamesFromEveryPeerTool) {
  const std::string text = FixtureBytes("big.txt");
  for (const char* fixture :
       {"stored.zip", "deflated.zip", "bsdtar.zip", "7z.zip", "zip64.zip", "names.zip",
        "oemnames.zip", "sfx.zip", "fakeend.zip", "gap.zip", "shortsize.zip"}) {
    SCOPED_TRACE(fixture);
    const std::string dir = std::string("C:\\Out\\") + fixture;
    sim.PutFile(dir + "\\keep", "");
    zip.SetArchivePath(Put(fixture));
    EXPECT_FALSE(zip.Directory().empty());
    zip.EntryNames() = Names();
    zip.SetExtractDir(dir);
    zip.Extract();
    EXPECT_EQ(zip.SuccessCount(), static_cast<int>(zip.Directory().size()));
    EXPECT_TRUE(zip.EntryNames().empty());
    for (const auto& e : zip.Directory()) {
      std::string file = e.name.substr(e.name.find_last_of('\\') + 1);
      EXPECT_NE(HostFile(dir + "\\" + file), "<missing>") << e.name;
    }
  }
  EXPECT_EQ(HostFile("C:\\Out\\bsdtar.zip\\big"), text);
  EXPECT_EQ(HostFile("C:\\Out\\names.zip\\Gr\u00fcn.txt"), "oem");
  // The simulated machine's OEM code page is 850, as the library's is.
  EXPECT_EQ(HostFile("C:\\Out\\oemnames.zip\\S\u00f8ren.txt"), "dos");
  EXPECT_EQ(HostFile("C:\\Out\\oemnames.zip\\\u00c1rea.txt"), "hpfs");
  EXPECT_EQ(sim.OpenLibraryCount(), 1) << "the component keeps the library loaded";
  for (const auto& loaded : sim.LoadedLibraries()) {
    EXPECT_EQ(loaded, "C:\\Setup\\SZUNPACK.DLL");
  }
}

TEST_F(ExtractTest, FollowsTheEngineSequenceOfOneEntryPerCall) {
  zip.SetArchivePath(Put("deflated.zip"));
  sim.PutFile("C:\\App\\3", "already there");
  for (const char* entry : {"1", "sub\\dir\\3", "big"}) {
    ExtractInto("C:\\App", {entry});
    EXPECT_TRUE(zip.EntryNames().empty());
  }
  EXPECT_EQ(HostFile("C:\\App\\1"), "first file\n");
  EXPECT_EQ(HostFile("C:\\App\\3"), "already there");
  EXPECT_EQ(HostFile("C:\\App\\big").size(), 3300000u);
  EXPECT_EQ(sim.platform().files.CurrentDirectory(), "C:\\App");
  // Each call loads the library; the first also takes the reference the
  // component keeps until it goes or is given another library folder.
  EXPECT_EQ(sim.LoadedLibraries().size(), 4u);
  EXPECT_EQ(sim.OpenLibraryCount(), 1);
  zip.SetLibraryDir("C:\\Setup");
  EXPECT_EQ(sim.OpenLibraryCount(), 1) << "the same folder again changes nothing";
  zip.SetLibraryDir("C:\\Anderswo");
  EXPECT_EQ(sim.OpenLibraryCount(), 0);
  {
    archive::TZipUnpacker other(sim.platform(), "Tessarwolden");
    other.SetLibraryDir("C:\\Setup");
    other.SetArchivePath("C:\\Setup\\Setup.szp");
    other.EntryNames() = {"1"};
    other.SetExtractDir("C:\\App");
    other.Extract();
    EXPECT_EQ(sim.OpenLibraryCount(), 1);
  }
  EXPECT_EQ(sim.OpenLibraryCount(), 0) << "released with the component";
}

TEST_F(ExtractTest, AMissingExtractDirLeavesTheCurrentDirectory) {
  sim.PutFile("C:\\Work\\placeholder", "");
  sim.SetCurrentDirectory("C:\\Work");
  zip.SetArchivePath(Put("stored.zip"));
  ExtractInto("C:\\Fehlt", {"1"});
  EXPECT_EQ(HostFile("C:\\Work\\1"), "first file\n");
  EXPECT_FALSE(sim.platform().files.DirectoryExists("C:\\Fehlt"));
}

TEST_F(ExtractTest, LoadsTheLibraryFromTheSearchOrderWhenLibraryDirLacksIt) {
  zip.SetArchivePath(Put("stored.zip"));
  zip.SetLibraryDir("C:\\Elsewhere");
  ExtractInto("C:\\Setup", {"1"});
  EXPECT_EQ(sim.LoadedLibraries(), (Strings{"SZUNPACK.DLL", "SZUNPACK.DLL"}))
      << "the call's load and the one the component keeps";
  EXPECT_EQ(zip.SuccessCount(), 1);
}

TEST_F(ExtractTest, ReportsLibraryMessagesAndSkippedEntries) {
  zip.SetArchivePath(Put("unsafe.zip"));
  std::vector<std::pair<std::string, int>> skipped;
  zip.OnExtractSkipped = [&](const std::string& name, int reason) {
    skipped.emplace_back(name, reason);
  };
  ExtractInto("C:\\Setup", {"bad?name", "fehlt"});
  EXPECT_EQ(zip.SuccessCount(), 0);
  ASSERT_EQ(skipped.size(), 1u);
  EXPECT_EQ(skipped[0], std::make_pair(std::string("bad?name"), int(unpack::kMsgUnsafeName)));
  EXPECT_EQ(messages, (std::vector<int>{unpack::kMsgNotFound, unpack::kMsgUnsafeName}));
  EXPECT_TRUE(sim.Messages().empty()) << "library messages are not shown by the component";
}

TEST_F(ExtractTest, ReportsProgressOfTheRealLibrary) {
  zip.SetArchivePath(Put("deflated.zip"));
  std::vector<ProgressKind> kinds;
  int64_t steps = 0;
  zip.OnProgress = [&](ProgressKind kind, int64_t size, const std::string& name) {
    if (kind == ProgressKind::Step) {
      steps += size;
    } else {
      kinds.push_back(kind);
    }
    if (kind == ProgressKind::NewEntry) {
      EXPECT_EQ(name, "sub\\dir\\3");
    }
  };
  int processed = 0;
  sim.OnProcessMessages([&] { ++processed; });
  ExtractInto("C:\\Setup", {"sub/dir/3"});
  EXPECT_EQ(kinds, (std::vector<ProgressKind>{ProgressKind::TotalSize, ProgressKind::NewEntry,
                                              ProgressKind::EntryDone, ProgressKind::EndOfBatch}));
  EXPECT_EQ(steps, 11);
  EXPECT_EQ(zip.TotalSize(), 11);
  EXPECT_EQ(processed, 0) << "the callback leaves the application's messages alone";
}

// What the library has left in a folder of the simulated machine.
Strings HostFolder(platform::sim::SimPlatform& sim, const std::string& dir) {
  Strings names;
  for (const auto& entry : std::filesystem::directory_iterator(sim.HostPath(dir)))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The stop comes from another thread while the library writes an entry of
// 3.3 MB; the handler of the first progress step waits for that thread, so
// the stop is there when the callback answers.
TEST_F(ExtractTest, AStopFromAnotherThreadEndsTheEntryAndLeavesNoPartOfIt) {
  zip.SetArchivePath(Put("deflated.zip"));
  for (const bool byToken : {true, false}) {
    SCOPED_TRACE(byToken ? "stop token" : "Cancel");
    messages.clear();
    std::stop_source stop;
    zip.SetStopToken(stop.get_token());
    int steps = 0;
    zip.OnProgress = [&](ProgressKind kind, int64_t, const std::string&) {
      if (kind != ProgressKind::Step || steps++ > 0)
        return;
      std::thread([&] {
        if (byToken) {
          stop.request_stop();
        } else {
          zip.Cancel();
        }
      }).join();
    };
    sim.PutFile("C:\\Out\\keep", "");
    ExtractInto("C:\\Out", {"big", "sub\\dir\\3"});
    EXPECT_EQ(steps, 1) << "the library stopped at the answer to the first step";
    EXPECT_EQ(zip.SuccessCount(), 0);
    EXPECT_EQ(HostFolder(sim, "C:\\Out"), Strings{"keep"}) << "nothing of the entry stays";
    EXPECT_EQ(messages, std::vector<int>{unpack::kMsgCancelled});
    EXPECT_TRUE(sim.Messages().empty()) << "a stop is no error";
    EXPECT_TRUE(zip.EntryNames().empty());
    EXPECT_FALSE(zip.Busy());
  }
}

TEST_F(ExtractTest, AStopRequestedBeforeExtractLoadsNothingAndShowsNothing) {
  std::stop_source stop;
  zip.SetStopToken(stop.get_token());
  stop.request_stop();
  zip.SetArchivePath(Put("deflated.zip"));
  sim.PutFile("C:\\Out\\keep", "");
  ExtractInto("C:\\Out", {"1"});
  zip.SetArchivePath("C:\\Setup\\Fehlt.zip");
  ExtractInto("C:\\Out", {"1"});
  EXPECT_TRUE(sim.LoadedLibraries().empty());
  EXPECT_EQ(HostFolder(sim, "C:\\Out"), Strings{"keep"});
  EXPECT_TRUE(zip.EntryNames().empty());
  EXPECT_TRUE(messages.empty()) << "not even the missing archive is reported";
  EXPECT_TRUE(sim.Messages().empty());
}

// ------------------------------------------------------------ fake library

// A library whose two entry points the test controls.
struct FakeLibrary {
  int32_t version = 160;
  std::function<int32_t(unpack::Params*)> exec;
  std::vector<uint8_t> head;  // bytes of the record as received
  std::vector<std::string> names;
  int32_t passwordTries = -1;
  int32_t seven = 0;
  std::string password;
  std::string archivePath;
  int versionAsked = 0;
};
FakeLibrary* g_fake = nullptr;

int32_t UNPACK_CALL FakeVersion() {
  ++g_fake->versionAsked;
  return g_fake->version;
}

int32_t UNPACK_CALL FakeExec(unpack::Params* p) {
  FakeLibrary& f = *g_fake;
  f.archivePath = p->head.archivePath;
  f.password = p->head.password;
  f.names.clear();
  if (f.version < unpack::kEntryArrayVersion) {
    auto* legacy = reinterpret_cast<unpack::LegacyParams*>(p);
    f.seven = legacy->seven;
    for (int i = 0; i < p->head.entryCount; ++i)
      f.names.emplace_back(legacy->names[i]);
  } else {
    f.seven = p->seven;
    f.passwordTries = p->passwordTries;
    for (int i = 0; i < p->head.entryCount; ++i)
      f.names.emplace_back(p->entries[i].name);
  }
  const auto* bytes = reinterpret_cast<const uint8_t*>(&p->head);
  f.head.assign(bytes, bytes + sizeof(unpack::ParamsHead));
  return f.exec ? f.exec(p) : static_cast<int32_t>(f.names.size());
}

class FakeLibraryTest : public ArchiveTest {
 protected:
  FakeLibraryTest() {
    g_fake = &fake;
    sim.PutFile("C:\\Fake\\SZUNPACK.DLL", "");
    sim.RegisterLibrary("C:\\Fake\\SZUNPACK.DLL", [this](std::string_view entry) -> void* {
      if (entry == "UnpackExec" && exportExec)
        return reinterpret_cast<void*>(&FakeExec);
      if (entry == "GetUnpackVersion" && exportVersion)
        return reinterpret_cast<void*>(&FakeVersion);
      return nullptr;
    });
    zip.SetLibraryDir("C:\\Fake");
    zip.SetArchivePath(Put("stored.zip"));
  }
  ~FakeLibraryTest() override { g_fake = nullptr; }

  const unpack::ParamsHead& Head() const {
    return *reinterpret_cast<const unpack::ParamsHead*>(fake.head.data());
  }

  // Calls the component's callback once from inside the library.
  unpack::CallbackRecord Callback(int32_t action, int32_t number, intptr_t size,
                                  const std::string& text, int32_t* result = nullptr) {
    unpack::CallbackRecord out{};
    fake.exec = [&](unpack::Params* p) {
      unpack::CallbackRecord r{};
      r.caller = p->head.caller;
      r.action = action;
      r.number = number;
      r.size = size;
      std::strncpy(r.text, text.c_str(), sizeof r.text - 1);
      int32_t answer = p->head.callback(&r);
      if (result)
        *result = answer;
      out = r;
      return 0;
    };
    ExtractInto({"x"});
    return out;
  }

  void ExtractInto(Strings names) {
    zip.EntryNames() = std::move(names);
    zip.Extract();
  }

  FakeLibrary fake;
  bool exportExec = true;
  bool exportVersion = true;
};

TEST_F(FakeLibraryTest, BuildsTheRecordForTheLibraryVersion) {
  struct Case {
    int32_t version;
    int32_t tries;
  };
  const Case cases[] = {{120, -1}, {151, -1}, {152, 0}, {159, 0}, {160, 7}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version);
    fake = FakeLibrary{};
    fake.version = c.version;
    // A library of another version: the one held goes when LibraryDir
    // changes.
    zip.SetLibraryDir("C:\\Setup");
    zip.SetLibraryDir("C:\\Fake");
    zip.SetPasswordTries(7);
    ExtractInto({"1", "sub\\dir\\3"});
    EXPECT_EQ(fake.names, (Strings{"1", "sub\\dir\\3"}));
    EXPECT_EQ(fake.seven, 7);
    EXPECT_EQ(fake.passwordTries, c.tries);
    EXPECT_EQ(zip.SuccessCount(), 2);
    EXPECT_EQ(Head().interfaceVersion, 160);
    EXPECT_EQ(Head().entryCount, 2);
    EXPECT_EQ(Head().minusOne40, -1);
    EXPECT_EQ(Head().caller, &zip);
    EXPECT_EQ(fake.archivePath, "C:\\Setup\\Setup.szp");
  }
}

// Every Extract loads and releases the library; while the component holds
// it, a load by the same path gives the same library, whose entry points and
// version it knows already.
TEST_F(FakeLibraryTest, AsksAHeldLibraryForItsVersionOnce) {
  for (int i = 0; i < 3; ++i)
    ExtractInto({"1"});
  EXPECT_EQ(fake.versionAsked, 1);
  EXPECT_EQ(sim.LoadedLibraries().size(), 4u) << "three calls and the held reference";
  EXPECT_EQ(sim.OpenLibraryCount(), 1);
  EXPECT_EQ(zip.SuccessCount(), 1);
  zip.SetLibraryDir("C:\\Setup");
  EXPECT_EQ(sim.OpenLibraryCount(), 0);
  zip.SetLibraryDir("C:\\Fake");
  ExtractInto({"1"});
  EXPECT_EQ(fake.versionAsked, 2);
  EXPECT_TRUE(messages.empty());
}

TEST_F(FakeLibraryTest, PassesOptionsFlagsPasswordAndOwner) {
  struct Case {
    archive::ExtractOptions options;
    bool verbose, trace, unattended;
    int32_t test, update, freshen, folderNames, overwrite, verboseFlag, traceFlag;
    void* owner;
  };
  void* window = reinterpret_cast<void*>(0x1234);
  const Case cases[] = {
      {{}, false, false, false, 0, 0, 0, 0, 0, 0, 0, window},
      {{ExtractOption::Test, ExtractOption::Overwrite},
       true,
       false,
       false,
       -1,
       0,
       0,
       0,
       -1,
       -1,
       0,
       window},
      {{ExtractOption::Freshen, ExtractOption::FolderNames},
       false,
       true,
       false,
       0,
       0,
       -1,
       -1,
       0,
       -1,
       -1,
       window},
      {{ExtractOption::Freshen, ExtractOption::Update},
       false,
       false,
       true,
       0,
       -1,
       0,
       0,
       0,
       0,
       0,
       nullptr},
  };
  zip.SetOwnerWindow(0x1234);
  zip.SetPassword("Geheim");
  zip.OnPasswordError = [](const std::string&, bool, std::string&, int&) {};
  for (const auto& c : cases) {
    zip.SetExtractOptions(c.options);
    zip.SetVerbose(c.verbose);
    zip.SetTrace(c.trace);
    zip.SetUnattended(c.unattended);
    ExtractInto({"1"});
    EXPECT_EQ(Head().test, c.test);
    EXPECT_EQ(Head().update, c.update);
    EXPECT_EQ(Head().freshen, c.freshen);
    EXPECT_EQ(Head().folderNames, c.folderNames);
    EXPECT_EQ(Head().overwrite, c.overwrite);
    EXPECT_EQ(Head().verbose, c.verboseFlag);
    EXPECT_EQ(Head().trace, c.traceFlag);
    EXPECT_EQ(Head().ownerWindow, c.owner);
    EXPECT_EQ(fake.password, "Geheim");
  }
  EXPECT_EQ(messages, std::vector<int>{10701}) << "trace reports the loaded library";
}

TEST_F(FakeLibraryTest, ReportsALibraryThatCannotBeUsed) {
  exportVersion = false;
  ExtractInto({"1"});
  exportExec = false;
  ExtractInto({"1"});
  EXPECT_EQ(messages, (std::vector<int>{10703, 10702}));
  EXPECT_EQ(Shown(), (Strings{Fallback(10703), Fallback(10702)}));
  EXPECT_TRUE(zip.EntryNames().empty());
  EXPECT_FALSE(zip.Busy());
  EXPECT_EQ(sim.OpenLibraryCount(), 0);

  // A machine where no SZUNPACK.DLL can be found at all.
  platform::sim::SimPlatform bare;
  bare.PutFile("C:\\Setup\\Setup.szp", FixtureBytes("stored.zip"));
  archive::TZipUnpacker component(bare.platform(), "Tessarwolden");
  component.SetLibraryDir("C:\\Setup");
  component.SetArchivePath("C:\\Setup\\Setup.szp");
  component.EntryNames() = {"1"};
  component.Extract();
  EXPECT_EQ(component.LastErrorNumber(), 10704);
  EXPECT_EQ(bare.LoadedLibraries(), Strings{"SZUNPACK.DLL"});
  ASSERT_EQ(bare.Messages().size(), 1u);
  EXPECT_EQ(bare.Messages()[0].text, Fallback(10704));
  EXPECT_TRUE(component.EntryNames().empty());
  EXPECT_FALSE(component.Busy());
}

TEST_F(FakeLibraryTest, UnattendedWithoutPasswordPassesNoTriesForThisCallOnly) {
  zip.SetUnattended(true);
  zip.SetPasswordTries(5);
  ExtractInto({"1"});
  EXPECT_EQ(fake.passwordTries, 0);
  EXPECT_EQ(zip.PasswordTries(), 5u);
  EXPECT_EQ(messages, std::vector<int>{10502});
  EXPECT_TRUE(sim.Messages().empty());
}

TEST_F(FakeLibraryTest, ReactsToEveryActionCode) {
  std::vector<std::tuple<ProgressKind, int64_t, std::string>> progress;
  zip.OnProgress = [&](ProgressKind k, int64_t size, const std::string& name) {
    progress.emplace_back(k, size, name);
  };
  Callback(unpack::kActionNewEntry, 0, 99, "dir/name   ");
  Callback(unpack::kActionProgress, 0, 10, "");
  Callback(unpack::kActionEndOfBatch, 0, 3, "");
  Callback(unpack::kActionEntryDone, 0, 42, "");
  Callback(unpack::kActionTotalSize, 0, 1000, "");
  EXPECT_EQ(progress, (std::vector<std::tuple<ProgressKind, int64_t, std::string>>{
                          {ProgressKind::NewEntry, 99, "dir\\name"},
                          {ProgressKind::Step, 10, ""},
                          {ProgressKind::EndOfBatch, 3, ""},
                          {ProgressKind::EntryDone, 42, ""},
                          {ProgressKind::TotalSize, 1000, ""}}));
  EXPECT_EQ(zip.TotalSize(), 1000);

  Callback(unpack::kActionMessage, 17, 0, "library says");
  EXPECT_EQ(zip.LastErrorNumber(), 17);
  EXPECT_EQ(zip.LastErrorText(), "library says");
  Callback(unpack::kActionMessage, 0, 0, "no number");
  EXPECT_EQ(zip.LastErrorNumber(), 17);
  EXPECT_EQ(zip.LastErrorText(), "no number");

  EXPECT_EQ(Callback(unpack::kActionRename, 0, 0, "old").number, 0);
  zip.OnRenameEntry = [](std::string& name) { name = "new/" + name; };
  auto renamed = Callback(unpack::kActionRename, 0, 0, "old");
  EXPECT_EQ(renamed.number, 1);
  EXPECT_STREQ(renamed.text, "new/old");

  EXPECT_EQ(Callback(unpack::kActionCrcError, 0, 0, "1").number, 2);
  zip.OnCrcError = [](const std::string& name) { return name == "1" ? 5 : 0; };
  EXPECT_EQ(Callback(unpack::kActionCrcError, 0, 0, "1").number, 5);

  zip.OnExtractOverwrite = [](const std::string& name) { return name == "1"; };
  EXPECT_EQ(Callback(unpack::kActionOverwrite, 7, 0, "1").number, 1);
  EXPECT_EQ(Callback(unpack::kActionOverwrite, 7, 0, "2").number, 0);

  int reason = 0;
  zip.OnExtractSkipped = [&](const std::string&, int r) { reason = r; };
  Callback(unpack::kActionSkipped, 33, 0, "1");
  EXPECT_EQ(reason, 33);
  EXPECT_EQ(zip.LastErrorNumber(), 33);

  zip.OnEntryComment = [](std::string& comment) { comment += "!"; };
  EXPECT_STREQ(Callback(unpack::kActionEntryComment, 0, 0, "Kommentar").text, "Kommentar!");
  EXPECT_EQ(messages, (std::vector<int>{17, 0}));
}

class FakePrompt : public archive::PasswordPrompt {
 public:
  explicit FakePrompt(Strings answers) : answers_(std::move(answers)) {}
  std::string Ask(const std::string& caption, const std::string& prompt) override {
    captions.push_back(caption);
    EXPECT_EQ(prompt, "");
    std::string answer = answers_.at(0);
    answers_.erase(answers_.begin());
    return answer;
  }
  Strings captions;

 private:
  Strings answers_;
};

TEST_F(FakeLibraryTest, AsksForAPasswordThroughTheDialog) {
  const std::string caption =
      "The message texts are not linked into the program\nMissing message number: ";
  struct Case {
    int32_t flags;
    Strings answers;
    int32_t answer;
    std::string password;
    intptr_t repeat;
    std::vector<int> messages;
  };
  const Case cases[] = {
      {0, {"Geheim"}, 1, "Geheim", 3, {}},
      {0, {""}, 0, "", 0, {}},
      {1, {"Geheim", "Geheim"}, 1, "Geheim", 3, {}},
      {1, {"Geheim", "Anders"}, 0, "", 0, {10104}},
      {0, {std::string(100, 'p')}, 1, std::string(80, 'p'), 3, {}},
  };
  for (const auto& c : cases) {
    messages.clear();
    auto prompt = std::make_unique<FakePrompt>(c.answers);
    FakePrompt* seen = prompt.get();
    zip.SetPasswordPrompt(std::move(prompt));
    auto r = Callback(unpack::kActionPassword, c.flags, 3, "secret.txt");
    EXPECT_EQ(r.number, c.answer);
    EXPECT_EQ(std::string(r.text), c.answer ? c.password : "secret.txt");
    EXPECT_EQ(r.size, c.repeat);
    EXPECT_EQ(messages, c.messages);
    EXPECT_EQ(seen->captions, Strings(c.answers.size(), caption));
  }
}

TEST_F(FakeLibraryTest, WithoutAPromptAPasswordRequestIsAnsweredAsCancelled) {
  for (const int32_t confirm : {0, 1}) {
    auto r = Callback(unpack::kActionPassword, confirm, 3, "secret.txt");
    EXPECT_EQ(r.number, 0);
    EXPECT_EQ(r.size, 0) << "and the library asks no more";
    EXPECT_STREQ(r.text, "secret.txt");
  }
  EXPECT_TRUE(messages.empty());
  EXPECT_TRUE(sim.Messages().empty());
}

TEST_F(FakeLibraryTest, AsksTheHandlerOrReportsWhenUnattended) {
  zip.SetUnattended(true);
  zip.SetPassword("x");  // keeps 10502 out of the way
  Callback(unpack::kActionPassword, 0, 3, "a");
  Callback(unpack::kActionPassword, 1, 3, "a");
  EXPECT_EQ(messages, (std::vector<int>{10151, 10150}));
  EXPECT_TRUE(sim.Messages().empty());

  zip.OnPasswordError = [](const std::string& name, bool confirm, std::string& password,
                           int& repeat) {
    password = name + (confirm ? "-twice" : "");
    repeat = 40;
  };
  auto r = Callback(unpack::kActionPassword, 1, 3, "a");
  EXPECT_EQ(r.number, 1);
  EXPECT_STREQ(r.text, "a-twice");
  EXPECT_EQ(r.size, 15) << "the repeat count is capped";
}

TEST_F(FakeLibraryTest, CancelsAtTheNextCallbackAndIgnoresNestedExtract) {
  std::vector<int32_t> answers;
  zip.OnProgress = [&](ProgressKind, int64_t, const std::string&) {
    zip.EntryNames() = {"nested"};
    zip.Extract();  // busy: does nothing
    zip.Cancel();
  };
  fake.exec = [&](unpack::Params* p) {
    for (int i = 0; i < 2; ++i) {
      unpack::CallbackRecord r{};
      r.caller = p->head.caller;
      r.action = unpack::kActionProgress;
      answers.push_back(p->head.callback(&r));
    }
    return 0;
  };
  ExtractInto({"1"});
  EXPECT_EQ(answers, (std::vector<int32_t>{-1, -1}));
  EXPECT_EQ(fake.names, Strings{"1"});
  EXPECT_EQ(sim.LoadedLibraries().size(), 2u) << "the nested call loaded nothing";
  EXPECT_FALSE(zip.Busy());
}

TEST_F(FakeLibraryTest, AFailingHandlerStopsTheLibraryAndIsReported) {
  zip.OnProgress = [](ProgressKind, int64_t, const std::string&) {
    throw std::runtime_error("Fehler");
  };
  int32_t result = 0;
  Callback(unpack::kActionProgress, 0, 1, "", &result);
  EXPECT_EQ(result, -1);
  EXPECT_EQ(messages, std::vector<int>{10501});
  EXPECT_EQ(zip.LastErrorText(), Fallback(10501, "Fehler"));
  EXPECT_FALSE(zip.Busy());
}

// ------------------------------------------------------------ encryption

TEST_F(ExtractTest, DecryptsWithThePasswordTypedIntoTheDialog) {
  const std::string binary = FixtureBytes("binary.bin");
  struct Case {
    const char* fixture;
    std::string password;  // the Password property
    Strings typed;         // what the user types, one per request
    unsigned tries;
    int extracted;
    std::vector<int> skipped;
  };
  const Case cases[] = {
      {"zipcrypto-stored.zip", "", {"geheim"}, 1, 2, {}},
      {"zipcrypto-deflated.zip", "", {"falsch", "geheim"}, 2, 2, {}},
      {"zipcrypto-bsdtar.zip", "", {"geheim"}, 1, 2, {}},
      {"zipcrypto-deflated.zip", "geheim", {}, 1, 2, {}},
      {"zipcrypto-stored.zip",
       "",
       {"falsch", "falsch"},
       1,
       0,
       {unpack::kMsgEncrypted, unpack::kMsgEncrypted}},
      {"zipcrypto-stored.zip", "", {"", ""}, 3, 0, {unpack::kMsgEncrypted, unpack::kMsgEncrypted}},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fixture) + " typed " + std::to_string(c.typed.size()));
    auto prompt = std::make_unique<FakePrompt>(c.typed);
    FakePrompt* seen = prompt.get();
    zip.SetPasswordPrompt(std::move(prompt));
    zip.SetPassword(c.password);
    zip.SetPasswordTries(c.tries);
    std::vector<int> skipped;
    zip.OnExtractSkipped = [&](const std::string&, int reason) { skipped.push_back(reason); };
    const std::string dir = "C:\\Out\\" + std::to_string(++n);
    sim.PutFile(dir + "\\keep", "");
    zip.SetArchivePath(Put(c.fixture));
    ExtractInto(dir, {"1", "2"});
    EXPECT_EQ(zip.SuccessCount(), c.extracted);
    EXPECT_EQ(skipped, c.skipped);
    EXPECT_EQ(seen->captions.size(), c.typed.size()) << "every typed answer was asked for";
    if (c.extracted == 2) {
      EXPECT_EQ(HostFile(dir + "\\1"), "first file\n");
      EXPECT_TRUE(HostFile(dir + "\\2") == binary);
    } else {
      EXPECT_EQ(HostFile(dir + "\\2"), "<missing>");
    }
  }
  EXPECT_TRUE(sim.Messages().empty()) << "library messages are not shown";
}

}  // namespace
}  // namespace archive_test

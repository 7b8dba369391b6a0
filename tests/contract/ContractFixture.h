#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace contract {

/// The key below HKEY_CURRENT_USER that holds everything the tests write to
/// the registry; removed after each test.
inline const std::string kTestKey = "Software\\TessarwoldenContractTest";
/// A key path below HKEY_CURRENT_USER of its own for the running test (not
/// yet created).
inline const std::string kScratchKey = kTestKey + "\\Scratch";
/// A library every machine can load by file name, and one of its entry points.
inline constexpr const char* kKnownLibrary = "kernel32.dll";
inline constexpr const char* kKnownLibraryEntry = "GetTickCount";

/// What a contract suite needs from the machine it runs on, done without the
/// services under test. The simulated and the Windows build each provide one.
class ContractFixture {
 public:
  virtual ~ContractFixture() = default;

  virtual platform::Platform& Platform() = 0;
  /// An empty folder of its own for the running test, without trailing
  /// backslash; removed afterwards.
  virtual std::string ScratchFolder() = 0;
  /// Writes `bytes` as the whole content of a file.
  virtual void WriteRaw(std::string_view path, std::string_view bytes) = 0;
  /// Removes a file written with WriteRaw.
  virtual void RemoveRaw(std::string_view path) = 0;
  /// Sets the read-only, hidden and system bits of a file or directory.
  virtual void SetAttributes(std::string_view path, uint32_t attributes) = 0;
  /// The arguments this test program was started with, after its name.
  virtual std::vector<std::string> ExpectedArguments() = 0;
  /// Scripts the answers of the next message boxes; false where nothing can
  /// answer them but a person.
  virtual bool ScriptAnswers(std::vector<platform::MsgAnswer> answers) = 0;
  /// Answers the next folder browsers, in order, as a person would: a path
  /// is chosen, nullopt cancels.
  virtual void ScriptFolderBrowser(std::vector<std::optional<std::string>> choices) = 0;
  /// True when a quit request is waiting for the message loop; takes it away.
  virtual bool TakeQuitRequest() = 0;
  /// Puts the recorder (tests/support/Recorder.cpp) into the existing
  /// `folder` as a program file, as an installation would, and returns its
  /// path. Run with a file name first, it appends a line to that file for
  /// each run: every further argument and then its current directory, each
  /// but the last followed by '|'.
  virtual std::string PlaceRecorder(std::string_view folder) = 0;
  /// What a program started in `folder` gives as its current directory.
  virtual std::string DirectoryAsProgramsSeeIt(std::string_view folder) = 0;
  /// The fields of the shortcut file `path` as a reader of shortcuts gives
  /// them (Windows' shell link loading the file, or lnkinfo where there is
  /// no Windows), empty where the file has none; nullopt when it cannot be
  /// read.
  virtual std::optional<platform::Shortcut> ReadShortcut(std::string_view path) = 0;
};

/// The fixture of this build.
std::unique_ptr<ContractFixture> MakeContractFixture();

/// The base of every contract test: a fresh fixture per test.
class ContractTest : public ::testing::Test {
 protected:
  void SetUp() override { fixture_ = MakeContractFixture(); }
  void TearDown() override { fixture_.reset(); }

  ContractFixture& fixture() { return *fixture_; }
  platform::Platform& platform() { return fixture_->Platform(); }
  /// `relative` below the scratch folder.
  std::string Scratch(std::string_view relative) {
    return fixture_->ScratchFolder() + "\\" + std::string(relative);
  }

 private:
  std::unique_ptr<ContractFixture> fixture_;
};

}  // namespace contract

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/sim/SimPlatform.h"
#include "tests/contract/ContractFixture.h"
#include "tests/support/LnkInfo.h"

namespace contract {

namespace {

unsigned FakeTickCount() {
  return 42;
}

class SimFixture : public ContractFixture {
 public:
  SimFixture() {
    std::filesystem::create_directories(sim_.HostPath(kScratch));
    sim_.RegisterLibrary("C:\\Windows\\System32\\KERNEL32.DLL",
                         [](std::string_view entry) -> void* {
                           if (entry != "GetTickCount")
                             return nullptr;
                           return reinterpret_cast<void*>(&FakeTickCount);
                         });
    sim_.PutFile("C:\\Setup\\Setup.exe", "MZ");
    sim_.SetArguments(kArguments);
  }

  platform::Platform& Platform() override { return sim_.platform(); }
  std::string ScratchFolder() override { return kScratch; }
  void WriteRaw(std::string_view path, std::string_view bytes) override {
    sim_.PutFile(path, bytes);
  }
  void RemoveRaw(std::string_view path) override { std::filesystem::remove(sim_.HostPath(path)); }
  void SetAttributes(std::string_view path, uint32_t attributes) override {
    sim_.SetAttributes(path, attributes);
  }
  std::vector<std::string> ExpectedArguments() override { return kArguments; }
  bool ScriptAnswers(std::vector<platform::MsgAnswer> answers) override {
    sim_.QueueAnswers(std::move(answers));
    return true;
  }
  void ScriptFolderBrowser(std::vector<std::optional<std::string>> choices) override {
    sim_.QueueFolderChoices(std::move(choices));
  }
  bool TakeQuitRequest() override { return sim_.QuitPosted(); }

  std::string PlaceRecorder(std::string_view folder) override {
    std::ifstream in(RECORDER_PATH, std::ios::binary);
    EXPECT_TRUE(in) << RECORDER_PATH;
    const std::string path = std::string(folder) + "\\recorder.exe";
    // Written as an installation unpacks a file: without permission to run.
    sim_.PutFile(path, std::string(std::istreambuf_iterator<char>(in), {}));
    return path;
  }

  std::string DirectoryAsProgramsSeeIt(std::string_view folder) override {
    return std::filesystem::canonical(sim_.HostPath(folder)).string();
  }

  std::optional<platform::Shortcut> ReadShortcut(std::string_view path) override {
    return testing_support::ReadWithLnkinfo(sim_.HostPath(path));
  }

 private:
  static constexpr const char* kScratch = "C:\\Scratch";
  inline static const std::vector<std::string> kArguments = {"/ready", "zwei Wörter"};

  platform::sim::SimPlatform sim_;
};

}  // namespace

std::unique_ptr<ContractFixture> MakeContractFixture() {
  return std::make_unique<SimFixture>();
}

}  // namespace contract

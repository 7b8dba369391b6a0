#include "platform/win32/WinApi.h"

#include <string>

#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Platform.h"
#include "tests/contract/ContractFixture.h"
#include "tests/support/RemoveTree.h"

namespace contract {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;
using testing_support::RemoveTree;

std::vector<std::string> gArguments;

std::wstring CurrentDirectory() {
  std::wstring buffer(GetCurrentDirectoryW(0, nullptr), L'\0');
  buffer.resize(GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data()));
  return buffer;
}

class Win32Fixture : public ContractFixture {
 public:
  Win32Fixture() : startDirectory_(CurrentDirectory()) {
    static int counter = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    scratch_ = std::wstring(temp) + L"TessarwoldenContract-" +
               std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    CreateDirectoryW(scratch_.c_str(), nullptr);
  }

  ~Win32Fixture() override {
    SetCurrentDirectoryW(startDirectory_.c_str());
    RemoveTree(scratch_);
    RegDeleteTreeW(HKEY_CURRENT_USER, Widen(kTestKey).c_str());
    MSG quit{};
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
  }

  platform::Platform& Platform() override { return platform_.platform(); }
  std::string ScratchFolder() override { return Narrow(scratch_); }

  void WriteRaw(std::string_view path, std::string_view bytes) override {
    const HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    const BOOL ok =
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << path;
  }

  void RemoveRaw(std::string_view path) override { DeleteFileW(Widen(path).c_str()); }

  void SetAttributes(std::string_view path, uint32_t attributes) override {
    const std::wstring wide = Widen(path);
    const DWORD current = GetFileAttributesW(wide.c_str());
    ASSERT_NE(current, INVALID_FILE_ATTRIBUTES) << path;
    const DWORD kept = current & ~DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NORMAL};
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), kept | attributes)) << path;
  }

  std::vector<std::string> ExpectedArguments() override { return gArguments; }

  bool ScriptAnswers(std::vector<platform::MsgAnswer>) override { return false; }

  bool TakeQuitRequest() override {
    MSG quit{};
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  }

 private:
  platform::win32::Win32Platform platform_;
  std::wstring startDirectory_;
  std::wstring scratch_;
};

}  // namespace

std::unique_ptr<ContractFixture> MakeContractFixture() {
  return std::make_unique<Win32Fixture>();
}

}  // namespace contract

int wmain(int argc, wchar_t** argv) {
  for (int i = 1; i < argc; ++i)
    contract::gArguments.push_back(platform::win32::Narrow(argv[i]));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

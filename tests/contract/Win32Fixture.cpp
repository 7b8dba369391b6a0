#include "platform/win32/WinApi.h"

#include <commctrl.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

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

// The visible folder browser of this process (a dialog holding a tree), or
// nullptr.
HWND FindFolderBrowser() {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        wchar_t className[32] = {};
        GetClassNameW(window, className, 32);
        if (process == GetCurrentProcessId() && IsWindowVisible(window) &&
            std::wstring(className) == L"#32770" &&
            FindWindowExW(window, nullptr, L"SysTreeView32", nullptr)) {
          reinterpret_cast<Search*>(data)->found = window;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Plays a person at the folder browsers the test opens on its own thread:
// selects the folder through the browser's own message and presses OK, or
// presses Cancel. Each browser is waited for within a generous bound.
void AnswerFolderBrowsers(std::vector<std::optional<std::string>> choices) {
  for (const std::optional<std::string>& choice : choices) {
    HWND browser = nullptr;
    for (int tenth = 0; tenth < 300 && !browser; ++tenth) {
      browser = FindFolderBrowser();
      if (!browser)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!browser)
      return;
    if (choice) {
      // The browser may still be filling its tree when it shows, and then
      // ignores the selection: ask until the tree's selection moves.
      HWND tree = FindWindowExW(browser, nullptr, L"SysTreeView32", nullptr);
      const auto selected = [tree] {
        return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
      };
      for (int tenth = 0; tenth < 300 && !selected(); ++tenth)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      const HTREEITEM start = selected();
      const std::wstring path = Widen(*choice);
      for (int tenth = 0; tenth < 300; ++tenth) {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(path.c_str()));
        if (selected() != start)
          break;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
    PostMessageW(browser, WM_COMMAND, choice ? IDOK : IDCANCEL, 0);
    for (int tenth = 0; tenth < 300 && IsWindow(browser); ++tenth)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

// What a loaded shell link holds; a field that cannot be had reads as empty.
platform::Shortcut Fields(IShellLinkW& link) {
  const auto text = [](auto&& get) {
    wchar_t buffer[INFOTIPSIZE] = {};
    return SUCCEEDED(get(buffer)) ? Narrow(buffer) : std::string();
  };
  return {
      text([&](wchar_t* buffer) {
        return link.GetPath(buffer, INFOTIPSIZE, nullptr, SLGP_RAWPATH);
      }),
      text([&](wchar_t* buffer) { return link.GetArguments(buffer, INFOTIPSIZE); }),
      text([&](wchar_t* buffer) { return link.GetWorkingDirectory(buffer, INFOTIPSIZE); }),
      text([&](wchar_t* buffer) { return link.GetDescription(buffer, INFOTIPSIZE); }),
  };
}

// The folder of this test program, with its trailing backslash.
std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path.substr(0, path.find_last_of(L'\\') + 1);
    }
    path.resize(path.size() * 2);
  }
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
    if (browserScript_.joinable())
      browserScript_.join();
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

  void ScriptFolderBrowser(std::vector<std::optional<std::string>> choices) override {
    if (browserScript_.joinable())
      browserScript_.join();
    browserScript_ = std::thread(AnswerFolderBrowsers, std::move(choices));
  }

  bool TakeQuitRequest() override {
    MSG quit{};
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
  }

  std::string PlaceRecorder(std::string_view folder) override {
    const std::wstring recorder = OwnFolder() + L"recorder.exe";
    const std::string path = std::string(folder) + "\\recorder.exe";
    EXPECT_TRUE(CopyFileW(recorder.c_str(), Widen(path).c_str(), TRUE))
        << Narrow(recorder) << " belongs beside the test program";
    return path;
  }

  std::string DirectoryAsProgramsSeeIt(std::string_view folder) override {
    return std::string(folder);
  }

  std::optional<platform::Shortcut> ReadShortcut(std::string_view path) override {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
      return std::nullopt;
    }
    IPersistFile* file = nullptr;
    std::optional<platform::Shortcut> read;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      if (SUCCEEDED(file->Load(Widen(path).c_str(), STGM_READ)))
        read = Fields(*link);
      file->Release();
    }
    link->Release();
    return read;
  }

 private:
  platform::win32::Win32Platform platform_;
  std::wstring startDirectory_;
  std::wstring scratch_;
  std::thread browserScript_;
};

}  // namespace

std::unique_ptr<ContractFixture> MakeContractFixture() {
  return std::make_unique<Win32Fixture>();
}

}  // namespace contract

int wmain(int argc, wchar_t** argv) {
  // The shell's folder browser needs COM on the calling thread.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  for (int i = 1; i < argc; ++i)
    contract::gArguments.push_back(platform::win32::Narrow(argv[i]));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

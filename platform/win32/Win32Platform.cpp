#include "platform/win32/WinApi.h"

#include <ntsecapi.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <stdexcept>

#include "platform/win32/SystemFunction.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Processes.h"
#include "platform/win32/Win32Shell.h"

namespace platform::win32 {

namespace {

// Whether EnterThread initialised COM on this thread, so that LeaveThread
// balances exactly that.
thread_local bool comEntered = false;

// The predefined key of a root; nullptr for DynData. HKEY_DYN_DATA exists
// only on Windows 9x, which cannot run this 64-bit program: later Windows
// refuses every key below it, while Wine would keep keys there like
// anywhere else.
HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::Users:
      return HKEY_USERS;
    case RegRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
    case RegRoot::DynData:
      return nullptr;
  }
  return HKEY_CURRENT_USER;
}

// RegOpenKeyEx refuses a key path that starts with a backslash.
std::wstring KeyPath(std::string_view path) {
  if (!path.empty() && path.front() == '\\')
    path.remove_prefix(1);
  return Widen(path);
}

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }
  Win32Key(const Win32Key&) = delete;
  Win32Key& operator=(const Win32Key&) = delete;

  std::optional<RegType> ValueType(std::string_view name) override {
    DWORD type = 0;
    if (RegQueryValueExW(key_, Widen(name).c_str(), nullptr, &type, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    return static_cast<RegType>(type);
  }

  std::optional<std::string> ReadString(std::string_view name) override {
    const std::optional<std::vector<uint8_t>> data = Read(name, REG_SZ, REG_EXPAND_SZ);
    if (!data)
      return std::nullopt;
    std::wstring text(data->size() / sizeof(wchar_t), L'\0');
    std::copy(data->begin(), data->begin() + text.size() * sizeof(wchar_t),
              reinterpret_cast<uint8_t*>(text.data()));
    // The stored data usually, but not always, ends in one terminator.
    while (!text.empty() && text.back() == L'\0')
      text.pop_back();
    return Narrow(text);
  }

  std::optional<uint32_t> ReadDWord(std::string_view name) override {
    const std::optional<std::vector<uint8_t>> data = Read(name, REG_DWORD, REG_DWORD);
    if (!data || data->size() != sizeof(uint32_t))
      return std::nullopt;
    return static_cast<uint32_t>((*data)[0] | ((*data)[1] << 8) | ((*data)[2] << 16) |
                                 (static_cast<uint32_t>((*data)[3]) << 24));
  }

  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) override {
    return Read(name, REG_BINARY, REG_BINARY);
  }

  bool WriteString(std::string_view name, std::string_view value, bool expand) override {
    const std::wstring text = Widen(value);
    return Set(name, expand ? REG_EXPAND_SZ : REG_SZ, text.c_str(),
               (text.size() + 1) * sizeof(wchar_t));
  }

  bool WriteDWord(std::string_view name, uint32_t value) override {
    const DWORD data = value;
    return Set(name, REG_DWORD, &data, sizeof(data));
  }

  bool WriteBinary(std::string_view name, const std::vector<uint8_t>& value) override {
    return Set(name, REG_BINARY, value.data(), value.size());
  }

  bool DeleteValue(std::string_view name) override {
    return RegDeleteValueW(key_, Widen(name).c_str()) == ERROR_SUCCESS;
  }

  std::vector<std::string> ValueNames() override {
    return Names([this](DWORD index, wchar_t* name, DWORD* length) {
      return RegEnumValueW(key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

  std::vector<std::string> SubkeyNames() override {
    return Names([this](DWORD index, wchar_t* name, DWORD* length) {
      return RegEnumKeyExW(key_, index, name, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

 private:
  // The data of a value of one of two types; nullopt when it is missing, of
  // another type or cannot be read.
  std::optional<std::vector<uint8_t>> Read(std::string_view name, DWORD type1, DWORD type2) {
    const std::wstring wideName = Widen(name);
    DWORD type = 0;
    DWORD size = 0;
    while (true) {
      std::vector<uint8_t> data(size);
      const LSTATUS status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type,
                                              data.empty() ? nullptr : data.data(), &size);
      if (status == ERROR_SUCCESS && (type == type1 || type == type2)) {
        if (data.size() < size)
          continue;
        data.resize(size);
        return data;
      }
      if (status != ERROR_MORE_DATA)
        return std::nullopt;
    }
  }

  // Value names may be up to 16383 characters long, key names 255.
  template <typename Enum>
  std::vector<std::string> Names(Enum enumerate) {
    std::vector<std::string> names;
    std::wstring buffer(16384, L'\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(buffer.size());
      if (enumerate(index, buffer.data(), &length) != ERROR_SUCCESS)
        return names;
      names.push_back(Narrow(std::wstring_view(buffer.data(), length)));
    }
  }

  bool Set(std::string_view name, DWORD type, const void* data, size_t size) {
    return RegSetValueExW(key_, Widen(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                          static_cast<DWORD>(size)) == ERROR_SUCCESS;
  }

  HKEY key_;
};

class Win32Registry : public Registry {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, std::string_view path) override {
    const HKEY parent = RootKey(root);
    HKEY key = nullptr;
    if (!parent ||
        RegOpenKeyExW(parent, KeyPath(path).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<Win32Key>(key);
  }

  std::unique_ptr<RegistryKey> CreateKey(RegRoot root, std::string_view path) override {
    const HKEY parent = RootKey(root);
    HKEY key = nullptr;
    if (!parent ||
        RegCreateKeyExW(parent, KeyPath(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      return nullptr;
    }
    return std::make_unique<Win32Key>(key);
  }

  bool KeyExists(RegRoot root, std::string_view path) override {
    const HKEY parent = RootKey(root);
    HKEY key = nullptr;
    if (!parent || RegOpenKeyExW(parent, KeyPath(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  bool DeleteEmptyKey(RegRoot root, std::string_view path) override {
    const HKEY parent = RootKey(root);
    const std::wstring subKey = KeyPath(path);
    if (!parent || subKey.find_first_not_of(L'\\') == std::wstring::npos)
      return false;
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    const LSTATUS status = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr,
                                            nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    // RegDeleteKey would take a key with values along; only an empty one goes.
    if (status != ERROR_SUCCESS || subkeys != 0 || values != 0)
      return false;
    return RegDeleteKeyW(parent, subKey.c_str()) == ERROR_SUCCESS;
  }
};

class Win32Profile : public ProfileStrings {
 public:
  std::string Read(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view fallback) override {
    // Passing the fallback through lets the API tell a missing key from an
    // empty value.
    std::wstring buffer(2048, L'\0');
    const DWORD length = GetPrivateProfileStringW(
        Widen(section).c_str(), Widen(key).c_str(), Widen(fallback).c_str(), buffer.data(),
        static_cast<DWORD>(buffer.size()), Widen(file).c_str());
    buffer.resize(length);
    return Narrow(buffer);
  }

  std::vector<std::string> KeyNames(std::string_view file, std::string_view section) override {
    const std::wstring name = Widen(section);
    return Names(file, [&name](wchar_t* buffer, DWORD size, const wchar_t* path) {
      return GetPrivateProfileStringW(name.c_str(), nullptr, L"", buffer, size, path);
    });
  }

  std::vector<std::string> SectionNames(std::string_view file) override {
    return Names(file, [](wchar_t* buffer, DWORD size, const wchar_t* path) {
      return GetPrivateProfileSectionNamesW(buffer, size, path);
    });
  }

 private:
  // A list of names as the profile API gives it: each ended by a null, the
  // list by another. `read` answers size - 2 when the buffer was too small.
  template <typename Read>
  static std::vector<std::string> Names(std::string_view file, Read read) {
    const std::wstring path = Widen(file);
    std::wstring buffer(4096, L'\0');
    DWORD length = 0;
    while ((length = read(buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str())) ==
           buffer.size() - 2) {
      buffer.resize(buffer.size() * 2);
    }
    std::vector<std::string> names;
    for (size_t at = 0; at < length;) {
      const size_t end = buffer.find(L'\0', at);
      if (end == at || end == std::wstring::npos || end > length)
        break;
      names.push_back(Narrow(buffer.substr(at, end - at)));
      at = end + 1;
    }
    return names;
  }
};

class Win32Dialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(std::string_view caption, std::string_view text, MsgButtons buttons,
                       MsgIcon icon) override {
    const HWND owner = GetActiveWindow();
    UINT style = static_cast<UINT>(buttons) | static_cast<UINT>(icon);
    if (!owner)
      style |= MB_TASKMODAL;
    const int answer = MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), style);
    if (answer != 0)
      return static_cast<MsgAnswer>(answer);
    // A box that could not be shown answers as if it had been closed.
    return ClosedAnswer(buttons);
  }
};

class Win32Library : public Library {
 public:
  explicit Win32Library(HMODULE module) : module_(module) {}
  ~Win32Library() override { FreeLibrary(module_); }
  Win32Library(const Win32Library&) = delete;
  Win32Library& operator=(const Win32Library&) = delete;

  void* Find(std::string_view entry) override {
    return reinterpret_cast<void*>(GetProcAddress(module_, std::string(entry).c_str()));
  }

 private:
  HMODULE module_;
};

class Win32Libraries : public Libraries {
 public:
  std::unique_ptr<Library> Load(std::string_view path) override {
    // A missing library on a removable drive must fail quietly rather than
    // ask the user to insert a disk. The mode is the calling thread's: the
    // installation run loads the unzip library on a thread of its own.
    DWORD previous = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previous);
    const HMODULE module = LoadLibraryW(Widen(path).c_str());
    SetThreadErrorMode(previous, nullptr);
    if (!module)
      return nullptr;
    return std::make_unique<Win32Library>(module);
  }
};

std::string FromCodePage(UINT codePage, std::string_view text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return Narrow(wide);
}

class Win32System : public System {
 public:
  std::string ModulePath() override {
    std::wstring buffer(MAX_PATH, L'\0');
    while (true) {
      const DWORD length =
          GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (length < buffer.size()) {
        buffer.resize(length);
        return Narrow(buffer);
      }
      buffer.resize(buffer.size() * 2);
    }
  }

  std::vector<std::string> Arguments() override {
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!argv)
      return arguments;
    for (int i = 1; i < count; ++i)
      arguments.push_back(Narrow(argv[i]));
    LocalFree(argv);
    return arguments;
  }

  void PostQuit() override { PostQuitMessage(0); }

  void EnterThread() override {
    comEntered = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  }
  void LeaveThread() override {
    if (comEntered)
      CoUninitialize();
    comEntered = false;
  }

  void ProcessMessages() override {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        // The quit message belongs to the main loop; put it back for it.
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  void SetBusyCursor(bool busy) override {
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
  }

  std::string AnsiToUtf8(std::string_view ansi) override { return FromCodePage(CP_ACP, ansi); }

  std::string Utf8ToAnsi(std::string_view utf8) override {
    if (utf8.empty())
      return {};
    const std::wstring wide = Widen(utf8);
    const int size = static_cast<int>(wide.size());
    // Without WC_NO_BEST_FIT_CHARS Windows would turn a missing character
    // into a look-alike instead of '?'.
    const int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr,
                                           0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), length,
                        nullptr, nullptr);
    return ansi;
  }

  std::string OemToUtf8(std::string_view oem) override { return FromCodePage(CP_OEMCP, oem); }
  unsigned OemCodePage() override { return GetOEMCP(); }

  std::string DecimalSeparator() override {
    // Windows allows at most three characters and the terminator here.
    wchar_t separator[4] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 4) == 0)
      return ".";
    return Narrow(separator);
  }

  int CompareNames(std::string_view a, std::string_view b) override {
    const std::wstring wideA = Widen(a);
    const std::wstring wideB = Widen(b);
    const int result = CompareStringEx(LOCALE_NAME_USER_DEFAULT, LINGUISTIC_IGNORECASE,
                                       wideA.data(), static_cast<int>(wideA.size()), wideB.data(),
                                       static_cast<int>(wideB.size()), nullptr, nullptr, 0);
    // CSTR_LESS_THAN, CSTR_EQUAL, CSTR_GREATER_THAN are 1, 2, 3; 0 is a failure,
    // which only invalid arguments cause.
    return result == 0 ? a.compare(b) : result - CSTR_EQUAL;
  }

  void RestartWindows() override {
    // The shutdown privilege is held but disabled in a user's token; the
    // reboot request is refused unless the process enables it first.
    constexpr DWORD kAllTokenRights = 0xF00FF;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), kAllTokenRights, &token)) {
      TOKEN_PRIVILEGES privileges{};
      privileges.PrivilegeCount = 1;
      privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
      if (LookupPrivilegeValueW(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
      CloseHandle(token);
    }
    ExitWindowsEx(EWX_REBOOT, 0);
  }

  std::string LocalDate() override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char date[16] = {};
    std::snprintf(date, sizeof date, "%04u%02u%02u", now.wYear, now.wMonth, now.wDay);
    return date;
  }

  uint64_t UnguessableNumber() override {
    // The generator of advapi32, which every Windows loads from its system
    // folder: a library such as bcrypt.dll, imported by name, would be
    // looked for beside Setup.exe first, in a download folder.
    uint64_t number = 0;
    if (!RtlGenRandom(&number, sizeof number))
      throw std::runtime_error("Der Zufallszahlengenerator von Windows antwortet nicht");
    return number;
  }

  bool HoldLock(std::string_view name) override {
    // The handle stays open for the life of the process; Windows releases
    // the mutex when the process ends, however it ends.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, Widen(name).c_str());
    if (!mutex)
      return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
      CloseHandle(mutex);
      return false;
    }
    return true;
  }
};

}  // namespace

struct Win32Platform::Impl {
  Win32Registry registry;
  Win32Profile profile;
  Win32Files files;
  Win32Dialogs dialogs;
  Win32Libraries libraries;
  Win32System system;
  Win32Shell shell;
  Win32Processes processes;
  Platform services{registry, profile, files, dialogs, libraries, system, shell, processes};
};

Win32Platform::Win32Platform() : impl_(std::make_unique<Impl>()) {}

Win32Platform::~Win32Platform() = default;

Platform& Win32Platform::platform() {
  return impl_->services;
}

void LoadLibrariesFromTheSystemFolderOnly() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto set =
      SystemFunction<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (set)
    set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace platform::win32

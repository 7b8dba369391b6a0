#include <set>
#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr const wchar_t* kWebUpdate = L"Software\\Vormek\\TW_UPD_WEB";

// Every file and folder below `folder` (its own path first), as lines.
void ListTree(const std::wstring& folder, std::set<std::string>& lines) {
  lines.insert(Narrow(folder));
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    const std::wstring path = folder + L"\\" + name;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      ListTree(path, lines);
    } else {
      lines.insert(Narrow(path));
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

// Every key and value below `path`, with the value's type and data, as lines.
void ListKey(HKEY root, const std::wstring& path, std::set<std::string>& lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  lines.insert(Narrow(path));
  std::vector<wchar_t> name(16384);
  std::vector<BYTE> data(1 << 16);
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS) {
      break;
    }
    std::string line = Narrow(path) + " \"" + Narrow(std::wstring(name.data(), nameLength)) +
                       "\" " + std::to_string(type) + ":";
    for (DWORD k = 0; k < size; ++k)
      line += std::to_string(data[k]) + ",";
    lines.insert(line);
  }
  std::vector<std::wstring> subkeys;
  for (DWORD index = 0;; ++index) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    if (RegEnumKeyExW(key, index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    subkeys.emplace_back(name.data(), nameLength);
  }
  RegCloseKey(key);
  for (const std::wstring& subkey : subkeys)
    ListKey(root, path + L"\\" + subkey, lines);
}

// What the product could leave behind: the files on drive C: and the
// software keys of the machine and the user. Wine's own keys change with
// every program it starts and are left out.
struct Snapshot {
  std::set<std::string> files;
  std::set<std::string> registry;

  static Snapshot Take() {
    Snapshot snapshot;
    ListTree(L"C:", snapshot.files);
    ListKey(HKEY_LOCAL_MACHINE, L"Software", snapshot.registry);
    std::set<std::string> user;
    ListKey(HKEY_CURRENT_USER, L"Software", user);
    for (const std::string& line : user) {
      if (!line.starts_with("Software\\Wine"))
        snapshot.registry.insert("HKCU\\" + line);
    }
    return snapshot;
  }
};

std::vector<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::vector<std::string> rest;
  for (const std::string& line : a) {
    if (!b.contains(line))
      rest.push_back(line);
  }
  return rest;
}

std::string RegString(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[2048] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    throw HarnessError("no registry value " + Narrow(name));
  }
  return Narrow(value);
}

void SetRegString(HKEY root, const std::wstring& key, const wchar_t* name, std::string_view value) {
  const std::wstring wide = Widen(value);
  if (RegSetKeyValueW(root, key.c_str(), name, REG_SZ, wide.c_str(),
                      static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    throw HarnessError("cannot write the registry value " + Narrow(name));
  }
}

// A REG_MULTI_SZ value with its strings joined by '|'; empty when missing.
std::string RegMultiString(HKEY root, const wchar_t* key, const wchar_t* name) {
  std::vector<wchar_t> value(1 << 16);
  DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (RegGetValueW(root, key, name, RRF_RT_REG_MULTI_SZ, nullptr, value.data(), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  std::wstring joined(value.data(), size / sizeof(wchar_t));
  for (wchar_t& c : joined) {
    if (c == L'\0')
      c = L'|';
  }
  return Narrow(joined);
}

bool SameText(const std::string& a, const std::string& b) {
  return CompareStringOrdinal(Widen(a).c_str(), -1, Widen(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

// One run of a command line as the system's list of programs starts it.
class CommandProcess {
 public:
  explicit CommandProcess(const std::string& commandLine) {
    std::wstring line = Widen(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      throw HarnessError("cannot start " + commandLine);
    }
  }
  ~CommandProcess() {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  CommandProcess(const CommandProcess&) = delete;
  CommandProcess& operator=(const CommandProcess&) = delete;

  // The visible message box with that caption, polled for with a generous bound.
  MessageDialog WaitForMessageBox(const std::string& caption) {
    for (int tenth = 0; tenth < 600; ++tenth) {
      struct Search {
        DWORD process;
        std::string caption;
        HWND found;
      } search{process_.dwProcessId, caption, nullptr};
      EnumWindows(
          [](HWND hwnd, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            wchar_t windowClass[16] = {};
            GetClassNameW(hwnd, windowClass, 16);
            if (owner != s.process || !IsWindowVisible(hwnd) ||
                std::wstring(windowClass) != L"#32770") {
              return TRUE;
            }
            // A box that is just going away answers no text; no exception
            // may leave this callback.
            try {
              if (WindowText(hwnd) == s.caption) {
                s.found = hwnd;
                return FALSE;
              }
            } catch (const HarnessError&) {
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (search.found)
        return MessageDialog(search.found);
      if (WaitForSingleObject(process_.hProcess, 100) == WAIT_OBJECT_0)
        throw HarnessError("the uninstaller ended before the message box \"" + caption + "\"");
    }
    throw HarnessError("no message box \"" + caption + "\"");
  }

  DWORD WaitForExit() {
    if (WaitForSingleObject(process_.hProcess, 120000) != WAIT_OBJECT_0)
      throw HarnessError("the uninstaller did not end");
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
};

struct RoundTrip {
  std::string name;
  /// Installed with "/silent", which leaves Setup.log; else through the wizard.
  bool silentInstall;
  /// Removed with "/silent".
  bool silent;
};

class Uninstall : public Scenario, public testing::WithParamInterface<RoundTrip> {};

TEST_P(Uninstall, TakesAwayWhatTheInstallationMadeAndKeepsTheUsersFile) {
  SetRegString(HKEY_LOCAL_MACHINE, kWebUpdate, L"SetupCount", "4");
  folder_.CopyPrepared("entfernen");
  const Snapshot before = Snapshot::Take();

  const std::string target = folder_.Path() + "Produkt 2.1";
  if (GetParam().silentInstall) {
    ASSERT_EQ(Start("/silent \"/dir=" + target + "\"").WaitForExit(), 0u);
    ASSERT_TRUE(PathExists(target + "\\Setup.log"));
  } else {
    SetupProcess& setup = Start();
    StartInstallation(setup, target);
    Click(setup.WaitForVisible("TReady"), "Button1");
    ASSERT_EQ(setup.WaitForExit(), 0u);
  }
  const std::string uninstallKey =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";
  const std::string command =
      RegString(HKEY_LOCAL_MACHINE, Widen(uninstallKey), L"UninstallString");
  const std::string programs = ShellFolder(L"Programs");
  ASSERT_TRUE(PathExists(target + "\\Daten\\Bilder"));
  ASSERT_TRUE(PathExists(target + "\\Hilfe\\Beispiel.txt"));
  ASSERT_TRUE(PathExists(programs + "\\Firma\\Produkt 2.1 deinstallieren.lnk"));
  const std::string notes = target + "\\meine Notizen.txt";
  HANDLE file = CreateFileW(Widen(notes).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  CommandProcess uninstaller(command + (GetParam().silent ? " /silent" : ""));
  if (!GetParam().silent) {
    MessageDialog question = uninstaller.WaitForMessageBox("Produkt 2.1 deinstallieren");
    EXPECT_EQ(question.Text(),
              "Möchten Sie Produkt 2.1 und alle seine Bestandteile von diesem Computer entfernen?");
    question.Press(IDYES);
    MessageDialog closing = uninstaller.WaitForMessageBox("Produkt 2.1 deinstallieren");
    EXPECT_TRUE(closing.Text().ends_with(
        "\n\nErhalten geblieben, weil sie Dateien enthalten, die Sie selbst angelegt haben:\n" +
        target))
        << "only the folder with the user's file stays\n"
        << closing.Text();
    closing.Press(IDOK);
  }
  EXPECT_EQ(uninstaller.WaitForExit(), 0u);

  const Snapshot after = Snapshot::Take();
  // The uninstaller's own copy cannot go while it runs: it goes at the next
  // start of Windows.
  const std::string copy = WindowsDirectory() + "\\Inst_Produkt_remove.exe";
  std::vector<std::string> leftFiles = Minus(after.files, before.files);
  // Wine puts a menu entry of its own (.desktop) beside every shortcut
  // on the desktop; that is not the product's to remove.
  std::erase_if(leftFiles, [&](const std::string& path) {
    return SameText(path, copy) || path.ends_with("\\Produkt auf dem Desktop.desktop");
  });
  EXPECT_EQ(leftFiles, (std::vector<std::string>{target, notes}));
  EXPECT_EQ(Minus(before.files, after.files), std::vector<std::string>{});
  EXPECT_EQ(Minus(after.registry, before.registry),
            (std::vector<std::string>{"Software\\Vormek\\TW_UPD_WEB \"SetupCount\" 1:53,0,0,0,"}))
      << "only the web-update counter stays raised: its numbers are never used again";
  const std::vector<std::string> removed = Minus(before.registry, after.registry);
  EXPECT_EQ(removed,
            (std::vector<std::string>{"Software\\Vormek\\TW_UPD_WEB \"SetupCount\" 1:52,0,0,0,"}));
  if (PathExists(copy)) {
    const std::string pending =
        RegMultiString(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                       L"PendingFileRenameOperations");
    EXPECT_NE(pending.find("Inst_Produkt_remove.exe"), std::string::npos) << pending;
  }
}

INSTANTIATE_TEST_SUITE_P(Uninstall, Uninstall,
                         testing::Values(RoundTrip{"Silent", false, true},
                                         RoundTrip{"Interactive", false, false},
                                         RoundTrip{"AfterAnUnattendedInstallation", true, false}),
                         RowName());

}  // namespace
}  // namespace e2e

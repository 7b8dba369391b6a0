#include <set>
#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr const wchar_t* kWebUpdate = L"Software\\Vormek\\TW_UPD_WEB";

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
  /// The user put a file of their own into the installation folder.
  bool usersFile;
};

class Uninstall : public Scenario, public testing::WithParamInterface<RoundTrip> {};

TEST_P(Uninstall, TakesAwayWhatTheInstallationMadeAndKeepsTheUsersFile) {
  SetRegString(HKEY_LOCAL_MACHINE, kWebUpdate, L"SetupCount", "4");
  folder_.CopyPrepared("entfernen");
  const Snapshot before = Snapshot::Take();

  // Below a company folder that the run makes: it goes again when empty.
  const std::string company = folder_.Path() + "Firma";
  const std::string target = company + "\\Produkt 2.1";
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
  if (GetParam().usersFile) {
    HANDLE file = CreateFileW(Widen(notes).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

  CommandProcess uninstaller(command + (GetParam().silent ? " /silent" : ""));
  if (!GetParam().silent) {
    MessageDialog question = uninstaller.WaitForMessageBox("Produkt 2.1 deinstallieren");
    EXPECT_EQ(question.Text(),
              "Möchten Sie Produkt 2.1 und alle seine Bestandteile von diesem Computer entfernen?");
    question.Press(IDYES);
    MessageDialog closing = uninstaller.WaitForMessageBox("Produkt 2.1 deinstallieren");
    // The company folder the run made stays only because it holds the
    // installation folder.
    EXPECT_TRUE(closing.Text().ends_with(
        "\n\nErhalten geblieben, weil sie Dateien enthalten, die Sie selbst angelegt haben:\n" +
        target + "\n" + company))
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
  const std::vector<std::string> expectedLeft =
      GetParam().usersFile ? std::vector<std::string>{company, target, notes}
                           : std::vector<std::string>{};
  EXPECT_EQ(leftFiles, expectedLeft);
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
                         testing::Values(RoundTrip{"Silent", false, true, false},
                                         RoundTrip{"Interactive", false, false, true},
                                         RoundTrip{"AfterAnUnattendedInstallation", true, false,
                                                   true}),
                         RowName());

}  // namespace
}  // namespace e2e

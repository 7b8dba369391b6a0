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
    // The closing message has the question's caption: the question must be
    // gone before the closing message is looked for.
    WaitUntil("the question to go",
              [&] { return !IsWindow(question.Handle()) || !IsWindowVisible(question.Handle()); });
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

void WriteBytes(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw HarnessError("cannot write " + path);
  DWORD written = 0;
  const BOOL ok =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size())
    throw HarnessError("cannot write " + path);
}

constexpr const wchar_t* kUninstallList =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const wchar_t* kProduktEntry =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";

// What Apps & Features lists: the DisplayName of every entry that has one.
std::vector<std::string> AppsAndFeatures() {
  HKEY list = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallList, 0, KEY_READ, &list) != ERROR_SUCCESS)
    return {};
  std::vector<std::string> names;
  wchar_t name[256];
  for (DWORD k = 0;; ++k) {
    DWORD size = 256;
    if (RegEnumKeyExW(list, k, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    wchar_t shown[2048] = {};
    DWORD bytes = sizeof shown;
    if (RegGetValueW(list, name, L"DisplayName", RRF_RT_REG_SZ, nullptr, shown, &bytes) ==
        ERROR_SUCCESS) {
      names.push_back(Narrow(shown));
    }
  }
  RegCloseKey(list);
  return names;
}

// What the pages proposed and the summary said when the user walked through
// them with "&Weiter" alone.
struct Proposals {
  std::string target;
  std::string installed;
};

// Walks the wizard accepting every proposal and starts the installation.
Proposals AcceptTheProposals(SetupProcess& setup) {
  Click(setup.WaitForVisible("TSchritt1"), "Button2");
  HWND page4 = setup.WaitForVisible("TSchritt4");
  Proposals seen;
  seen.target = ControlText(page4, "Edit1");
  Click(page4, "Button2");
  Click(setup.WaitForVisible("TSchritt6"), "Button2");
  Click(setup.WaitForVisible("TSchritt5"), "Button2");
  HWND summary = setup.WaitForVisible("TSchritt7");
  seen.installed = ControlText(summary, "Label13");
  Click(summary, "Button2");
  setup.WaitForVisible("TInstall");
  return seen;
}

// Produkt 1.2 (this scenario's setup folder) and Produkt 1.3 (in its folder
// "neu"), both with their proposals accepted.
class Update : public Scenario {
 protected:
  void SetUp() override {
    SetRegString(HKEY_LOCAL_MACHINE, kWebUpdate, L"SetupCount", "4");
    folder_.CopyPrepared("version12");
    CopyPreparedInto("version13", newer_);
  }

  // Installs the version of the folder as the user does who accepts every
  // proposal; gives what was proposed.
  Proposals Install(SetupProcess& setup) {
    const Proposals proposed = AcceptTheProposals(setup);
    Click(setup.WaitForVisible("TReady"), "Button1");
    EXPECT_EQ(setup.WaitForExit(), 0u);
    return proposed;
  }

  // Removes the product with its registered uninstaller, silently, and
  // gives what drive C: then holds that it did not hold `before`. The
  // uninstaller's copy goes at the next start of Windows; Wine's menu entry
  // beside the desktop shortcut is not the product's.
  static std::vector<std::string> UninstallAndListLeftFiles(const Snapshot& before,
                                                            Snapshot& after) {
    CommandProcess uninstaller(RegString(HKEY_LOCAL_MACHINE, kProduktEntry, L"UninstallString") +
                               " /silent");
    EXPECT_EQ(uninstaller.WaitForExit(), 0u);
    after = Snapshot::Take();
    const std::string copy = WindowsDirectory() + "\\Inst_Produkt_remove.exe";
    std::vector<std::string> left = Minus(after.files, before.files);
    std::erase_if(left, [&](const std::string& path) {
      return SameText(path, copy) || path.ends_with("\\Produkt-Hilfe.desktop");
    });
    return left;
  }

  const std::string newer_ = folder_.Path() + "neu\\";
};

TEST_F(Update, TheNewerVersionTakesOverTheOlderOneAndOneUninstallRemovesBoth) {
  const Snapshot before = Snapshot::Take();
  const Proposals first = Install(Start());
  ASSERT_EQ(first.installed, "");
  const std::string target = first.target;
  const std::string notes = target + "\\meine Notizen.txt";
  WriteBytes(notes, "vom Benutzer");

  const Proposals second = Install(StartFrom(newer_));
  EXPECT_EQ(second.target, target) << "the folder of 1.2, not one of its own";
  EXPECT_EQ(second.installed, "Die installierte Version 1.2 wird auf Version 1.3 aktualisiert.");
  std::vector<std::string> listed = AppsAndFeatures();
  std::erase_if(listed, [](const std::string& name) { return !name.starts_with("Produkt"); });
  EXPECT_EQ(listed, std::vector<std::string>{"Produkt 1.3"}) << "one entry of the product";
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kProduktEntry, L"DisplayVersion"), "1.3");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kProduktEntry, L"InstallLocation"), target);
  EXPECT_TRUE(PathExists(target + "\\Produkt.ini"));
  const std::string programs = ShellFolder(L"Programs");
  EXPECT_TRUE(PathExists(programs + "\\Firma\\Produkt 1.3 deinstallieren.lnk"));
  EXPECT_FALSE(PathExists(programs + "\\Firma\\Produkt 1.2 deinstallieren.lnk"));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kWebUpdate, L"SetupCount"), "5")
      << "the web-update entry of 1.2 is updated, not made again";
  const std::string record = ReadBytes(target + "\\Uninstall.inf");
  for (const char* earlier : {"\\Hilfe\\Beispiel.txt\r\n", "\\Alt\r\n", "Title=Ansicht\r\n",
                              "\\Firma\\Produkt\\1.2\r\n", "\\Produkt-Hilfe.lnk\"\r\n"}) {
    EXPECT_NE(record.find(earlier), std::string::npos) << earlier << " of 1.2 is recorded too";
  }

  Snapshot after;
  const std::vector<std::string> leftFiles = UninstallAndListLeftFiles(before, after);
  const std::string company = target.substr(0, target.rfind('\\'));
  EXPECT_EQ(leftFiles, (std::vector<std::string>{company, target, notes}))
      << "only the user's file and the folders that hold it";
  EXPECT_EQ(Minus(before.files, after.files), std::vector<std::string>{});
  EXPECT_EQ(Minus(after.registry, before.registry),
            (std::vector<std::string>{"Software\\Vormek\\TW_UPD_WEB \"SetupCount\" 1:53,0,0,0,"}));
  EXPECT_EQ(Minus(before.registry, after.registry),
            (std::vector<std::string>{"Software\\Vormek\\TW_UPD_WEB \"SetupCount\" 1:52,0,0,0,"}));
}

TEST_F(Update, AnOlderVersionAsksFirstAndNoLeavesTheNewerOneAsItWas) {
  Install(StartFrom(newer_));
  const Snapshot installed = Snapshot::Take();

  SetupProcess& older = Start();
  MessageDialog question = older.WaitForMessageBox("Setup");
  EXPECT_EQ(question.Text(),
            "Auf diesem Computer ist bereits die neuere Version 1.3 von Produkt installiert.\r\r"
            "Möchten Sie trotzdem Produkt 1.2 installieren? Die neuere Version wird dabei "
            "ersetzt.");
  question.Press(IDNO);
  EXPECT_EQ(older.WaitForExit(), 7u);
  EXPECT_FALSE(older.SeenVisible().contains("TSchritt1")) << "no page was shown";

  const Snapshot after = Snapshot::Take();
  EXPECT_EQ(Minus(after.files, installed.files), std::vector<std::string>{});
  EXPECT_EQ(Minus(installed.files, after.files), std::vector<std::string>{});
  EXPECT_EQ(after.registry, installed.registry);
}

// The user types another folder for 1.3: Setup asks first, then removes 1.2
// from its folder and installs 1.3 in the new one; one entry, and one
// uninstall leaves the files as before 1.2.
TEST_F(Update, AnotherFolderAsksAndTheEarlierInstallationGoesFirst) {
  const Snapshot before = Snapshot::Take();
  const std::string earlier = Install(Start()).target;

  SetupProcess& setup = StartFrom(newer_);
  Click(setup.WaitForVisible("TSchritt1"), "Button2");
  HWND page4 = setup.WaitForVisible("TSchritt4");
  EXPECT_EQ(ControlText(page4, "Edit1"), earlier);
  const std::string other = folder_.Path() + "Anderswo";
  SendMessageW(Control(page4, "Edit1"), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Widen(other).c_str()));
  Click(page4, "Button2");
  MessageDialog question = setup.WaitForMessageBox("Setup");
  EXPECT_TRUE(
      question.Text().starts_with("Produkt 1.2 ist bereits in \"" + earlier + "\" installiert."))
      << question.Text();
  EXPECT_TRUE(question.Text().ends_with("Möchten Sie Produkt 1.3 in \"" + other +
                                        "\" installieren und die bisherige Installation "
                                        "entfernen?"))
      << question.Text();
  question.Press(IDYES);
  Click(setup.WaitForVisible("TSchritt6"), "Button2");
  Click(setup.WaitForVisible("TSchritt5"), "Button2");
  HWND summary = setup.WaitForVisible("TSchritt7");
  EXPECT_EQ(ControlText(summary, "Label13"),
            "Die installierte Version 1.2 in \"" + earlier + "\" wird zuvor entfernt.");
  Click(summary, "Button2");
  Click(setup.WaitForVisible("TReady"), "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);

  EXPECT_FALSE(PathExists(earlier)) << "1.2 went with its folder";
  EXPECT_TRUE(PathExists(other + "\\Produkt.ini"));
  std::vector<std::string> listed = AppsAndFeatures();
  std::erase_if(listed, [](const std::string& name) { return !name.starts_with("Produkt"); });
  EXPECT_EQ(listed, std::vector<std::string>{"Produkt 1.3"});
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kProduktEntry, L"InstallLocation"), other);

  Snapshot after;
  EXPECT_EQ(UninstallAndListLeftFiles(before, after), std::vector<std::string>{});
  EXPECT_EQ(Minus(before.files, after.files), std::vector<std::string>{});
}

// The text with the line that holds `part` replaced by `line`; throws when
// no line holds it.
std::string WithLine(const std::string& text, std::string_view part, std::string_view line) {
  const size_t at = text.find(part);
  if (at == std::string::npos)
    throw HarnessError("no line with " + std::string(part));
  const size_t start = text.rfind('\n', at) + 1;
  return text.substr(0, start) + std::string(line) + text.substr(text.find("\r\n", at));
}

class ForgedUninstallInf : public Scenario {};

// A user who may change the installation folder (Wine lets everyone; Windows
// lets ordinary users in many setups) turns Uninstall.inf against another
// program's start in the Run key and a shortcut in system32.
TEST_F(ForgedUninstallInf, IsRefusedAndTheRunValueAndTheShortcutInSystem32Survive) {
  folder_.CopyPrepared("entfernen");
  const std::string target = folder_.Path() + "Produkt";
  ASSERT_EQ(Start("/silent \"/dir=" + target + "\"").WaitForExit(), 0u);
  const std::string inf = target + "\\Uninstall.inf";
  const std::string record = ReadBytes(inf);
  ASSERT_EQ(ReadBytes(WindowsDirectory() + "\\Inst_Produkt_remove.inf"), record)
      << "the run's copy beside the uninstaller";
  ASSERT_EQ(ReadBytes(WindowsDirectory() + "\\Inst_Produkt_remove_extra.inf"),
            ReadBytes(target + "\\UninstallExtra.inf"));

  const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  SetRegString(HKEY_LOCAL_MACHINE, run, L"Waechter", "C:\\Waechter\\waechter.exe");
  const std::string shortcut = WindowsDirectory() + "\\system32\\Wichtig.lnk";
  WriteBytes(shortcut, "eine Verknuepfung von Windows");
  std::string forged = WithLine(record, "Key=\\Software\\Firma\\Produkt",
                                "Key=\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  forged = WithLine(forged, "Title=Pfad", "Title=Waechter");
  forged = WithLine(forged, "Produkt auf dem Desktop.lnk", "Path=\"" + shortcut + "\"");
  WriteBytes(inf, forged);

  const std::string command = RegString(
      HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt",
      L"UninstallString");
  {
    CommandProcess uninstaller(command);
    MessageDialog refusal = uninstaller.WaitForMessageBox("Deinstallation");
    EXPECT_NE(refusal.Text().find("stimmt nicht mit der geschützten Kopie"), std::string::npos)
        << refusal.Text();
    EXPECT_TRUE(refusal.Text().ends_with("Es wurde nichts verändert.")) << refusal.Text();
    refusal.Press(IDOK);
    EXPECT_EQ(uninstaller.WaitForExit(), 2u);
  }
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, run, L"Waechter"), "C:\\Waechter\\waechter.exe");
  EXPECT_TRUE(PathExists(shortcut));
  EXPECT_TRUE(PathExists(target + "\\produkt.exe")) << "nothing of the product went either";
  EXPECT_EQ(ReadBytes(inf), forged);

  // The file as the run wrote it removes the product, and only the product.
  WriteBytes(inf, record);
  CommandProcess uninstaller(command + " /silent");
  EXPECT_EQ(uninstaller.WaitForExit(), 0u);
  EXPECT_FALSE(PathExists(target));
  EXPECT_FALSE(PathExists(WindowsDirectory() + "\\Inst_Produkt_remove.inf"));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, run, L"Waechter"), "C:\\Waechter\\waechter.exe");
  EXPECT_TRUE(PathExists(shortcut));
}

}  // namespace
}  // namespace e2e

#include "tests/e2e/Harness.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <string>

#include "core/ControlIds.h"
#include "platform/win32/Utf16.h"
#include "tests/support/RemoveTree.h"

namespace e2e {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// Wine starting a process in a fresh prefix under Xvfb on a busy two-core
// machine takes seconds; every wait gets the same generous bound.
constexpr std::chrono::seconds kBound{30};
constexpr DWORD kPollMilliseconds = 50;

// Polls `done` until it holds or the bound has passed; true when it held.
template <typename Done>
bool PollUntil(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + kBound;
  while (true) {
    if (done())
      return true;
    if (std::chrono::steady_clock::now() >= deadline)
      return false;
    Sleep(kPollMilliseconds);
  }
}

std::string LastError(std::string_view what) {
  return std::string(what) + " failed (error " + std::to_string(GetLastError()) + ")";
}

// Why a wait for a window came back without one.
std::string Unseen(bool ended) {
  return ended ? " before Setup.exe ended" : " within the bound";
}

std::string Environment(const wchar_t* name) {
  DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0)
    return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return Narrow(value);
}

std::string ClassName(HWND window) {
  wchar_t name[256];
  int length = GetClassNameW(window, name, 256);
  return Narrow(std::wstring_view(name, length > 0 ? length : 0));
}

// Window class names match without regard to case.
bool SameClass(std::string_view a, std::string_view b) {
  return std::ranges::equal(
      a, b, [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// Writes `bytes` as the whole file at `path`.
void WriteWholeFile(const std::string& path, std::string_view bytes) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw HarnessError(LastError("creating " + path));
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  if (!ok || written != bytes.size())
    throw HarnessError(LastError("writing " + path));
}

// Asks the driver script a question through the request file the
// environment variable names and gives its answer; throws `unanswered` when
// it does not answer within the bound.
std::string AskDriverScript(const wchar_t* variable, std::string_view question,
                            const std::string& unanswered) {
  const std::string request = Environment(variable);
  if (request.empty())
    throw HarnessError(Narrow(variable) + " is not set (scripts/e2e sets it)");
  const std::string answer = request + ".answer";
  // Written under another name and renamed, so that the script never reads
  // half a request.
  const std::string pending = request + ".pending";
  WriteWholeFile(pending, question);
  if (!MoveFileExW(Widen(pending).c_str(), Widen(request).c_str(), MOVEFILE_REPLACE_EXISTING))
    throw HarnessError(LastError("renaming " + pending));
  if (!PollUntil([&] { return PathExists(answer); }))
    throw HarnessError(unanswered);
  std::string output = ReadBytes(answer);
  DeleteFileW(Widen(answer).c_str());
  return output;
}

// Removes the folder of a path that ends in a backslash.
void RemoveFolder(std::string_view path) {
  testing_support::RemoveTree(Widen(path.substr(0, path.size() - 1)));
}

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

}  // namespace

SetupFolder::SetupFolder() {
  std::string setupExe = Environment(L"SETUP_EXE");
  if (setupExe.empty()) {
    throw HarnessError("SETUP_EXE does not name the Setup.exe to test (scripts/e2e sets it)");
  }
  wchar_t temp[MAX_PATH + 1];
  DWORD length = GetTempPathW(MAX_PATH + 1, temp);
  if (length == 0)
    throw HarnessError(LastError("GetTempPathW"));
  for (int n = 1;; ++n) {
    std::wstring candidate = std::wstring(temp, length) + L"e2e-" +
                             std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n);
    if (CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = Narrow(candidate) + "\\";
      break;
    }
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      throw HarnessError(LastError("CreateDirectoryW"));
  }
  if (!CopyFileW(Widen(setupExe).c_str(), Widen(SetupExe()).c_str(), TRUE)) {
    std::string error = LastError("copying " + setupExe);
    RemoveFolder(path_);
    throw HarnessError(error);
  }
}

SetupFolder::~SetupFolder() {
  RemoveFolder(path_);
}

void SetupFolder::Write(std::string_view fileName, std::string_view bytes) const {
  WriteWholeFile(path_ + std::string(fileName), bytes);
}

void SetupFolder::CopyPrepared(std::string_view name) const {
  CopyPreparedInto(name, path_);
}

std::vector<std::string> SetupFolder::Entries() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Widen(path_ + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    throw HarnessError(LastError("listing " + path_));
  do {
    std::wstring name = entry.cFileName;
    if (name != L"." && name != L"..")
      names.push_back(Narrow(name));
  } while (FindNextFileW(find, &entry));
  FindClose(find);
  std::ranges::sort(names);
  return names;
}

void CopyPreparedInto(std::string_view name, const std::string& folder) {
  const std::string setups = Environment(L"E2E_SETUPS");
  if (setups.empty())
    throw HarnessError("E2E_SETUPS does not name the prepared setups (scripts/e2e sets it)");
  if (!CreateDirectoryW(Widen(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    throw HarnessError(LastError("creating " + folder));
  const std::string from = setups + "\\" + std::string(name) + "\\";
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW(Widen(from + "*").c_str(), &entry);
  if (find == INVALID_HANDLE_VALUE)
    throw HarnessError(LastError("listing " + from));
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      continue;
    const std::string file = Narrow(entry.cFileName);
    if (!CopyFileW(Widen(from + file).c_str(), Widen(folder + file).c_str(), FALSE)) {
      FindClose(find);
      throw HarnessError(LastError("copying " + from + file));
    }
  } while (FindNextFileW(find, &entry));
  FindClose(find);
}

void ChangeMedium(std::string_view folder) {
  AskDriverScript(
      L"E2E_MEDIUM_REQUEST", folder,
      "the drive " + std::string(kMediaDrive) + " was not changed to " + std::string(folder));
}

std::string MessageDialog::Text() const {
  // The message box holds its icon and its text in static controls; the
  // text is the one static that has any.
  struct Search {
    std::string text;
  } search;
  EnumChildWindows(
      hwnd_,
      [](HWND child, LPARAM context) -> BOOL {
        auto& found = *reinterpret_cast<Search*>(context);
        if (!SameClass(ClassName(child), "Static"))
          return TRUE;
        found.text = WindowText(child);
        return found.text.empty();
      },
      reinterpret_cast<LPARAM>(&search));
  if (search.text.empty())
    throw HarnessError("the message box shows no text");
  return search.text;
}

bool MessageDialog::HasButton(int id) const {
  HWND button = GetDlgItem(hwnd_, id);
  return button != nullptr && IsWindowVisible(button);
}

void MessageDialog::Press(int id) const {
  if (!HasButton(id))
    throw HarnessError("the message box has no button " + std::to_string(id));
  Post(GetDlgItem(hwnd_, id), BM_CLICK);
}

SetupProcess::SetupProcess(const SetupFolder& folder, std::string_view arguments)
    : SetupProcess(folder.Path(), arguments) {}

SetupProcess::SetupProcess(std::string_view directory, std::string_view arguments) {
  const std::string program = std::string(directory) + "Setup.exe";
  std::wstring commandLine = L"\"" + Widen(program) + L"\"";
  if (!arguments.empty())
    commandLine += L" " + Widen(arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  // Started from its own folder, as a double click in the Explorer would.
  if (!CreateProcessW(Widen(program).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, Widen(directory).c_str(), &startup, &process_)) {
    throw HarnessError(LastError("starting " + program));
  }
}

SetupProcess::~SetupProcess() {
  if (Running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, static_cast<DWORD>(kBound.count() * 1000));
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

std::vector<SetupProcess::TopLevel> SetupProcess::Snapshot() {
  struct Search {
    DWORD processId;
    std::vector<TopLevel> windows;
  } search{process_.dwProcessId, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s.processId) {
          s.windows.push_back({window, ClassName(window), IsWindowVisible(window) != FALSE});
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  for (const auto& window : search.windows) {
    if (window.visible)
      seenVisible_.insert(window.windowClass);
  }
  return search.windows;
}

HWND SetupProcess::Window(std::string_view windowClass) {
  for (const auto& window : Snapshot()) {
    if (window.windowClass == windowClass)
      return window.hwnd;
  }
  throw HarnessError("Setup.exe has no window of class " + std::string(windowClass));
}

bool SetupProcess::IsVisible(std::string_view windowClass) {
  return std::ranges::any_of(Snapshot(), [&](const TopLevel& window) {
    return window.visible && window.windowClass == windowClass;
  });
}

HWND SetupProcess::PollForVisible(const std::function<bool(const TopLevel&)>& matches,
                                  bool& ended) {
  HWND found = nullptr;
  PollUntil([&] {
    for (const auto& window : Snapshot()) {
      if (window.visible && matches(window))
        found = window.hwnd;
    }
    ended = !Running();
    return found != nullptr || ended;
  });
  return found;
}

HWND SetupProcess::WaitForVisible(std::string_view windowClass) {
  bool ended = false;
  HWND found = PollForVisible(
      [&](const TopLevel& window) { return window.windowClass == windowClass; }, ended);
  if (found != nullptr)
    return found;
  std::string seen;
  for (const auto& name : seenVisible_)
    seen += " " + name;
  // A message box in the way is the usual reason: its words tell why.
  std::string boxes;
  for (const auto& window : Snapshot()) {
    if (!window.visible || window.windowClass != "#32770")
      continue;
    try {
      boxes +=
          "; message box \"" + WindowText(window.hwnd) + "\": " + MessageDialog(window.hwnd).Text();
    } catch (const HarnessError&) {
    }
  }
  throw HarnessError("no visible window of class " + std::string(windowClass) + Unseen(ended) +
                     "; seen visible so far:" + (seen.empty() ? " none" : seen) + boxes);
}

void SetupProcess::WaitForHidden(std::string_view windowClass) {
  if (!PollUntil([&] { return !IsVisible(windowClass); })) {
    throw HarnessError("the window of class " + std::string(windowClass) + " stays visible");
  }
}

MessageDialog SetupProcess::WaitForMessageBox(std::string_view caption) {
  bool ended = false;
  HWND found = PollForVisible(
      [&](const TopLevel& window) {
        // A box that was answered may be going while the windows are
        // looked at: it matches nothing.
        if (window.windowClass != "#32770")
          return false;
        try {
          return WindowText(window.hwnd) == caption;
        } catch (const HarnessError&) {
          if (IsWindow(window.hwnd))
            throw;
          return false;
        }
      },
      ended);
  if (found != nullptr)
    return MessageDialog(found);
  throw HarnessError("no message box \"" + std::string(caption) + "\"" + Unseen(ended));
}

void SetupProcess::AnswerFolderBrowser(bool choose) {
  // The browser is a dialog holding a tree; a message box holds none.
  bool ended = false;
  HWND browser = PollForVisible(
      [&](const TopLevel& window) {
        return window.windowClass == "#32770" &&
               FindWindowExW(window.hwnd, nullptr, L"SysTreeView32", nullptr) != nullptr;
      },
      ended);
  if (browser == nullptr)
    throw HarnessError("no folder browser" + Unseen(ended));
  Post(browser, WM_COMMAND, choose ? IDOK : IDCANCEL);
  WaitForGone(browser);
}

void SetupProcess::WaitForGone(HWND window) {
  if (!PollUntil([&] { return !IsWindow(window); })) {
    throw HarnessError("the window stays open");
  }
}

DWORD SetupProcess::WaitForExit() {
  bool ended = PollUntil([&] {
    Snapshot();
    return !Running();
  });
  if (!ended)
    throw HarnessError("Setup.exe is still running");
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

const std::set<std::string>& SetupProcess::SeenVisible() {
  Snapshot();
  return seenVisible_;
}

bool SetupProcess::Running() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

void SetupProcess::Kill() {
  if (!TerminateProcess(process_.hProcess, 9))
    throw HarnessError(LastError("TerminateProcess"));
  if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(kBound.count() * 1000)) !=
      WAIT_OBJECT_0) {
    throw HarnessError("Setup.exe did not end when killed");
  }
}

std::string WindowText(HWND window) {
  // WM_GETTEXT rather than GetWindowTextW: for a window of another process
  // the latter gives only a caption, and a label has none.
  const UINT timeout = static_cast<UINT>(kBound.count() * 1000);
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, timeout, &length)) {
    throw HarnessError(LastError("WM_GETTEXTLENGTH"));
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_NORMAL, timeout, &copied)) {
    throw HarnessError(LastError("WM_GETTEXT"));
  }
  text.resize(copied);
  return Narrow(text);
}

HWND Control(HWND window, std::string_view controlName) {
  int id = core::ControlId(controlName);
  if (id == 0)
    throw HarnessError(std::string(controlName) + " is no control name");
  HWND control = GetDlgItem(window, id);
  if (control == nullptr) {
    throw HarnessError("the window \"" + WindowText(window) + "\" has no control " +
                       std::string(controlName));
  }
  return control;
}

std::string ControlText(HWND window, std::string_view controlName) {
  return WindowText(Control(window, controlName));
}

void Click(HWND window, std::string_view controlName) {
  Post(Control(window, controlName), BM_CLICK);
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!PostMessageW(window, message, wParam, lParam))
    throw HarnessError(LastError("PostMessageW"));
}

HWND StartInstallation(SetupProcess& setup, std::string_view targetDir) {
  Click(setup.WaitForVisible("TSchritt1"), "Button2");
  HWND page4 = setup.WaitForVisible("TSchritt4");
  SendMessageW(Control(page4, "Edit1"), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Widen(targetDir).c_str()));
  Click(page4, "Button2");
  Click(setup.WaitForVisible("TSchritt6"), "Button2");
  Click(setup.WaitForVisible("TSchritt5"), "Button2");
  Click(setup.WaitForVisible("TSchritt7"), "Button2");
  return setup.WaitForVisible("TInstall");
}

void WaitUntil(std::string_view what, const std::function<bool()>& condition) {
  if (!PollUntil(condition))
    throw HarnessError("waited in vain for " + std::string(what));
}

std::string ReadBytes(std::string_view path) {
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw HarnessError(LastError("opening " + std::string(path)));
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool PathExists(std::string_view path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

Snapshot Snapshot::Take() {
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

std::vector<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b) {
  std::vector<std::string> rest;
  for (const std::string& line : a) {
    if (!b.contains(line))
      rest.push_back(line);
  }
  return rest;
}

std::vector<std::string> WorkFolders() {
  std::vector<std::string> found;
  WIN32_FIND_DATAW entry;
  HANDLE search = FindFirstFileW(Widen(WindowsDirectory() + "\\Temp\\tewol_inst*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE)
    return found;
  do {
    found.push_back(Narrow(entry.cFileName));
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

std::string SmallDriveRoot() {
  const std::string drive = Environment(L"E2E_SMALL_DRIVE");
  return drive.empty() ? drive : drive + "\\";
}

std::string WindowsDirectory() {
  wchar_t path[MAX_PATH + 1];
  UINT length = GetWindowsDirectoryW(path, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH)
    throw HarnessError(LastError("GetWindowsDirectoryW"));
  return Narrow(std::wstring_view(path, length));
}

bool RegistryKeyExists(HKEY root, std::string_view subKey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, Widen(subKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::map<std::string, std::string> ReadShortcut(std::string_view path) {
  const std::string output = AskDriverScript(L"E2E_LNKINFO_REQUEST", path,
                                             "lnkinfo gave no answer for " + std::string(path));

  // Lines read "<tab>Name<tabs>: value".
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start < output.size()) {
    size_t end = output.find('\n', start);
    if (end == std::string::npos)
      end = output.size();
    const std::string line = output.substr(start, end - start);
    start = end + 1;
    const size_t colon = line.find(": ");
    if (colon == std::string::npos)
      continue;
    std::string name = line.substr(0, colon);
    while (!name.empty() && (name.back() == '\t' || name.back() == ' '))
      name.pop_back();
    const size_t first = name.find_first_not_of("\t ");
    if (first == std::string::npos)
      continue;
    fields.emplace(name.substr(first), line.substr(colon + 2));
  }
  if (fields.empty())
    throw HarnessError("lnkinfo read no shortcut in " + std::string(path) + ":\n" + output);
  return fields;
}

void RequestScreenshot(std::string_view testName) {
  std::string request = Environment(L"E2E_SCREENSHOT_REQUEST");
  if (request.empty())
    return;
  // The script polls for the request file, takes the screenshot and removes
  // the file; until then the program's windows must stay as they are.
  WriteWholeFile(request, testName);
  if (!PollUntil([&] { return !PathExists(request); })) {
    throw HarnessError("no screenshot was taken: the driver script did not answer");
  }
}

}  // namespace e2e

#pragma once

// Drives the real Setup.exe from outside, as a user would: through its
// top-level windows (found by window class within its process), the controls
// on them (found by control id) and its message boxes (found by caption).
// Every wait polls with one generous bound; nothing here sleeps to let the
// program "get there".

#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

class HarnessError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// A fresh folder under the temporary directory holding a copy of the
/// Setup.exe under test (named by the environment variable SETUP_EXE), the
/// way a setup folder is laid out. Removed again with everything in it.
class SetupFolder {
 public:
  SetupFolder();
  ~SetupFolder();
  SetupFolder(const SetupFolder&) = delete;
  SetupFolder& operator=(const SetupFolder&) = delete;

  /// The folder, ending in a backslash.
  const std::string& Path() const { return path_; }
  std::string SetupExe() const { return path_ + "Setup.exe"; }
  /// Writes the bytes as they are (a setup folder's texts are ANSI files).
  void Write(std::string_view fileName, std::string_view bytes) const;
  /// Copies every file of the prepared setup folder `name` (made by the
  /// setup builder before the run; E2E_SETUPS names where) into this one.
  /// `name` may name a medium of a prepared setup ("medien\\Medium2").
  void CopyPrepared(std::string_view name) const;
  /// The names of the files and folders in it, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

/// A message box of the program (a "#32770" dialog).
class MessageDialog {
 public:
  explicit MessageDialog(HWND hwnd) : hwnd_(hwnd) {}
  HWND Handle() const { return hwnd_; }
  /// The message text, as its static text control holds it.
  std::string Text() const;
  bool HasButton(int id) const;
  /// Clicks the button with that id (IDOK, IDYES, ...); throws when the box
  /// has no such button.
  void Press(int id) const;

 private:
  HWND hwnd_;
};

/// Copies every file of the prepared setup folder `name` (see
/// SetupFolder::CopyPrepared) into `folder` (ending in a backslash), which is
/// made when missing.
void CopyPreparedInto(std::string_view name, const std::string& folder);

/// The drive whose medium a scenario changes, as a user changes discs:
/// ChangeMedium points it at a folder.
inline constexpr std::string_view kMediaDrive = "M:\\";

/// Puts the folder (ending in a backslash) into the drive kMediaDrive and
/// waits until the driver script has done so (E2E_MEDIUM_REQUEST); throws
/// when it does not answer.
void ChangeMedium(std::string_view folder);

/// One run of Setup.exe, killed on destruction if it still runs.
class SetupProcess {
 public:
  SetupProcess(const SetupFolder& folder, std::string_view arguments);
  /// Starts the Setup.exe in `directory` (ending in a backslash), from there.
  SetupProcess(std::string_view directory, std::string_view arguments);
  ~SetupProcess();
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;

  /// The top-level window of that class, visible or not; throws when the
  /// program has none.
  HWND Window(std::string_view windowClass);
  bool IsVisible(std::string_view windowClass);
  /// Waits until a window of that class is visible; throws after the bound.
  HWND WaitForVisible(std::string_view windowClass);
  /// Waits until no window of that class is visible; throws after the bound.
  void WaitForHidden(std::string_view windowClass);
  /// Waits for a message box with that caption; throws after the bound.
  MessageDialog WaitForMessageBox(std::string_view caption);
  /// Waits for the shell's folder browser and presses OK on the folder it
  /// starts with, the desktop, or Cancel. (The browser selects a path only
  /// by a message whose text must lie in Setup.exe's own memory, and Wine
  /// does not carry such a message across processes.)
  void AnswerFolderBrowser(bool choose);
  /// Waits until the window is gone (a message box after its answer).
  void WaitForGone(HWND window);
  /// Waits for the process to end and gives its exit code; throws after the
  /// bound.
  DWORD WaitForExit();
  bool Running() const;
  /// Ends the process at once, as a kill -9 or a power loss would: nothing
  /// of it runs any more, and it cleans nothing up.
  void Kill();
  /// The classes of every window seen visible by any wait or check so far,
  /// this moment included: lets a test tell that a window never came up.
  const std::set<std::string>& SeenVisible();

 private:
  struct TopLevel {
    HWND hwnd;
    std::string windowClass;
    bool visible;
  };
  std::vector<TopLevel> Snapshot();
  /// Polls until a visible window that `matches` shows or Setup.exe ends,
  /// within the bound; the window (the last one found), or nullptr with
  /// `ended` telling whether Setup.exe ended.
  HWND PollForVisible(const std::function<bool(const TopLevel&)>& matches, bool& ended);

  PROCESS_INFORMATION process_{};
  std::set<std::string> seenVisible_;
};

/// The window's text (caption of a window, text of a label or button).
std::string WindowText(HWND window);
/// The control of that name ("Label1", "Button2") on the window; throws when
/// there is none.
HWND Control(HWND window, std::string_view controlName);
std::string ControlText(HWND window, std::string_view controlName);
/// Clicks the button as the mouse would (BM_CLICK, posted: the click may open
/// a modal message box, which a sent message would wait for).
void Click(HWND window, std::string_view controlName);
/// Posts a message to the window without waiting for it to be handled.
void Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

/// Walks the wizard from page 1 to the summary page, typing `targetDir`
/// into the target directory page, and starts the installation there;
/// returns the installation form.
HWND StartInstallation(SetupProcess& setup, std::string_view targetDir);

/// Polls until `condition` holds; throws, naming `what`, after the bound.
void WaitUntil(std::string_view what, const std::function<bool()>& condition);

/// The whole content of a file; throws when it cannot be read.
std::string ReadBytes(std::string_view path);
/// A file or folder of that path exists.
bool PathExists(std::string_view path);
/// The text with the letters A to Z in lower case: paths compared as
/// Windows compares names (Wine spells some system folders in lower case).
std::string Lower(std::string text);
/// The Windows directory, without trailing backslash.
std::string WindowsDirectory();
/// What a product could leave behind: every file and folder of drive C:
/// and every key and value below the software keys of the machine and the
/// user, one line each. Wine's own keys change with every program it
/// starts and are left out.
struct Snapshot {
  std::set<std::string> files;
  std::set<std::string> registry;

  static Snapshot Take();
};
/// The lines of `a` that `b` lacks, in order.
std::vector<std::string> Minus(const std::set<std::string>& a, const std::set<std::string>& b);
/// The names of the work folders runs made below the Windows directory's
/// Temp folder ("tewol_inst..."), and of anything else of such a name.
std::vector<std::string> WorkFolders();
/// The root ("T:\\") of the small drive that fills up, which scripts/e2e
/// gives each scenario empty; empty when this machine could not make one.
std::string SmallDriveRoot();
bool RegistryKeyExists(HKEY root, std::string_view subKey);

/// The fields lnkinfo (a reader no one here wrote) prints for a shortcut
/// file, by their names ("Local path", "Working directory", "Command line
/// arguments", "Description", ...). The driver script runs lnkinfo on the
/// request of the harness (E2E_LNKINFO_REQUEST); throws when it does not
/// answer or lnkinfo reads no shortcut there.
std::map<std::string, std::string> ReadShortcut(std::string_view path);

/// Asks the driver script to take a screenshot of the screen now, while the
/// program's windows still show the failure, and waits until it has: once
/// the test program ends and kills Setup.exe there is nothing left to see.
/// The request is a file (E2E_SCREENSHOT_REQUEST) that the script polls for
/// and removes after `import -window root`. Does nothing when the tests run
/// without the script.
void RequestScreenshot(std::string_view testName);

}  // namespace e2e

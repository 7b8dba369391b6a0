#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/IniReader.h"
#include "core/SetupState.h"
#include "core/Ui.h"
#include "platform/Platform.h"

namespace app {

/// The window that follows start-up: the finish page when the first argument
/// is exactly "/ready", page 1 otherwise.
core::WindowId FirstPage(const std::vector<std::string>& arguments);

/// Takes the lock of the running Setup.exe. When another one holds it, tells
/// the user, notes the outcome and returns false: the program then ends
/// without showing a window.
bool HoldSingleInstance(platform::Platform& platform, core::SetupState& state);

/// Whether the start-up form may close: only once something has ended the
/// program by setting ExitState.
inline bool MayCloseMainWindow(const core::SetupState& state) {
  return state.ExitState != 0;
}

/// The start-up sequence of the start-up form: checks for Setup.inf, reads
/// [Settings] and the registry defaults into SetupState and fills the texts
/// of the pages, moving the start-up progress bar from 0 to 100.
class Startup {
 public:
  Startup(platform::Platform& platform, core::SetupState& state, core::Ui& ui,
          std::function<void(std::string_view)> setArchiveLibraryDir);

  /// The sequence itself (the first tick of Timer2), begun by undoing runs
  /// that never ended: only for a program that holds the single-instance
  /// lock. Returns false when Setup.inf is missing or names the product so
  /// that its uninstaller's copy could not be named after it (then the
  /// error has been shown), or when a newer version is installed and the
  /// user did not want this one over it: ExitState is -1 and the
  /// application has been asked to end.
  bool Run();

  /// The program files folder the registry named, as start-up opened it in
  /// the tree of the target directory page.
  const std::string& ProgramFilesDir() const { return programFilesDir_; }

 private:
  void RecoverUnfinishedRuns();
  /// Shows the error of a start-up that cannot go on and ends the program.
  bool Fail(std::string_view text, core::RunOutcome outcome);
  /// Ends the program at start-up with `outcome`; false.
  bool Quit(core::RunOutcome outcome);
  void SetStatus(std::string_view text);
  void SetProgress(int position);
  void FormatLabel(core::WindowId window, std::string_view control, std::string_view value);
  /// Notes the installation of the product that the machine holds, opens
  /// the tree at its folder and takes its program folder (in `programsDir`)
  /// as page 6's proposal.
  void FindInstalled(const std::string& appName, const std::string& programsDir);
  /// When a newer version than this one is installed, asks whether to
  /// install this one all the same. No ends the program (false).
  bool AcceptInstalledVersion(const std::string& appName);
  void ReadRegistryDefaults(std::string& programFilesDir, std::string& programsDir);
  void FillProgramFolders(const std::string& programsDir);
  void LoadPageText(bool wanted, std::string_view fileName, core::WindowId page,
                    std::string_view replacement);

  platform::Platform& platform_;
  core::SetupState& state_;
  core::Ui& ui_;
  std::function<void(std::string_view)> setArchiveLibraryDir_;
  std::string setupDir_;
  // The directory that was current when the program started: the folder list
  // shows its subfolders when the registry names no programs folder.
  std::string startDirectory_;
  std::string programFilesDir_;
};

}  // namespace app

#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/IniReader.h"
#include "app/SetupState.h"
#include "app/Ui.h"
#include "platform/Platform.h"

namespace app {

/// The window that follows start-up: the finish page when the first argument
/// is exactly "/ready", page 1 otherwise.
WindowId FirstPage(const std::vector<std::string>& arguments);

/// Whether the start-up form may close: only once something has ended the
/// program by setting ExitState.
inline bool MayCloseMainWindow(const SetupState& state) {
  return state.ExitState != 0;
}

/// The start-up sequence of the start-up form: checks for Setup.inf, reads
/// [Settings] and the registry defaults into SetupState and fills the texts
/// of the pages, moving the start-up progress bar from 0 to 100.
class Startup {
 public:
  Startup(platform::Platform& platform, SetupState& state, Ui& ui,
          std::function<void(std::string_view)> setArchiveLibraryDir);

  /// The sequence itself (the first tick of Timer2). Returns false when
  /// Setup.inf is missing: then the error has been shown, ExitState is -1
  /// and the application has been asked to end.
  bool Run();

 private:
  void SetStatus(std::string_view text);
  void SetProgress(int position);
  void FormatLabel(WindowId window, std::string_view control, std::string_view value);
  void ReadRegistryDefaults(std::string& programFilesDir, std::string& programsDir);
  void FillProgramFolders(const std::string& programsDir);
  void LoadPageText(bool wanted, std::string_view fileName, WindowId page,
                    std::string_view replacement);

  platform::Platform& platform_;
  SetupState& state_;
  Ui& ui_;
  std::function<void(std::string_view)> setArchiveLibraryDir_;
  std::string setupDir_;
  // The directory that was current when the program started: the folder list
  // shows its subfolders when the registry names no programs folder.
  std::string startDirectory_;
};

}  // namespace app

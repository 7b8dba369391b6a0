#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/SetupState.h"
#include "platform/ForwardingShell.h"
#include "platform/Platform.h"

namespace app {

/// What the command line asks of an unattended run: "/silent", and with it
/// "/dir=<path>" for the target directory and "/group=<folder>" for the
/// program folder. Other arguments keep their meaning.
struct SilentOptions {
  bool silent = false;
  std::optional<std::string> dir;
  std::optional<std::string> group;
};

SilentOptions ReadSilentOptions(const std::vector<std::string>& arguments);

/// The message boxes of the program. In an unattended run none is shown:
/// each is noted for the log and answered as a closed box would be (Cancel,
/// No, or OK for a box with OK only), so a question stops what asked it.
class QuietDialogs : public platform::Dialogs {
 public:
  explicit QuietDialogs(platform::Dialogs& shown) : shown_(shown) {}

  void BeQuiet() { quiet_ = true; }
  /// Every box that was not shown, as "<caption>: <text>".
  const std::vector<std::string>& Notes() const { return notes_; }
  void Note(std::string text) { notes_.push_back(std::move(text)); }

  platform::MsgAnswer MessageBox(std::string_view caption, std::string_view text,
                                 platform::MsgButtons buttons, platform::MsgIcon icon) override;

 private:
  platform::Dialogs& shown_;
  bool quiet_ = false;
  std::vector<std::string> notes_;
};

/// The shell of the program. In an unattended run its folder browser is
/// not shown and answers as cancelled; everything else passes through.
class QuietShell : public platform::ForwardingShell {
 public:
  QuietShell(platform::Shell& shell, QuietDialogs& notes)
      : platform::ForwardingShell(shell), notes_(notes) {}

  void BeQuiet() { quiet_ = true; }

  std::optional<std::string> BrowseForFolder(std::string_view prompt) override;

 private:
  QuietDialogs& notes_;
  bool quiet_ = false;
};

/// Fills in what the pages would have proposed after start-up: the folder
/// of the installed product, else the program files folder + company +
/// title as the target directory (or /dir), the program folder of start-up
/// (or /group), shortcuts wanted.
void ProposeUnattendedValues(platform::Platform& platform, core::SetupState& state,
                             const SilentOptions& options, std::string_view programFilesDir);

/// Writes the log of an unattended run, whole or not at all: beside
/// Uninstall.inf when the target directory exists and takes it, otherwise
/// in the temporary folder. Returns its path; empty when it could not be
/// written.
std::string WriteUnattendedLog(platform::Platform& platform, const core::SetupState& state,
                               const std::vector<std::string>& notes, int exitCode);

}  // namespace app

#include "app/Silent.h"

#include "core/Convert.h"
#include "core/RecordFiles.h"
#include "wizard/TargetPath.h"

namespace app {

namespace {

// Writes a file whole or not at all: under a name of its own first, then
// renamed over the old one, so that a full drive never leaves half a log
// (or an earlier log cut short).
bool WriteWhole(platform::Files& files, const std::string& path, std::string_view text) {
  const std::string temporary = path + ".neu~";
  if (files.WriteFile(temporary, text) && files.MoveFile(temporary, path, true))
    return true;
  files.DeleteFile(temporary);
  return false;
}

std::optional<std::string> ValueOf(std::string_view argument, std::string_view option) {
  if (argument.size() < option.size() ||
      !core::SameTextIgnoreCase(argument.substr(0, option.size()), option)) {
    return std::nullopt;
  }
  return std::string(argument.substr(option.size()));
}

// One line of the log for a text that may span lines.
std::string OneLine(std::string_view text) {
  std::string line;
  for (char c : text) {
    if (c == '\r' || c == '\n') {
      if (!line.empty() && line.back() != ' ')
        line += ' ';
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

SilentOptions ReadSilentOptions(const std::vector<std::string>& arguments) {
  SilentOptions options;
  for (const std::string& argument : arguments) {
    if (core::SameTextIgnoreCase(argument, "/silent"))
      options.silent = true;
    else if (auto dir = ValueOf(argument, "/dir="))
      options.dir = core::TrimRight(*dir);
    else if (auto group = ValueOf(argument, "/group="))
      options.group = *group;
  }
  return options;
}

platform::MsgAnswer QuietDialogs::MessageBox(std::string_view caption, std::string_view text,
                                             platform::MsgButtons buttons, platform::MsgIcon icon) {
  if (!quiet_)
    return shown_.MessageBox(caption, text, buttons, icon);
  Note(OneLine(caption) + ": " + OneLine(text));
  return platform::ClosedAnswer(buttons);
}

std::optional<std::string> QuietShell::BrowseForFolder(std::string_view prompt) {
  if (!quiet_)
    return inner_.BrowseForFolder(prompt);
  notes_.Note("Ordnerauswahl nicht angezeigt: " + OneLine(prompt));
  return std::nullopt;
}

void ProposeUnattendedValues(platform::Platform& platform, core::SetupState& state,
                             const SilentOptions& options, std::string_view programFilesDir) {
  if (options.dir) {
    state.TargetDir = *options.dir;
  } else if (state.Installed) {
    // An update goes where the product is.
    state.TargetDir = state.Installed->Dir;
  } else {
    state.TargetDir = wizard::BuildTargetPath(programFilesDir, state.Company, state.ProductTitle,
                                              [&platform](std::string_view dir) {
                                                return platform.files.DirectoryExists(dir);
                                              })
                          .value_or("");
  }
  if (options.group)
    state.ProgramFolder = *options.group;
  state.NoShortcuts = false;
}

std::string WriteUnattendedLog(platform::Platform& platform, const core::SetupState& state,
                               const std::vector<std::string>& notes, int exitCode) {
  const std::string target = core::TrimRight(state.TargetDir);
  const std::string temporary = platform.files.TempDirectory() + "Tessarwolden-Setup.log";
  // UTF-8 with its byte-order mark, so that every editor shows the umlauts.
  std::string text(core::kUnattendedLogStart);
  text += state.ProductTitle + "\r\n";
  text += "Zielverzeichnis: " + state.TargetDir + "\r\n";
  text += "Programmordner: " + state.ProgramFolderLine() + "\r\n";
  for (const std::string& note : notes)
    text += note + "\r\n";
  text += "Ergebnis: " + std::to_string(exitCode) + "\r\n";
  // Into the target directory when it is there and takes it, else into the
  // folder for temporary files.
  if (!target.empty() && platform.files.DirectoryExists(target)) {
    const std::string path = target + "\\" + std::string(core::kUnattendedLogName);
    if (WriteWhole(platform.files, path, text))
      return path;
  }
  return WriteWhole(platform.files, temporary, text) ? temporary : std::string();
}

}  // namespace app

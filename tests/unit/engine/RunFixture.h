#pragma once

// A whole setup on the simulated machine: Setup.exe, SZUNPACK.DLL (the real
// library), Setup.inf and a payload in C:\Setup, start-up run over them as
// the program does it, and the installation run of the real phases with the
// real archive component.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Startup.h"
#include "archive/ZipUnpacker.h"
#include "engine/InstallRun.h"
#include "engine/Installation.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/RecordingUi.h"
#include "tests/unit/archive/RealUnpackLibrary.h"
#include "tests/unit/engine/RecordingView.h"

namespace engine_test {

inline constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

inline std::string PayloadBytes(const std::string& name) {
  std::ifstream in(std::string(PAYLOAD_FIXTURES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

class RunFixture : public ::testing::Test {
 protected:
  RunFixture() {
    sim.SetModulePath("C:\\Setup\\Setup.exe");
    sim.PutFile("C:\\Setup\\Setup.exe", "MZ");
    sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
    archive_test::RegisterRealUnpackLibrary(sim, "C:\\Setup\\SZUNPACK.DLL");
    sim.PutRegString(platform::RegRoot::CurrentUser, kShellFolders, "Programs",
                     "C:\\WINDOWS\\Startmenü\\Programme");
  }

  /// Writes Setup.inf (given in UTF-8) as the ANSI file it is.
  void SetupInf(std::string_view text) {
    sim.PutFile("C:\\Setup\\Setup.inf", sim.platform().system.Utf8ToAnsi(text));
  }
  void Payload(const std::string& fixture, const std::string& path = "C:\\Setup\\Setup.szp") {
    sim.PutFile(path, PayloadBytes(fixture));
  }

  /// Start-up over Setup.inf, then the values the pages would take.
  void StartUp(std::string targetDir, std::string programFolder = "Firma\\Produkt") {
    app::Startup startup(sim.platform(), state, ui,
                         [this](std::string_view dir) { zip.SetLibraryDir(dir); });
    ASSERT_TRUE(startup.Run());
    state.TargetDir = std::move(targetDir);
    state.ProgramFolder = std::move(programFolder);
  }

  /// The run's settings as SetupState holds them now.
  engine::RunSettings& Settings() {
    settings = engine::SnapshotOf(state);
    return settings;
  }

  /// The run on this thread, with what SetupState holds now, ended as the
  /// program ends it: kept when it completed, undone otherwise (an error is
  /// raised again after the undoing).
  engine::RunEnd Run() {
    phases.emplace(sim.platform(), Settings(), zip, view, stop.get_token());
    try {
      result = engine::RunInstallation(settings, view, *phases, sim.platform().dialogs,
                                       stop.get_token());
    } catch (...) {
      left = phases->Undo();
      throw;
    }
    if (result.end == engine::RunEnd::Completed)
      phases->Commit();
    else
      left = phases->Undo();
    return result.end;
  }

  /// Ends the next run at its event number `at` (from 0) as a user's
  /// confirmed cancel does, or with `fail` by an error raised there.
  void EndAt(size_t at, bool fail) {
    view.onEvent = [this, at, fail, seen = size_t{0}](const std::string&) mutable {
      if (seen++ != at)
        return;
      if (fail)
        throw std::runtime_error("eingeschleuster Fehler");
      stop.request_stop();
    };
  }

  /// The content of a file on the simulated machine, or "<missing>".
  std::string Content(const std::string& windowsPath) {
    return sim.platform().files.ReadFile(windowsPath).value_or("<missing>");
  }
  /// What the runs left below the Temp folder: their work folders.
  std::vector<std::string> WorkFolders() {
    std::vector<std::string> names;
    for (const platform::DirEntry& entry : sim.platform().files.ListDirectory("C:\\Windows\\Temp"))
      names.push_back(entry.name);
    return names;
  }
  bool Exists(const std::string& windowsPath) {
    return sim.platform().files.FileExists(windowsPath) ||
           sim.platform().files.DirectoryExists(windowsPath);
  }
  std::vector<std::string> Matching(std::string_view prefix) const {
    return engine_test::Matching(events, prefix);
  }
  /// Texts of the message boxes shown so far.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const platform::sim::ShownMessage& m : sim.Messages())
      texts.push_back(m.caption + ": " + m.text);
    return texts;
  }
  /// Lines (ANSI, CR LF) as they stand in a file the program wrote.
  std::string AnsiLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
      text += line + "\r\n";
    return sim.platform().system.Utf8ToAnsi(text);
  }

  platform::sim::SimPlatform sim;
  core::SetupState state;
  archive::TZipUnpacker zip{sim.platform(), "Tessarwolden"};
  testing_support::RecordingUi ui;
  Events events;
  RecordingView view{events};
  engine::RunSettings settings;
  std::stop_source stop;
  engine::RunResult result;
  std::optional<engine::Installation> phases;
  /// What the undoing of the last run could not undo.
  std::vector<std::string> left;
};

}  // namespace engine_test

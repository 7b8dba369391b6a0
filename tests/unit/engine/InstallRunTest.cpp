#include "engine/InstallRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"
#include "tests/unit/engine/RecordingView.h"

namespace {

using engine_test::Events;
using engine_test::RecordingView;

class RecordingPhases : public engine::InstallPhases {
 public:
  explicit RecordingPhases(Events& events) : events_(events) {}

  int fileCount = 0;
  bool joinSucceeds = true;
  engine::EarlierPlace earlier = engine::EarlierPlace::None;
  // Phases that raise, by name, and what runs just before a phase.
  std::map<std::string, std::function<void()>> actions;

  void Prepare() override { Do("Prepare"); }
  bool JoinMedia() override {
    Do("JoinMedia");
    return joinSucceeds;
  }
  engine::EarlierPlace Earlier() override { return earlier; }
  void RemoveEarlierInstallation() override { Do("RemoveEarlierInstallation"); }
  void WriteLogHeader() override { Do("WriteLogHeader"); }
  void CreateTargetDirectory() override { Do("CreateTargetDirectory"); }
  void OpenPayloadList() override { Do("OpenPayloadList"); }
  int BeginFiles() override {
    Do("BeginFiles");
    return fileCount;
  }
  std::string FileEntry(int n) override { return "entry" + std::to_string(n); }
  void ExtractFile(int n) override { Do("ExtractFile " + std::to_string(n)); }
  void UpdateDirectories(int n) override { Do("UpdateDirectories " + std::to_string(n)); }
  std::string FileDestination(int n) override { return "C:\\Ziel\\datei" + std::to_string(n); }
  void CopyFile(int n) override { Do("CopyFile " + std::to_string(n)); }
  void RemoveTemporaryFile(int n) override { Do("RemoveTemporaryFile " + std::to_string(n)); }
  void RunSystemComponents() override { Do("RunSystemComponents"); }
  void PointAtPayload() override { Do("PointAtPayload"); }
  void FinishExtraction() override { Do("FinishExtraction"); }
  void CreateDirectories() override { Do("CreateDirectories"); }
  void PlaceUninstaller() override { Do("PlaceUninstaller"); }
  void RemoveUninstallerImage() override { Do("RemoveUninstallerImage"); }
  void WriteRegistryEntries() override { Do("WriteRegistryEntries"); }
  void RegisterUninstall() override { Do("RegisterUninstall"); }
  void RegisterWebUpdate() override { Do("RegisterWebUpdate"); }
  void CreateShortcuts() override { Do("CreateShortcuts"); }
  void RunComponentsAfterInstall() override { Do("RunComponentsAfterInstall"); }
  void LogProgramFolder() override { Do("LogProgramFolder"); }
  void TakeOverEarlierInstallation() override { Do("TakeOverEarlierInstallation"); }
  void SaveUninstallLog() override { Do("SaveUninstallLog"); }

 private:
  void Do(const std::string& phase) {
    events_.push_back(phase);
    if (auto it = actions.find(phase); it != actions.end())
      it->second();
  }
  Events& events_;
};

class InstallRunTest : public ::testing::Test {
 protected:
  engine::RunEnd Run() {
    result =
        engine::RunInstallation(settings, view, phases, sim.platform().dialogs, stop.get_token());
    return result.end;
  }
  // Only the phase calls, without the texts.
  std::vector<std::string> PhaseCalls() const {
    std::vector<std::string> calls;
    for (const std::string& e : events) {
      if (!e.empty() && std::isupper(static_cast<unsigned char>(e[0])))
        calls.push_back(e);
    }
    return calls;
  }
  std::vector<std::string> Matching(std::string_view prefix) const {
    return engine_test::Matching(events, prefix);
  }

  platform::sim::SimPlatform sim;
  engine::RunSettings settings;
  std::stop_source stop;
  engine::RunResult result;
  Events events;
  RecordingView view{events};
  RecordingPhases phases{events};
};

TEST_F(InstallRunTest, CompleteRunShowsEveryTextAndPhaseInOrder) {
  settings.TargetDir = "C:\\Ziel  \t";
  settings.StandardReg = true;
  phases.fileCount = 2;

  EXPECT_EQ(Run(), engine::RunEnd::Completed);
  EXPECT_EQ(events, (Events{
                        "bar 30 0 ltr 2",
                        "animation on",
                        "Prepare",
                        "WriteLogHeader",
                        "CreateTargetDirectory",
                        "OpenPayloadList",
                        "animation off",
                        "bar 100 0 ltr 1",
                        "BeginFiles",
                        "status Setup extrahiert Dateien...",
                        "detail Datei \"entry1\" wird extrahiert...",
                        "ExtractFile 1",
                        "status Setup kopiert Dateien...",
                        "detail Verzeichnisse aktualisieren...",
                        "UpdateDirectories 1",
                        "status Setup kopiert Dateien...",
                        "detail Datei \"C:\\Ziel\\datei1\" wird kopiert...",
                        "CopyFile 1",
                        "status Setup entfernt temporäre Dateien...",
                        "detail Datei \"1\" wird entfernt...",
                        "RemoveTemporaryFile 1",
                        "position 50",
                        "status Setup extrahiert Dateien...",
                        "detail Datei \"entry2\" wird extrahiert...",
                        "ExtractFile 2",
                        "status Setup kopiert Dateien...",
                        "detail Verzeichnisse aktualisieren...",
                        "UpdateDirectories 2",
                        "status Setup kopiert Dateien...",
                        "detail Datei \"C:\\Ziel\\datei2\" wird kopiert...",
                        "CopyFile 2",
                        "status Setup entfernt temporäre Dateien...",
                        "detail Datei \"2\" wird entfernt...",
                        "RemoveTemporaryFile 2",
                        "position 100",
                        "status Systemkomponenten werden installiert...",
                        "detail ",
                        "RunSystemComponents",
                        "PointAtPayload",
                        "FinishExtraction",
                        "status Setup erstellt Verzeichnisse...",
                        "CreateDirectories",
                        "PlaceUninstaller",
                        "RemoveUninstallerImage",
                        "status Setup aktualisiert die Registrierungsdaten...",
                        "detail ",
                        "WriteRegistryEntries",
                        "RegisterUninstall",
                        "CreateShortcuts",
                        "RunComponentsAfterInstall",
                        "LogProgramFolder",
                        "SaveUninstallLog",
                        "status Fertig.",
                    }));
  EXPECT_FALSE(result.restartPage);
  EXPECT_EQ(settings.TargetDir, "C:\\Ziel");
  EXPECT_TRUE(sim.Messages().empty());
}

TEST_F(InstallRunTest, ProgressAfterEachFileDropsTheFraction) {
  struct Case {
    int count;
    std::vector<std::string> positions;
  };
  for (const Case& c : std::vector<Case>{
           {3, {"33", "66", "100"}},
           {7, {"14", "28", "42", "57", "71", "85", "100"}},
           {1, {"100"}},
           {0, {}},
       }) {
    events.clear();
    phases.fileCount = c.count;
    Run();
    EXPECT_EQ(Matching("position "), c.positions) << c.count << " files";
  }
}

TEST_F(InstallRunTest, SplitPayloadJoinsMediaFirstAndAStoppedJoinEndsTheRunAtOnce) {
  settings.SplitPayload = true;
  phases.joinSucceeds = false;

  EXPECT_EQ(Run(), engine::RunEnd::MediaStopped);
  EXPECT_EQ(PhaseCalls(), (std::vector<std::string>{"Prepare", "JoinMedia"}))
      << "no clean-up of the work folder after a stop while joining";
  EXPECT_EQ(Matching("status "), std::vector<std::string>{"Lesen der Installationsmedien..."});
}

TEST_F(InstallRunTest, FailureInTheExtractionRegionRunsItsCleanUpAndEndsTheRun) {
  phases.actions["OpenPayloadList"] = [] { throw std::runtime_error("Liste fehlt"); };

  EXPECT_THROW(Run(), std::runtime_error);
  EXPECT_EQ(PhaseCalls(),
            (std::vector<std::string>{"Prepare", "WriteLogHeader", "CreateTargetDirectory",
                                      "OpenPayloadList", "FinishExtraction"}));
  EXPECT_TRUE(Matching("status Fertig.").empty());
}

TEST_F(InstallRunTest, FailureWhilePlacingTheUninstallerStillRemovesTheImage) {
  phases.actions["PlaceUninstaller"] = [] { throw std::runtime_error("kopieren"); };

  EXPECT_THROW(Run(), std::runtime_error);
  const auto calls = PhaseCalls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "PlaceUninstaller");
  EXPECT_EQ(calls.back(), "RemoveUninstallerImage");
}

TEST_F(InstallRunTest, RegistryFailureIsReportedAndTurnsOnTheUninstallFallback) {
  settings.StandardReg = true;
  settings.Marrowlink = true;
  phases.actions["WriteRegistryEntries"] = [] { throw std::runtime_error("verweigert"); };

  EXPECT_EQ(Run(), engine::RunEnd::Completed);
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].caption, "Registry-Fehler");
  EXPECT_EQ(sim.Messages()[0].text,
            "Beim Zugriff auf die Systemregistrierung trat ein Fehler auf!\rEs konnten keine "
            "Registry-Einträge erstellt werden!\rZum deinstallieren der Software verwenden Sie "
            "bitte die entsprechende Verknüpfung im Startmenü!");
  EXPECT_EQ(sim.Messages()[0].icon, platform::MsgIcon::Error);
  EXPECT_TRUE(settings.CreateUninstallShortcut);
  EXPECT_TRUE(result.uninstallShortcutForced);

  const auto calls = PhaseCalls();
  auto from = std::find(calls.begin(), calls.end(), "WriteRegistryEntries");
  EXPECT_EQ(std::vector<std::string>(from, calls.end()),
            (std::vector<std::string>{"WriteRegistryEntries", "CreateShortcuts",
                                      "RunComponentsAfterInstall", "LogProgramFolder",
                                      "SaveUninstallLog", "SaveUninstallLog"}))
      << "the rest of the registry work is skipped";
}

TEST_F(InstallRunTest, UninstallLogIsSavedOncePerFlag) {
  struct Case {
    bool standardReg;
    bool uninstallShortcut;
    size_t saves;
  };
  for (const Case& c :
       std::vector<Case>{{false, false, 0}, {true, false, 1}, {false, true, 1}, {true, true, 2}}) {
    events.clear();
    settings.StandardReg = c.standardReg;
    settings.CreateUninstallShortcut = c.uninstallShortcut;
    Run();
    const auto calls = PhaseCalls();
    EXPECT_EQ(static_cast<size_t>(std::count(calls.begin(), calls.end(), "SaveUninstallLog")),
              c.saves);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "RegisterUninstall"), c.standardReg ? 1 : 0);
  }
}

TEST_F(InstallRunTest, WebUpdateRegistrationHasItsOwnStatus) {
  settings.Marrowlink = true;
  Run();
  const auto statuses = Matching("status ");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(),
                      "Setup registriert die Anwendung für Marrowlink..."),
            statuses.end());
  const auto calls = PhaseCalls();
  EXPECT_NE(std::find(calls.begin(), calls.end(), "RegisterWebUpdate"), calls.end());
}

TEST_F(InstallRunTest, RestartPageFollowsWhenARestartIsRequired) {
  settings.RebootRequired = true;
  Run();
  EXPECT_TRUE(result.restartPage);
  EXPECT_EQ(events.back(), "status Fertig.");
}

TEST_F(InstallRunTest, AStopEndsTheRunAtTheNextStepWithTheCleanUpsOfTheRegionsItLeaves) {
  struct Case {
    const char* during;
    std::vector<std::string> after;  // the phases that still run after it
  };
  const Case cases[] = {
      {"Prepare", {}},
      {"JoinMedia", {}},
      {"CreateTargetDirectory", {}},
      {"OpenPayloadList", {"FinishExtraction"}},
      {"CopyFile 2", {"FinishExtraction"}},
      {"RunSystemComponents", {"FinishExtraction"}},
      {"FinishExtraction", {}},
      {"CreateDirectories", {}},
      {"PlaceUninstaller", {"RemoveUninstallerImage"}},
      {"WriteRegistryEntries", {}},
      {"CreateShortcuts", {}},
      {"RunComponentsAfterInstall", {}},
      {"LogProgramFolder", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.during);
    events.clear();
    stop = std::stop_source();
    phases.actions.clear();
    settings.SplitPayload = true;
    settings.StandardReg = true;
    phases.fileCount = 3;
    phases.actions[c.during] = [this] { stop.request_stop(); };

    EXPECT_EQ(Run(), engine::RunEnd::Stopped);
    const auto calls = PhaseCalls();
    const auto at = std::find(calls.begin(), calls.end(), c.during);
    ASSERT_NE(at, calls.end());
    EXPECT_EQ(std::vector<std::string>(at + 1, calls.end()), c.after);
    EXPECT_TRUE(Matching("status Fertig.").empty());
    EXPECT_TRUE(sim.Messages().empty());
  }
}

}  // namespace

#include "app/Session.h"
#include "app/Silent.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/SharedProgress.h"
#include "tests/support/RecordingUi.h"
#include "tests/unit/engine/RunFixture.h"
#include "tools/builder/Description.h"
#include "tools/builder/SetupBuilder.h"

namespace {

namespace fs = std::filesystem;
using core::UiEvent;
using core::WindowId;

// The windows as the program's forms behave: showing a form reports its
// show event; the test tells which page the user looks at.
class FormsUi : public testing_support::RecordingUi {
 public:
  core::UiEvents* events = nullptr;
  WindowId visible = WindowId::Hauptprogramm;
  bool programEnded = false;

  void Show(WindowId window) override {
    RecordingUi::Show(window);
    visible = window;
    if (events)
      events->OnEvent(window, "", UiEvent::Show);
  }
  void Close(WindowId window) override {
    RecordingUi::Close(window);
    if (window == WindowId::Hauptprogramm)
      programEnded = true;
  }
};

// The whole program on the simulated machine, with this test's thread as
// the GUI thread: the session starts its run on a thread of its own, and
// the test runs what that thread hands over, as the message loop would.
class SessionTest : public engine_test::RunFixture {
 protected:
  SessionTest() {
    ui.events = &session;
    // Every message box is noted with the thread that showed it.
    sim.OnMessage([this](const platform::sim::ShownMessage&) {
      const std::lock_guard lock(mutex);
      boxThreads.insert(std::this_thread::get_id());
    });
  }

  /// Runs the handed-over work until `done` holds; false after a minute.
  bool Pump(const std::function<bool()>& done) {
    for (int i = 0; i < 60000; ++i) {
      gui.RunPending();
      if (done())
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  /// The user clicks "&Weiter" on every page up to the installation form,
  /// typing `target` on page 4.
  void WalkToTheInstallation(const std::string& target) {
    ASSERT_TRUE(session.RunStartup());
    session.OpenFirstPage();
    for (int i = 0; i < 10 && ui.visible != WindowId::Install; ++i) {
      if (ui.visible == WindowId::Schritt4)
        ui.SetText(WindowId::Schritt4, "Edit1", target);
      session.OnEvent(ui.visible, "Button2", UiEvent::Click);
    }
    ASSERT_EQ(ui.visible, WindowId::Install);
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> captions;
    for (const platform::sim::ShownMessage& m : sim.Messages())
      captions.push_back(m.caption);
    return captions;
  }

  std::set<std::thread::id> BoxThreads() {
    const std::lock_guard lock(mutex);
    return boxThreads;
  }

  core::GuiQueue gui{[] {}};
  std::stop_source stopSource;
  app::GuiPlatform guiPlatform{sim.platform(), gui, stopSource.get_token()};
  archive::TZipUnpacker unpacker{guiPlatform.platform(), "Tessarwolden"};
  engine::SharedProgress progress{[] {}};
  FormsUi ui;
  app::Session session{{guiPlatform.platform(), ui, unpacker, gui, progress, stopSource}, state};
  std::mutex mutex;
  std::set<std::thread::id> boxThreads;
};

TEST_F(SessionTest, AWholeInstallationFromTheFirstPageToTheFinishPage) {
  SetupInf(
      "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\nStandardReg=1\r\n"
      "[Directories]\r\nFolderCount=0\r\n[Registry]\r\nRegCount=0\r\n[Links]\r\nLinkCount=0\r\n");
  Payload("example.szp");
  WalkToTheInstallation("C:\\Ziel  ");

  session.StartRun();
  // Whatever shows the form again does not start a second run.
  session.OnEvent(WindowId::Install, "", UiEvent::Show);
  session.StartRun();
  ASSERT_TRUE(Pump([this] { return ui.visible == WindowId::Ready; }));

  EXPECT_EQ(Content("C:\\Ziel\\produkt.exe"), "MZ produkt");
  EXPECT_EQ(Content("C:\\Ziel\\liesmich.txt"), "Bitte lesen.\r\n");
  EXPECT_NE(Content("C:\\Ziel\\Uninstall.inf"), "<missing>");
  EXPECT_TRUE(sim.Messages().empty());
  EXPECT_EQ(ui.Text(WindowId::Schritt7, "Label10"), "C:\\Ziel");
  EXPECT_EQ(progress.Take().status, "Fertig.");
  EXPECT_EQ(state.Outcome, core::RunOutcome::Installed);

  session.OnEvent(WindowId::Ready, "Button1", UiEvent::Click);
  EXPECT_TRUE(ui.programEnded);
  EXPECT_EQ(session.ExitCode(), 0);
}

// A target directory Uninstall.inf could not hold ends an unattended run
// before anything is placed, with the reason in its log.
TEST_F(SessionTest, AnUnattendedRunRefusesATargetUninstallInfCannotHold) {
  SetupInf("[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\n");
  Payload("example.szp");
  app::QuietDialogs notes(sim.platform().dialogs);
  notes.BeQuiet();
  EXPECT_EQ(session.RunUnattended({.silent = true, .dir = "C:\\Жук", .group = std::nullopt}, notes),
            4);
  ASSERT_FALSE(notes.Notes().empty());
  EXPECT_TRUE(notes.Notes().back().starts_with("Fehler: Das Zielverzeichnis \"C:\\Жук\""))
      << notes.Notes().back();
  const std::string log = Content(sim.platform().files.TempDirectory() + "Tessarwolden-Setup.log");
  EXPECT_NE(log.find("Ergebnis: 4"), std::string::npos) << log;
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{"Tessarwolden-Setup.log"})
      << "no run began: no work folder beside the log";
  EXPECT_FALSE(Exists("C:\\Жук"));
}

TEST_F(SessionTest, AnUnattendedRunInstallsNoOlderVersionOverANewerOne) {
  SetupInf("[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\nStandardReg=1\r\n");
  Payload("example.szp");
  const std::string entry = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";
  sim.PutRegString(platform::RegRoot::LocalMachine, entry, "InstallLocation", "C:\\Produkt");
  sim.PutRegString(platform::RegRoot::LocalMachine, entry, "DisplayVersion", "2.10");
  const std::string before = sim.Describe();
  app::QuietDialogs notes(sim.platform().dialogs);
  notes.BeQuiet();
  // As the program's quiet boxes answer the question.
  sim.QueueAnswers({platform::MsgAnswer::No});

  EXPECT_EQ(
      session.RunUnattended({.silent = true, .dir = std::nullopt, .group = std::nullopt}, notes),
      7);
  ASSERT_FALSE(notes.Notes().empty());
  EXPECT_EQ(notes.Notes().back(),
            "Nicht installiert: Auf diesem Computer ist bereits die neuere Version 2.10 "
            "installiert. Ohne Rückfrage installiert Setup keine ältere Version darüber.");
  const std::string log = sim.platform().files.TempDirectory() + "Tessarwolden-Setup.log";
  EXPECT_NE(Content(log).find("Ergebnis: 7"), std::string::npos) << Content(log);
  sim.platform().files.DeleteFile(log);
  EXPECT_EQ(sim.Describe(), before);
}

TEST_F(SessionTest, CancelDuringTheRunAsksOnTheGuiThreadAndYesStopsTheRun) {
  // A component program that would wait for minutes keeps the run busy.
  const fs::path source = sim.HostPath("C:\\Quelle");
  fs::create_directories(source);
  std::ofstream(source / "produkt.exe", std::ios::binary) << "MZ produkt";
  fs::copy_file(RECORDER_PATH, source / "recorder.exe");
  const fs::path started = sim.HostPath("C:\\gestartet.txt");
  builder::BuildOptions options;
  options.output = sim.HostPath("C:\\Setup");
  fs::remove_all(options.output);
  builder::BuildSetupFolder(
      builder::ParseDescription("[Files]\nprodukt.exe=%selected%\\produkt.exe\n"
                                "[Component1]\nExecutable=recorder.exe " +
                                    started.string() + " /warten " +
                                    sim.HostPath("C:\\nie.txt").string() +
                                    "\nFile=recorder.exe\n"
                                    "[Settings]\nAppName=Produkt\nVersion=1.0\n"
                                    "Company=Firma\n"
                                    "[Registry]\nRegCount=0\n[Links]\nLinkCount=0\n",
                                source),
      options);
  sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
  WalkToTheInstallation("C:\\Ziel");

  session.StartRun();
  ASSERT_TRUE(Pump([&] { return fs::exists(started); }));
  sim.QueueAnswers({platform::MsgAnswer::No});
  session.OnEvent(WindowId::Install, "Button1", UiEvent::Click);
  EXPECT_TRUE(session.RunInProgress()) << "No lets the run go on";
  EXPECT_FALSE(ui.programEnded);

  session.OnEvent(WindowId::Install, "", UiEvent::Close);  // Yes this time
  EXPECT_FALSE(ui.Enabled(WindowId::Install, "Button1"));
  ASSERT_TRUE(Pump([this] { return ui.programEnded; }));

  EXPECT_EQ(Captions(),
            (std::vector<std::string>{"Setup beenden", "Setup beenden",
                                      "Installation rückgängig gemacht - Tessarwolden"}));
  EXPECT_EQ(sim.Messages().back().text,
            "Die Installation wurde rückgängig gemacht. Ihr Computer ist wieder so, wie er vor "
            "dem Setup war.");
  EXPECT_EQ(BoxThreads(), std::set<std::thread::id>{std::this_thread::get_id()});
  EXPECT_FALSE(session.RunInProgress());
  EXPECT_EQ(session.ExitCode(), 6);
  EXPECT_FALSE(Exists("C:\\Ziel")) << "what the run placed before the cancel went again";
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

TEST_F(SessionTest, AnErrorOfTheRunIsShownOnTheGuiThreadThenTheRunIsUndone) {
  // No payload: the archive component says so, then the run cannot go on.
  SetupInf("[Settings]\r\nAppName=Produkt\r\n");
  WalkToTheInstallation("C:\\Ziel");

  session.StartRun();
  ASSERT_TRUE(Pump([this] { return ui.programEnded; }));

  const std::vector<std::string> captions = Captions();
  ASSERT_GE(captions.size(), 3u);
  EXPECT_EQ(captions[captions.size() - 2], "Tessarwolden");
  EXPECT_EQ(sim.Messages()[captions.size() - 2].icon, platform::MsgIcon::Error);
  EXPECT_EQ(captions.back(), "Installation rückgängig gemacht - Tessarwolden");
  EXPECT_EQ(BoxThreads(), std::set<std::thread::id>{std::this_thread::get_id()});
  EXPECT_FALSE(Exists("C:\\Ziel")) << "the target directory the run made went again";
  EXPECT_EQ(session.ExitCode(), 4);
}

}  // namespace

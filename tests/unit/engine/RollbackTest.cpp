#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "engine/Recovery.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

using platform::RegRoot;

// A machine with a setup whose run changes everything a run can change,
// over things that were there before: a file it replaces, a registry value
// it changes, a folder of the user's in the target directory.
class Machine : public RunFixture {
 public:
  Machine() {
    SetupInf(
        "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\nStandardReg=1\r\n"
        "CreateUninstallShortcut=1\r\nMarrowlink=1\r\n"
        "[Directories]\r\nFolderCount=1\r\nFolder1=\\Daten\r\n"
        "[Registry]\r\nRegCount=2\r\n"
        "[Reg1]\r\nRoot=HKCU\r\nKey=Software\\Firma\\Produkt\r\nTitle=Pfad\r\nValue=%selected%\r\n"
        "[Reg2]\r\nRoot=HKCU\r\nKey=Software\\Firma\\Produkt\\Neu\r\nTitle=Zahl\r\n"
        "Value=7\r\nData=DWORD\r\n"
        "[Marrowlink]\r\nUpdateCount=1\r\nCompanyName=Firma\r\nProgramName=Produkt\r\n"
        "UpdateID=PRD\r\n"
        "[Links]\r\nLinkCount=1\r\n[Link1]\r\nTitle=Produkt\r\nFile=%selected%\\produkt.exe\r\n");
    Payload("example.szp");
    sim.PutFile("C:\\Ziel\\liesmich.txt", "die Fassung des Benutzers");
    sim.PutFile("C:\\Ziel\\Eigenes\\notiz.txt", "vom Benutzer");
    sim.PutRegString(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Pfad", "alt");
    sim.PutRegBinary(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Roh", {1, 2, 3});
    sim.PutRegDWord(RegRoot::LocalMachine, "Software\\Andere", "Wert", 5);
  }
  void TestBody() override {}

  using RunFixture::EndAt;
  using RunFixture::events;
  using RunFixture::left;
  using RunFixture::phases;
  using RunFixture::Run;
  using RunFixture::Settings;
  using RunFixture::settings;
  using RunFixture::sim;
  using RunFixture::StartUp;
  using RunFixture::stop;
  using RunFixture::view;
  using RunFixture::zip;
};

// Stopped or failed at any step, the run leaves the machine exactly as it
// was: every file, folder, key and value, replaced files byte for byte.
TEST(Rollback, AStopOrAnErrorAtAnyStepLeavesTheMachineAsItWas) {
  size_t steps = 0;
  {
    Machine whole;
    whole.StartUp("C:\\Ziel");
    ASSERT_EQ(whole.Run(), engine::RunEnd::Completed);
    steps = whole.events.size();
    ASSERT_GT(steps, 20u);
  }
  for (size_t at = 0; at < steps; ++at) {
    for (const bool fail : {false, true}) {
      SCOPED_TRACE((fail ? "error at step " : "stop at step ") + std::to_string(at));
      Machine machine;
      machine.StartUp("C:\\Ziel");
      const std::string before = machine.sim.Describe();
      machine.EndAt(at, fail);
      engine::RunEnd end = engine::RunEnd::Completed;
      try {
        end = machine.Run();
      } catch (const std::runtime_error&) {
        end = engine::RunEnd::Stopped;
      }
      // An error inside the registry region is that region's own: the run
      // goes on and completes.
      if (end == engine::RunEnd::Completed)
        continue;
      EXPECT_EQ(machine.sim.Describe(), before);
      EXPECT_TRUE(machine.left.empty());
    }
  }
}

// The process dies at any step: nothing of the run cleans up after it. The
// next start finds the journal the run noted and puts the machine back,
// work folder and all.
TEST(Rollback, ARunKilledAtAnyStepIsUndoneByTheNextStart) {
  struct Killed {};
  size_t steps = 0;
  {
    Machine whole;
    whole.StartUp("C:\\Ziel");
    ASSERT_EQ(whole.Run(), engine::RunEnd::Completed);
    steps = whole.events.size();
  }
  size_t killedMidRun = 0;
  for (size_t at = 0; at < steps; ++at) {
    SCOPED_TRACE("killed at step " + std::to_string(at));
    Machine machine;
    machine.StartUp("C:\\Ziel");
    const std::string before = machine.sim.Describe();
    size_t seen = 0;
    machine.view.onEvent = [&](const std::string&) {
      if (seen++ == at)
        throw Killed{};
    };
    machine.phases.emplace(machine.sim.platform(), machine.Settings(), machine.zip, machine.view,
                           machine.stop.get_token());
    try {
      engine::RunInstallation(machine.settings, machine.view, *machine.phases,
                              machine.sim.platform().dialogs, machine.stop.get_token());
      continue;  // the registry region took it as its own error: the run completed
    } catch (const Killed&) {
    }
    machine.phases.reset();
    const bool begun = machine.sim.Describe() != before;
    killedMidRun += begun ? 1 : 0;

    const engine::Recovered recovered = engine::RecoverUnfinishedRuns(
        machine.sim.platform().files, machine.sim.platform().registry);
    EXPECT_EQ(recovered.runs, begun ? 1 : 0);
    EXPECT_TRUE(recovered.left.empty());
    EXPECT_EQ(machine.sim.Describe(), before);
  }
  EXPECT_GT(killedMidRun, steps / 2);
}

}  // namespace
}  // namespace engine_test

#include "engine/Components.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stop_token>
#include <thread>

#include "tests/unit/engine/RunFixture.h"
#include "tools/builder/Description.h"
#include "tools/builder/SetupBuilder.h"

namespace engine_test {
namespace {

namespace fs = std::filesystem;

// Setups whose component programs are the recorder: it notes its arguments
// and current directory in the host file its first argument names.
class Components : public RunFixture {
 protected:
  Components() : output(sim.HostPath("C:\\Protokoll")) { fs::create_directories(output); }

  /// Builds the setup of `components` (builder sections) and `control`
  /// (control-file sections) into C:\Setup and runs it whole.
  engine::RunEnd Install(const std::string& components, const std::string& control) {
    const fs::path source = sim.HostPath("C:\\Quelle");
    fs::create_directories(source);
    std::ofstream(source / "produkt.exe", std::ios::binary) << "MZ produkt";
    // Windows starts programs by their .exe name; a text is no program.
    fs::copy_file(RECORDER_PATH, source / "recorder.exe", fs::copy_options::overwrite_existing);
    std::ofstream(source / "kaputt.exe", std::ios::binary) << "kein Programm";
    const builder::Description description =
        builder::ParseDescription("[Files]\nprodukt.exe=%selected%\\produkt.exe\n" + components +
                                      "[Settings]\nAppName=Produkt\nVersion=1.0\nCompany=Firma\n["
                                      "Registry]\nRegCount=0\n[Links]\nLinkCount=0\n" +
                                      control,
                                  source);
    fs::remove_all(sim.HostPath("C:\\Setup"));
    builder::BuildOptions options;
    options.output = sim.HostPath("C:\\Setup");
    builder::BuildSetupFolder(description, options);
    sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
    StartUp("C:\\Ziel");
    return Run();
  }
  std::string Recorded(const char* name) {
    std::ifstream in(output / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::string Out(const char* name) const { return (output / name).string(); }
  std::string SeenAsCurrent(const char* windowsPath) {
    return fs::canonical(sim.HostPath(windowsPath)).string();
  }

  fs::path output;
};

// A program of the payload or the medium is started by its full path in
// quotes: Windows never looks for it anywhere else (an unquoted path with a
// blank would first be tried as "C:\Setup.exe", say).
TEST(CommandInFolder, QuotesTheProgramsFullPathAndKeepsItsArguments) {
  platform::sim::SimPlatform sim;
  const std::string folder = "C:\\Setup Ordner\\";
  sim.PutFile(folder + "mein prog.exe", "MZ");
  sim.PutFile(folder + "tool.exe", "MZ");
  struct Case {
    const char* line;
    const char* command;
  };
  for (const Case& c : {
           Case{"tool.exe /x \"a b\"", "\"C:\\Setup Ordner\\tool.exe\" /x \"a b\""},
           Case{"mein prog.exe /x", "\"C:\\Setup Ordner\\mein prog.exe\" /x"},
           Case{"\"mein prog.exe\" /x", "\"C:\\Setup Ordner\\mein prog.exe\" /x"},
           Case{"tool /x", "\"C:\\Setup Ordner\\tool\" /x"},
           Case{"fehlt.exe /x", "\"C:\\Setup Ordner\\fehlt.exe /x\""},
           Case{"tool.exe", "\"C:\\Setup Ordner\\tool.exe\""},
       }) {
    EXPECT_EQ(engine::CommandInFolder(sim.platform().files, folder, c.line), c.command) << c.line;
  }
}

TEST_F(Components, PayloadProgramsRunInTheirFolderWithTheirArgumentsAndGoAgain) {
  const std::string temp = SeenAsCurrent("C:\\Windows\\Temp");
  ASSERT_EQ(Install("[Component1]\nExecutable=recorder.exe " + Out("nutzlast.txt") +
                        " eins \"zwei drei\"\nFile=recorder.exe\n"
                        "[Component2]\nExecutable=kaputt.exe\nFile=kaputt.exe\n",
                    ""),
            engine::RunEnd::Completed);
  EXPECT_EQ(Recorded("nutzlast.txt"),
            "eins|zwei drei|" + temp + "/tewol_inst-0000000000000001/appRun1\n");
  EXPECT_EQ(Shown(), std::vector<std::string>{}) << "a program that does not start is skipped";
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_EQ(Content("C:\\Ziel\\produkt.exe"), "MZ produkt");
  EXPECT_EQ(Matching("status ")[Matching("status ").size() - 4],
            "Systemkomponenten werden installiert...");
}

TEST_F(Components, MediumProgramsRunAfterTheInstallationOnlyWhenMarkedSo) {
  ASSERT_EQ(Install("[Media]\nrecorder.exe=nachinst.exe\n",
                    "[ComponentInstall]\nCmpCount=3\n"
                    "CmpFile1=nachinst.exe " +
                        Out("medium.txt") +
                        " erstens\nExStyle1=AFTER_INST\n"
                        "CmpFile2=nachinst.exe " +
                        Out("medium.txt") +
                        " zweitens\nExStyle2=before_inst\n"
                        "CmpFile3=nachinst.exe " +
                        Out("medium.txt") + " drittens\n"),
            engine::RunEnd::Completed);
  const std::string setup = SeenAsCurrent("C:\\Setup");
  EXPECT_EQ(Recorded("medium.txt"), "erstens|" + setup + "\ndrittens|" + setup + "\n");
}

TEST_F(Components, ASetupWithoutComponentsRunsNothingAndSaysNothing) {
  ASSERT_EQ(Install("", "[ComponentInstall]\nCmpCount=0\n"), engine::RunEnd::Completed);
  EXPECT_EQ(Shown(), std::vector<std::string>{});
  EXPECT_TRUE(sim.StartedProcesses().empty());
}

TEST_F(Components, NothingRunsOnceTheUserHasEndedTheProgram) {
  view.onEvent = [this](const std::string& event) {
    if (event == "detail ")
      stop.request_stop();
  };
  EXPECT_EQ(Install("[Component1]\nExecutable=recorder.exe " + Out("nutzlast.txt") +
                        "\nFile=recorder.exe\n",
                    ""),
            engine::RunEnd::Stopped);
  EXPECT_TRUE(sim.StartedProcesses().empty());
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

TEST_F(Components, AStopEndsAProgramStillRunningAndTheRunWithIt) {
  // The user cancels once the program has started; it would wait for
  // minutes on a file that never comes.
  std::jthread user([this](std::stop_token done) {
    // Its line is whole once it ends in a line break.
    for (int i = 0; i < 60000 && !done.stop_requested() && !Recorded("wartet.txt").ends_with('\n');
         ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    stop.request_stop();
  });
  EXPECT_EQ(Install("[Component1]\nExecutable=recorder.exe " + Out("wartet.txt") + " /warten " +
                        Out("nie.txt") + "\nFile=recorder.exe\n",
                    ""),
            engine::RunEnd::Stopped);
  EXPECT_FALSE(Recorded("wartet.txt").empty());
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{}) << "the ended program's files went";
  EXPECT_FALSE(Exists("C:\\Ziel\\Uninstall.inf"));
}

}  // namespace
}  // namespace engine_test

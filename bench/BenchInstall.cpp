// The whole installation run as the program does it (start-up over Setup.inf,
// then every phase of the run with the real archive component and the real
// unzip library) against bsdtar extracting the same payload, each in a child
// process so that its wall time and peak memory can be taken.
//
//   bench_install LARGE.szp MANY.szp   prints the ratios and the peak memory
//   bench_install --install PAYLOAD    installs the payload; prints seconds

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/Startup.h"
#include "archive/ZipUnpacker.h"
#include "bench/ChildRun.h"
#include "core/IniReader.h"
#include "core/SetupState.h"
#include "engine/InstallRun.h"
#include "engine/InstallView.h"
#include "engine/Installation.h"
#include "platform/sim/SimPlatform.h"
#include "tests/support/RecordingUi.h"
#include "tests/unit/archive/RealUnpackLibrary.h"

namespace fs = std::filesystem;

namespace {

using bench::Clock;

constexpr std::string_view kSetupInf =
    "[Settings]\r\nAppName=Bench\r\nStandardReg=1\r\n[Directories]\r\nFolderCount=0\r\n";
constexpr std::string_view kTargetDir = "C:\\Ziel";
constexpr std::string_view kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The installation form with nothing to paint.
class BlindView : public engine::InstallView {
 public:
  void SetStatus(std::string_view) override {}
  void SetDetail(std::string_view) override {}
  void SetupBar(int, int, engine::BarDirection, engine::BarColorStyle) override {}
  void SetBarPosition(int) override {}
  void EnableAnimation(bool) override {}
  void RepaintForm() override {}
};

bool IsFileNumber(std::string_view name) {
  return !name.empty() && name.find_first_not_of("0123456789") == std::string_view::npos;
}

struct Tally {
  int64_t files = 0;
  int64_t bytes = 0;
};

// The payload's numbered entries, by the archive's own directory.
Tally Listed(const archive::TZipUnpacker& zip) {
  Tally listed;
  for (const archive::ZipDirEntry& e : zip.Directory()) {
    if (IsFileNumber(e.name)) {
      ++listed.files;
      listed.bytes += static_cast<int64_t>(e.extent.uncompressedSize);
    }
  }
  return listed;
}

// The files below the target directory, without the uninstall log.
Tally Placed(const fs::path& target) {
  Tally placed;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(target)) {
    if (e.is_regular_file() && e.path() != target / "Uninstall.inf") {
      ++placed.files;
      placed.bytes += static_cast<int64_t>(e.file_size());
    }
  }
  return placed;
}

int InstallWithProgram(const fs::path& payload) {
  platform::sim::SimPlatform sim;
  sim.SetModulePath("C:\\Setup\\Setup.exe");
  sim.PutFile("C:\\Setup\\Setup.exe", "MZ");
  sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
  archive_test::RegisterRealUnpackLibrary(sim, "C:\\Setup\\SZUNPACK.DLL");
  sim.PutRegString(platform::RegRoot::CurrentUser, kShellFolders, "Programs",
                   "C:\\WINDOWS\\Startmenü\\Programme");
  sim.PutFile("C:\\Setup\\Setup.inf", kSetupInf);
  // The payload is linked into the simulated setup folder, not copied, so
  // that the child's memory is the program's and the library's alone.
  fs::create_hard_link(fs::absolute(payload), sim.HostPath("C:\\Setup\\Setup.szp"));

  core::SetupState state;
  archive::TZipUnpacker zip(sim.platform(), "Tessarwolden");
  testing_support::RecordingUi ui;
  BlindView view;
  const auto start = Clock::now();
  app::Startup startup(sim.platform(), state, ui,
                       [&zip](std::string_view dir) { zip.SetLibraryDir(dir); });
  if (!startup.Run()) {
    std::fprintf(stderr, "start-up failed\n");
    return 1;
  }
  state.TargetDir = kTargetDir;
  state.ProgramFolder = "Bench";
  engine::RunSettings settings = engine::SnapshotOf(state);
  engine::Installation phases(sim.platform(), settings, zip, view, {});
  const engine::RunEnd end =
      engine::RunInstallation(settings, view, phases, sim.platform().dialogs, {}).end;
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  const Tally listed = Listed(zip);
  const Tally placed = Placed(sim.HostPath(kTargetDir));
  // The uninstall log counts the files the payload list named.
  const core::IniReader log(sim.platform().profile, std::string(kTargetDir) + "\\Uninstall.inf");
  const int named = log.ReadInteger("Files", "FileCount", 0);
  if (end != engine::RunEnd::Completed || !sim.Messages().empty() || listed.files == 0 ||
      named != listed.files || placed.files != listed.files || placed.bytes != listed.bytes) {
    std::fprintf(stderr,
                 "run %s, %zu message boxes, list names %d files, archive holds %lld (%lld bytes), "
                 "placed %lld (%lld bytes)\n",
                 end == engine::RunEnd::Completed ? "completed" : "stopped", sim.Messages().size(),
                 named, static_cast<long long>(listed.files), static_cast<long long>(listed.bytes),
                 static_cast<long long>(placed.files), static_cast<long long>(placed.bytes));
    return 1;
  }
  std::printf("%.6f\n", seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::BenchmarkMain(argc, argv, "--install", "install", InstallWithProgram);
}

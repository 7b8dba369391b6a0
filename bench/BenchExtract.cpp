// Extraction as the installation engine does it (name the archive once, then
// one Extract per entry, the library loaded and unloaded each time) against
// bsdtar extracting the same archive, each in a child process so that its
// wall time and peak memory can be taken.
//
//   bench_extract LARGE.zip MANY.zip   prints the ratios and the peak memory
//   bench_extract --component ARCHIVE  extracts every entry; prints seconds

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/ZipUnpacker.h"
#include "platform/sim/SimPlatform.h"
#include "tests/unit/archive/RealUnpackLibrary.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

int ExtractWithComponent(const fs::path& archive) {
  platform::sim::SimPlatform sim;
  sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
  archive_test::RegisterRealUnpackLibrary(sim, "C:\\Setup\\SZUNPACK.DLL");
  // The archive is linked into the simulated setup folder, not copied, so
  // that the child's memory is the component's and the library's alone.
  fs::path hosted = sim.HostPath("C:\\Setup\\Setup.szp");
  fs::create_hard_link(fs::absolute(archive), hosted);
  sim.PutFile("C:\\App\\placeholder", "");

  archive::TZipUnpacker zip(sim.platform(), "Tessarwolden");
  zip.SetLibraryDir("C:\\Setup");
  const auto start = Clock::now();
  zip.SetArchivePath("C:\\Setup\\Setup.szp");
  std::vector<std::string> names;
  for (const auto& e : zip.Directory())
    names.push_back(e.name);
  int extracted = 0;
  for (const auto& name : names) {
    zip.EntryNames() = {name};
    zip.SetExtractDir("C:\\App");
    zip.Extract();
    extracted += zip.SuccessCount();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (extracted != static_cast<int>(names.size()) || names.empty() || !sim.Messages().empty()) {
    std::fprintf(stderr, "extracted %d of %zu entries\n", extracted, names.size());
    return 1;
  }
  std::printf("%.6f\n", seconds);
  return 0;
}

struct ChildResult {
  double seconds = 0;  // wall time of the whole child
  long peakKb = 0;
  std::string output;
};

ChildResult Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe(pipeFds) != 0)
    std::exit(2);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  const auto start = Clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    std::fprintf(stderr, "cannot start %s\n", argv[0]);
    std::exit(2);
  }
  close(pipeFds[1]);
  ChildResult result;
  char buffer[256];
  ssize_t n;
  while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
    result.output.append(buffer, n);
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  result.peakKb = usage.ru_maxrss;
  posix_spawn_file_actions_destroy(&actions);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s failed\n", args[0].c_str());
    std::exit(2);
  }
  return result;
}

struct Figures {
  double ratio;
  long peakMb;
};

// Best of three runs of each, alternating, every run into a fresh folder.
Figures Compare(const std::string& self, const fs::path& archive, const fs::path& scratch) {
  double ours = 1e9;
  double theirs = 1e9;
  long peakKb = 0;
  for (int round = 0; round < 3; ++round) {
    ChildResult mine = Run({self, "--component", archive.string()});
    ours = std::min(ours, std::stod(mine.output));
    peakKb = std::max(peakKb, mine.peakKb);

    fs::path out = scratch / ("bsdtar-" + std::to_string(round));
    fs::remove_all(out);
    fs::create_directories(out);
    ChildResult tar = Run({"bsdtar", "-xf", archive.string(), "-C", out.string()});
    theirs = std::min(theirs, tar.seconds);
    fs::remove_all(out);
    std::fprintf(stderr, "%s round %d: component %.3f s (%ld KB), bsdtar %.3f s\n",
                 archive.filename().c_str(), round + 1, std::stod(mine.output), mine.peakKb,
                 tar.seconds);
  }
  return {ours / theirs, (peakKb + 1023) / 1024};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--component")
    return ExtractWithComponent(argv[2]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LARGE.zip MANY.zip | --component ARCHIVE\n", argv[0]);
    return 2;
  }
  const std::string self = fs::canonical("/proc/self/exe").string();
  const fs::path large = fs::absolute(argv[1]);
  const fs::path many = fs::absolute(argv[2]);
  const fs::path scratch = large.parent_path();

  Figures a = Compare(self, large, scratch);
  Figures b = Compare(self, many, scratch);
  std::printf("extract-large ratio-to-bsdtar: %.2f\n", a.ratio);
  std::printf("extract-many ratio-to-bsdtar: %.2f\n", b.ratio);
  std::printf("extract-large peak-memory-mb: %ld\n", a.peakMb);
  std::printf("extract-many peak-memory-mb: %ld\n", b.peakMb);
  return 0;
}

#pragma once

// The benchmarks' way of measuring: every contestant runs in a child process
// of its own, so that its wall time and its peak memory can be taken.

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
#include <string_view>
#include <vector>

extern char** environ;

namespace bench {

using Clock = std::chrono::steady_clock;

struct ChildResult {
  double seconds = 0;  // wall time of the whole child
  long peakKb = 0;
  std::string output;
};

/// Runs `args` (the program looked up on PATH) with its standard output
/// collected; ends this process when the child cannot start or fails.
inline ChildResult Run(const std::vector<std::string>& args) {
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

/// Best of three runs of `ours` (which prints its own seconds) and of bsdtar
/// extracting `archive`, alternating, bsdtar every time into a fresh folder
/// below `scratch`. `label` names our side in the progress lines.
inline Figures CompareWithBsdtar(const std::vector<std::string>& ours, std::string_view label,
                                 const std::filesystem::path& archive,
                                 const std::filesystem::path& scratch) {
  namespace fs = std::filesystem;
  double mineBest = 1e9;
  double theirs = 1e9;
  long peakKb = 0;
  for (int round = 0; round < 3; ++round) {
    ChildResult mine = Run(ours);
    mineBest = std::min(mineBest, std::stod(mine.output));
    peakKb = std::max(peakKb, mine.peakKb);

    fs::path out = scratch / ("bsdtar-" + std::to_string(round));
    fs::remove_all(out);
    fs::create_directories(out);
    ChildResult tar = Run({"bsdtar", "-xf", archive.string(), "-C", out.string()});
    theirs = std::min(theirs, tar.seconds);
    fs::remove_all(out);
    std::fprintf(stderr, "%s round %d: %.*s %.3f s (%ld KB), bsdtar %.3f s\n",
                 archive.filename().c_str(), round + 1, static_cast<int>(label.size()),
                 label.data(), std::stod(mine.output), mine.peakKb, tar.seconds);
  }
  return {mineBest / theirs, (peakKb + 1023) / 1024};
}

/// The whole of a benchmark program. `<program> <flag> ARCHIVE` is the
/// measured child: it runs `child` on the archive. `<program> LARGE MANY`
/// compares that child on both archives with bsdtar and prints the ratios
/// and peak memory as "<name>-large ..." and "<name>-many ...".
inline int BenchmarkMain(int argc, char** argv, std::string_view flag, std::string_view name,
                         int (*child)(const std::filesystem::path& archive)) {
  namespace fs = std::filesystem;
  if (argc == 3 && argv[1] == flag)
    return child(argv[2]);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s LARGE MANY | %.*s ARCHIVE\n", argv[0],
                 static_cast<int>(flag.size()), flag.data());
    return 2;
  }
  const std::string self = fs::canonical("/proc/self/exe").string();
  const fs::path scratch = fs::absolute(argv[1]).parent_path();
  const std::string label(flag.substr(2));
  for (const char* size : {"large", "many"}) {
    const fs::path archive = fs::absolute(argv[size == std::string_view("large") ? 1 : 2]);
    const Figures figures =
        CompareWithBsdtar({self, std::string(flag), archive.string()}, label, archive, scratch);
    std::printf("%.*s-%s ratio-to-bsdtar: %.2f\n", static_cast<int>(name.size()), name.data(), size,
                figures.ratio);
    std::printf("%.*s-%s peak-memory-mb: %ld\n", static_cast<int>(name.size()), name.data(), size,
                figures.peakMb);
  }
  return 0;
}

}  // namespace bench

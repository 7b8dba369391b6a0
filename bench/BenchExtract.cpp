// Extraction as the installation engine does it (name the archive once, then
// one Extract per entry, the library loaded and unloaded each time) against
// bsdtar extracting the same archive, each in a child process so that its
// wall time and peak memory can be taken.
//
//   bench_extract LARGE.zip MANY.zip   prints the ratios and the peak memory
//   bench_extract --component ARCHIVE  extracts every entry; prints seconds
//   bench_extract --per-call ARCHIVE   extracts (then checks) every entry;
//                                      prints the time per call in the first
//                                      and last tenth of the directory

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ZipUnpacker.h"
#include "bench/ChildRun.h"
#include "platform/sim/SimPlatform.h"
#include "tests/unit/archive/RealUnpackLibrary.h"

namespace fs = std::filesystem;

namespace {

using bench::Clock;

// Extracts every entry with one Extract each; `perCall` receives the time of
// every call. With `test` the entries are only checked, not written. False
// when an entry was not extracted.
bool ExtractEachEntry(const fs::path& archive, double& seconds, std::vector<double>* perCall,
                      bool test = false) {
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
  if (test)
    zip.SetExtractOptions({archive::ExtractOption::Test});
  const auto start = Clock::now();
  zip.SetArchivePath("C:\\Setup\\Setup.szp");
  std::vector<std::string> names;
  for (const auto& e : zip.Directory())
    names.push_back(e.name);
  int extracted = 0;
  for (const auto& name : names) {
    const auto callStart = Clock::now();
    zip.EntryNames() = {name};
    zip.SetExtractDir("C:\\App");
    zip.Extract();
    extracted += zip.SuccessCount();
    if (perCall)
      perCall->push_back(std::chrono::duration<double>(Clock::now() - callStart).count());
  }
  seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (extracted != static_cast<int>(names.size()) || names.empty() || !sim.Messages().empty()) {
    std::fprintf(stderr, "extracted %d of %zu entries\n", extracted, names.size());
    return false;
  }
  return true;
}

int ExtractWithComponent(const fs::path& archive) {
  double seconds = 0;
  if (!ExtractEachEntry(archive, seconds, nullptr))
    return 1;
  std::printf("%.6f\n", seconds);
  return 0;
}

// Finding an entry must not take longer the further back it lies in the
// directory: the calls for the last tenth are compared with those for the
// first (median of each, so that a stray slow call does not count). The
// entries are extracted, and then checked only (test mode), which leaves out
// the file system's time for making files, the larger and noisier part.
int PerCall(const fs::path& archive) {
  for (const bool test : {false, true}) {
    double seconds = 0;
    std::vector<double> perCall;
    if (!ExtractEachEntry(archive, seconds, &perCall, test))
      return 1;
    const size_t tenth = perCall.size() / 10;
    auto medianUs = [&](size_t from) {
      std::vector<double> part(perCall.begin() + static_cast<long>(from),
                               perCall.begin() + static_cast<long>(from + tenth));
      std::nth_element(part.begin(), part.begin() + static_cast<long>(tenth / 2), part.end());
      return part[tenth / 2] * 1e6;
    };
    const double first = medianUs(0);
    const double last = medianUs(perCall.size() - tenth);
    const std::string name =
        std::string(test ? "test-" : "extract-") + std::to_string(perCall.size());
    std::printf("%s first-tenth-median-per-call-us: %.0f\n", name.c_str(), first);
    std::printf("%s last-tenth-median-per-call-us: %.0f\n", name.c_str(), last);
    std::printf("%s last-to-first: %.2f\n", name.c_str(), last / first);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && argv[1] == std::string_view("--per-call"))
    return PerCall(argv[2]);
  return bench::BenchmarkMain(argc, argv, "--component", "extract", ExtractWithComponent);
}

// Extraction as the installation engine does it (name the archive once, then
// one Extract per entry, the library loaded and unloaded each time) against
// bsdtar extracting the same archive, each in a child process so that its
// wall time and peak memory can be taken.
//
//   bench_extract LARGE.zip MANY.zip   prints the ratios and the peak memory
//   bench_extract --component ARCHIVE  extracts every entry; prints seconds

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "archive/ZipUnpacker.h"
#include "bench/ChildRun.h"
#include "platform/sim/SimPlatform.h"
#include "tests/unit/archive/RealUnpackLibrary.h"

namespace fs = std::filesystem;

namespace {

using bench::Clock;

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

}  // namespace

int main(int argc, char** argv) {
  return bench::BenchmarkMain(argc, argv, "--component", "extract", ExtractWithComponent);
}

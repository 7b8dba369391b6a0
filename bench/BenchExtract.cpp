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

  const bench::Figures a =
      bench::CompareWithBsdtar({self, "--component", large.string()}, "component", large, scratch);
  const bench::Figures b =
      bench::CompareWithBsdtar({self, "--component", many.string()}, "component", many, scratch);
  std::printf("extract-large ratio-to-bsdtar: %.2f\n", a.ratio);
  std::printf("extract-many ratio-to-bsdtar: %.2f\n", b.ratio);
  std::printf("extract-large peak-memory-mb: %ld\n", a.peakMb);
  std::printf("extract-many peak-memory-mb: %ld\n", b.peakMb);
  return 0;
}

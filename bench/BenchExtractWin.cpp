// The Windows build of the archive component and SZUNPACK.DLL extracting as
// the installation engine does (name the archive once, then one Extract per
// entry): prints the average time of one call.
//
//   bench_extract_win ARCHIVE LIBRARY_DIR OUTPUT_DIR

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "archive/ZipUnpacker.h"
#include "platform/win32/Win32Platform.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s ARCHIVE LIBRARY_DIR OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  platform::win32::Win32Platform win32;
  archive::TZipUnpacker zip(win32.platform(), "Tessarwolden");
  // Nothing may wait for a click: every message counts as a failure, and a
  // password request (the archive has none) is answered with none.
  zip.SetUnattended(true);
  zip.OnPasswordError = [](const std::string&, bool, std::string&, int&) {};
  int failures = 0;
  zip.OnMessage = [&failures](int number, const std::string& text) {
    std::fprintf(stderr, "message %d: %s\n", number, text.c_str());
    ++failures;
  };
  zip.SetLibraryDir(argv[2]);
  zip.SetArchivePath(argv[1]);
  std::vector<std::string> names;
  for (const auto& e : zip.Directory())
    names.push_back(e.name);
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  int extracted = 0;
  for (const auto& name : names) {
    zip.EntryNames() = {name};
    zip.SetExtractDir(argv[3]);
    zip.Extract();
    extracted += zip.SuccessCount();
  }
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  if (names.empty() || extracted != static_cast<int>(names.size()) || failures > 0) {
    std::fprintf(stderr, "extracted %d of %zu entries\n", extracted, names.size());
    return 1;
  }
  std::printf("extract-many per-call-us: %.0f\n",
              seconds * 1e6 / static_cast<double>(names.size()));
  return 0;
}

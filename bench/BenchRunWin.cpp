// The installation run of the real Setup.exe under Wine, measured from
// outside as the end-to-end scenarios drive it: how long the installation
// form takes at most to answer while the run works, and how long a run of
// many files takes, wizard and unattended, against the floor of what any
// program must do for the same payload through the same unzip library
// (extract each entry into a folder, copy it to its place, delete it).
//
//   bench_run_win ping SETUP [--release-component SECONDS]
//   bench_run_win wizard SETUP | silent SETUP | floor SETUP
//
// SETUP names a setup folder prepared by scripts/bench-run (E2E_SETUPS);
// SETUP_EXE names the Setup.exe under test. Prints one line per figure.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>

#include "archive/ZipUnpacker.h"
#include "core/Convert.h"
#include "engine/Directories.h"
#include "engine/PayloadFormat.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Platform.h"
#include "tests/e2e/Harness.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::win32::Widen;

constexpr auto kLongBound = std::chrono::minutes(15);

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Polls `done` every `interval` ms for a quarter of an hour at most. A
// look at another process's windows costs Wine's server work that the run
// measured needs itself: the timings look seldom.
bool PollLong(const std::function<bool()>& done, DWORD interval = 20) {
  const auto deadline = Clock::now() + kLongBound;
  while (!done()) {
    if (Clock::now() > deadline)
      return false;
    Sleep(interval);
  }
  return true;
}

constexpr DWORD kTimingPoll = 250;

// Sends WM_NULL to the window every 50 ms and keeps the longest wait for
// the answer.
class Pinger {
 public:
  explicit Pinger(HWND window)
      : thread_([this, window](std::stop_token stop) {
          while (!stop.stop_requested()) {
            const auto sent = Clock::now();
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
            const double ms = SecondsSince(sent) * 1000;
            longest_ = std::max(longest_.load(), ms);
            ++count_;
            std::this_thread::sleep_until(sent + std::chrono::milliseconds(50));
          }
        }) {}
  double Stop() {
    thread_.request_stop();
    thread_.join();
    return longest_;
  }
  int Count() const { return count_; }

 private:
  std::atomic<double> longest_ = 0;
  std::atomic<int> count_ = 0;
  std::jthread thread_;
};

int Ping(const std::string& setupName, int releaseAfter) {
  e2e::SetupFolder folder;
  folder.CopyPrepared(setupName);
  e2e::SetupProcess setup(folder, "");
  HWND install = e2e::StartInstallation(setup, folder.Path() + "Ziel");
  Pinger pinger(install);
  const auto componentStarted = [] {
    return GetFileAttributesW(L"C:\\gestartet.txt") != INVALID_FILE_ATTRIBUTES;
  };
  if (releaseAfter > 0) {
    if (!PollLong(componentStarted))
      return 1;
    Sleep(static_cast<DWORD>(releaseAfter) * 1000);
    CloseHandle(CreateFileW(L"C:\\nie.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  const bool finished = PollLong([&] { return setup.IsVisible("TReady"); });
  const double longest = pinger.Stop();
  DeleteFileW(L"C:\\gestartet.txt");
  DeleteFileW(L"C:\\nie.txt");
  if (!finished) {
    std::fprintf(stderr, "the run did not reach the finish page\n");
    return 1;
  }
  std::printf("ping-longest-ms %s: %.0f (%d pings)\n", setupName.c_str(), longest,
              pinger.Count());
  e2e::Click(setup.Window("TReady"), "Button1");
  return setup.WaitForExit() == 0 ? 0 : 1;
}

int Wizard(const std::string& setupName) {
  e2e::SetupFolder folder;
  folder.CopyPrepared(setupName);
  e2e::SetupProcess setup(folder, "");
  e2e::StartInstallation(setup, folder.Path() + "Ziel");
  const auto start = Clock::now();
  if (!PollLong([&] { return setup.IsVisible("TReady"); }, kTimingPoll))
    return 1;
  std::printf("wizard %s: %.3f\n", setupName.c_str(), SecondsSince(start));
  e2e::Click(setup.Window("TReady"), "Button1");
  return setup.WaitForExit() == 0 ? 0 : 1;
}

int Silent(const std::string& setupName) {
  e2e::SetupFolder folder;
  folder.CopyPrepared(setupName);
  const auto start = Clock::now();
  e2e::SetupProcess setup(folder, "/silent \"/dir=" + folder.Path() + "Ziel\"");
  if (!PollLong([&] { return !setup.Running(); }, kTimingPoll))
    return 1;
  std::printf("silent %s: %.3f\n", setupName.c_str(), SecondsSince(start));
  return setup.WaitForExit() == 0 ? 0 : 1;
}

// The floor: the same payload list and entries, nothing else.
int Floor(const std::string& setupName) {
  e2e::SetupFolder folder;
  folder.CopyPrepared(setupName);
  platform::win32::Win32Platform win32;
  platform::Files& files = win32.platform().files;
  archive::TZipUnpacker zip(win32.platform(), "Tessarwolden");
  zip.SetUnattended(true);
  zip.OnPasswordError = [](const std::string&, bool, std::string&, int&) {};
  int failures = 0;
  zip.OnMessage = [&failures](int, const std::string&) { ++failures; };
  const std::string target = folder.Path() + "Ziel";
  const std::string work = folder.Path() + "Arbeit";
  files.CreateDirectory(work);

  const auto start = Clock::now();
  zip.SetLibraryDir(folder.Path());
  zip.SetArchivePath(folder.Path() + "Setup.szp");
  zip.EntryNames() = {std::string(engine::payload::kListEntry)};
  zip.SetExtractDir(work);
  zip.Extract();
  std::map<int, std::string> destinations;
  const std::string list =
      files.ReadFile(work + "\\" + std::string(engine::payload::kListEntry)).value_or("");
  for (const std::string& stored : core::SplitLines(list)) {
    const std::string line = engine::payload::UnscrambleLine(stored);
    const size_t equals = line.find('=');
    if (equals == std::string::npos || line.find_first_not_of("0123456789") != equals)
      continue;
    const std::string destination = line.substr(equals + 1);
    if (!core::SameTextIgnoreCase(destination.substr(0, 10), "%selected%"))
      return 1;
    destinations[std::stoi(line.substr(0, equals))] = target + destination.substr(10);
  }
  for (const auto& [n, destination] : destinations) {
    const std::string temporary = work + "\\" + std::to_string(n);
    zip.EntryNames() = {std::to_string(n)};
    zip.SetExtractDir(work);
    zip.Extract();
    engine::ForceDirectories(files, destination.substr(0, destination.rfind('\\')));
    if (!files.CopyFile(temporary, destination, false))
      ++failures;
    files.DeleteFile(temporary);
  }
  const double seconds = SecondsSince(start);
  if (destinations.empty() || failures > 0) {
    std::fprintf(stderr, "floor: %zu files, %d failures\n", destinations.size(), failures);
    return 1;
  }
  std::printf("floor %s: %.3f\n", setupName.c_str(), seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s ping|wizard|silent|floor SETUP [--release-component S]\n",
                 argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const std::string setup = argv[2];
  try {
    if (mode == "ping") {
      const int release =
          argc >= 5 && std::strcmp(argv[3], "--release-component") == 0 ? std::atoi(argv[4]) : 0;
      return Ping(setup, release);
    }
    if (mode == "wizard")
      return Wizard(setup);
    if (mode == "silent")
      return Silent(setup);
    if (mode == "floor")
      return Floor(setup);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 2;
}

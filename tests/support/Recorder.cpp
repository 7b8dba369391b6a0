// A program for tests that start programs: each run appends one line to the
// file named by its first argument, holding its other arguments and then its
// current directory, each followed by '|' except the last, and ends with 0.
// Without a file argument it ends with 2 and writes nothing. When its first
// other argument is "/warten", it then waits until the file named by the
// next one exists (ten minutes at most), as a long-running program would; a
// test ends it or creates the file. On Windows it opens no window, so that
// nothing flashes up while tests run.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

namespace {

// 0 when the whole line went into the file (open for appending), 1 otherwise.
int Append(FILE* file, const std::string& line) {
  if (!file)
    return 1;
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}

// Waits until `path` exists, polling; gives up after ten minutes.
void WaitFor(const std::filesystem::path& path) {
  for (int i = 0; i < 6000 && !std::filesystem::exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace

#ifdef _WIN32

#include <windows.h>

#include <shellapi.h>

namespace {

std::string Utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
  utf8.resize(utf8.size() - 1);
  return utf8;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv || count < 2)
    return 2;
  std::string line;
  for (int i = 2; i < count; ++i)
    line += Utf8(argv[i]) + "|";
  std::wstring directory(GetCurrentDirectoryW(0, nullptr), L'\0');
  directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
  line += Utf8(directory.c_str()) + "\n";
  const int result = Append(_wfopen(argv[1], L"ab"), line);
  if (count > 3 && std::wstring(argv[2]) == L"/warten")
    WaitFor(argv[3]);
  LocalFree(argv);
  return result;
}

#else

#include <unistd.h>

#include <climits>

int main(int argc, char** argv) {
  if (argc < 2)
    return 2;
  std::string line;
  for (int i = 2; i < argc; ++i)
    line += std::string(argv[i]) + "|";
  char directory[PATH_MAX] = {};
  if (!getcwd(directory, sizeof(directory)))
    return 1;
  line += std::string(directory) + "\n";
  const int result = Append(std::fopen(argv[1], "ab"), line);
  if (argc > 3 && std::string(argv[2]) == "/warten")
    WaitFor(argv[3]);
  return result;
}

#endif

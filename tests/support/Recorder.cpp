// A program for tests that start programs: each run appends one line to the
// file named by its first argument, holding its other arguments and then its
// current directory, each followed by '|' except the last, and ends with 0.
// Without a file argument it ends with 2 and writes nothing. On Windows it
// opens no window, so that nothing flashes up while tests run.
#include <cstdio>
#include <string>

namespace {

// 0 when the whole line went into the file (open for appending), 1 otherwise.
int Append(FILE* file, const std::string& line) {
  if (!file)
    return 1;
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
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
  FILE* file = _wfopen(argv[1], L"ab");
  LocalFree(argv);
  return Append(file, line);
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
  return Append(std::fopen(argv[1], "ab"), line);
}

#endif

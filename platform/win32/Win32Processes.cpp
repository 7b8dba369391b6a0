#include "platform/win32/Win32Processes.h"

#include "platform/win32/WinApi.h"

#include <string>

#include "platform/win32/Utf16.h"

namespace platform::win32 {

bool Win32Processes::RunAndWait(std::string_view commandLine, std::string_view currentDirectory) {
  // CreateProcessW may write into the command line it is given.
  std::wstring line = Widen(commandLine);
  const std::wstring directory = Widen(currentDirectory);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                      directory.c_str(), &startup, &started)) {
    return false;
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace platform::win32

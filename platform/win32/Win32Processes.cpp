#include "platform/win32/Win32Processes.h"

#include "platform/win32/WinApi.h"

#include <string>

#include "platform/win32/Utf16.h"

namespace platform::win32 {

bool Win32Processes::RunAndWait(std::string_view commandLine, std::string_view currentDirectory,
                                std::stop_token stop) {
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
  CloseHandle(started.hThread);
  // The wait ends with the program or with the stop, whichever comes first.
  HANDLE stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (stopped) {
    const std::stop_callback signal(stop, [stopped] { SetEvent(stopped); });
    const HANDLE both[] = {started.hProcess, stopped};
    if (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
      // A stopped setup leaves nothing running that works on its behalf.
      TerminateProcess(started.hProcess, ERROR_CANCELLED);
      WaitForSingleObject(started.hProcess, INFINITE);
    }
    CloseHandle(stopped);
  } else {
    WaitForSingleObject(started.hProcess, INFINITE);
  }
  CloseHandle(started.hProcess);
  return true;
}

}  // namespace platform::win32

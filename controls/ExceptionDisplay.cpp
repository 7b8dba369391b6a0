#include "controls/ExceptionDisplay.h"

#include <windows.h>

#include <string>

#include "platform/win32/Utf16.h"

namespace controls {

void ShowException(const std::exception& error) {
  std::string text = error.what();
  if (!text.empty() && text.back() != '.')
    text += '.';
  MessageBoxW(GetActiveWindow(), platform::win32::Widen(text).c_str(), L"Tessarwolden",
              MB_OK | MB_ICONERROR);
}

}  // namespace controls

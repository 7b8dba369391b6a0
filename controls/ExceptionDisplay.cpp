#include "controls/ExceptionDisplay.h"

#include <windows.h>

#include <string>

#include "core/Convert.h"
#include "platform/win32/Utf16.h"

namespace controls {

void ShowException(const std::exception& error) {
  MessageBoxW(GetActiveWindow(),
              platform::win32::Widen(core::ErrorDisplayText(error.what())).c_str(),
              platform::win32::Widen(core::kErrorDisplayCaption).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace controls

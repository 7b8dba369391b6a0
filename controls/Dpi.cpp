#include "controls/Dpi.h"

#include "platform/win32/SystemFunction.h"

namespace controls {

namespace {

// The DPI functions of Windows 10 1607 and later, looked up at run time so
// that the program still starts on older Windows, where the system DPI holds
// for every window.
struct DpiFunctions {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  using GetDpiForSystemFn = UINT(WINAPI*)();
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
  using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

  GetDpiForWindowFn getDpiForWindow;
  GetDpiForSystemFn getDpiForSystem;
  GetSystemMetricsForDpiFn getSystemMetricsForDpi;
  AdjustWindowRectExForDpiFn adjustWindowRectExForDpi;

  DpiFunctions()
      : getDpiForWindow(Find<GetDpiForWindowFn>("GetDpiForWindow")),
        getDpiForSystem(Find<GetDpiForSystemFn>("GetDpiForSystem")),
        getSystemMetricsForDpi(Find<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi")),
        adjustWindowRectExForDpi(Find<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi")) {}

  template <class Function>
  static Function Find(const char* name) {
    return platform::win32::SystemFunction<Function>(L"user32.dll", name);
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

}  // namespace

int SystemDpi() {
  if (Functions().getDpiForSystem)
    return static_cast<int>(Functions().getDpiForSystem());
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

int WindowDpi(HWND window) {
  if (window && Functions().getDpiForWindow) {
    if (const UINT dpi = Functions().getDpiForWindow(window))
      return static_cast<int>(dpi);
  }
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  if (Functions().getSystemMetricsForDpi)
    return Functions().getSystemMetricsForDpi(index, static_cast<UINT>(dpi));
  return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
  if (Functions().adjustWindowRectExForDpi &&
      Functions().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
    return;
  }
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

}  // namespace controls

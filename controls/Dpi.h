#pragma once

#include <windows.h>

namespace controls {

/// The DPI of the display as the whole program sees it: the DPI of the
/// primary monitor when the program started.
int SystemDpi();

/// The DPI of `window`: GetDpiForWindow where Windows has it (Windows 10
/// 1607 and later), otherwise the system DPI, which then holds for every
/// window.
int WindowDpi(HWND window);

/// A system metric (SM_CXICON, SM_CXSMICON, ...) at `dpi`:
/// GetSystemMetricsForDpi where Windows has it, otherwise the metric at the
/// system DPI scaled to `dpi`.
int SystemMetricForDpi(int index, int dpi);

/// AdjustWindowRectEx for a window at `dpi`: the non-client area of a
/// per-monitor aware window follows its monitor.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace controls

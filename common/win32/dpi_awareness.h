// The program's DPI awareness: per monitor (version 2 where the system has
// it), so that each window is laid out afresh for its monitor's scale instead
// of being stretched as a bitmap.
#pragma once

#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace kana::win32 {

// Makes the process per-monitor DPI aware when the manifest has not already
// done so (older systems: aware of the system DPI).
void becomePerMonitorDpiAware();

// The DPI of the primary screen as this process sees it.
int systemDpi();

// The DPI of the window as the system gives it (GetDpiForWindow, Windows 10
// 1607 and later): for a per-monitor aware program, the DPI of the monitor it
// is on. 0 on older systems.
int monitorDpiOf(HWND window);

// The outer rectangle of a window whose inner area is rect, with its frame
// sized for dpi where the system can tell (Windows 10 1607 and later).
void adjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi);

// A system metric (icon sizes, ...) at the given DPI.
int systemMetricForDpi(int index, int dpi);

} // namespace kana::win32

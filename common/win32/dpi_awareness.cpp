#include "common/win32/dpi_awareness.h"

#include "common/dpi_scale.h"
#include "common/win32/handles.h"

namespace kana::win32 {

namespace {

// Functions of newer systems are looked up, so that the program still starts on Windows 7.
template <typename Function> Function user32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
               : nullptr;
}

} // namespace

int monitorDpiOf(HWND window) {
    using DpiForWindow = UINT(WINAPI*)(HWND);
    const auto dpiForWindow = user32Function<DpiForWindow>("GetDpiForWindow");
    // The window's DPI by its awareness: the monitor's for a per-monitor aware window.
    return dpiForWindow != nullptr ? static_cast<int>(dpiForWindow(window)) : 0;
}

void adjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, int dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    if (const auto adjustForDpi = user32Function<AdjustForDpi>("AdjustWindowRectExForDpi")) {
        if (adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi))) {
            return;
        }
    }
    ::AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

void becomePerMonitorDpiAware() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and _PER_MONITOR_AWARE.
    const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    const auto perMonitor = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));
    if (const auto setContext = user32Function<SetContext>("SetProcessDpiAwarenessContext")) {
        if (setContext(perMonitorV2) || setContext(perMonitor)) {
            return;
        }
        if (::GetLastError() == ERROR_ACCESS_DENIED) {
            return; // already set by the manifest
        }
    }
    ::SetProcessDPIAware();
}

int systemDpi() {
    WindowDc screen(nullptr);
    return screen.get() != nullptr ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : kStandardDpi;
}

int systemMetricForDpi(int index, int dpi) {
    using MetricForDpi = int(WINAPI*)(int, UINT);
    if (const auto metricForDpi = user32Function<MetricForDpi>("GetSystemMetricsForDpi")) {
        return metricForDpi(index, static_cast<UINT>(dpi));
    }
    return ::MulDiv(::GetSystemMetrics(index), dpi, usableDpi(systemDpi()));
}

} // namespace kana::win32

#include "common/win32/busy_windows.h"

namespace kana::win32 {

namespace {

bool g_shown = false;

// Lets the window under the pointer, if it is one of this thread's, choose the
// pointer again now rather than at the next move of the mouse.
void refreshPointer() {
    POINT at{};
    if (!::GetCursorPos(&at)) {
        return;
    }
    HWND under = ::WindowFromPoint(at);
    if (under == nullptr || ::GetWindowThreadProcessId(under, nullptr) != ::GetCurrentThreadId()) {
        return;
    }
    const LRESULT hit = ::SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y));
    ::SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under),
                   MAKELPARAM(static_cast<WORD>(hit), WM_MOUSEMOVE));
}

} // namespace

BusyWindows::BusyWindows() : focus_(::GetFocus()), wasShown_(g_shown) {
    g_shown = true;
    refreshPointer(); // before the windows are disabled: the system finds no disabled window under it
    ::EnumThreadWindows(::GetCurrentThreadId(), &BusyWindows::disable, reinterpret_cast<LPARAM>(this));
}

BusyWindows::~BusyWindows() {
    for (HWND hwnd : disabled_) {
        if (::IsWindow(hwnd)) {
            ::EnableWindow(hwnd, TRUE);
        }
    }
    g_shown = wasShown_;
    // Disabling the active window took the focus away from its control.
    if (focus_ != nullptr && ::IsWindow(focus_) && ::IsWindowEnabled(focus_) && ::IsWindowVisible(focus_) &&
        ::GetForegroundWindow() == ::GetAncestor(focus_, GA_ROOT)) {
        ::SetFocus(focus_);
    }
    refreshPointer();
}

bool BusyWindows::shown() {
    return g_shown;
}

BOOL CALLBACK BusyWindows::disable(HWND hwnd, LPARAM self) {
    auto* busy = reinterpret_cast<BusyWindows*>(self);
    if (::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
        ::EnableWindow(hwnd, FALSE);
        busy->disabled_.push_back(hwnd);
    }
    return TRUE;
}

} // namespace kana::win32

#include "common/win32/capture_click.h"

#include <windowsx.h>

namespace kana::win32 {

void CaptureClick::press(HWND target) {
    pressed_ = target;
    ::SetCapture(target);
}

bool CaptureClick::release(HWND target, LPARAM point) {
    if (pressed_ != target) {
        return false; // released without a press here, or the press was dropped
    }
    pressed_ = nullptr;
    if (::GetCapture() == target) {
        ::ReleaseCapture();
    }
    const POINT at{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    RECT client{};
    ::GetClientRect(target, &client);
    if (!::PtInRect(&client, at)) {
        return false;
    }
    // Over the target itself, not over one of its visible, enabled children.
    return ::ChildWindowFromPointEx(target, at, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT) ==
           target;
}

void CaptureClick::captureLost(HWND target) {
    if (pressed_ == target) {
        pressed_ = nullptr;
    }
}

} // namespace kana::win32

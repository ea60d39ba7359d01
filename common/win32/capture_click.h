// The click rule of a real button for labels, pictures and a window's own
// surface: the button goes down and comes up over the same window, with the
// mouse captured in between. A press is dropped when the capture goes elsewhere.
#pragma once

#include <windows.h>

namespace kana::win32 {

class CaptureClick {
  public:
    // The left button went down over target.
    void press(HWND target);
    // The left button came up (point in target's client coordinates). Returns
    // true when this completes a click on target.
    bool release(HWND target, LPARAM point);
    // WM_CAPTURECHANGED reached target: a press there no longer counts.
    void captureLost(HWND target);

  private:
    HWND pressed_ = nullptr;
};

} // namespace kana::win32

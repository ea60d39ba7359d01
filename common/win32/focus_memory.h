// The control that had the keyboard focus when its window was deactivated,
// given the focus back when the window is activated again.
#pragma once

#include <windows.h>

namespace kana::win32 {

class FocusMemory {
  public:
    // The window is being deactivated: remember its focused control, if any.
    void remember(HWND window) {
        HWND focus = ::GetFocus();
        remembered_ = focus != nullptr && ::IsChild(window, focus) ? focus : nullptr;
    }

    // The window is being activated: gives the remembered control the focus
    // when it can still take it. Returns false when there is none.
    bool restore(HWND window) const {
        if (remembered_ == nullptr || !::IsChild(window, remembered_) || !::IsWindowVisible(remembered_) ||
            !::IsWindowEnabled(remembered_)) {
            return false;
        }
        ::SetFocus(remembered_);
        return true;
    }

  private:
    HWND remembered_ = nullptr;
};

} // namespace kana::win32

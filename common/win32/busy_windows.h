// The program at work: while it lives, this thread's visible windows are
// disabled, so that nothing can be clicked twice, and the pointer over them is
// the busy one. Each window is enabled again at the end, and the control that
// had the keyboard focus gets it back.
#pragma once

#include <windows.h>

#include <vector>

namespace kana::win32 {

class BusyWindows {
  public:
    BusyWindows();
    BusyWindows(const BusyWindows&) = delete;
    BusyWindows& operator=(const BusyWindows&) = delete;
    ~BusyWindows();

    // Whether the program's windows are busy now: the pointer over them is the busy one.
    static bool shown();

  private:
    static BOOL CALLBACK disable(HWND hwnd, LPARAM self);

    std::vector<HWND> disabled_;
    HWND focus_ = nullptr;
    bool wasShown_ = false;
};

} // namespace kana::win32

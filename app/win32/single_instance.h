// One copy of the program at a time on the whole machine: two copies would
// change the same lexicon files at once, and the second one's start-up would
// take the first one's running operation for one that was cut short.
#pragma once

#include <windows.h>

#include <string_view>

#include "common/win32/handles.h"

namespace kana::win32 {

class SingleInstance {
  public:
    // Claims the program's name for this copy, unless another copy holds it.
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // No other copy runs; the claim lasts until this object goes.
    bool first() const { return first_; }
    // Another copy runs, and in this session (the same user's desktop).
    bool otherInThisSession() const { return !first_ && sameSession_; }

  private:
    unique_handle machineWide_;
    unique_handle thisSession_;
    bool first_ = true;
    bool sameSession_ = false;
};

// Brings the main window of the copy that runs in this session to the front
// (restored if it is minimised), or the message box it shows. Waits a moment
// for a copy that is still starting; returns without a word if none appears.
void bringRunningCopyForward(std::wstring_view windowClass, std::wstring_view title);

} // namespace kana::win32

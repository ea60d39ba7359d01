// One copy of the program at a time on the whole machine: two copies would
// change the same lexicon files at once, and the second one's start-up would
// take the first one's running operation for one that was cut short.
#pragma once

#include <windows.h>

#include <string_view>

#include "app/one_copy.h"
#include "common/win32/handles.h"

namespace kana::win32 {

class SingleInstance {
  public:
    // Claims the program's guard for this copy, unless another copy holds it.
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;
    ~SingleInstance();

    // No other copy runs; the claim lasts until this object goes.
    bool first() const { return decision_ == OneCopy::First; }
    // Another copy runs, and in this session (the same user's desktop).
    bool otherInThisSession() const { return decision_ == OneCopy::OtherInThisSession; }

  private:
    unique_handle sessionMark_;
    unique_handle namespace_; // closed as any handle is (ClosePrivateNamespace without flags)
    unique_handle guard_;
    OneCopy decision_ = OneCopy::First;
};

// Brings the main window of the copy that runs in this session to the front
// (restored if it is minimised), or the message box it shows; while its main
// window is hidden (the start-up recovery speaks), the shown and enabled
// window of the main window's thread. Waits a moment for a copy that is still
// starting; returns without a word if none appears.
void bringRunningCopyForward(std::wstring_view windowClass, std::wstring_view title);

} // namespace kana::win32

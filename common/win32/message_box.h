// The one place that shows message boxes. No message box of the program shows an icon.
#pragma once

#include <windows.h>

#include <string_view>

namespace kana::win32 {

enum class Buttons { Ok, OkCancel };
enum class Answer { Ok, Cancel };

// Shows a modal message box owned by the program's visible main window (or
// task-modal when none is visible yet). OK is the default button. Only a
// fresh key press answers it: the repeats of a key held since before it
// appeared are ignored.
Answer showMessage(std::wstring_view text, std::wstring_view title, Buttons buttons = Buttons::Ok);

// The window that owns the program's message boxes.
void setMessageOwner(HWND owner);

// The program is ending: from now on showMessage shows nothing and answers Ok,
// so that no question or report outlives the windows it belongs to.
void stopShowingMessages();

} // namespace kana::win32

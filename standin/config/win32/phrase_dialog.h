// The modal "自定义短语设置" dialog: lists the custom phrases of phrases.ini in
// the program's own folder and saves the file back as it was read.
#pragma once

#include <windows.h>

namespace kana::standin {

enum class PhraseDialogPlacement {
    OverOwner,   // down and to the right of the settings window, overlapping it
    BesideOwner, // both windows side by side, so that neither hides the other
};

// Reads phrases.ini and shows the dialog over `owner`; a missing or unreadable
// file is reported in a message box instead. Returns when the dialog is closed.
void runPhraseDialog(HINSTANCE instance, HWND owner, PhraseDialogPlacement placement);

} // namespace kana::standin

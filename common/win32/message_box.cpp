#include "common/win32/message_box.h"

#include <string>

namespace kana::win32 {

namespace {
HWND g_owner = nullptr;
}

void setMessageOwner(HWND owner) {
    g_owner = owner;
}

Answer showMessage(std::wstring_view text, std::wstring_view title, Buttons buttons) {
    const std::wstring textCopy(text);
    const std::wstring titleCopy(title);
    HWND owner = (g_owner != nullptr && ::IsWindowVisible(g_owner)) ? g_owner : nullptr;
    UINT style = (buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK) | MB_DEFBUTTON1;
    style |= owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL;
    const int result = ::MessageBoxW(owner, textCopy.c_str(), titleCopy.c_str(), style);
    return result == IDOK ? Answer::Ok : Answer::Cancel;
}

} // namespace kana::win32

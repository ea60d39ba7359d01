#include "common/win32/message_box.h"

#include <string>
#include <vector>

namespace kana::win32 {

namespace {

HWND g_owner = nullptr;
bool g_stopped = false;

// A message box is modal to the whole program: while it is up, the program's
// other windows (the help and advertisement windows have no owner) take no
// input either. They are enabled again when it closes.
class OtherWindowsDisabled {
  public:
    explicit OtherWindowsDisabled(HWND owner) : owner_(owner) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &OtherWindowsDisabled::disable,
                            reinterpret_cast<LPARAM>(this));
    }
    OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
    OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;
    ~OtherWindowsDisabled() {
        for (HWND hwnd : disabled_) {
            if (::IsWindow(hwnd)) {
                ::EnableWindow(hwnd, TRUE);
            }
        }
    }

  private:
    static BOOL CALLBACK disable(HWND hwnd, LPARAM self) {
        auto* guard = reinterpret_cast<OtherWindowsDisabled*>(self);
        if (hwnd != guard->owner_ && ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
            ::EnableWindow(hwnd, FALSE);
            guard->disabled_.push_back(hwnd);
        }
        return TRUE;
    }

    HWND owner_;
    std::vector<HWND> disabled_;
};

} // namespace

void setMessageOwner(HWND owner) {
    g_owner = owner;
}

void stopShowingMessages() {
    g_stopped = true;
}

Answer showMessage(std::wstring_view text, std::wstring_view title, Buttons buttons) {
    if (g_stopped) {
        return Answer::Ok;
    }
    const std::wstring textCopy(text);
    const std::wstring titleCopy(title);
    HWND owner = (g_owner != nullptr && ::IsWindowVisible(g_owner)) ? g_owner : nullptr;
    UINT style = (buttons == Buttons::OkCancel ? MB_OKCANCEL : MB_OK) | MB_DEFBUTTON1;
    style |= owner != nullptr ? MB_APPLMODAL : MB_TASKMODAL;
    int result = 0;
    {
        OtherWindowsDisabled modalToProgram(owner);
        result = ::MessageBoxW(owner, textCopy.c_str(), titleCopy.c_str(), style);
    }
    return result == IDOK ? Answer::Ok : Answer::Cancel;
}

} // namespace kana::win32

#include "common/win32/message_box.h"

#include <bitset>
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

// A message box answers only a fresh key press. A key still held from the
// press that started the command (Enter on 安装, say) keeps repeating, and its
// repeats would otherwise press the box's default button before the user has
// read the question. The dialog manager offers every message of the box's
// modal loop to this filter first. A key that is down when the box appears,
// or whose first key-down in the box is a repeat (the key was already down),
// counts as held: its key-downs are dropped until it is released. Then, and
// for every other key, a press works as usual.
class HeldKeysIgnored {
  public:
    HeldKeysIgnored() : previous_(held()) {
        BYTE state[256] = {};
        std::bitset<256> down;
        if (::GetKeyboardState(state)) {
            for (std::size_t key = 0; key < 256; ++key) {
                down[key] = (state[key] & 0x80) != 0;
            }
        }
        held() = down;
        hook_ = ::SetWindowsHookExW(WH_MSGFILTER, &HeldKeysIgnored::filter, nullptr, ::GetCurrentThreadId());
    }
    HeldKeysIgnored(const HeldKeysIgnored&) = delete;
    HeldKeysIgnored& operator=(const HeldKeysIgnored&) = delete;
    ~HeldKeysIgnored() {
        if (hook_ != nullptr) {
            ::UnhookWindowsHookEx(hook_);
        }
        held() = previous_;
    }

  private:
    // The keys held since before the box: one box at a time takes input.
    static std::bitset<256>& held() {
        static std::bitset<256> keys;
        return keys;
    }

    // Whether the box must not see this message.
    static bool isHeldKey(const MSG& message) {
        const std::size_t key = message.wParam & 0xFF;
        switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if ((message.lParam & (1L << 30)) != 0) { // a repeat: the key was already down
                held()[key] = true;
            }
            return held()[key];
        case WM_KEYUP:
        case WM_SYSKEYUP:
            held()[key] = false;
            return false;
        default:
            return false;
        }
    }

    static LRESULT CALLBACK filter(int code, WPARAM wParam, LPARAM lParam) {
        if (code == MSGF_DIALOGBOX && isHeldKey(*reinterpret_cast<const MSG*>(lParam))) {
            return TRUE; // handled: the box never sees it
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    std::bitset<256> previous_;
    HHOOK hook_ = nullptr;
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
        HeldKeysIgnored freshKeysOnly;
        result = ::MessageBoxW(owner, textCopy.c_str(), titleCopy.c_str(), style);
    }
    return result == IDOK ? Answer::Ok : Answer::Cancel;
}

} // namespace kana::win32

#include "common/win32/control_factory.h"

#include <commctrl.h>

#include <string>

#include "common/win32/window_classes.h"

namespace kana::win32 {

bool isCustomControl(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::Frame || kind == ControlKind::Picture ||
           kind == ControlKind::PictureBox;
}

HWND createControlWindow(const ControlSpec& row, HWND parent, const RECT& rect) {
    const wchar_t* className = kLabelClass;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    if ((row.flags & kHidden) == 0) {
        style |= WS_VISIBLE;
    }
    if ((row.flags & kDisabled) != 0) {
        style |= WS_DISABLED;
    }
    if ((row.flags & kTabStop) != 0) {
        style |= WS_TABSTOP;
    }
    switch (row.kind) {
    case ControlKind::Label:
        break;
    case ControlKind::PushButton:
        className = WC_BUTTONW;
        style |= row.background == Background::SystemFace ? BS_PUSHBUTTON : BS_OWNERDRAW;
        if ((row.flags & kWraps) != 0) {
            style |= BS_MULTILINE;
        }
        break;
    case ControlKind::CheckBox:
        className = WC_BUTTONW;
        style |= BS_AUTOCHECKBOX;
        break;
    case ControlKind::OptionButton:
        className = WC_BUTTONW;
        style |= BS_RADIOBUTTON;
        break;
    case ControlKind::Frame:
        className = kFrameClass;
        style |= WS_CLIPCHILDREN;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
    case ControlKind::Picture:
        className = kPictureClass;
        break;
    case ControlKind::PictureBox:
        className = kPictureClass;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::TextBox:
        className = WC_EDITW;
        style |= ES_AUTOVSCROLL | ES_LEFT;
        exStyle |= WS_EX_CLIENTEDGE;
        if ((row.flags & kMultiLine) != 0) {
            style |= ES_MULTILINE;
        }
        if ((row.flags & kReadOnly) != 0) {
            style |= ES_READONLY;
        }
        break;
    case ControlKind::Line:
    case ControlKind::Shape:
        return nullptr;
    }
    const std::wstring caption(row.caption);
    return ::CreateWindowExW(exStyle, className, caption.c_str(), style, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                             ::GetModuleHandleW(nullptr), nullptr);
}

} // namespace kana::win32

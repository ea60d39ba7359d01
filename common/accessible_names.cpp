#include "common/accessible_names.h"

namespace kana {

AccessibleRole accessibleRoleOf(const ControlSpec& control) {
    switch (control.kind) {
    case ControlKind::Label:
        return (control.flags & kLink) != 0 ? AccessibleRole::Link : AccessibleRole::StaticText;
    case ControlKind::Picture:
    case ControlKind::PictureBox:
        return AccessibleRole::Graphic;
    case ControlKind::Frame:
        return AccessibleRole::Grouping;
    default:
        return AccessibleRole::Standard;
    }
}

std::wstring accessibleNameOf(const ControlSpec& control, std::wstring_view text) {
    if (!control.description.empty()) {
        return std::wstring(control.description);
    }
    std::wstring name;
    bool blank = false;
    for (const wchar_t c : text) {
        const bool isBlank = c == L' ' || c == L'\r' || c == L'\n' || c == L'\t' || c == L'\x3000';
        if (isBlank) {
            blank = !name.empty();
            continue;
        }
        if (blank) {
            name += L' ';
            blank = false;
        }
        name += c;
    }
    return name;
}

std::wstring_view defaultActionOf(const ControlSpec& control) {
    switch (accessibleRoleOf(control)) {
    case AccessibleRole::Link:
        return L"打开";
    case AccessibleRole::Graphic:
        return (control.flags & kTabStop) != 0 ? L"单击" : L"";
    default:
        return L"";
    }
}

bool clicksFromKeyboard(const ControlSpec& control) {
    return !defaultActionOf(control).empty();
}

} // namespace kana

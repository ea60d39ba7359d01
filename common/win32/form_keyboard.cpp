// Keyboard navigation of the forms, as the dialog manager gives a dialog: Tab
// and Shift+Tab in the layout's tab order, arrow keys within a group of option
// buttons, Enter on the focused button or link (else the default button), Esc.
// A key held down presses once: its repeats do not run a command again.
#include "common/win32/form.h"

#include <algorithm>

#include "common/accessible_names.h"
#include "common/option_group.h"

namespace kana::win32 {

namespace {

// A control without a place of its own shares one with a control that never
// takes the focus, and follows it in the layout's order.
template <typename State> bool byTabIndex(const State* a, const State* b) {
    return a->row->tabIndex != b->row->tabIndex ? a->row->tabIndex < b->row->tabIndex : a->row < b->row;
}

bool isRepeat(const MSG& message) {
    return (message.lParam & (1L << 30)) != 0; // the key was already down
}

} // namespace

std::vector<const Form::ControlState*> Form::tabOrder() const {
    std::vector<const ControlState*> order;
    for (const ControlState& control : controls_) {
        if (control.hwnd != nullptr && control.row->tabIndex >= 0 && (control.row->flags & kTabStop) != 0 &&
            ::IsWindowVisible(control.hwnd) && ::IsWindowEnabled(control.hwnd)) {
            order.push_back(&control);
        }
    }
    std::sort(order.begin(), order.end(), &byTabIndex<ControlState>);
    return order;
}

void Form::moveFocus(bool forward) {
    const std::vector<const ControlState*> order = tabOrder();
    if (order.empty()) {
        return;
    }
    HWND focus = ::GetFocus();
    std::size_t next = forward ? 0 : order.size() - 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i]->hwnd == focus) {
            next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
            break;
        }
    }
    ::SetFocus(order[next]->hwnd);
}

bool Form::moveWithinOptionGroup(HWND focus, bool forward) {
    const ControlState* current = stateOf(focus);
    if (current == nullptr || current->row->kind != ControlKind::OptionButton) {
        return false;
    }
    // The group: the option buttons of the same container, in tab order.
    std::vector<const ControlState*> members;
    for (const ControlState& control : controls_) {
        if (control.row->kind == ControlKind::OptionButton &&
            control.row->container == current->row->container && control.hwnd != nullptr) {
            members.push_back(&control);
        }
    }
    std::sort(members.begin(), members.end(), &byTabIndex<ControlState>);
    std::vector<OptionSlot> group;
    for (const ControlState* member : members) {
        group.push_back(
            {member->row->id, ::IsWindowVisible(member->hwnd) && ::IsWindowEnabled(member->hwnd)});
    }
    if (const std::optional<int> next = optionAfterArrow(group, current->row->id, forward)) {
        HWND target = control(*next);
        ::SetFocus(target);
        // Selecting by arrow is choosing: the same notification as a click.
        ::SendMessageW(target, BM_CLICK, 0, 0);
    }
    return true;
}

bool Form::pressFocusedOrDefault() {
    if (const ControlState* focused = stateOf(::GetFocus())) {
        if (focused->row->kind == ControlKind::PushButton) {
            ::PostMessageW(focused->hwnd, BM_CLICK, 0, 0);
            return true;
        }
        if (clicksFromKeyboard(*focused->row)) {
            onClick(focused->row->id);
            return true;
        }
    }
    for (const ControlState& control : controls_) {
        if ((control.row->flags & kDefaultButton) != 0 && control.hwnd != nullptr &&
            ::IsWindowEnabled(control.hwnd) && ::IsWindowVisible(control.hwnd)) {
            // As a dialog does: the default button's command, the focus left where it is.
            ::PostMessageW(::GetParent(control.hwnd), WM_COMMAND, MAKEWPARAM(control.row->id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(control.hwnd));
            return true;
        }
    }
    return false;
}

bool Form::focusClicksFromKeyboard() {
    const ControlState* focused = stateOf(::GetFocus());
    return focused != nullptr && clicksFromKeyboard(*focused->row);
}

void Form::clickFocusedControl() {
    if (const ControlState* focused = stateOf(::GetFocus())) {
        onClick(focused->row->id);
    }
}

void Form::showFocusCues() {
    ::SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void Form::focusFirstControl() {
    ::SetFocus(hwnd_);
    moveFocus(true);
}

bool Form::handleDialogKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) {
        return false;
    }
    switch (message.wParam) {
    case VK_TAB:
        moveFocus((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
        showFocusCues();
        return true;
    case VK_RETURN:
        return isRepeat(message) || pressFocusedOrDefault();
    case VK_SPACE:
        if (focusClicksFromKeyboard()) {
            if (!isRepeat(message)) {
                clickFocusedControl();
            }
            return true;
        }
        return false;
    case VK_ESCAPE:
        if (!isRepeat(message)) {
            onEscape();
        }
        return true;
    case VK_LEFT:
    case VK_UP:
        return moveWithinOptionGroup(::GetFocus(), false);
    case VK_RIGHT:
    case VK_DOWN:
        return moveWithinOptionGroup(::GetFocus(), true);
    default:
        return false;
    }
}

bool isProgramDialogKey(MSG& message) {
    Form* form = Form::of(message.hwnd);
    return form != nullptr && form->hwnd() != nullptr && form->handleDialogKey(message);
}

} // namespace kana::win32

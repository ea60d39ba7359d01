#include "common/win32/form.h"

#include <commctrl.h>

#include "common/accessible_names.h"
#include "common/win32/busy_windows.h"
#include "common/resource_ids.h"
#include "common/win32/control_factory.h"
#include "common/win32/dpi_awareness.h"
#include "common/win32/window_classes.h"

namespace kana::win32 {

Form* Form::of(HWND hwnd) {
    HWND root = hwnd != nullptr ? ::GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (root == nullptr || !isFormWindow(root)) {
        return nullptr;
    }
    return reinterpret_cast<Form*>(::GetWindowLongPtrW(root, GWLP_USERDATA));
}

Form::Form(const WindowSpec& layout) : layout_(layout) {
    controls_.reserve(layout.controls.size());
    for (const ControlSpec& control : layout.controls) {
        ControlState state;
        state.row = &control;
        state.fore = control.foreColour;
        state.background = control.background;
        state.stretch = (control.flags & kStretch) != 0;
        controls_.push_back(std::move(state));
    }
}

Form::~Form() {
    if (hwnd_ != nullptr) {
        HWND hwnd = hwnd_;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        ::DestroyWindow(hwnd);
    }
}

bool Form::create() {
    readInitialDpi();
    readColourScheme();

    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (layout_.frame == WindowFrame::FixedTool) {
        exStyle |= WS_EX_TOOLWINDOW;
    } else {
        exStyle |= WS_EX_APPWINDOW;
        if (!layout_.hasProgramIcon) {
            exStyle |= WS_EX_DLGMODALFRAME; // a fixed window without an icon of its own
        }
    }
    RECT outer{0, 0, twipsToPixels(layout_.innerWidth, dpi_), twipsToPixels(layout_.innerHeight, dpi_)};
    ::AdjustWindowRectEx(&outer, style, FALSE, exStyle); // at the system DPI

    const std::wstring title(layout_.title);
    HWND hwnd = ::CreateWindowExW(exStyle, kFormClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        return false;
    }
    adoptMonitorDpi(style, exStyle);
    // The fonts are made only now, at the DPI the window is laid out at.
    defaultFont_ = gdi_.font(layout_.defaultFont, dpi_);
    applyWindowIcons();
    for (const std::size_t index : layout_.creationOrder) {
        if (!createControl(controls_[index])) {
            return false;
        }
    }
    // As a dialog starts: focus rectangles hidden until the keyboard is used,
    // unless the user has asked to see them always.
    ::SendMessageW(hwnd, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    return true;
}

bool Form::createControl(ControlState& control) {
    const ControlSpec& row = *control.row;
    if (row.kind == ControlKind::Line || row.kind == ControlKind::Shape) {
        return true; // drawn by their container
    }
    control.hwnd = createControlWindow(row, containerWindow(row.container), pixelRect(row));
    if (control.hwnd == nullptr) {
        return false;
    }
    // Controls are made in reading order: each new control goes behind the
    // ones before it, where the system has usually put it already.
    if (::GetWindow(control.hwnd, GW_HWNDNEXT) != nullptr) {
        ::SetWindowPos(control.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (row.picture != PictureId::None) {
        const auto index = static_cast<std::size_t>(row.picture);
        if (!pictureLoaded_[index]) {
            pictures_[index] =
                Picture::load(row.picture == PictureId::VendorLogo ? IDR_VENDOR_LOGO : IDR_HELP_ILLUSTRATION);
            pictureLoaded_[index] = true;
        }
        control.picture = pictures_[index] ? &pictures_[index] : nullptr;
    }
    HFONT font = row.font.face.empty() ? defaultFont_ : gdi_.font(row.font, dpi_);
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if ((row.kind == ControlKind::CheckBox || row.kind == ControlKind::OptionButton) &&
        (row.flags & kChecked) != 0) {
        ::SendMessageW(control.hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (!isCustomControl(row.kind)) {
        ::SetWindowSubclass(control.hwnd, &Form::controlSubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    return true;
}

HWND Form::containerWindow(std::wstring_view container) const {
    if (container.empty()) {
        return hwnd_;
    }
    for (const ControlState& control : controls_) {
        if (control.row->name == container) {
            return control.hwnd;
        }
    }
    return hwnd_;
}

Form::ControlState* Form::state(int id) {
    for (ControlState& control : controls_) {
        if (control.row->id == id) {
            return &control;
        }
    }
    return nullptr;
}

const Form::ControlState* Form::state(int id) const {
    return const_cast<Form*>(this)->state(id);
}

Form::ControlState* Form::stateOf(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    for (ControlState& control : controls_) {
        if (control.hwnd == hwnd) {
            return &control;
        }
    }
    return nullptr;
}

HWND Form::control(int id) const {
    const ControlState* control = state(id);
    return control != nullptr ? control->hwnd : nullptr;
}

std::wstring Form::text(int id) const {
    HWND hwnd = control(id);
    if (hwnd == nullptr) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void Form::setText(int id, std::wstring_view text) {
    if (HWND hwnd = control(id)) {
        const std::wstring copy(text);
        ::SetWindowTextW(hwnd, copy.c_str());
        ::InvalidateRect(hwnd, nullptr, TRUE);
    }
}

void Form::setForeColour(int id, Rgb colour) {
    if (ControlState* control = state(id)) {
        control->fore = colour;
        if (control->hwnd != nullptr) {
            ::InvalidateRect(control->hwnd, nullptr, TRUE);
        }
    }
}

std::optional<Rgb> Form::foreColour(int id) const {
    const ControlState* control = state(id);
    return control != nullptr ? control->fore : std::nullopt;
}

void Form::setBackground(int id, Background background) {
    if (ControlState* control = state(id)) {
        control->background = background;
        if (control->hwnd != nullptr) {
            ::InvalidateRect(control->hwnd, nullptr, TRUE);
        }
    }
}

void Form::setEnabled(int id, bool enabled) {
    if (HWND hwnd = control(id)) {
        ::EnableWindow(hwnd, enabled ? TRUE : FALSE);
    }
}

bool Form::isEnabled(int id) const {
    HWND hwnd = control(id);
    return hwnd != nullptr && ::IsWindowEnabled(hwnd);
}

void Form::setChecked(int id, bool checked) {
    if (HWND hwnd = control(id)) {
        ::SendMessageW(hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

bool Form::isChecked(int id) const {
    HWND hwnd = control(id);
    return hwnd != nullptr && ::SendMessageW(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form::setVisible(int id, bool visible) {
    if (HWND hwnd = control(id)) {
        ::ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE);
    }
}

void Form::selectOption(int id) {
    const ControlState* selected = state(id);
    if (selected == nullptr) {
        return;
    }
    for (ControlState& control : controls_) {
        if (control.row->kind == ControlKind::OptionButton &&
            control.row->container == selected->row->container && control.hwnd != nullptr) {
            ::SendMessageW(control.hwnd, BM_SETCHECK, control.row->id == id ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}

void Form::setPicture(int id, const Picture* picture, bool stretch) {
    if (ControlState* control = state(id)) {
        control->picture = picture;
        control->stretch = stretch;
        if (control->hwnd != nullptr) {
            ::InvalidateRect(control->hwnd, nullptr, TRUE);
        }
    }
}

const Picture* Form::layoutPicture(PictureId picture) const {
    const Picture& loaded = pictures_[static_cast<std::size_t>(picture)];
    return loaded ? &loaded : nullptr;
}

void Form::setOuterSizeTwips(int width, int height) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, twipsToPixels(width, dpi_), twipsToPixels(height, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Form::mouseMessage(HWND target, int id, UINT message, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        click_.press(target);
        break;
    case WM_LBUTTONUP:
        if (click_.release(target, lParam)) {
            if (target == hwnd_) {
                onSurfaceClick();
            } else {
                onClick(id);
            }
        }
        break;
    case WM_CAPTURECHANGED:
        click_.captureLost(target);
        break;
    default:
        break;
    }
    return 0;
}

LRESULT Form::controlMessage(ControlState& control, UINT message, WPARAM wParam, LPARAM lParam) {
    const ControlSpec& row = *control.row;
    const bool isFrame = row.kind == ControlKind::Frame;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(control.hwnd, &paint);
        paintControl(control, dc);
        ::EndPaint(control.hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        paintControl(control, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        control.font = reinterpret_cast<HFONT>(wParam);
        if (LOWORD(lParam) != 0) {
            ::InvalidateRect(control.hwnd, nullptr, TRUE);
        }
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(control.font);
    case WM_GETOBJECT:
        if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
            if (const LRESULT answer = control.accessible.answer(control.hwnd, wParam, row)) {
                return answer;
            }
        }
        break;
    case kDefaultActionMessage:
        if (clicksFromKeyboard(row) && defaultActionStillApplies(control.hwnd)) {
            onClick(row.id);
        }
        return 0;
    case WM_DESTROY:
        control.accessible.release();
        break;
    case WM_UPDATEUISTATE: {
        // Passes the state on to the frame's children, then shows or hides the focus rectangle.
        const LRESULT result = ::DefWindowProcW(control.hwnd, message, wParam, lParam);
        if (::GetFocus() == control.hwnd) {
            ::InvalidateRect(control.hwnd, nullptr, FALSE);
        }
        return result;
    }
    case WM_MOUSEMOVE:
        onControlMouseMove(row.id);
        return 0;
    case WM_LBUTTONDOWN:
        if ((row.flags & kLink) != 0) {
            ::SetFocus(control.hwnd); // a link takes the focus when clicked, as in a browser
        }
        return mouseMessage(control.hwnd, row.id, message, lParam);
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        return mouseMessage(control.hwnd, row.id, message, lParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        ::InvalidateRect(control.hwnd, nullptr, FALSE); // a link shows whether it has the focus
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = ::DefWindowProcW(control.hwnd, message, wParam, lParam);
        ::InvalidateRect(control.hwnd, nullptr, FALSE);
        announceNameChange(control.hwnd); // screen readers read the label's new text
        return result;
    }
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        // A frame passes its children's notifications on to the window.
        if (isFrame) {
            return handleMessage(message, wParam, lParam);
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(control.hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Form::controlSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR /*idSubclass*/, DWORD_PTR refData) {
    Form* form = reinterpret_cast<Form*>(refData);
    if (message == WM_MOUSEMOVE && form != nullptr) {
        if (ControlState* control = form->stateOf(hwnd)) {
            form->onControlMouseMove(control->row->id);
        }
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(hwnd, &Form::controlSubclassProc, 1);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Form::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        if (auto* form = static_cast<Form*>(create->lpCreateParams)) {
            form->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
        }
    }
    Form* form = of(hwnd);
    if (form == nullptr || form->hwnd_ == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (hwnd != form->hwnd_) {
        if (ControlState* control = form->stateOf(hwnd)) {
            return form->controlMessage(*control, message, wParam, lParam);
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        form->hwnd_ = nullptr;
        for (ControlState& control : form->controls_) {
            control.hwnd = nullptr;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return form->handleMessage(message, wParam, lParam);
}

void Form::applyActivation(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        focus_.remember(hwnd_);
        return;
    }
    // Back to the control that had the focus; the system's default handling
    // would put it on the window itself.
    if (HIWORD(wParam) != 0 || !focus_.restore(hwnd_)) {
        ::DefWindowProcW(hwnd_, WM_ACTIVATE, wParam, lParam);
    }
    onActivate(reinterpret_cast<HWND>(lParam));
}

LRESULT Form::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(hwnd_, &paint);
        paintContainer(hwnd_, dc);
        ::EndPaint(hwnd_, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        paintContainer(hwnd_, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        ControlState* control = state(id);
        if (control != nullptr && code == BN_CLICKED) {
            if (control->row->kind == ControlKind::OptionButton) {
                selectOption(id);
            }
            onClick(id);
        }
        return 0;
    }
    case WM_DRAWITEM:
        paintButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (const LRESULT brush =
                answerControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
            return brush;
        }
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) {
            onColourSettingChange();
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
        onColourSettingChange();
        break;
    case WM_SETCURSOR: {
        if (BusyWindows::shown()) {
            // Over the whole window, its frame and its disabled controls included.
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        HWND target = reinterpret_cast<HWND>(wParam);
        if (LOWORD(lParam) == HTCLIENT) {
            Pointer pointer = Pointer::Default;
            if (target == hwnd_) {
                pointer = layout_.pointer;
            } else if (ControlState* control = stateOf(target)) {
                pointer = control->row->pointer;
            }
            if (HCURSOR cursor = pointerCursor(pointer, dpi_)) {
                ::SetCursor(cursor);
                return TRUE;
            }
        }
        break;
    }
    case WM_MOUSEMOVE:
        onSurfaceMouseMove();
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        return mouseMessage(hwnd_, 0, message, lParam);
    case WM_ACTIVATE:
        applyActivation(wParam, lParam);
        return 0;
    case WM_DPICHANGED:
        onDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        onCloseBox();
        return 0;
    case WM_DESTROY:
        onDestroyed();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

} // namespace kana::win32

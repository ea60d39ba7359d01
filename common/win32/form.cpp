#include "common/win32/form.h"

#include <commctrl.h>

#include <algorithm>

#include "common/resource_ids.h"
#include "common/text_wrap.h"

namespace kana::win32 {

namespace {

constexpr wchar_t kFormClass[] = L"KanarouteForm";
constexpr wchar_t kFrameClass[] = L"KanarouteFrame";
constexpr wchar_t kLabelClass[] = L"KanarouteLabel";
constexpr wchar_t kPictureClass[] = L"KanaroutePicture";

COLORREF toColorRef(Rgb colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

Form* formOf(HWND hwnd) {
    HWND root = ::GetAncestor(hwnd, GA_ROOT);
    return root != nullptr ? reinterpret_cast<Form*>(::GetWindowLongPtrW(root, GWLP_USERDATA)) : nullptr;
}

bool isOurContainerClass(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return std::wstring_view(name) == kFormClass || std::wstring_view(name) == kFrameClass;
}

LRESULT CALLBACK customControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The controls of our own classes are handled by the form that owns them.
    if (Form* form = formOf(hwnd); form != nullptr && form->hwnd() != nullptr) {
        return Form::windowProc(hwnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

bool registerFormClasses(HINSTANCE instance) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = &Form::windowProc;
    form.hInstance = instance;
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    if (::RegisterClassExW(&form) == 0) {
        return false;
    }
    WNDCLASSEXW control = form;
    control.lpfnWndProc = &customControlProc;
    for (const wchar_t* name : {kFrameClass, kLabelClass, kPictureClass}) {
        control.lpszClassName = name;
        if (::RegisterClassExW(&control) == 0) {
            return false;
        }
    }
    return true;
}

Form::Form(const WindowSpec& layout) : layout_(layout) {
    controls_.reserve(layout.controls.size());
    for (const ControlSpec& control : layout.controls) {
        ControlState state;
        state.row = &control;
        state.fore = control.foreColour;
        state.background = control.background;
        state.stretch = (control.flags & kStretch) != 0;
        controls_.push_back(state);
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
    {
        WindowDc screen(nullptr);
        dpi_ = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    }
    if (dpi_ <= 0) {
        dpi_ = 96;
    }
    defaultFont_ = fontFor(layout_.defaultFont);

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
    ::AdjustWindowRectEx(&outer, style, FALSE, exStyle);

    const std::wstring title(layout_.title);
    HWND hwnd = ::CreateWindowExW(exStyle, kFormClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  ::GetModuleHandleW(nullptr), this);
    if (hwnd == nullptr) {
        return false;
    }
    if (layout_.hasProgramIcon) {
        ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(programIcon(32)));
        ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(programIcon(16)));
    }
    for (ControlState& control : controls_) {
        if (!createControl(control)) {
            return false;
        }
    }
    return true;
}

bool Form::createControl(ControlState& control) {
    const ControlSpec& row = *control.row;
    if (row.kind == ControlKind::Line || row.kind == ControlKind::Shape) {
        return true; // drawn by their container
    }
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
        return true;
    }

    HWND parent = containerWindow(row.container);
    const RECT rect = pixelRect(row);
    const std::wstring caption(row.caption);
    control.hwnd = ::CreateWindowExW(exStyle, className, caption.c_str(), style, rect.left, rect.top,
                                     rect.right - rect.left, rect.bottom - rect.top, parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    if (control.hwnd == nullptr) {
        return false;
    }
    // Rows are listed front to back: each new control goes behind the ones before it.
    ::SetWindowPos(control.hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    control.font = row.font.face.empty() ? defaultFont_ : fontFor(row.font);
    if (row.picture != PictureId::None) {
        auto [slot, added] = pictures_.try_emplace(row.picture);
        if (added) {
            slot->second =
                Picture::load(row.picture == PictureId::VendorLogo ? IDR_VENDOR_LOGO : IDR_HELP_ILLUSTRATION);
        }
        control.picture = slot->second ? &slot->second : nullptr;
    }
    ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(control.font), FALSE);
    if ((row.kind == ControlKind::CheckBox || row.kind == ControlKind::OptionButton) &&
        (row.flags & kChecked) != 0) {
        ::SendMessageW(control.hwnd, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (className != kLabelClass && className != kPictureClass && className != kFrameClass) {
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

RECT Form::pixelRect(const ControlSpec& control) const {
    const int left = twipsToPixels(control.left, dpi_);
    const int top = twipsToPixels(control.top, dpi_);
    return RECT{left, top, left + twipsToPixels(control.width, dpi_),
                top + twipsToPixels(control.height, dpi_)};
}

HFONT Form::fontFor(const FontSpec& font) {
    std::wstring key = std::wstring(font.face) + L"|" + std::to_wstring(static_cast<int>(font.points * 100)) +
                       (font.bold ? L"b" : L"") + (font.underline ? L"u" : L"");
    auto& slot = fonts_[key];
    if (!slot) {
        const std::wstring face(font.face);
        slot.reset(::CreateFontW(pointsToPixelHeight(font.points, dpi_), 0, 0, 0,
                                 font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline ? TRUE : FALSE, FALSE,
                                 GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    }
    return slot.get();
}

HBRUSH Form::brushFor(Rgb colour) {
    auto& slot = brushes_[colour.value];
    if (!slot) {
        slot.reset(::CreateSolidBrush(toColorRef(colour)));
    }
    return slot.get();
}

HBRUSH Form::backgroundBrushOf(HWND hwnd) {
    if (hwnd == hwnd_) {
        return layout_.background == Background::Opaque ? brushFor(layout_.backColour)
                                                        : ::GetSysColorBrush(COLOR_BTNFACE);
    }
    if (ControlState* control = stateOf(hwnd)) {
        switch (control->background) {
        case Background::Opaque:
            return brushFor(control->row->backColour);
        case Background::SystemFace:
            return ::GetSysColorBrush(COLOR_BTNFACE);
        case Background::Transparent:
            return backgroundBrushOf(::GetParent(hwnd));
        }
    }
    return ::GetSysColorBrush(COLOR_BTNFACE);
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
    auto found = pictures_.find(picture);
    return found != pictures_.end() && found->second ? &found->second : nullptr;
}

void Form::setOuterSizeTwips(int width, int height) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, twipsToPixels(width, dpi_), twipsToPixels(height, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::paintContainer(HWND container, HDC dc) {
    RECT client{};
    ::GetClientRect(container, &client);
    ::FillRect(dc, &client, backgroundBrushOf(container));

    std::wstring_view containerName;
    if (ControlState* frame = stateOf(container)) {
        containerName = frame->row->name;
        // The frame's border runs through the middle of its caption.
        SelectedObject font(dc, frame->font);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        RECT border = client;
        border.top = metrics.tmHeight / 2;
        ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
        const std::wstring caption(frame->row->caption);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
        RECT captionRect{7, 0, 7 + extent.cx + 2, metrics.tmHeight};
        ::FillRect(dc, &captionRect, backgroundBrushOf(container));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, frame->fore ? toColorRef(*frame->fore) : ::GetSysColor(COLOR_WINDOWTEXT));
        ::TextOutW(dc, 8, 0, caption.c_str(), static_cast<int>(caption.size()));
    }

    // Lines and outlines are drawn on their container's surface, behind its controls.
    for (const ControlState& control : controls_) {
        const ControlSpec& row = *control.row;
        if (row.container != containerName ||
            (row.kind != ControlKind::Line && row.kind != ControlKind::Shape)) {
            continue;
        }
        const COLORREF colour = (row.flags & kSystemHighlight) != 0 ? ::GetSysColor(COLOR_HIGHLIGHT)
                                                                    : ::GetSysColor(COLOR_WINDOWTEXT);
        unique_hpen pen(::CreatePen(PS_SOLID, 1, colour));
        SelectedObject selectedPen(dc, pen.get());
        if (row.kind == ControlKind::Line) {
            ::MoveToEx(dc, twipsToPixels(row.left, dpi_), twipsToPixels(row.top, dpi_), nullptr);
            ::LineTo(dc, twipsToPixels(row.width, dpi_), twipsToPixels(row.height, dpi_));
        } else {
            SelectedObject brush(dc, ::GetStockObject(NULL_BRUSH));
            const RECT rect = pixelRect(row);
            ::Rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
        }
    }
}

void Form::paintLabel(ControlState& control, HDC dc) {
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    if (control.background == Background::Transparent) {
        // Let the container paint what lies under the label.
        HWND parent = ::GetParent(control.hwnd);
        POINT origin{0, 0};
        ::MapWindowPoints(control.hwnd, parent, &origin, 1);
        POINT previous{};
        ::SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
        paintContainer(parent, dc);
        ::SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    } else {
        ::FillRect(dc, &client, backgroundBrushOf(control.hwnd));
    }
    if (control.row->kind != ControlKind::Label) {
        return;
    }
    SelectedObject font(dc, control.font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, control.fore ? toColorRef(*control.fore) : ::GetSysColor(COLOR_WINDOWTEXT));
    const std::wstring caption = text(control.row->id);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const bool centred = (control.row->flags & kCentered) != 0;
    // Lines are broken by the program's own rule, so that runs of spaces in a
    // caption push the next sentence onto a new line on every system.
    std::map<wchar_t, int> widths;
    const auto charWidth = [&](wchar_t c) {
        auto [slot, added] = widths.try_emplace(c, 0);
        if (added) {
            SIZE size{};
            ::GetTextExtentPoint32W(dc, &c, 1, &size);
            slot->second = size.cx;
        }
        return slot->second;
    };
    int y = client.top;
    for (const TextLine& line : wrapText(caption, client.right - client.left, charWidth)) {
        if (y >= client.bottom) {
            break;
        }
        const wchar_t* start = caption.data() + line.begin;
        const int length = static_cast<int>(line.end - line.begin);
        RECT lineRect{client.left, y, client.right, y + metrics.tmHeight};
        ::DrawTextW(dc, start, length, &lineRect,
                    DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP | (centred ? DT_CENTER : DT_LEFT));
        y += metrics.tmHeight;
    }
}

void Form::paintPicture(ControlState& control, HDC dc) {
    paintLabel(control, dc); // background only
    if (control.picture == nullptr) {
        return;
    }
    RECT client{};
    ::GetClientRect(control.hwnd, &client);
    if (!control.stretch) {
        const SIZE natural = control.picture->naturalSizePixels(dpi_);
        client.right = client.left + natural.cx;
        client.bottom = client.top + natural.cy;
    }
    control.picture->draw(dc, client);
}

void Form::paintButton(const DRAWITEMSTRUCT& item) {
    ControlState* control = stateOf(item.hwndItem);
    if (control == nullptr) {
        return;
    }
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    ::FillRect(dc, &rect, backgroundBrushOf(item.hwndItem));
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    ::DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    SelectedObject font(dc, control->font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    const std::wstring caption = text(control->row->id);
    RECT textRect = rect;
    ::InflateRect(&textRect, -3, -3);
    if (pressed) {
        ::OffsetRect(&textRect, 1, 1);
    }
    if ((control->row->flags & kWraps) != 0) {
        RECT measure = textRect;
        ::DrawTextW(dc, caption.c_str(), -1, &measure,
                    DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT);
        const int height = measure.bottom - measure.top;
        textRect.top += std::max(0L, ((textRect.bottom - textRect.top) - height) / 2);
        ::DrawTextW(dc, caption.c_str(), -1, &textRect,
                    DT_CENTER | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX);
    } else {
        ::DrawTextW(dc, caption.c_str(), -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus = rect;
        ::InflateRect(&focus, -4, -4);
        ::DrawFocusRect(dc, &focus);
    }
}

LRESULT Form::controlMessage(ControlState& control, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isFrame = control.row->kind == ControlKind::Frame;
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(control.hwnd, &paint);
        if (isFrame) {
            paintContainer(control.hwnd, dc);
        } else if (control.row->kind == ControlKind::Label) {
            paintLabel(control, dc);
        } else {
            paintPicture(control, dc);
        }
        ::EndPaint(control.hwnd, &paint);
        return 0;
    }
    case WM_PRINTCLIENT:
        if (isFrame) {
            paintContainer(control.hwnd, reinterpret_cast<HDC>(wParam));
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE:
        onControlMouseMove(control.row->id);
        return 0;
    case WM_LBUTTONDOWN:
        control.pressed = true;
        return 0;
    case WM_LBUTTONUP:
        if (control.pressed) {
            control.pressed = false;
            onClick(control.row->id);
        }
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = ::DefWindowProcW(control.hwnd, message, wParam, lParam);
        ::InvalidateRect(control.hwnd, nullptr, FALSE);
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
    Form* form = formOf(hwnd);
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
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        HWND hwnd = reinterpret_cast<HWND>(lParam);
        ControlState* control = stateOf(hwnd);
        if (control == nullptr) {
            break;
        }
        HBRUSH brush = control->row->kind == ControlKind::TextBox ? ::GetSysColorBrush(COLOR_WINDOW)
                                                                  : backgroundBrushOf(hwnd);
        LOGBRUSH info{};
        ::GetObjectW(brush, sizeof(info), &info);
        ::SetBkColor(dc, info.lbColor);
        if (control->fore) {
            ::SetTextColor(dc, toColorRef(*control->fore));
        }
        return reinterpret_cast<LRESULT>(brush);
    }
    case WM_SETCURSOR: {
        HWND target = reinterpret_cast<HWND>(wParam);
        if (LOWORD(lParam) == HTCLIENT) {
            Pointer pointer = Pointer::Default;
            if (target == hwnd_) {
                pointer = layout_.pointer;
            } else if (ControlState* control = stateOf(target)) {
                pointer = control->row->pointer;
            }
            if (HCURSOR cursor = pointerCursor(pointer)) {
                ::SetCursor(cursor);
                return TRUE;
            }
        }
        break;
    }
    case WM_MOUSEMOVE:
        onSurfaceMouseMove();
        return 0;
    case WM_LBUTTONUP:
        onSurfaceClick();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            onActivate(reinterpret_cast<HWND>(lParam));
        }
        break;
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

void Form::moveFocus(bool forward) {
    std::vector<const ControlState*> order;
    for (const ControlState& control : controls_) {
        if (control.hwnd != nullptr && control.row->tabIndex >= 0 && (control.row->flags & kTabStop) != 0 &&
            ::IsWindowVisible(control.hwnd) && ::IsWindowEnabled(control.hwnd)) {
            order.push_back(&control);
        }
    }
    if (order.empty()) {
        return;
    }
    std::sort(order.begin(), order.end(), [](const ControlState* a, const ControlState* b) {
        return a->row->tabIndex < b->row->tabIndex;
    });
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

bool Form::pressDefaultButton() {
    // Enter clicks the focused push button, or else the window's default button.
    if (const ControlState* focused = stateOf(::GetFocus());
        focused != nullptr && focused->row->kind == ControlKind::PushButton) {
        ::PostMessageW(focused->hwnd, BM_CLICK, 0, 0);
        return true;
    }
    for (const ControlState& control : controls_) {
        if ((control.row->flags & kDefaultButton) != 0 && control.hwnd != nullptr &&
            ::IsWindowEnabled(control.hwnd) && ::IsWindowVisible(control.hwnd)) {
            ::PostMessageW(control.hwnd, BM_CLICK, 0, 0);
            return true;
        }
    }
    return false;
}

void Form::focusFirstControl() {
    ::SetFocus(hwnd_);
    moveFocus(true);
}

bool isProgramDialogKey(MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_TAB && message.wParam != VK_RETURN) ||
        message.hwnd == nullptr) {
        return false;
    }
    HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr || !isOurContainerClass(root)) {
        return false;
    }
    Form* form = reinterpret_cast<Form*>(::GetWindowLongPtrW(root, GWLP_USERDATA));
    if (form == nullptr) {
        return false;
    }
    if (message.wParam == VK_RETURN) {
        // Enter presses the window's default button, as in a dialog.
        return form->pressDefaultButton();
    }
    form->moveFocus((::GetKeyState(VK_SHIFT) & 0x8000) == 0);
    return true;
}

} // namespace kana::win32

// Painting and text layout of the forms: the window surface and frames with
// their lines and outlines, labels with the program's own line breaking,
// pictures, and the owner-drawn push buttons.
#include "common/win32/form.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "common/text_wrap.h"

namespace kana::win32 {

namespace {

// The focus rectangle of a label or picture that has the focus, unless the
// window hides focus rectangles until the keyboard is used.
void drawFocusRectangle(HWND control, HDC dc) {
    if (::GetFocus() != control || (::SendMessageW(control, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0) {
        return;
    }
    RECT client{};
    ::GetClientRect(control, &client);
    ::DrawFocusRect(dc, &client);
}

} // namespace

HBRUSH Form::backgroundBrushOf(HWND hwnd) {
    return gdi_.brush(surfaceOf(hwnd).colour);
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
        RECT captionRect{scaled(7), 0, scaled(7) + extent.cx + scaled(2), metrics.tmHeight};
        ::FillRect(dc, &captionRect, backgroundBrushOf(container));
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, toColorRef(textColourOf(*frame, surfaceOf(container))));
        ::TextOutW(dc, scaled(8), 0, caption.c_str(), static_cast<int>(caption.size()));
    }

    // Lines and outlines are drawn on their container's surface, behind its controls.
    for (const ControlState& control : controls_) {
        const ControlSpec& row = *control.row;
        if (row.container != containerName ||
            (row.kind != ControlKind::Line && row.kind != ControlKind::Shape)) {
            continue;
        }
        // A line without a colour of its own is drawn in its surface's text colour.
        const COLORREF colour =
            (row.flags & kSystemHighlight) != 0
                ? ::GetSysColor(COLOR_HIGHLIGHT)
                : toColorRef(textColour(colours_, surfaceOf(container), std::nullopt, TextRole::Plain));
        unique_hpen pen(::CreatePen(PS_SOLID, scaled(1), colour));
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
        ::OffsetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
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
    ::SetTextColor(dc, toColorRef(textColourOf(control, surfaceOf(control.hwnd))));
    const std::wstring caption = text(control.row->id);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const bool centred = (control.row->flags & kCentered) != 0;
    // Lines are broken by the program's own rule, so that runs of spaces in a
    // caption push the next sentence onto a new line on every system.
    // Each character is measured once; a caption holds few distinct ones.
    std::vector<std::pair<wchar_t, int>> widths;
    const auto charWidth = [&](wchar_t c) -> int {
        return findOrAdd(widths, c, [&] {
            SIZE size{};
            ::GetTextExtentPoint32W(dc, &c, 1, &size);
            return static_cast<int>(size.cx);
        });
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

void Form::paintControl(ControlState& control, HDC dc) {
    switch (control.row->kind) {
    case ControlKind::Frame:
        paintContainer(control.hwnd, dc);
        break;
    case ControlKind::Label:
        paintLabel(control, dc);
        break;
    default:
        paintPicture(control, dc);
        break;
    }
    drawFocusRectangle(control.hwnd, dc);
}

void Form::paintButton(const DRAWITEMSTRUCT& item) {
    ControlState* control = stateOf(item.hwndItem);
    if (control == nullptr) {
        return;
    }
    HDC dc = item.hDC;
    RECT rect = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const Surface surface = surfaceOf(item.hwndItem);
    if (surface.kind == Surface::Kind::Fixed) {
        ::FillRect(dc, &rect, gdi_.brush(surface.colour));
        ::DrawEdge(dc, &rect, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    } else {
        // In the system's colours the button is drawn as the system draws its own.
        RECT frame = rect;
        ::DrawFrameControl(dc, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    SelectedObject font(dc, control->font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, toColorRef(textColourOf(*control, surface)));
    const std::wstring caption = text(control->row->id);
    RECT textRect = rect;
    ::InflateRect(&textRect, -scaled(3), -scaled(3));
    if (pressed) {
        ::OffsetRect(&textRect, scaled(1), scaled(1));
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
    if ((item.itemState & (ODS_FOCUS | ODS_NOFOCUSRECT)) == ODS_FOCUS) {
        RECT focus = rect;
        ::InflateRect(&focus, -scaled(4), -scaled(4));
        ::DrawFocusRect(dc, &focus);
    }
}

} // namespace kana::win32

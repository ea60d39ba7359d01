// The layout of a form at its window's DPI: twips to pixels, fonts, icons and
// margins, applied at creation and again when the window moves to a monitor
// with another scale.
#include "common/win32/form.h"

#include "common/dpi_scale.h"
#include "common/win32/dpi_awareness.h"

#include <utility>

namespace kana::win32 {

void Form::readInitialDpi() {
    dpi_ = usableDpi(systemDpi());
}

void Form::adoptMonitorDpi(DWORD style, DWORD exStyle) {
    const int dpi = firstLayoutDpi(dpi_, monitorDpiOf(hwnd_));
    if (dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    RECT outer{0, 0, twipsToPixels(layout_.innerWidth, dpi_), twipsToPixels(layout_.innerHeight, dpi_)};
    adjustWindowRectForDpi(outer, style, exStyle, dpi_);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Form::pixelRect(const ControlSpec& control) const {
    const int left = twipsToPixels(control.left, dpi_);
    const int top = twipsToPixels(control.top, dpi_);
    return RECT{left, top, left + twipsToPixels(control.width, dpi_),
                top + twipsToPixels(control.height, dpi_)};
}

int Form::scaled(int pixelsAt96) const {
    return scaleForDpi(pixelsAt96, dpi_);
}

void Form::applyWindowIcons() {
    if (!layout_.hasProgramIcon) {
        return;
    }
    // The icons the window shows now are destroyed only once it shows the new
    // ones. The small one goes first: given the big one alone, a system may
    // make a small copy of it for the title bar, only to drop it again.
    unique_hicon bigIcon = programIcon(systemMetricForDpi(SM_CXICON, dpi_));
    unique_hicon smallIcon = programIcon(systemMetricForDpi(SM_CXSMICON, dpi_));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon.get()));
    bigIcon_ = std::move(bigIcon);
    smallIcon_ = std::move(smallIcon);
}

void Form::applyLayoutAtDpi() {
    // The controls keep their old fonts until they have the new ones.
    GdiCache::Fonts previous = gdi_.takeFonts();
    defaultFont_ = gdi_.font(layout_.defaultFont, dpi_);
    for (ControlState& control : controls_) {
        if (control.hwnd == nullptr) {
            continue;
        }
        const RECT rect = pixelRect(*control.row);
        ::SetWindowPos(control.hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT font = control.row->font.face.empty() ? defaultFont_ : gdi_.font(control.row->font, dpi_);
        ::SendMessageW(control.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form::onDpiChanged(int dpi, const RECT& suggested) {
    dpi_ = usableDpi(dpi);
    applyLayoutAtDpi();
    applyWindowIcons();
    // The system's suggestion keeps the window under the pointer while it is dragged.
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace kana::win32

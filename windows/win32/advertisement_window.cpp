#include "windows/win32/advertisement_window.h"

#include "windows/advertisement_window_layout.h"

namespace kana::win32 {

AdvertisementWindow::AdvertisementWindow() : Form(advertisement_window::layout()) {}

void AdvertisementWindow::showModeless() {
    if (!exists()) {
        return;
    }
    ::ShowWindow(hwnd(), SW_SHOW);
    ::SetForegroundWindow(hwnd());
    ::BringWindowToTop(hwnd());
}

void AdvertisementWindow::onSurfaceClick() {
    // Hidden, not discarded: the next opening shows the same window again.
    ::ShowWindow(hwnd(), SW_HIDE);
}

} // namespace kana::win32

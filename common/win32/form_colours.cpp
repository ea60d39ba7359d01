// The colours of a form under the user's colour scheme: which colour each
// surface and text takes is decided in common/colour_scheme.cpp; here the
// system's colours and its high-contrast setting are read, the answers are
// given to the system's controls (WM_CTLCOLOR*), and everything is painted
// again when the system says that its colours or high contrast changed.
#include "common/win32/form.h"

#include "common/win32/control_factory.h"

namespace kana::win32 {

namespace {

int systemColourIndex(SystemColour colour) {
    switch (colour) {
    case SystemColour::Window:
        return COLOR_WINDOW;
    case SystemColour::WindowText:
        return COLOR_WINDOWTEXT;
    case SystemColour::ButtonFace:
        return COLOR_BTNFACE;
    case SystemColour::ButtonText:
        return COLOR_BTNTEXT;
    case SystemColour::HotLight:
        return COLOR_HOTLIGHT;
    case SystemColour::GrayText:
    case SystemColour::Count:
        break;
    }
    return COLOR_GRAYTEXT;
}

bool highContrastIsOn() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof(highContrast);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(highContrast), &highContrast, 0) != FALSE &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

BOOL CALLBACK passColourChangeOn(HWND child, LPARAM) {
    // The system's controls keep colours of their own, as the common
    // controls do; they hear of the change from their parent.
    ::SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

} // namespace

void Form::readColourScheme() {
    colours_.highContrast = highContrastIsOn();
    for (std::size_t i = 0; i < colours_.system.size(); ++i) {
        colours_.system[i] = fromColorRef(::GetSysColor(systemColourIndex(static_cast<SystemColour>(i))));
    }
}

void Form::onColourSettingChange() {
    readColourScheme();
    gdi_.dropBrushes();
    if (hwnd_ != nullptr) {
        for (const ControlState& control : controls_) {
            if (control.hwnd != nullptr && !isCustomControl(control.row->kind)) {
                passColourChangeOn(control.hwnd, 0);
            }
        }
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    }
}

Surface Form::surfaceOf(HWND hwnd) {
    if (hwnd == hwnd_) {
        return surfaceColour(
            colours_, layout_.background == Background::Opaque ? Background::Opaque : Background::SystemFace,
            layout_.backColour);
    }
    if (ControlState* control = stateOf(hwnd)) {
        switch (control->row->kind) {
        case ControlKind::TextBox:
            return textBoxSurface(colours_);
        case ControlKind::PushButton:
            return buttonSurface(colours_, control->background, control->row->backColour);
        default:
            break;
        }
        if (control->background == Background::Transparent) {
            return surfaceOf(::GetParent(hwnd));
        }
        return surfaceColour(colours_, control->background, control->row->backColour);
    }
    return surfaceColour(colours_, Background::SystemFace, kWhite);
}

Rgb Form::textColourOf(const ControlState& control, const Surface& surface) const {
    TextRole role = TextRole::Plain;
    if (control.hwnd != nullptr && !::IsWindowEnabled(control.hwnd)) {
        role = TextRole::Disabled;
    } else if ((control.row->flags & kLink) != 0) {
        role = TextRole::Link;
    }
    return textColour(colours_, surface, control.fore, role);
}

LRESULT Form::answerControlColour(HDC dc, HWND hwnd) {
    ControlState* control = stateOf(hwnd);
    if (control == nullptr) {
        return 0;
    }
    // The background and the text colour are always given together, so that
    // no colour scheme can leave a text in the colour of its background.
    const Surface surface = surfaceOf(hwnd);
    ::SetBkColor(dc, toColorRef(surface.colour));
    ::SetTextColor(dc, toColorRef(textColourOf(*control, surface)));
    return reinterpret_cast<LRESULT>(gdi_.brush(surface.colour));
}

} // namespace kana::win32

// Which colour each part of a window is painted in, under the user's colour
// scheme and with high contrast on or off. Nothing here depends on <windows.h>:
// the Win32 layer fills in the system colours and applies the answers.
//
// Outside high contrast the program keeps the colours of its layout tables,
// but a text is never left to a system colour on a surface of the program's
// own, nor kept in a fixed colour that a dark system surface would swallow.
// With high contrast on, every surface and text takes the system's colours.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "common/layout.h"

namespace kana {

// The system colours the program paints in; the Win32 layer maps each to its
// COLOR_* index.
enum class SystemColour {
    Window,     // surface of windows and text boxes
    WindowText, // text on it
    ButtonFace, // surface of buttons and dialogs
    ButtonText, // text on it
    HotLight,   // links
    GrayText,   // disabled text
    Count,
};

struct ColourScheme {
    bool highContrast = false;
    std::array<Rgb, static_cast<std::size_t>(SystemColour::Count)> system{};

    Rgb operator[](SystemColour colour) const { return system[static_cast<std::size_t>(colour)]; }
    Rgb& operator[](SystemColour colour) { return system[static_cast<std::size_t>(colour)]; }
};

// A surface as it is painted: in a colour of the program's own or in one of
// the system's (which decides the system text colour that goes with it).
struct Surface {
    enum class Kind { Fixed, Window, ButtonFace };
    Kind kind = Kind::Fixed;
    Rgb colour;
};

// What a text says to the user.
enum class TextRole {
    Plain,
    Link,     // opens something when clicked
    Disabled, // belongs to a disabled control
};

// The surface a control or window paints where the layout gives it
// `background` (Opaque or SystemFace; a transparent one shows its
// container's) in `backColour`. Push buttons and text boxes have roles of
// their own below.
Surface surfaceColour(const ColourScheme& scheme, Background background, Rgb backColour);
Surface buttonSurface(const ColourScheme& scheme, Background background, Rgb backColour);
Surface textBoxSurface(const ColourScheme& scheme);

// The colour of a text of the given role on `surface`, where the layout (or
// the program at run time) asks for `fore` (none: the usual text colour).
Rgb textColour(const ColourScheme& scheme, const Surface& surface, std::optional<Rgb> fore, TextRole role);

// The contrast ratio of two colours by the WCAG formula, from 1 (the same
// luminance) to 21 (black on white).
double contrastRatio(Rgb first, Rgb second);

// The least contrast at which a text counts as legible (WCAG's figure for
// large text and for the parts of a control).
inline constexpr double kLegibleContrast = 3.0;

} // namespace kana

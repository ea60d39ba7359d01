#include "common/colour_scheme.h"

#include <algorithm>

namespace kana {

namespace {

// Disabled text on a surface of the program's own.
constexpr Rgb kDisabledGrey{0x808080};

// x to the power 2.4 for x in (0, 1], without the math library's pow (which
// would add kilobytes to the program file): x^0.4 is the root of y^5 = x^2,
// which Newton's method reaches from above.
double power24(double x) {
    const double square = x * x;
    double root = 1.0;
    for (int i = 0; i < 40; ++i) {
        const double fourth = root * root * root * root;
        root -= (fourth * root - square) / (5 * fourth);
    }
    return square * root;
}

// A colour channel in linear light, as the WCAG formula has it.
double channel(std::uint8_t value) {
    const double c = value / 255.0;
    return c <= 0.03928 ? c / 12.92 : power24((c + 0.055) / 1.055);
}

double luminance(Rgb colour) {
    return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
           0.0722 * channel(colour.blue());
}

bool legibleOn(Rgb text, Rgb surface) {
    return contrastRatio(text, surface) >= kLegibleContrast;
}

// Black or white, whichever reads better on surface.
Rgb darkOrLight(Rgb surface) {
    return contrastRatio(kBlack, surface) >= contrastRatio(kWhite, surface) ? kBlack : kWhite;
}

Rgb systemText(const ColourScheme& scheme, const Surface& surface) {
    return surface.kind == Surface::Kind::ButtonFace ? scheme[SystemColour::ButtonText]
                                                     : scheme[SystemColour::WindowText];
}

Surface systemSurface(const ColourScheme& scheme, Surface::Kind kind) {
    return Surface{kind,
                   scheme[kind == Surface::Kind::Window ? SystemColour::Window : SystemColour::ButtonFace]};
}

} // namespace

double contrastRatio(Rgb first, Rgb second) {
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

Surface surfaceColour(const ColourScheme& scheme, Background background, Rgb backColour) {
    if (background == Background::Opaque) {
        return scheme.highContrast ? systemSurface(scheme, Surface::Kind::Window)
                                   : Surface{Surface::Kind::Fixed, backColour};
    }
    return systemSurface(scheme, Surface::Kind::ButtonFace);
}

Surface buttonSurface(const ColourScheme& scheme, Background background, Rgb backColour) {
    if (background == Background::Opaque && !scheme.highContrast) {
        return Surface{Surface::Kind::Fixed, backColour};
    }
    return systemSurface(scheme, Surface::Kind::ButtonFace);
}

Surface textBoxSurface(const ColourScheme& scheme) {
    return systemSurface(scheme, Surface::Kind::Window);
}

Rgb textColour(const ColourScheme& scheme, const Surface& surface, std::optional<Rgb> fore, TextRole role) {
    if (scheme.highContrast) {
        switch (role) {
        case TextRole::Disabled:
            return scheme[SystemColour::GrayText];
        case TextRole::Link:
            return scheme[SystemColour::HotLight];
        case TextRole::Plain:
            return systemText(scheme, surface);
        }
    }
    const bool fixedSurface = surface.kind == Surface::Kind::Fixed;
    if (role == TextRole::Disabled) {
        if (!fixedSurface) {
            return scheme[SystemColour::GrayText];
        }
        return legibleOn(kDisabledGrey, surface.colour) ? kDisabledGrey : darkOrLight(surface.colour);
    }
    if (fixedSurface) {
        // The program's own surface keeps the program's own text colours.
        return fore ? *fore : darkOrLight(surface.colour);
    }
    // A system surface: a fixed colour only where the scheme leaves it legible.
    if (fore && legibleOn(*fore, surface.colour)) {
        return *fore;
    }
    return systemText(scheme, surface);
}

} // namespace kana

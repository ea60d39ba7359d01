// Which colour each surface and text takes under a light or dark colour
// scheme and under high contrast, checked over the real layout tables.
#include <gtest/gtest.h>

#include <string>

#include "app/main_window_layout.h"
#include "common/colour_scheme.h"
#include "windows/advertisement_window_layout.h"
#include "windows/help_window_layout.h"

using namespace kana;

namespace {

ColourScheme scheme(Rgb window, Rgb windowText, Rgb face, Rgb faceText, Rgb gray, bool highContrast = false) {
    ColourScheme result;
    result.highContrast = highContrast;
    result[SystemColour::Window] = window;
    result[SystemColour::WindowText] = windowText;
    result[SystemColour::ButtonFace] = face;
    result[SystemColour::ButtonText] = faceText;
    result[SystemColour::HotLight] = Rgb{0x8080FF};
    result[SystemColour::GrayText] = gray;
    return result;
}

const ColourScheme kLight = scheme(kWhite, kBlack, Rgb{0xF0F0F0}, kBlack, Rgb{0x6D6D6D});
// Dark surfaces and light texts, as Windows' dark contrast themes and many user schemes have.
const ColourScheme kDark = scheme(Rgb{0x000000}, kWhite, Rgb{0x202020}, Rgb{0xFFEE32}, Rgb{0xA6A6A6});

// The surface under a control: its own, or its container's when transparent.
Surface surfaceUnder(const ColourScheme& colours, const WindowSpec& window, const ControlSpec& control,
                     Background background) {
    if (background != Background::Transparent) {
        return control.kind == ControlKind::PushButton
                   ? buttonSurface(colours, background, control.backColour)
                   : surfaceColour(colours, background, control.backColour);
    }
    if (!control.container.empty()) {
        const ControlSpec* frame = findControl(window, control.container);
        return surfaceUnder(colours, window, *frame, frame->background);
    }
    return surfaceColour(colours, window.background, window.backColour);
}

// Every text of a window, with each background and text colour it can take at
// run time (the help topics switch both), legible under colours.
void expectEveryTextLegible(const ColourScheme& colours, const WindowSpec& window) {
    for (const ControlSpec& control : window.controls) {
        if (control.kind == ControlKind::Line || control.kind == ControlKind::Shape ||
            control.kind == ControlKind::Picture || control.kind == ControlKind::PictureBox) {
            continue;
        }
        const bool topic = (control.flags & kLink) != 0 && control.foreColour == kBlack;
        for (const Background background :
             {control.background, topic ? Background::Opaque : control.background}) {
            for (const std::optional<Rgb> fore :
                 {control.foreColour, topic ? std::optional(kRed) : std::nullopt}) {
                if (!fore && control.foreColour) {
                    continue;
                }
                const Surface surface = control.kind == ControlKind::TextBox
                                            ? textBoxSurface(colours)
                                            : surfaceUnder(colours, window, control, background);
                if (surface.kind == Surface::Kind::Fixed && fore) {
                    continue; // both colours are the layout's own, the same under every scheme
                }
                const Rgb text = textColour(colours, surface, fore, TextRole::Plain);
                EXPECT_GE(contrastRatio(text, surface.colour), kLegibleContrast)
                    << std::string(window.name.begin(), window.name.end()) << " "
                    << std::string(control.name.begin(), control.name.end());
            }
        }
    }
}

} // namespace

TEST(ColourScheme, ContrastFollowsTheWcagFormula) {
    EXPECT_DOUBLE_EQ(contrastRatio(kBlack, kWhite), 21.0);
    EXPECT_DOUBLE_EQ(contrastRatio(kRed, kRed), 1.0);
    EXPECT_NEAR(contrastRatio(Rgb{0x808080}, kWhite), 3.95, 0.01);
    EXPECT_NEAR(contrastRatio(kRed, kWhite), 4.0, 0.01);
    EXPECT_NEAR(contrastRatio(Rgb{0x767676}, kWhite), 4.54, 0.01);
    EXPECT_NEAR(contrastRatio(kBlue, Rgb{0x1A1A1A}), 2.03, 0.01);
}

TEST(ColourScheme, EveryTextStaysLegibleUnderLightAndDarkSchemes) {
    for (const ColourScheme* colours : {&kLight, &kDark}) {
        for (const WindowSpec* window :
             {&main_window::layout(), &help_window::layout(), &advertisement_window::layout()}) {
            expectEveryTextLegible(*colours, *window);
        }
    }
}

TEST(ColourScheme, OutsideHighContrastTheProgramsOwnSurfacesKeepTheirColours) {
    for (const ColourScheme* colours : {&kLight, &kDark}) {
        const Surface white = surfaceColour(*colours, Background::Opaque, kWhite);
        EXPECT_EQ(white.colour, kWhite);
        // The hint line's green and red and the blue backup labels, whatever the scheme.
        for (const Rgb fore : {kGreen, kRed, kDarkBlue, kBlue}) {
            EXPECT_EQ(textColour(*colours, white, fore, TextRole::Plain), fore);
        }
        // A text without a colour of its own is dark on white, not the system's text colour.
        EXPECT_EQ(textColour(*colours, white, std::nullopt, TextRole::Plain), kBlack);
        EXPECT_EQ(buttonSurface(*colours, Background::Opaque, kYellow).colour, kYellow);
        EXPECT_GE(contrastRatio(textColour(*colours, white, std::nullopt, TextRole::Disabled), kWhite),
                  kLegibleContrast);
    }
    // On the system's face, black stays black where the face is light, and
    // gives way to the system's text colour where it is dark.
    EXPECT_EQ(
        textColour(kLight, surfaceColour(kLight, Background::SystemFace, kWhite), kBlack, TextRole::Plain),
        kBlack);
    EXPECT_EQ(
        textColour(kDark, surfaceColour(kDark, Background::SystemFace, kWhite), kBlack, TextRole::Plain),
        kDark[SystemColour::ButtonText]);
}

TEST(ColourScheme, HighContrastPaintsEverythingInSystemColours) {
    const ColourScheme colours =
        scheme(Rgb{0x000000}, kWhite, Rgb{0x101010}, Rgb{0xFFFF00}, Rgb{0x3FF23F}, /*highContrast=*/true);
    const Surface window = surfaceColour(colours, Background::Opaque, kWhite);
    EXPECT_EQ(window.kind, Surface::Kind::Window);
    EXPECT_EQ(window.colour, colours[SystemColour::Window]);
    const Surface face = surfaceColour(colours, Background::SystemFace, kWhite);
    EXPECT_EQ(face.colour, colours[SystemColour::ButtonFace]);
    const Surface button = buttonSurface(colours, Background::Opaque, kYellow);
    EXPECT_EQ(button.colour, colours[SystemColour::ButtonFace]);
    EXPECT_EQ(textBoxSurface(colours).colour, colours[SystemColour::Window]);

    EXPECT_EQ(textColour(colours, window, kGreen, TextRole::Plain), colours[SystemColour::WindowText]);
    EXPECT_EQ(textColour(colours, button, std::nullopt, TextRole::Plain), colours[SystemColour::ButtonText]);
    EXPECT_EQ(textColour(colours, window, kBlue, TextRole::Link), colours[SystemColour::HotLight]);
    EXPECT_EQ(textColour(colours, button, std::nullopt, TextRole::Disabled), colours[SystemColour::GrayText]);
}

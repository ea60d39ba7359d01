// Layout tables: every window of the program is described as data (one row per
// control, positions in twips) and built by one generic builder in the Win32
// layer. Nothing here depends on <windows.h>.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace kana {

// A 24-bit colour written as 0xRRGGBB.
struct Rgb {
    std::uint32_t value = 0;
    constexpr std::uint8_t red() const { return static_cast<std::uint8_t>(value >> 16); }
    constexpr std::uint8_t green() const { return static_cast<std::uint8_t>(value >> 8); }
    constexpr std::uint8_t blue() const { return static_cast<std::uint8_t>(value); }
    friend constexpr bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kBlack{0x000000};
inline constexpr Rgb kWhite{0xFFFFFF};
inline constexpr Rgb kRed{0xFF0000};
inline constexpr Rgb kGreen{0x008000};
inline constexpr Rgb kBlue{0x0000FF};
inline constexpr Rgb kDarkBlue{0x0000C0};
inline constexpr Rgb kYellow{0xFFFF00};
inline constexpr Rgb kLightYellow{0xFFFF80};

enum class ControlKind {
    Label,
    PushButton,
    CheckBox,
    OptionButton,
    Frame,      // a container with a caption drawn on its border
    Picture,    // shows a picture resource, no border
    PictureBox, // a bordered box that can show a picture
    TextBox,
    Line,  // left/top/width/height hold x1, y1, x2, y2
    Shape, // an outline rectangle
};

// Which background a control paints.
enum class Background {
    Transparent, // the container shows through
    Opaque,      // the control's back colour
    SystemFace,  // the standard face colour of buttons and dialogs
};

// Mouse pointers the program can show.
enum class Pointer {
    Default,
    ArrowQuestion,  // the system's arrow with a question mark
    ProgramPointer, // made from the program's pointer icon
    ArrowIcon,      // the white arrow pointer icon
    HandIcon,       // the gloved hand pointer icon
    FaceIcon,       // the smiling face pointer icon
};

// Pictures the program shows.
enum class PictureId { None, VendorLogo, HelpIllustration };

struct FontSpec {
    std::wstring_view face; // empty: the window's default font
    double points = 0;
    bool bold = false;
    bool underline = false;
};

// Behaviour flags of one control.
enum ControlFlags : std::uint32_t {
    kNone = 0,
    kWraps = 1u << 0,     // text wraps at the control's width
    kCentered = 1u << 1,  // text centred horizontally
    kMultiLine = 1u << 2, // text box with several lines
    kReadOnly = 1u << 3,  // text box the user can select but not change
    kStretch = 1u << 4,   // picture scaled to fill its area
    kTabStop = 1u << 5,   // takes the keyboard focus with Tab
    kHidden = 1u << 6,    // not visible at creation
    kDisabled = 1u << 7,  // disabled at creation
    kChecked = 1u << 8,   // ticked / selected at creation
    kDefaultButton = 1u << 9,
    kSystemHighlight = 1u << 10, // line drawn in the system's highlight colour
    kLink = 1u << 11,            // a label the user clicks to go somewhere, like a web link
};

struct ControlSpec {
    int id;                 // the control's window identifier
    std::wstring_view name; // the name the program uses (Command1, Label2, ...)
    ControlKind kind;
    std::wstring_view container; // empty: the window itself; otherwise a frame's name
    std::wstring_view caption;
    int left, top, width, height; // twips, relative to the container's inner area
    int tabIndex;                 // position in the tab order; -1 for none
    FontSpec font{};
    Background background = Background::Transparent;
    Rgb backColour = kWhite;
    std::optional<Rgb> foreColour{}; // empty: the system's text colour
    Pointer pointer = Pointer::Default;
    PictureId picture = PictureId::None;
    std::uint32_t flags = kNone;
    // What a screen reader calls a control that shows no text (a picture).
    std::wstring_view description{};
};

enum class WindowFrame {
    FixedSingle, // fixed border, close box only
    FixedTool,   // fixed tool window: narrow title bar, close box only, no task-bar button
};

struct WindowSpec {
    std::wstring_view name;
    std::wstring_view title;
    int innerWidth, innerHeight; // twips
    WindowFrame frame;
    Background background; // Opaque uses backColour; SystemFace the dialog face
    Rgb backColour;
    bool hasProgramIcon;
    Pointer pointer;
    FontSpec defaultFont;
    // Controls listed front to back: of two that overlap, the earlier row is
    // drawn on top. The windows are made in reading order otherwise
    // (reading_order.h), which is the order screen readers follow.
    std::span<const ControlSpec> controls;
    // The order in which the controls' windows are made (reading_order.h).
    std::span<const std::uint8_t> creationOrder{};
};

// twips to device pixels at the given dots per inch, rounded to nearest.
constexpr int twipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + 720) / 1440 : -((-scaled + 720) / 1440));
}

// Points to the (negative) font height in pixels used to create a font.
constexpr int pointsToPixelHeight(double points, int dpi) {
    return -static_cast<int>(points * dpi / 72.0 + 0.5);
}

const ControlSpec* findControl(const WindowSpec& window, std::wstring_view name);

} // namespace kana

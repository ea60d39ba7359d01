// The program under the user's colours. Under a dark colour scheme (dark
// surfaces and light texts in the test prefix's HKCU\Control Panel\Colors,
// put back afterwards) every text of the main window and the help window
// stays legible, as measured on the screen. With high contrast switched on
// inside the program (by the probe library: Wine cannot switch it on) both
// windows repaint in the system's colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window_layout.h"
#include "common/colour_scheme.h"
#include "tests/e2e/driver.h"
#include "windows/help_window_layout.h"

using namespace e2e;
using kana::Rgb;

namespace {

// The dark scheme: each value is a system colour's registry name and its colour.
constexpr Rgb kWindow{0x101010};
constexpr Rgb kWindowText{0xFFFFFF};
constexpr Rgb kButtonFace{0x303030};
constexpr Rgb kButtonText{0xFFEE32};
constexpr Rgb kHotLight{0x80A0FF};
const std::vector<std::pair<std::wstring, Rgb>> kDarkScheme = {
    {L"Window", kWindow},
    {L"WindowText", kWindowText},
    {L"ButtonFace", kButtonFace},
    {L"ButtonText", kButtonText},
    {L"GrayText", Rgb{0xA6A6A6}},
    {L"HotTrackingColor", kHotLight},
    {L"Hilight", Rgb{0xD6B4FD}},
    {L"HilightText", kWindow},
    {L"ButtonHilight", Rgb{0x707070}},
    {L"ButtonLight", Rgb{0x505050}},
    {L"ButtonShadow", Rgb{0x181818}},
    {L"ButtonDkShadow", Rgb{0x000000}},
};

// Writes the dark scheme for the programs started while it lives, and puts
// the previous values back at the end, so that no other test sees it.
class DarkScheme {
  public:
    DarkScheme() {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Colors", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key_, nullptr);
        for (const auto& [name, colour] : kDarkScheme) {
            wchar_t value[64] = {};
            DWORD size = sizeof(value);
            std::optional<std::wstring> previous;
            if (RegQueryValueExW(key_, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value),
                                 &size) == ERROR_SUCCESS) {
                previous = value;
            }
            previous_.emplace_back(name, previous);
            write(name, std::to_wstring(colour.red()) + L" " + std::to_wstring(colour.green()) + L" " +
                            std::to_wstring(colour.blue()));
        }
    }
    DarkScheme(const DarkScheme&) = delete;
    DarkScheme& operator=(const DarkScheme&) = delete;
    ~DarkScheme() {
        for (const auto& [name, previous] : previous_) {
            if (previous) {
                write(name, *previous);
            } else {
                RegDeleteValueW(key_, name.c_str());
            }
        }
        RegCloseKey(key_);
    }

  private:
    void write(const std::wstring& name, const std::wstring& value) {
        RegSetValueExW(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }

    HKEY key_ = nullptr;
    std::vector<std::pair<std::wstring, std::optional<std::wstring>>> previous_;
};

std::string hex(Rgb colour) {
    char text[8] = {};
    std::snprintf(text, sizeof(text), "%06X", static_cast<unsigned>(colour.value));
    return text;
}

// The pixels of a rectangle (window coordinates) of a screen image.
std::vector<Rgb> pixelsIn(const ScreenImage& image, RECT rect) {
    const int stride = (image.width * 3 + 3) & ~3;
    std::vector<Rgb> pixels;
    for (int y = std::max<int>(rect.top, 0); y < std::min<int>(rect.bottom, image.height); ++y) {
        for (int x = std::max<int>(rect.left, 0); x < std::min<int>(rect.right, image.width); ++x) {
            const std::size_t at = static_cast<std::size_t>((image.height - 1 - y) * stride + x * 3);
            const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(image.pixels[at + i]); };
            pixels.push_back(Rgb{(std::uint32_t{byte(2)} << 16) | (std::uint32_t{byte(1)} << 8) | byte(0)});
        }
    }
    return pixels;
}

// The most common colour: the background.
Rgb background(const std::vector<Rgb>& pixels) {
    std::map<std::uint32_t, int> counts;
    for (const Rgb pixel : pixels) {
        ++counts[pixel.value];
    }
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most != counts.end() ? Rgb{most->first} : Rgb{};
}

// Whether some pixel is (nearly, text is smoothed) of the colour.
bool shows(const std::vector<Rgb>& pixels, Rgb colour) {
    return std::any_of(pixels.begin(), pixels.end(), [&](Rgb pixel) {
        return std::abs(pixel.red() - colour.red()) + std::abs(pixel.green() - colour.green()) +
                   std::abs(pixel.blue() - colour.blue()) <=
               48;
    });
}

int scaled(int pixelsAt96) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(pixelsAt96, dpi, 96);
}

// Where a control shows its text, in the coordinates of the window's image:
// past the box of a check box or option button, inside a button's or text
// box's edge, in the caption of a frame.
RECT textArea(HWND window, HWND control, kana::ControlKind kind) {
    RECT outer{};
    GetWindowRect(window, &outer);
    RECT rect{};
    GetWindowRect(control, &rect);
    OffsetRect(&rect, -outer.left, -outer.top);
    switch (kind) {
    case kana::ControlKind::CheckBox:
    case kana::ControlKind::OptionButton:
        rect.left += scaled(20);
        break;
    case kana::ControlKind::PushButton:
    case kana::ControlKind::TextBox:
        InflateRect(&rect, -scaled(4), -scaled(4));
        break;
    case kana::ControlKind::Frame:
        rect = RECT{rect.left + scaled(10), rect.top + 1, rect.left + scaled(50), rect.top + scaled(15)};
        break;
    default:
        break;
    }
    return rect;
}

std::vector<Rgb> textPixels(const ScreenImage& image, HWND window, int id, kana::ControlKind kind) {
    return pixelsIn(image, textArea(window, child(window, id), kind));
}

// Every visible text of the window: its background is the most common colour
// of its rectangle, and its text reaches a contrast of 3 against it.
void expectEveryTextLegible(HWND window, const kana::WindowSpec& layout, const std::wstring& shot) {
    saveScreenshot(window, shot); // repaints first
    const ScreenImage image = captureScreen(window);
    for (const kana::ControlSpec& row : layout.controls) {
        HWND control = child(window, row.id);
        if (control == nullptr || !IsWindowVisible(control) || row.kind == kana::ControlKind::Picture ||
            row.kind == kana::ControlKind::PictureBox) {
            continue;
        }
        if (!isEnabled(control) &&
            (row.kind == kana::ControlKind::CheckBox || row.kind == kana::ControlKind::OptionButton)) {
            continue; // the system draws these disabled texts in its own grey (WCAG exempts inactive
                      // controls)
        }
        if (row.background == kana::Background::Opaque && row.foreColour &&
            kana::contrastRatio(*row.foreColour, row.backColour) < kana::kLegibleContrast) {
            continue; // both colours are the layout's own (blue on red), the same under every scheme
        }
        const std::vector<Rgb> pixels = textPixels(image, window, row.id, row.kind);
        const Rgb back = background(pixels);
        int legible = 0;
        double best = 1;
        for (const Rgb pixel : pixels) {
            const double contrast = kana::contrastRatio(pixel, back);
            best = std::max(best, contrast);
            legible += contrast >= kana::kLegibleContrast ? 1 : 0;
        }
        EXPECT_GE(legible, 5) << std::string(row.name.begin(), row.name.end()) << ": background " << hex(back)
                              << ", best contrast " << best;
    }
}

} // namespace

TEST(ColourSchemes, UnderADarkSchemeEveryTextStaysLegible) {
    const InputMethod method = installInputMethod(L"dark-scheme");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    writeFile(method.file(L"phrases最初备份.ini"), phraseFile("initial"));
    writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
    const DarkScheme scheme;
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    expectEveryTextLegible(window, kana::main_window::layout(), L"dark-scheme-main-window");

    postClick(child(window, kana::main_window::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    expectEveryTextLegible(help, kana::help_window::layout(), L"dark-scheme-help-window");
}

TEST(ColourSchemes, HighContrastRepaintsBothWindowsInTheSystemColours) {
    const InputMethod method = installInputMethod(L"high-contrast");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    const DarkScheme scheme;
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    postClick(child(window, kana::main_window::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    askInsideTheProgram(program, {}, /*highContrast=*/true);

    // The help window goes aside while the main window is looked at.
    RECT helpRect{};
    GetWindowRect(help, &helpRect);
    const auto moveHelp = [&](int left) {
        SetWindowPos(help, nullptr, left, helpRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    moveHelp(GetSystemMetrics(SM_CXSCREEN) - 8);

    using namespace kana::main_window;
    saveScreenshot(window, L"high-contrast-main-window");
    const ScreenImage main = captureScreen(window);
    const auto mainText = [&](int id, kana::ControlKind kind) { return textPixels(main, window, id, kind); };
    // The white surface takes the window colour, every text the system's.
    const std::vector<Rgb> hint = mainText(kDlg, kana::ControlKind::Label);
    EXPECT_EQ(hex(background(hint)), hex(kWindow));
    EXPECT_TRUE(shows(hint, kWindowText));
    EXPECT_FALSE(shows(hint, kana::kGreen));
    const std::vector<Rgb> title = mainText(kLabel1, kana::ControlKind::Label);
    EXPECT_TRUE(shows(title, kWindowText));
    EXPECT_FALSE(shows(title, kana::kRed));
    const std::vector<Rgb> backupTime = mainText(kLabel5, kana::ControlKind::Label);
    EXPECT_EQ(hex(background(backupTime)), hex(kWindow));
    EXPECT_FALSE(shows(backupTime, kana::kDarkBlue));
    // Links in the link colour.
    const std::vector<Rgb> link = mainText(kLabel3, kana::ControlKind::Label);
    EXPECT_TRUE(shows(link, kHotLight));
    EXPECT_FALSE(shows(link, kana::kBlue));
    // The owner-drawn buttons as the system's own, the yellow one too.
    for (const int button : {kCommand3, kCommand6}) {
        const std::vector<Rgb> face = mainText(button, kana::ControlKind::PushButton);
        EXPECT_EQ(hex(background(face)), hex(kButtonFace)) << button;
        EXPECT_TRUE(shows(face, kButtonText)) << button;
    }

    moveHelp(helpRect.left);
    saveScreenshot(help, L"high-contrast-help-window");
    const ScreenImage helpImage = captureScreen(help);
    namespace help_ids = kana::help_window;
    const std::vector<Rgb> topic = textPixels(helpImage, help, help_ids::kLabel1, kana::ControlKind::Label);
    EXPECT_EQ(hex(background(topic)), hex(kButtonFace));
    EXPECT_TRUE(shows(topic, kHotLight));
    const std::vector<Rgb> note = textPixels(helpImage, help, help_ids::kLabel5, kana::ControlKind::Label);
    EXPECT_EQ(hex(background(note)), hex(kWindow));
    EXPECT_TRUE(shows(note, kWindowText));
    const std::vector<Rgb> text = textPixels(helpImage, help, help_ids::kText1, kana::ControlKind::TextBox);
    EXPECT_EQ(hex(background(text)), hex(kWindow));
}

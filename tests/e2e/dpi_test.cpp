// The program at other screen scales: with the test prefix's LogPixels at 120,
// 144 and 192 DPI, every window and control rectangle is its twips value at
// that DPI (a window larger than the test screen is kept within it); on a
// monitor whose scale differs from the system's, from the first window on and
// after a move, every control has the rectangle and font of that monitor's DPI.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/advertisement_window_layout.h"
#include "windows/help_window_layout.h"

using namespace e2e;

namespace {

// A control's rectangle in its parent's client coordinates.
RECT rectInParent(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool within1px(int seen, int expected) {
    return seen - expected <= 1 && expected - seen <= 1;
}

// Compares every control of a window built from `layout` with its twips at dpi.
void expectControlsAt(HWND window, const kana::WindowSpec& layout, int dpi) {
    for (const kana::ControlSpec& row : layout.controls) {
        HWND control = child(window, row.id);
        if (control == nullptr) {
            continue; // lines and outlines are drawn by their container
        }
        const RECT seen = rectInParent(control);
        const int left = kana::twipsToPixels(row.left, dpi);
        const int top = kana::twipsToPixels(row.top, dpi);
        EXPECT_TRUE(within1px(seen.left, left) && within1px(seen.top, top) &&
                    within1px(seen.right - seen.left, kana::twipsToPixels(row.width, dpi)) &&
                    within1px(seen.bottom - seen.top, kana::twipsToPixels(row.height, dpi)))
            << std::wstring(layout.name) << "." << std::wstring(row.name) << " at " << dpi << ": "
            << seen.left << "," << seen.top << " " << seen.right - seen.left << "x" << seen.bottom - seen.top;
    }
}

// The window's inner size and every control, at dpi.
void expectLayoutAt(HWND window, const kana::WindowSpec& layout, int dpi) {
    RECT client{};
    GetClientRect(window, &client);
    RECT outer{};
    GetWindowRect(window, &outer);
    // At 192 DPI the main window is wider than the 1024 x 768 test screen; the
    // system then keeps it within the screen, as it would on a small monitor.
    const auto sizeFits = [](int seen, int expected, int outerSize, int screen) {
        return outerSize >= screen ? seen <= expected : within1px(seen, expected);
    };
    EXPECT_TRUE(sizeFits(client.right, kana::twipsToPixels(layout.innerWidth, dpi), outer.right - outer.left,
                         GetSystemMetrics(SM_CXSCREEN)))
        << std::wstring(layout.name) << " width " << client.right << " at " << dpi;
    EXPECT_TRUE(sizeFits(client.bottom, kana::twipsToPixels(layout.innerHeight, dpi),
                         outer.bottom - outer.top, GetSystemMetrics(SM_CYSCREEN)))
        << std::wstring(layout.name) << " height " << client.bottom << " at " << dpi;
    expectControlsAt(window, layout, dpi);
}

// The DPI awareness of a window as the system reports it (-1 where the system
// cannot tell): 2 is per monitor.
int dpiAwarenessOf(HWND window) {
    using WindowContext = HANDLE(WINAPI*)(HWND);
    using AwarenessOf = int(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    const auto windowContext = reinterpret_cast<WindowContext>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetWindowDpiAwarenessContext")));
    const auto awarenessOf = reinterpret_cast<AwarenessOf>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    return windowContext != nullptr && awarenessOf != nullptr ? awarenessOf(windowContext(window)) : -1;
}

// The program's icon in the window's title bar and task-bar button: the sizes
// the system asks for at dpi.
void expectIconsAt(const InsideReport& inside, HWND form, int dpi) {
    const auto icons = inside.icons.find(textOf(form));
    ASSERT_NE(icons, inside.icons.end()) << "the probe did not see " << textOf(form);
    EXPECT_EQ(icons->second.bigIcon, MulDiv(32, dpi, 96)) << textOf(form) << " at " << dpi;
    EXPECT_EQ(icons->second.smallIcon, MulDiv(16, dpi, 96)) << textOf(form) << " at " << dpi;
}

void checkAt(int dpi) {
    const ScreenDpi scale(static_cast<DWORD>(dpi));
    const InputMethod method = installInputMethod(L"dpi" + std::to_wstring(dpi));
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(dpiAwarenessOf(window), 2) << "per monitor";
    expectLayoutAt(window, kana::main_window::layout(), dpi);
    if (dpi == 144) {
        saveScreenshot(window, L"main-window-144dpi");
    }
    postClick(child(window, kana::main_window::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    expectLayoutAt(help, kana::help_window::layout(), dpi);
    const InsideReport inside = askInsideTheProgram(program);
    expectIconsAt(inside, window, dpi);
    expectIconsAt(inside, help, dpi);
}

} // namespace

TEST(HighDpi, EveryRectangleIsItsTwipsAt120Dpi) {
    checkAt(120);
}

TEST(HighDpi, EveryRectangleIsItsTwipsAt144Dpi) {
    checkAt(144);
}

TEST(HighDpi, EveryRectangleIsItsTwipsAt192Dpi) {
    checkAt(192);
}

TEST(HighDpi, AMoveToAMonitorWithAnotherScaleLaysTheWindowOutAgainAtTheSuggestedRectangle) {
    const InputMethod method = installInputMethod(L"dpi-changed");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    const int screenDpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSY);
    RECT before{};
    GetWindowRect(window, &before);

    // As when the window is dragged onto a monitor at 144 DPI.
    const InsideReport inside = askInsideTheProgram(program, 144);
    const std::map<int, InsideView>& views = inside.controls;
    ASSERT_FALSE(views.empty()) << "the probe reported nothing";
    expectIconsAt(inside, window, 144);
    RECT after{};
    GetWindowRect(window, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(after.right - after.left, MulDiv(before.right - before.left, 144, screenDpi));
    EXPECT_EQ(after.bottom - after.top, MulDiv(before.bottom - before.top, 144, screenDpi));
    const kana::WindowSpec& layout = kana::main_window::layout();
    expectControlsAt(window, layout, 144);
    for (const kana::ControlSpec& row : layout.controls) {
        if (const auto found = views.find(row.id); found != views.end()) {
            EXPECT_EQ(found->second.font, layoutFont(row.font, layout.defaultFont, 144))
                << std::wstring(row.name);
        }
    }
}

// Windows 10 and 11 give a per-monitor aware program the DPI of the monitor
// its window opens on, which may differ from the system's (a laptop with an
// external screen, a scale changed without signing out, Remote Desktop). Wine
// always gives the system's, so a probe loaded before the program's first
// instruction makes every window of the program see 144 DPI at a system DPI
// of 96.
TEST(HighDpi, WindowsOpenedOnAMonitorWithAnotherScaleHaveItsFontsAndRectangles) {
    const InputMethod method = installInputMethod(L"monitor-dpi");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    ASSERT_EQ(GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 96);
    const std::wstring probe = binDir() + L"\\monitor_dpi_probe.dll";
    writeFile(probe + L".dpi", "144");
    Program program(L"", L"", true, probe);
    DeleteFileW((probe + L".dpi").c_str());
    ASSERT_TRUE(program.loadedAtStart());
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    postClick(child(window, kana::main_window::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    HWND advertisingLine = child(window, kana::main_window::kLabel8);
    PostMessageW(advertisingLine, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(advertisingLine, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    HWND advertisement = program.waitForWindow(L"KanarouteForm", L"广告栏");
    ASSERT_NE(advertisement, nullptr);

    const InsideReport inside = askInsideTheProgram(program);
    const std::pair<HWND, const kana::WindowSpec*> windows[] = {
        {window, &kana::main_window::layout()},
        {help, &kana::help_window::layout()},
        {advertisement, &kana::advertisement_window::layout()},
    };
    for (const auto& [hwnd, layout] : windows) {
        expectControlsAt(hwnd, *layout, 144);
        const auto views = inside.controlsOf.find(textOf(hwnd));
        ASSERT_NE(views, inside.controlsOf.end()) << "the probe did not see " << textOf(hwnd);
        int fonts = 0;
        for (const kana::ControlSpec& row : layout->controls) {
            if (const auto found = views->second.find(row.id); found != views->second.end()) {
                EXPECT_EQ(found->second.font, layoutFont(row.font, layout->defaultFont, 144))
                    << std::wstring(layout->name) << "." << std::wstring(row.name);
                ++fonts;
            }
        }
        EXPECT_GT(fonts, 0) << std::wstring(layout->name);
    }
    expectIconsAt(inside, window, 144);
    expectIconsAt(inside, help, 144);
}

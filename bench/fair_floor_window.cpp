// The fair floor of the start-up measurement: one window of the main window's
// size that does what any program showing that window must do, and nothing of
// Kanaroute's own. It creates every font the main window uses (read from the
// main window's layout table), draws one line of Chinese in each, and shows
// one picture of the vendor logo's size the way Windows draws a bitmap
// natively (a device-independent bitmap, no picture decoder). Built with the
// same toolchain and options as Kanaroute.exe. Built a second time with the
// start-up probes (FairFloorProbed.exe) for the benchmark's breakdown.
#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "common/win32/startup_probe.h"

namespace {

constexpr wchar_t kClassName[] = L"BenchFairFloorWindow";
constexpr int kPictureWidth = 150; // the vendor logo's size in pixels
constexpr int kPictureHeight = 45;
constexpr wchar_t kChineseLine[] = L"搜狗输入法日语词条安装：备份、恢复与卸载";

struct FairFloor {
    int dpi = 96;
    std::vector<HFONT> fonts;
    // An 8-bit bitmap with a palette, as a logo of few colours is stored.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    std::vector<BYTE> pixels;
};

void createFonts(FairFloor& floor) {
    const kana::WindowSpec& window = kana::main_window::layout();
    std::vector<kana::FontSpec> distinct;
    auto addFont = [&](const kana::FontSpec& font) {
        const kana::FontSpec& used = font.face.empty() ? window.defaultFont : font;
        for (const kana::FontSpec& known : distinct) {
            if (known.face == used.face && known.points == used.points && known.bold == used.bold &&
                known.underline == used.underline) {
                return;
            }
        }
        distinct.push_back(used);
    };
    addFont(window.defaultFont);
    for (const kana::ControlSpec& control : window.controls) {
        addFont(control.font);
    }
    for (const kana::FontSpec& font : distinct) {
        const std::wstring face(font.face);
        floor.fonts.push_back(::CreateFontW(kana::pointsToPixelHeight(font.points, floor.dpi), 0, 0, 0,
                                            font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline, FALSE,
                                            GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    }
}

void createPicture(FairFloor& floor) {
    BITMAPINFOHEADER& header = floor.info.header;
    header.biSize = sizeof header;
    header.biWidth = kPictureWidth;
    header.biHeight = kPictureHeight;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biCompression = BI_RGB;
    header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i) {
        floor.info.colours[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 200, 0};
    }
    const int stride = (kPictureWidth + 3) & ~3;
    floor.pixels.resize(static_cast<std::size_t>(stride) * kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y) {
        for (int x = 0; x < kPictureWidth; ++x) {
            floor.pixels[static_cast<std::size_t>(y) * stride + x] =
                static_cast<BYTE>((x * 7 + y * 3) & 0xFF);
        }
    }
}

void paint(const FairFloor& floor, HDC dc) {
    ::StretchDIBits(dc, 8, 8, kPictureWidth, kPictureHeight, 0, 0, kPictureWidth, kPictureHeight,
                    floor.pixels.data(), reinterpret_cast<const BITMAPINFO*>(&floor.info), DIB_RGB_COLORS,
                    SRCCOPY);
    int y = 16 + kPictureHeight;
    ::SetBkMode(dc, TRANSPARENT);
    for (HFONT font : floor.fonts) {
        const HGDIOBJ previous = ::SelectObject(dc, font);
        ::TextOutW(dc, 8, y, kChineseLine, static_cast<int>(std::size(kChineseLine) - 1));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        y += metrics.tmHeight + 4;
        ::SelectObject(dc, previous);
    }
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* floor = reinterpret_cast<FairFloor*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        ::SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        break;
    case WM_PAINT:
        if (floor != nullptr) {
            PAINTSTRUCT ps{};
            HDC dc = ::BeginPaint(hwnd, &ps);
            paint(*floor, dc);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        break;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    namespace probe = kana::win32::startup_probe;
    probe::mark("process-start");
    FairFloor floor;
    if (HDC screen = ::GetDC(nullptr)) {
        floor.dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    createFonts(floor);
    createPicture(floor);
    probe::mark("fonts-and-picture");

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    if (!::RegisterClassExW(&windowClass)) {
        return 1;
    }
    const kana::WindowSpec& window = kana::main_window::layout();
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    RECT outer{0, 0, kana::twipsToPixels(window.innerWidth, floor.dpi),
               kana::twipsToPixels(window.innerHeight, floor.dpi)};
    ::AdjustWindowRectEx(&outer, style, FALSE, 0);
    HWND hwnd = ::CreateWindowExW(0, kClassName, L"Fair floor", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                  instance, &floor);
    if (hwnd == nullptr) {
        return 1;
    }
    probe::mark("window-creation");
    ::ShowWindow(hwnd, showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    probe::mark("show-window");
    ::UpdateWindow(hwnd);
    probe::mark("first-paint");
    probe::finish();
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    for (HFONT font : floor.fonts) {
        ::DeleteObject(font);
    }
    return static_cast<int>(message.wParam);
}

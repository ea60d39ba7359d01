// The fair floor of the start-up measurement: one window of the main window's
// size that does what any program showing that window must do, and nothing of
// Kanaroute's own. It creates every font the main window uses (read from the
// main window's layout table), draws one line of Chinese in each, and shows
// one picture of the vendor logo's size the way Windows draws a bitmap
// natively (a device-independent bitmap, no picture decoder). Built with the
// same toolchain and options as Kanaroute.exe. Built a second time with the
// start-up probes (FairFloorProbed.exe) for the benchmark's breakdown.
//
// Built with KANAROUTE_FLOOR_STANDARD_CONTROLS (standard_controls_window.exe),
// it is also the main window rebuilt the plainest way from the system's own
// controls: with Kanaroute's manifest (common controls 6, per-monitor DPI) it
// creates every control of the layout table as a standard control (a static
// text for a label, a group box for the frame, a bitmap static for the logo,
// the system's push buttons, check boxes and option buttons), each with its
// caption and font, at its rectangle. It tells what any program with this
// window's controls pays under the same system, beside what Kanaroute pays.
#include <windows.h>
#if defined(KANAROUTE_FLOOR_STANDARD_CONTROLS)
#include <commctrl.h>
#endif

#include <iterator>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "common/win32/startup_probe.h"

namespace {

#if defined(KANAROUTE_FLOOR_STANDARD_CONTROLS)
constexpr wchar_t kClassName[] = L"BenchStandardControlsWindow";
#else
constexpr wchar_t kClassName[] = L"BenchFairFloorWindow";
#endif
constexpr int kPictureWidth = 150; // the vendor logo's size in pixels
constexpr int kPictureHeight = 45;
constexpr wchar_t kChineseLine[] = L"搜狗输入法日语词条安装：备份、恢复与卸载";

struct FairFloor {
    int dpi = 96;
    std::vector<kana::FontSpec> fontSpecs; // the distinct fonts of the layout
    std::vector<HFONT> fonts;              // one for each of them
    // An 8-bit bitmap with a palette, as a logo of few colours is stored.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colours[256];
    } info{};
    std::vector<BYTE> pixels;
};

bool sameFont(const kana::FontSpec& a, const kana::FontSpec& b) {
    return a.face == b.face && a.points == b.points && a.bold == b.bold && a.underline == b.underline;
}

// The font a row of the layout names, or the window's default font.
const kana::FontSpec& usedFont(const kana::FontSpec& font) {
    return font.face.empty() ? kana::main_window::layout().defaultFont : font;
}

// The font a control of the layout is drawn in.
HFONT fontOf(const FairFloor& floor, const kana::FontSpec& font) {
    const kana::FontSpec& used = usedFont(font);
    for (std::size_t i = 0; i < floor.fontSpecs.size(); ++i) {
        if (sameFont(floor.fontSpecs[i], used)) {
            return floor.fonts[i];
        }
    }
    return nullptr;
}

void createFonts(FairFloor& floor) {
    const kana::WindowSpec& window = kana::main_window::layout();
    std::vector<kana::FontSpec>& distinct = floor.fontSpecs;
    auto addFont = [&](const kana::FontSpec& font) {
        const kana::FontSpec& used = usedFont(font);
        for (const kana::FontSpec& known : distinct) {
            if (sameFont(known, used)) {
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

#if defined(KANAROUTE_FLOOR_STANDARD_CONTROLS)
// One control of the main window's layout as the system's standard control, a
// child of the window (a frame's controls at the frame's offset). A new child
// goes behind the ones before it.
void createStandardControl(const FairFloor& floor, const kana::ControlSpec& row, HWND window,
                           HINSTANCE instance) {
    const kana::WindowSpec& layout = kana::main_window::layout();
    int left = row.left;
    int top = row.top;
    for (const kana::ControlSpec& container : layout.controls) {
        if (!row.container.empty() && container.name == row.container) {
            left += container.left;
            top += container.top;
        }
    }
    const wchar_t* className = WC_BUTTONW;
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | ((row.flags & kana::kHidden) != 0 ? 0 : WS_VISIBLE) |
                  ((row.flags & kana::kDisabled) != 0 ? WS_DISABLED : 0) |
                  ((row.flags & kana::kTabStop) != 0 ? WS_TABSTOP : 0);
    switch (row.kind) {
    case kana::ControlKind::Label:
        className = WC_STATICW;
        style |= SS_LEFT | SS_NOPREFIX;
        break;
    case kana::ControlKind::PushButton:
        style |= BS_PUSHBUTTON | ((row.flags & kana::kWraps) != 0 ? BS_MULTILINE : 0);
        break;
    case kana::ControlKind::CheckBox:
        style |= BS_AUTOCHECKBOX;
        break;
    case kana::ControlKind::OptionButton:
        style |= BS_AUTORADIOBUTTON;
        break;
    case kana::ControlKind::Frame:
        style |= BS_GROUPBOX;
        break;
    case kana::ControlKind::Picture:
    case kana::ControlKind::PictureBox:
        className = WC_STATICW;
        style |= SS_BITMAP;
        break;
    case kana::ControlKind::TextBox:
        className = WC_EDITW;
        style |= ES_MULTILINE | ES_READONLY;
        break;
    case kana::ControlKind::Line:
    case kana::ControlKind::Shape:
        return;
    }
    const std::wstring caption(row.caption);
    HWND control =
        ::CreateWindowExW(0, className, caption.c_str(), style, kana::twipsToPixels(left, floor.dpi),
                          kana::twipsToPixels(top, floor.dpi), kana::twipsToPixels(row.width, floor.dpi),
                          kana::twipsToPixels(row.height, floor.dpi), window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), instance, nullptr);
    if (control == nullptr) {
        return;
    }
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(floor, row.font)), FALSE);
    if ((row.flags & kana::kChecked) != 0) {
        ::SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (row.picture != kana::PictureId::None) {
        HDC screen = ::GetDC(nullptr);
        HBITMAP bitmap = ::CreateDIBitmap(screen, &floor.info.header, CBM_INIT, floor.pixels.data(),
                                          reinterpret_cast<const BITMAPINFO*>(&floor.info), DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        ::SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    }
}

// The group box last, behind the controls it surrounds.
void createStandardControls(const FairFloor& floor, HWND window, HINSTANCE instance) {
    for (const bool frames : {false, true}) {
        for (const kana::ControlSpec& row : kana::main_window::layout().controls) {
            if ((row.kind == kana::ControlKind::Frame) == frames) {
                createStandardControl(floor, row, window, instance);
            }
        }
    }
}
#endif

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
#if defined(KANAROUTE_FLOOR_STANDARD_CONTROLS)
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
#endif
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
#if defined(KANAROUTE_FLOOR_STANDARD_CONTROLS)
    createStandardControls(floor, hwnd, instance);
#endif
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

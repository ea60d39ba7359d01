// Loaded into the running program by the end-to-end test (a remote thread
// calls LoadLibraryW), it asks every child window of the program's forms from
// inside the process, where font handles and device contexts can be used:
// the font it reports through WM_GETFONT, and how many of its pixels it paints
// into a memory bitmap on WM_PRINTCLIENT. It writes one line per control,
// "id|face height[ u]|painted pixels|all pixels", to <this DLL>.txt, and for
// each form one line "icons|big width|small width|title" with the sizes of
// the icons WM_GETICON gives (0 for none). Under Wine none of these can be
// asked from another process.
//
// When <this DLL>.dpi holds a number, the probe first tells every form of the
// program that its monitor's DPI changed to it (WM_DPICHANGED, with the
// window's rectangle scaled from the screen's DPI as the suggestion), as the
// system does when a window moves to a monitor with another scale.
//
// When <this DLL>.contrast exists, the probe first switches high contrast on
// as far as the program can tell (Wine itself cannot switch it on): the
// program's calls of SystemParametersInfoW report HCF_HIGHCONTRASTON for
// SPI_GETHIGHCONTRAST (its import of that function is redirected), and every
// form then hears WM_SETTINGCHANGE(SPI_SETHIGHCONTRAST) and WM_SYSCOLORCHANGE,
// as the system sends them when the user turns high contrast on.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <utility>

namespace {

HMODULE g_self = nullptr;

constexpr COLORREF kUnpainted = RGB(255, 0, 255);

// Prints the window's client area into a bitmap filled with a colour the
// program never uses, and counts the pixels that changed.
std::pair<long, long> paintedPixels(HWND hwnd) {
    RECT client{};
    ::GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) {
        return {0, 0};
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = ::SelectObject(dc, bitmap);
    HBRUSH fill = ::CreateSolidBrush(kUnpainted);
    ::FillRect(dc, &client, fill);
    ::DeleteObject(fill);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT, SMTO_BLOCK, 5000,
                          &ignored);
    ::GdiFlush();
    long painted = 0;
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (long i = 0; i < static_cast<long>(width) * height; ++i) {
        painted += (pixels[i] & 0xFFFFFF) != 0xFF00FF ? 1 : 0;
    }
    ::SelectObject(dc, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return {painted, static_cast<long>(width) * height};
}

BOOL CALLBACK describeChild(HWND hwnd, LPARAM lines) {
    auto& out = *reinterpret_cast<std::wstring*>(lines);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETFONT, 0, 0, SMTO_BLOCK, 5000, &result);
    LOGFONTW font{};
    const HFONT handle = reinterpret_cast<HFONT>(result);
    out += std::to_wstring(::GetDlgCtrlID(hwnd)) + L"|";
    if (handle != nullptr && ::GetObjectW(handle, sizeof(font), &font) != 0) {
        out += std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight) +
               (font.lfUnderline ? L" u" : L"");
    } else {
        out += L"(none)";
    }
    const auto [painted, all] = paintedPixels(hwnd);
    out += L"|" + std::to_wstring(painted) + L"|" + std::to_wstring(all) + L"\n";
    return TRUE;
}

int iconWidth(HWND hwnd, WPARAM which) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETICON, which, 0, SMTO_BLOCK, 5000, &result);
    ICONINFO info{};
    if (result == 0 || !::GetIconInfo(reinterpret_cast<HICON>(result), &info)) {
        return 0;
    }
    BITMAP mask{};
    ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        ::DeleteObject(info.hbmColor);
    }
    return mask.bmWidth;
}

BOOL CALLBACK describeForm(HWND hwnd, LPARAM lines) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (process == ::GetCurrentProcessId() && std::wstring(name) == L"KanarouteForm") {
        auto& out = *reinterpret_cast<std::wstring*>(lines);
        wchar_t title[256] = {};
        ::GetWindowTextW(hwnd, title, 256);
        out += L"icons|" + std::to_wstring(iconWidth(hwnd, ICON_BIG)) + L"|" +
               std::to_wstring(iconWidth(hwnd, ICON_SMALL)) + L"|" + title + L"\n";
        ::EnumChildWindows(hwnd, &describeChild, lines);
    }
    return TRUE;
}

std::wstring pathOf(const wchar_t* suffix) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(g_self, path, MAX_PATH);
    return std::wstring(path) + suffix;
}

BOOL CALLBACK announceDpi(HWND hwnd, LPARAM dpi) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (process != ::GetCurrentProcessId() || std::wstring(name) != L"KanarouteForm" ||
        !::IsWindowVisible(hwnd)) {
        return TRUE;
    }
    HDC screen = ::GetDC(nullptr);
    const int screenDpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    RECT suggested{};
    ::GetWindowRect(hwnd, &suggested);
    suggested.right =
        suggested.left + ::MulDiv(suggested.right - suggested.left, static_cast<int>(dpi), screenDpi);
    suggested.bottom =
        suggested.top + ::MulDiv(suggested.bottom - suggested.top, static_cast<int>(dpi), screenDpi);
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi),
                          reinterpret_cast<LPARAM>(&suggested), SMTO_BLOCK, 5000, &ignored);
    return TRUE;
}

using SystemParametersInfoFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT);
SystemParametersInfoFunction g_systemParametersInfo = nullptr;

BOOL WINAPI highContrastOn(UINT action, UINT parameter, PVOID value, UINT winIni) {
    if (action == SPI_GETHIGHCONTRAST && value != nullptr) {
        auto* answer = static_cast<HIGHCONTRASTW*>(value);
        answer->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
        answer->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    return g_systemParametersInfo(action, parameter, value, winIni);
}

// Points every import of the program file that leads to `function` at `replacement`.
bool redirectImport(void* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return false;
    }
    bool redirected = false;
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
             slot->u1.Function != 0; ++slot) {
            if (reinterpret_cast<void*>(slot->u1.Function) != function) {
                continue;
            }
            DWORD protection = 0;
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
            redirected = true;
        }
    }
    return redirected;
}

BOOL CALLBACK announceHighContrast(HWND hwnd, LPARAM) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (process == ::GetCurrentProcessId() && std::wstring(name) == L"KanarouteForm") {
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutW(hwnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0, SMTO_BLOCK, 5000, &ignored);
        ::SendMessageTimeoutW(hwnd, WM_SYSCOLORCHANGE, 0, 0, SMTO_BLOCK, 5000, &ignored);
    }
    return TRUE;
}

void switchHighContrastOn() {
    void* original =
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SystemParametersInfoW"));
    g_systemParametersInfo = reinterpret_cast<SystemParametersInfoFunction>(original);
    if (original != nullptr && redirectImport(original, reinterpret_cast<void*>(&highContrastOn))) {
        ::EnumWindows(&announceHighContrast, 0);
    }
}

DWORD WINAPI probe(void*) {
    if (::GetFileAttributesW(pathOf(L".contrast").c_str()) != INVALID_FILE_ATTRIBUTES) {
        switchHighContrastOn();
    }
    HANDLE request = ::CreateFileW(pathOf(L".dpi").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (request != INVALID_HANDLE_VALUE) {
        char text[16] = {};
        DWORD read = 0;
        ::ReadFile(request, text, sizeof(text) - 1, &read, nullptr);
        ::CloseHandle(request);
        const int dpi = std::atoi(text);
        if (dpi > 0) {
            ::EnumWindows(&announceDpi, dpi);
        }
    }
    std::wstring lines;
    ::EnumWindows(&describeForm, reinterpret_cast<LPARAM>(&lines));
    const std::wstring target = pathOf(L".txt");
    const std::wstring partial = target + L".part";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, lines.data(), static_cast<DWORD>(lines.size() * sizeof(wchar_t)), &written,
                    nullptr);
        ::CloseHandle(file);
        ::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        // The work runs on a thread of its own once the loader has finished.
        if (HANDLE thread = ::CreateThread(nullptr, 0, &probe, nullptr, 0, nullptr)) {
            ::CloseHandle(thread);
        }
    }
    return TRUE;
}

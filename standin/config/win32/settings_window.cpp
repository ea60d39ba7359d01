#include "standin/config/win32/settings_window.h"

#include "standin/config/config_texts.h"
#include "standin/config/win32/own_files.h"
#include "standin/config/win32/phrase_dialog.h"
#include "standin/config/win32/resource.h"
#include "standin/config/win32/settings_pages.h"

#include <string>

namespace kana::standin {

namespace {

constexpr wchar_t kWindowClass[] = L"SogouPinyinConfigWindow";
constexpr UINT kOpenPhrasesMessage = WM_APP + 1;

// Inner size of the window; the outer size comes to about 560 x 380.
constexpr int kClientWidth = 552;
constexpr int kClientHeight = 348;

constexpr int kMargin = 10;
constexpr int kListWidth = 112;
constexpr int kPageLeft = kMargin + kListWidth + 14;
constexpr int kPageTop = 40;
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 24;
constexpr int kButtonGap = 8;
constexpr int kButtonTop = kClientHeight - kMargin - kButtonHeight;
constexpr int kSeparatorTop = kButtonTop - 10;

win32::unique_hfont createUiFont(bool bold) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return win32::unique_hfont(CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                           GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
}

DWORD styleFor(PageControlKind kind) {
    switch (kind) {
    case PageControlKind::GroupBox:
        return BS_GROUPBOX;
    case PageControlKind::Label:
        return SS_LEFT | SS_NOPREFIX;
    case PageControlKind::CheckBox:
        return BS_AUTOCHECKBOX | WS_TABSTOP;
    case PageControlKind::FirstRadio:
        return BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
    case PageControlKind::Radio:
        return BS_AUTORADIOBUTTON;
    case PageControlKind::Button:
        return BS_PUSHBUTTON | WS_TABSTOP;
    case PageControlKind::ComboBox:
        return CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
    }
    return 0;
}

const wchar_t* classFor(PageControlKind kind) {
    switch (kind) {
    case PageControlKind::Label:
        return L"STATIC";
    case PageControlKind::ComboBox:
        return L"COMBOBOX";
    default:
        return L"BUTTON";
    }
}

// The last part of the program's folder is the input method's version.
std::wstring versionText() {
    const std::wstring folder = ownFolder();
    const std::size_t slash = folder.find_last_of(L"\\/");
    return L"版本：" + (slash == std::wstring::npos ? folder : folder.substr(slash + 1));
}

void centreOnWorkArea(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = work.left + ((work.right - work.left) - (rect.right - rect.left)) / 2;
    const int top = work.top + ((work.bottom - work.top) - (rect.bottom - rect.top)) / 2;
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

SettingsWindow::SettingsWindow(HINSTANCE instance) : instance_(instance) {}

bool SettingsWindow::create(const StartOptions& options, int showCommand) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SettingsWindow::windowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass)) {
        return false;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = WS_EX_CONTROLPARENT;
    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, exStyle);
    window_ = CreateWindowExW(exStyle, kWindowClass, std::wstring(kSettingsTitle).c_str(), style,
                              CW_USEDEFAULT, CW_USEDEFAULT, outer.right - outer.left,
                              outer.bottom - outer.top, nullptr, nullptr, instance_, this);
    if (!window_) {
        return false;
    }
    showPage(options.advancedPage ? kAdvancedPage : 0);
    centreOnWorkArea(window_);
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    if (options.openPhrases) {
        // Opened from the message loop, so that the settings window is drawn first.
        PostMessageW(window_, kOpenPhrasesMessage, 0, 0);
    }
    return true;
}

LRESULT CALLBACK SettingsWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SettingsWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SettingsWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT SettingsWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case kOpenPhrasesMessage:
        runPhraseDialog(instance_, window_, PhraseDialogPlacement::BesideOwner);
        return 0;
    case WM_CLOSE:
        DestroyWindow(window_);
        return 0;
    case WM_DESTROY:
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

HWND SettingsWindow::addChild(const wchar_t* className, const wchar_t* text, DWORD style, int id, int left,
                              int top, int width, int height, HFONT font, DWORD exStyle) {
    HWND child =
        CreateWindowExW(exStyle, className, text, WS_CHILD | style, left, top, width, height, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (child) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return child;
}

void SettingsWindow::onCreate() {
    font_ = createUiFont(false);
    titleFont_ = createUiFont(true);
    HFONT font = font_.get();

    HWND list = addChild(
        L"LISTBOX", L"", WS_VISIBLE | WS_TABSTOP | WS_GROUP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
        IDC_PAGE_LIST, kMargin, kMargin, kListWidth, kSeparatorTop - 2 * kMargin, font, WS_EX_CLIENTEDGE);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, 24);
    for (const PageInfo& page : settingsPages()) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(page.name));
    }

    addChild(L"STATIC", L"", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, IDC_PAGE_TITLE, kPageLeft, kMargin + 2,
             kClientWidth - kPageLeft - kMargin, 18, titleFont_.get());
    addChild(L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, 0, kPageLeft, kMargin + 22,
             kClientWidth - kPageLeft - kMargin, 2, font);

    createPageControls();

    addChild(L"STATIC", L"", WS_VISIBLE | SS_ETCHEDHORZ, 0, kMargin, kSeparatorTop,
             kClientWidth - 2 * kMargin, 2, font);
    const int applyLeft = kClientWidth - kMargin - kButtonWidth;
    const int cancelLeft = applyLeft - kButtonGap - kButtonWidth;
    const int okLeft = cancelLeft - kButtonGap - kButtonWidth;
    addChild(L"BUTTON", L"确定", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, IDOK, okLeft,
             kButtonTop, kButtonWidth, kButtonHeight, font);
    addChild(L"BUTTON", L"取消", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, cancelLeft, kButtonTop,
             kButtonWidth, kButtonHeight, font);
    addChild(L"BUTTON", L"应用", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, IDC_APPLY, applyLeft, kButtonTop,
             kButtonWidth, kButtonHeight, font);
}

void SettingsWindow::createPageControls() {
    for (const PageControl& control : settingsPageControls()) {
        DWORD style = styleFor(control.kind);
        if (!control.enabled) {
            style |= WS_DISABLED;
        }
        const wchar_t* text = control.kind == PageControlKind::ComboBox ? L"" : control.text;
        HWND child = addChild(classFor(control.kind), text, style, control.id, kPageLeft + control.left,
                              kPageTop + control.top, control.width, control.height, font_.get());
        if (!child) {
            continue;
        }
        if (control.checked) {
            SendMessageW(child, BM_SETCHECK, BST_CHECKED, 0);
        }
        if (control.kind == PageControlKind::ComboBox) {
            SendMessageW(child, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(control.text));
            SendMessageW(child, CB_SETCURSEL, 0, 0);
        }
        if (control.id == IDC_VERSION_TEXT) {
            SetWindowTextW(child, versionText().c_str());
        }
        pageControls_.emplace_back(control.page, child);
    }
}

void SettingsWindow::showPage(int page) {
    const auto pages = settingsPages();
    if (page < 0 || page >= static_cast<int>(pages.size()) || page == currentPage_) {
        return;
    }
    currentPage_ = page;
    SendDlgItemMessageW(window_, IDC_PAGE_LIST, LB_SETCURSEL, static_cast<WPARAM>(page), 0);
    SetDlgItemTextW(window_, IDC_PAGE_TITLE, pages[static_cast<std::size_t>(page)].title);
    for (const auto& [controlPage, control] : pageControls_) {
        ShowWindow(control, controlPage == page ? SW_SHOWNA : SW_HIDE);
    }
}

void SettingsWindow::onCommand(int id, int notification) {
    switch (id) {
    case IDC_PAGE_LIST:
        if (notification == LBN_SELCHANGE) {
            showPage(static_cast<int>(SendDlgItemMessageW(window_, IDC_PAGE_LIST, LB_GETCURSEL, 0, 0)));
        }
        break;
    case IDC_CUSTOM_PHRASES:
        runPhraseDialog(instance_, window_, PhraseDialogPlacement::OverOwner);
        break;
    case IDC_APPLY:
        appendToStartLog(kAppliedRecord);
        break;
    case IDOK:
        // 确定 applies the settings before the window closes, as in every settings window.
        appendToStartLog(kAppliedRecord);
        DestroyWindow(window_);
        break;
    case IDCANCEL:
        DestroyWindow(window_);
        break;
    default:
        break;
    }
}

} // namespace kana::standin

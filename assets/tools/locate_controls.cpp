// Finds the stand-in input method's settings window and its custom-phrase
// dialog on the screen and prints the screen rectangles of the four controls
// that the help illustration marks, one line each:
//   NAME LEFT TOP RIGHT BOTTOM
// Names: settings, dialog (whole windows), advanced (the 高级 item of the page
// list), phrases (自定义短语设置), save (the dialog's 保存), apply (应用).
//
//   locate_controls.exe [SETTINGS_LEFT SETTINGS_TOP DIALOG_LEFT DIALOG_TOP]
// With positions, both windows are first moved there (screen coordinates of
// their top-left corners), so that the picture can show every marked control.
// Waits up to 20 s for both windows. Exit code 0 when everything was found.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kPageList = 1001;
constexpr int kApply = 1003;
constexpr int kCustomPhrases = 1101;
constexpr int kSave = 2004;
constexpr int kAdvancedItem = 4;

std::wstring textOf(HWND hwnd) {
    wchar_t text[256] = {};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

struct Search {
    const wchar_t* className;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t name[128] = {};
    GetClassNameW(hwnd, name, 128);
    if (IsWindowVisible(hwnd) && lstrcmpW(name, search->className) == 0 && textOf(hwnd) == search->title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(const wchar_t* className, const wchar_t* title) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        Search search{className, title, nullptr};
        EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(100);
    }
    return nullptr;
}

void print(const char* name, RECT rect) {
    std::printf("%s %ld %ld %ld %ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

bool printControl(const char* name, HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    if (control == nullptr) {
        std::fprintf(stderr, "control %d not found\n", id);
        return false;
    }
    RECT rect{};
    GetWindowRect(control, &rect);
    print(name, rect);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    HWND settings = waitForWindow(L"SogouPinyinConfigWindow", L"搜狗拼音输入法 设置");
    HWND dialog = waitForWindow(L"#32770", L"自定义短语设置");
    if (settings == nullptr || dialog == nullptr) {
        std::fprintf(stderr, "settings window or custom-phrase dialog not found\n");
        return 1;
    }
    if (argc >= 5) {
        SetWindowPos(settings, nullptr, std::atoi(argv[1]), std::atoi(argv[2]), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(dialog, HWND_TOP, std::atoi(argv[3]), std::atoi(argv[4]), 0, 0, SWP_NOSIZE);
        RedrawWindow(settings, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        Sleep(300);
    }
    RECT rect{};
    GetWindowRect(settings, &rect);
    print("settings", rect);
    GetWindowRect(dialog, &rect);
    print("dialog", rect);

    HWND list = GetDlgItem(settings, kPageList);
    RECT item{};
    if (list == nullptr ||
        SendMessageW(list, LB_GETITEMRECT, kAdvancedItem, reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
        std::fprintf(stderr, "page list item %d not found\n", kAdvancedItem);
        return 1;
    }
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
    print("advanced", item);
    const bool found = printControl("phrases", settings, kCustomPhrases) &&
                       printControl("save", dialog, kSave) && printControl("apply", settings, kApply);
    return found ? 0 : 1;
}

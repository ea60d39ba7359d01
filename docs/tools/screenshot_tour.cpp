// Walks through the real program under Wine for the README's pictures, with
// the end-to-end test driver (tests/e2e/driver.cpp): opens each window, saves a
// BMP of it into %KANAROUTE_TEST_OUTPUT%, and for the pictures that show
// several windows saves the whole screen and prints the part to keep:
//   crop NAME LEFT TOP RIGHT BOTTOM
// It also prints the advertisement window's price text, line breaks aside:
//   price TEXT
// The input method is the one that scripts/wine-prefix.sh registers, with its
// own phrases.ini; the walk ends with an install, so it needs a fresh prefix.
// Exit code 0 when every picture was taken.
#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/advertisement_window_layout.h"
#include "windows/help_window_layout.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

namespace form1 = kana::main_window;
namespace form2 = kana::help_window;
namespace form3 = kana::advertisement_window;

const std::wstring kMainTitle = L"Tessaline";
const std::wstring kAdvertTitle = L"广告栏";
const std::wstring kSettingsExe = L"C:\\Program Files\\SogouInput\\6.2.0.0000\\config.exe";

int failures = 0;

void fail(const char* what) {
    std::fprintf(stderr, "screenshot tour: %s\n", what);
    ++failures;
}

std::string utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(length, 1)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

// A click that the control itself receives, as on a label or a picture.
void postMouseClick(HWND control) {
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
}

// The visible window of the program with the form class whose title is not one of these.
HWND formWindowOtherThan(const e2e::Program& program, const std::wstring& a, const std::wstring& b) {
    for (HWND hwnd : program.windows(L"KanarouteForm")) {
        const std::wstring title = e2e::textOf(hwnd);
        if (IsWindowVisible(hwnd) && title != a && title != b) {
            return hwnd;
        }
    }
    return nullptr;
}

HWND waitForHelp(const e2e::Program& program) {
    HWND help = nullptr;
    e2e::waitUntil(
        [&] { return (help = formWindowOtherThan(program, kMainTitle, kAdvertTitle)) != nullptr; });
    return help;
}

// Saves the whole screen and prints the part around these windows.
void saveScreenAround(const std::wstring& name, std::initializer_list<HWND> windows) {
    RECT around{};
    bool first = true;
    for (HWND hwnd : windows) {
        RECT rect{};
        if (hwnd == nullptr || !GetWindowRect(hwnd, &rect)) {
            continue;
        }
        if (first) {
            around = rect;
            first = false;
        } else {
            UnionRect(&around, &around, &rect);
        }
    }
    e2e::saveScreenshot(GetDesktopWindow(), name);
    std::printf("crop %s %ld %ld %ld %ld\n", utf8(name).c_str(), around.left, around.top, around.right,
                around.bottom);
}

void settle() {
    Sleep(600);
}

} // namespace

int main() {
    {
        // The main window on a screen at 144 DPI (150 %).
        const e2e::ScreenDpi scale(144);
        e2e::Program scaled;
        HWND window = scaled.mainWindow();
        if (window == nullptr) {
            fail("the main window did not open at 144 DPI");
            return 1;
        }
        settle();
        e2e::saveScreenshot(window, L"main-window-144dpi");
        scaled.kill();
    }
    e2e::Program program;
    HWND main = program.mainWindow();
    if (main == nullptr) {
        fail("the main window did not open");
        return 1;
    }
    settle();
    e2e::saveScreenshot(main, L"main-window");

    // The help window, normal and with the illustration enlarged.
    e2e::postClick(e2e::child(main, form1::kCommand6));
    HWND help = waitForHelp(program);
    if (help == nullptr) {
        fail("the help window did not open");
    } else {
        settle();
        e2e::saveScreenshot(help, L"help-window");
        postMouseClick(e2e::child(help, form2::kImage1));
        HWND picture = e2e::child(help, form2::kPicture1);
        if (!e2e::waitUntil([&] { return IsWindowVisible(picture) != FALSE; })) {
            fail("the illustration did not enlarge");
        }
        settle();
        e2e::saveScreenshot(help, L"help-window-enlarged");
        PostMessageW(help, WM_CLOSE, 0, 0);
        e2e::waitUntil([&] { return !IsWindowVisible(help); });
    }

    // The advertisement window, opened from the main window's advertising line.
    postMouseClick(e2e::child(main, form1::kLabel8));
    HWND advert = program.waitForWindow(L"KanarouteForm", kAdvertTitle);
    if (advert == nullptr) {
        fail("the advertisement window did not open");
    } else {
        settle();
        e2e::saveScreenshot(advert, L"advertisement-window");
        std::printf("price %s\n", utf8(e2e::textOf(e2e::child(advert, form3::kLabel6))).c_str());
        postMouseClick(advert);
        e2e::waitUntil([&] { return !IsWindowVisible(advert); });
    }

    // An install that keeps the existing phrases as a backup, answered with 取消.
    HWND keepBackup = e2e::child(main, form1::kCheck1);
    if (!e2e::isChecked(keepBackup)) {
        e2e::postClick(keepBackup);
        e2e::waitUntil([&] { return e2e::isChecked(keepBackup); });
    }
    settle();
    saveScreenAround(L"install-1-main", {main});
    e2e::postClick(e2e::child(main, form1::kCommand3));
    HWND question = program.waitForMessageBox();
    if (question == nullptr) {
        fail("the install did not ask 请决定");
        return 1;
    }
    settle();
    saveScreenAround(L"install-2-confirm", {main, question});
    e2e::MessageBoxView{question}.press(IDCANCEL);
    HWND settings = nullptr;
    e2e::waitUntil([&] { return (settings = FindWindowW(L"SogouPinyinConfigWindow", nullptr)) != nullptr; });
    help = waitForHelp(program);
    if (settings == nullptr || help == nullptr) {
        fail("the settings program or the help window did not open after 取消");
    } else {
        Sleep(1500);
        saveScreenAround(L"install-3-help-and-settings", {main, help, settings});
    }
    e2e::endProcessesOf(kSettingsExe);
    return failures == 0 ? 0 : 1;
}

// What users expect from every native window, driven with the real pointer and
// keyboard: the focus survives a message box or another window, a click is a
// press and a release over the same control, arrows move within option
// buttons, a held key runs its command once, and Esc closes the help and
// advertisement windows.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/advertisement_window_layout.h"

using namespace e2e;
using namespace kana::main_window;

namespace {

InputMethod prepared(const std::wstring& name, bool withBackups) {
    const InputMethod method = installInputMethod(name);
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    if (withBackups) {
        writeFile(method.file(L"phrases最初备份.ini"), phraseFile("initial"));
        writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
        writeFile(method.file(L"phrases最近备份.ini"), phraseFile("latest"));
        writeFile(method.file(L"time001.ini"), "2024/3/6 10:00:00\r\n");
    }
    return method;
}

// The program started against a prepared input method, its main window in front.
struct Started {
    InputMethod method;
    Program program;
    HWND main = nullptr;
    explicit Started(const std::wstring& name, bool withBackups = false)
        : method(prepared(name, withBackups)) {
        main = program.mainWindow();
        if (main != nullptr) {
            mouseClick(main, 10, 10);
            waitUntil([&] { return GetForegroundWindow() == main; }, 3000);
        }
    }
    HWND operator[](int id) const { return child(main, id); }
    int windowsTitled(const std::wstring& title) const {
        int count = 0;
        for (HWND hwnd : program.windows(L"KanarouteForm")) {
            count += IsWindowVisible(hwnd) && textOf(hwnd) == title ? 1 : 0;
        }
        return count;
    }
};

const std::wstring kAdvertisementTitle = L"广告栏";

} // namespace

TEST(Focus, IsKeptAcrossAMessageBoxAndAnotherWindowOfTheProgram) {
    Started app(L"focus-kept");
    ASSERT_NE(app.main, nullptr);
    ASSERT_TRUE(waitUntil([&] { return focusOf(app.main) == app[kCommand1]; }, 3000));

    // A message box takes the focus and gives it back when it closes.
    pressKey(VK_RETURN);
    HWND box = app.program.waitForMessageBox(5000);
    ASSERT_NE(box, nullptr) << "Enter on 关于 shows the about box";
    MessageBoxView{box}.press(IDOK);
    EXPECT_TRUE(waitUntil([&] { return focusOf(app.main) == app[kCommand1]; }, 3000))
        << "the focus is back on 关于 after the about box";
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(app.main), app[kCommand2]);
    pressKey(VK_TAB); // the link 软件简介
    pressKey(VK_TAB);
    pressKey(VK_TAB);
    ASSERT_EQ(focusOf(app.main), app[kCheck1]);

    // Another window in front, then back to the main window when it closes.
    pressKey(VK_RETURN); // the default button 帮助说明, the focus left on the check box
    HWND help = app.program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == help; }, 3000));
    PostMessageW(help, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == app.main; }, 3000));
    EXPECT_TRUE(waitUntil([&] { return focusOf(app.main) == app[kCheck1]; }, 3000));
    pressKey(VK_TAB);
    EXPECT_NE(focusOf(app.main), app[kCommand1]) << "Tab goes on from the kept focus, not from the start";
}

TEST(Mouse, AClickCountsOnlyWhenPressAndReleaseAreOverTheSameControl) {
    Started app(L"capture-click");
    ASSERT_NE(app.main, nullptr);
    HWND line = app[kLabel8]; // the advertising line opens the advertisement window

    // Pressed on the line, released on the window surface: no click.
    mousePress(line);
    mouseRelease(app.main, 10, 10);
    // Pressed on the surface, released over the line: no click either.
    mousePress(app.main, 10, 10);
    mouseRelease(line);
    // A release over the line with no press before it.
    mouseRelease(line);
    Sleep(500);
    EXPECT_EQ(app.windowsTitled(kAdvertisementTitle), 0);

    mouseClick(line);
    HWND ad = app.program.waitForWindow(L"KanarouteForm", kAdvertisementTitle, 5000);
    ASSERT_NE(ad, nullptr) << "a real click opens the advertisement window";

    // The advertisement window hides on a click on its surface, but not on a
    // button-up without a button-down, nor on a press that ends elsewhere.
    PostMessageW(ad, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(ad));
    mousePress(ad, 5, 5);
    mouseRelease(child(ad, kana::advertisement_window::kLabel1));
    EXPECT_TRUE(IsWindowVisible(ad));
    mouseClick(ad, 5, 5);
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(ad); }, 3000));
}

TEST(Keyboard, ArrowsMoveWithinTheRestoreChoicesOnly) {
    Started app(L"arrows", true);
    ASSERT_NE(app.main, nullptr);
    ASSERT_TRUE(isEnabled(app[kOption4]));
    ASSERT_TRUE(isChecked(app[kOption3]));
    const bool option2Before = isChecked(app[kOption2]);
    mouseClick(app[kOption3], 6);
    ASSERT_EQ(focusOf(app.main), app[kOption3]);

    pressKey(VK_DOWN);
    EXPECT_EQ(focusOf(app.main), app[kOption4]);
    EXPECT_TRUE(isChecked(app[kOption4]));
    EXPECT_FALSE(isChecked(app[kOption3]));
    pressKey(VK_DOWN);
    EXPECT_EQ(focusOf(app.main), app[kOption3]) << "round the group";
    EXPECT_TRUE(isChecked(app[kOption3]));
    pressKey(VK_LEFT);
    EXPECT_EQ(focusOf(app.main), app[kOption4]);
    EXPECT_TRUE(isChecked(app[kOption4]));
    pressKey(VK_UP);
    EXPECT_EQ(focusOf(app.main), app[kOption3]);
    // The install mode choices in the frame are another group.
    EXPECT_EQ(isChecked(app[kOption2]), option2Before);
}

TEST(Keyboard, AHeldEnterOnALinkOpensOneBrowserWindow) {
    const std::wstring record = recordBrowserAddresses();
    Started app(L"held-enter");
    ASSERT_NE(app.main, nullptr);
    mouseClick(app[kLabel3]); // 软件简介: opens the introduction and takes the focus
    ASSERT_TRUE(waitUntil([&] { return readFile(record).has_value(); }, 15000));
    EXPECT_EQ(focusOf(app.main), app[kLabel3]);

    holdKey(VK_RETURN, 6);
    // Each address reaches the recording browser through a shell script: wait
    // for the second one, then a while longer for any that should not come.
    const auto addresses = [&] {
        const std::string text = readFile(record).value_or("");
        return std::count(text.begin(), text.end(), '\n');
    };
    EXPECT_TRUE(waitUntil([&] { return addresses() >= 2; }, 15000));
    Sleep(2000);
    EXPECT_EQ(*readFile(record), "http://kanaroute.github.io/\nhttp://kanaroute.github.io/\n")
        << "one address for the click and one for the held Enter";
    EXPECT_EQ(app.program.findHelpWindow(), nullptr) << "Enter on a link does not press the default button";
}

TEST(Keyboard, EscClosesTheHelpAndAdvertisementWindowsButNotTheMainWindow) {
    Started app(L"escape");
    ASSERT_NE(app.main, nullptr);
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(app.main));

    postClick(app[kCommand6]);
    HWND help = app.program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == help; }, 3000));
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return app.program.findHelpWindow() == nullptr; }, 3000));

    mouseClick(app[kLabel8]);
    HWND ad = app.program.waitForWindow(L"KanarouteForm", kAdvertisementTitle, 5000);
    ASSERT_NE(ad, nullptr);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == ad; }, 3000));
    pressKey(VK_ESCAPE);
    EXPECT_TRUE(waitUntil([&] { return app.windowsTitled(kAdvertisementTitle) == 0; }, 3000));
    EXPECT_TRUE(app.program.running());
    EXPECT_TRUE(IsWindowVisible(app.main));
}

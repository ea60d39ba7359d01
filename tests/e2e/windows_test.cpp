// The help window, the advertisement window, the about box, the web links and
// exit, driven through the main window.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/about_box_texts.h"
#include "windows/advertisement_window_layout.h"
#include "windows/help_topics.h"
#include "windows/help_window_layout.h"

using namespace e2e;
namespace main_ids = kana::main_window;
namespace help_ids = kana::help_window;
namespace ad_ids = kana::advertisement_window;

namespace {

const std::wstring kHelpTitle = std::wstring(38, L' ') + L"帮助说明文件";

// A click as the label sees it: the button goes down and up over it.
void postLabelClick(HWND hwnd) {
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Sleep(300);
}

int pixelsOfTwips(int twips) {
    return MulDiv(twips, GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 1440);
}

SIZE outerSize(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

bool showsRed(HWND hwnd) {
    const RECT rect = clientRectOnScreen(hwnd);
    HDC screen = GetDC(nullptr);
    bool found = false;
    for (int y = rect.top; y < rect.bottom && !found; ++y) {
        for (int x = rect.left; x < rect.right && !found; ++x) {
            found = GetPixel(screen, x, y) == RGB(255, 0, 0);
        }
    }
    ReleaseDC(nullptr, screen);
    return found;
}

struct Started {
    Program program;
    HWND main = nullptr;
    Started() {
        const InputMethod method = installInputMethod(L"windows");
        writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
        main = program.mainWindow();
    }
    HWND openHelp() {
        postClick(child(main, main_ids::kCommand6));
        return program.waitForWindow(L"KanarouteForm", kHelpTitle);
    }
    int count(const std::wstring& title) const {
        int n = 0;
        for (HWND hwnd : program.windows(L"KanarouteForm")) {
            n += textOf(hwnd) == title ? 1 : 0;
        }
        return n;
    }
};

std::wstring topicText(int topic) {
    return std::wstring(kana::help_topics::chooseTopic(topic).text);
}

} // namespace

TEST(HelpWindow, OpensOnTopicThreeAndComesBackToItOnEveryActivation) {
    Started app;
    ASSERT_NE(app.main, nullptr);
    HWND help = app.openHelp();
    ASSERT_NE(help, nullptr);
    const LONG exStyle = GetWindowLongW(help, GWL_EXSTYLE);
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0) << "no task-bar button";
    EXPECT_EQ(GetWindow(help, GW_OWNER), nullptr);
    EXPECT_EQ(textOf(child(help, help_ids::kText1)), topicText(3));
    EXPECT_EQ(textOf(child(help, help_ids::kText1)).substr(0, 2), L"\r\n");
    EXPECT_TRUE(IsWindowVisible(child(help, help_ids::kImage1)));
    EXPECT_FALSE(IsWindowVisible(child(help, help_ids::kPicture1)));
    EXPECT_TRUE(showsRed(child(help, help_ids::kLabel3)));
    saveScreenshot(help, L"help-window");

    postLabelClick(child(help, help_ids::kLabel1));
    EXPECT_EQ(textOf(child(help, help_ids::kText1)), topicText(1));
    EXPECT_FALSE(IsWindowVisible(child(help, help_ids::kImage1)));
    EXPECT_TRUE(showsRed(child(help, help_ids::kLabel1)));

    // To the main window and back: topic 3 again. Both windows open at the
    // same place; move the help window so that each can be clicked.
    SetWindowPos(help, nullptr, 470, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    mouseClick(app.main, 10, 10);
    EXPECT_TRUE(waitUntil([&] { return GetForegroundWindow() == app.main; }, 3000));
    mouseClick(help, 500, 300);
    EXPECT_TRUE(waitUntil([&] { return textOf(child(help, help_ids::kText1)) == topicText(3); }, 3000));
    EXPECT_TRUE(IsWindowVisible(child(help, help_ids::kImage1)));

    // A second click on the help button reuses the one help window.
    postClick(child(app.main, main_ids::kCommand6));
    Sleep(500);
    EXPECT_EQ(app.count(kHelpTitle), 1);
}

TEST(HelpWindow, EnlargesTheIllustrationAndGoesBackToTheNormalSize) {
    Started app;
    HWND help = app.openHelp();
    ASSERT_NE(help, nullptr);
    postLabelClick(child(help, help_ids::kImage1));
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(child(help, help_ids::kPicture1)) != FALSE; }, 3000));
    SIZE size = outerSize(help);
    EXPECT_EQ(size.cx, pixelsOfTwips(9780));
    EXPECT_EQ(size.cy, pixelsOfTwips(6630));
    saveScreenshot(help, L"help-window-enlarged");

    postLabelClick(child(help, help_ids::kPicture1));
    EXPECT_FALSE(IsWindowVisible(child(help, help_ids::kPicture1)));
    size = outerSize(help);
    EXPECT_EQ(size.cx, pixelsOfTwips(8205));
    EXPECT_EQ(size.cy, pixelsOfTwips(5745));
    EXPECT_EQ(textOf(child(help, help_ids::kText1)), topicText(3));
}

TEST(HelpWindow, IsCreatedAfreshAfterTheUserClosedIt) {
    Started app;
    HWND help = app.openHelp();
    ASSERT_NE(help, nullptr);
    postLabelClick(child(help, help_ids::kLabel2));
    PostMessageW(help, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(help); }, 3000));
    HWND again = app.openHelp();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(textOf(child(again, help_ids::kText1)), topicText(3));
    EXPECT_EQ(app.count(kHelpTitle), 1);
}

TEST(AdvertisementWindow, OpensOnceHidesOnASurfaceClickButNotOnALabel) {
    Started app;
    ASSERT_NE(app.main, nullptr);
    postLabelClick(child(app.main, main_ids::kLabel8));
    HWND ad = app.program.waitForWindow(L"KanarouteForm", L"广告栏");
    ASSERT_NE(ad, nullptr);
    EXPECT_EQ(textOf(child(ad, ad_ids::kLabel1)), L"广告专栏--方案及价格");
    RECT client{};
    GetClientRect(ad, &client);
    EXPECT_EQ(client.right, pixelsOfTwips(7215));
    EXPECT_EQ(client.bottom, pixelsOfTwips(4620));
    saveScreenshot(ad, L"advertisement-window");

    postLabelClick(child(app.main, main_ids::kLabel8));
    EXPECT_EQ(app.count(L"广告栏"), 1);

    postLabelClick(child(ad, ad_ids::kLabel6));
    EXPECT_TRUE(IsWindowVisible(ad));
    PostMessageW(ad, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageW(ad, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(waitUntil([&] { return !IsWindowVisible(ad); }, 3000));
    EXPECT_TRUE(IsWindow(ad));
    postLabelClick(child(app.main, main_ids::kLabel8));
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(ad) != FALSE; }, 3000))
        << "the same window shows again";
    EXPECT_EQ(app.count(L"广告栏"), 1);
}

TEST(AboutBox, ShowsTheExactTitleAndPromptModalToTheWholeProgram) {
    Started app;
    ASSERT_NE(app.main, nullptr);
    HWND help = app.openHelp();
    ASSERT_NE(help, nullptr);
    postClick(child(app.main, main_ids::kCommand1));
    HWND box = app.program.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    // While the box is up, no other window of the program takes input.
    EXPECT_FALSE(isEnabled(app.main));
    EXPECT_FALSE(isEnabled(help));
    MessageBoxView view{box};
    EXPECT_EQ(view.title(), L"       About         ");
    const std::wstring text = view.text();
    EXPECT_EQ(text, kana::about_box::prompt());
    EXPECT_EQ(
        text.find(
            L"Kanaroute安装包程序原理为将整理后的自定义词条载入配置文件，仅供日语非专业的初级用户使用。\r"
            L"      此软件非搜狗公司开发。" +
            std::wstring(34, L' ')),
        0u);
    EXPECT_EQ(text.find(L'\n'), std::wstring::npos);
    EXPECT_FALSE(view.hasButton(IDCANCEL));
    view.press(IDOK);
    EXPECT_TRUE(app.program.running());
    EXPECT_TRUE(waitUntil([&] { return isEnabled(app.main) && isEnabled(help); }, 3000));
}

TEST(Exit, EndsTheProgramWithTheHelpAndAdvertisementWindowsOpen) {
    Started app;
    ASSERT_NE(app.openHelp(), nullptr);
    postLabelClick(child(app.main, main_ids::kLabel8));
    ASSERT_NE(app.program.waitForWindow(L"KanarouteForm", L"广告栏"), nullptr);
    postClick(child(app.main, main_ids::kCommand2));
    EXPECT_TRUE(app.program.waitForExit(5000));
    EXPECT_EQ(app.program.findMessageBox(), nullptr);
}

TEST(WebLinks, WithoutABrowserObjectTheAddressGoesToTheDefaultBrowser) {
    // The tests run with Internet Explorer disabled; the stand-in default
    // browser records every address it is given.
    const std::wstring record = recordBrowserAddresses();

    Started app;
    ASSERT_NE(app.main, nullptr);
    postLabelClick(child(app.main, main_ids::kImage1));
    // Each link starts a browser of its own: the second waits for the first,
    // so that the addresses are recorded in the order they were asked for.
    ASSERT_TRUE(
        waitUntil([&] { return readFile(record).value_or("").find("sogou") != std::string::npos; }, 15000));
    postLabelClick(child(app.main, main_ids::kLabel3));
    ASSERT_TRUE(waitUntil(
        [&] {
            auto text = readFile(record);
            return text && text->find("kanaroute") != std::string::npos;
        },
        15000));
    EXPECT_EQ(*readFile(record), "http://pinyin.sogou.com/?f=youjian\nhttp://kanaroute.github.io/\n");
    EXPECT_EQ(app.program.findMessageBox(), nullptr);
    EXPECT_TRUE(app.program.running());
}

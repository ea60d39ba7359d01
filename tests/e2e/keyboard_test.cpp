// The program can be used without a mouse: Tab follows the tab order and
// reaches every link, clickable picture and help topic, Enter or Space on the
// focused control does what a click does, and a key held down answers no
// message box.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/help_topics.h"
#include "windows/help_window_layout.h"

using namespace e2e;
using namespace kana::main_window;
namespace help_ids = kana::help_window;

namespace {

// Presses Tab until the control has the focus; false when a whole round of
// the window does not reach it.
bool tabTo(HWND window, HWND control) {
    for (int presses = 0; presses < 40 && focusOf(window) != control; ++presses) {
        pressKey(VK_TAB);
    }
    return focusOf(window) == control;
}

// The controls that Tab gives the focus to in one round of the window.
std::vector<HWND> oneRoundOfTab(HWND window) {
    pressKey(VK_TAB);
    std::vector<HWND> reached{focusOf(window)};
    for (int presses = 0; presses < 40; ++presses) {
        pressKey(VK_TAB);
        if (focusOf(window) == reached.front()) {
            break;
        }
        reached.push_back(focusOf(window));
    }
    return reached;
}

std::ptrdiff_t placeOf(const std::vector<HWND>& order, HWND control) {
    return std::find(order.begin(), order.end(), control) - order.begin();
}

// The program's main window, clicked so that it is the foreground window and
// takes the keys; nullptr when it does not appear or does not come forward.
HWND activeMainWindow(Program& program) {
    HWND window = program.mainWindow();
    if (window == nullptr) {
        return nullptr;
    }
    mouseClick(window, 10, 10);
    return waitUntil([&] { return GetForegroundWindow() == window; }, 3000) ? window : nullptr;
}

} // namespace

TEST(Keyboard, TabFollowsTheTabOrderAndEnterPressesTheFocusedButton) {
    const InputMethod method = installInputMethod(L"keyboard");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = activeMainWindow(program);
    ASSERT_NE(window, nullptr);

    // The first control in the tab order has the focus at start.
    EXPECT_TRUE(waitUntil([&] { return focusOf(window) == child(window, kCommand1); }, 3000));
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kCommand2));
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kLabel3)) << "the link 软件简介 is a tab stop";
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kCommand3)) << "labels and the frame take no focus";
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kCheck1));
    for (int i = 0; i < 4; ++i) {
        pressKey(VK_TAB, true);
    }
    EXPECT_EQ(focusOf(window), child(window, kCommand1));

    pressKey(VK_RETURN);
    HWND box = program.waitForMessageBox(5000);
    ASSERT_NE(box, nullptr) << "Enter on 关于 shows the about box";
    EXPECT_EQ(MessageBoxView{box}.title(), L"       About         ");
    MessageBoxView{box}.press(IDOK);
    EXPECT_TRUE(program.running());
}

TEST(Keyboard, TabReachesEveryLinkPictureAndHelpTopicAndEnterOrSpaceDoesWhatAClickDoes) {
    const std::wstring record = recordBrowserAddresses();
    const InputMethod method = installInputMethod(L"keyboard-reach");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = activeMainWindow(program);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitUntil([&] { return focusOf(window) == child(window, kCommand1); }, 3000));

    const std::vector<HWND> mainRound = oneRoundOfTab(window);
    for (const int id : {kLabel3, kImage1, kLabel8}) {
        EXPECT_LT(placeOf(mainRound, child(window, id)), static_cast<std::ptrdiff_t>(mainRound.size())) << id;
    }
    EXPECT_LT(placeOf(mainRound, child(window, kImage1)), placeOf(mainRound, child(window, kLabel8)))
        << "the logo before the advertising line below it";

    // The links open their addresses, as a click does.
    ASSERT_TRUE(tabTo(window, child(window, kImage1)));
    pressKey(VK_RETURN);
    // Each link starts a browser of its own: the second waits for the first,
    // so that the addresses are recorded in the order they were asked for.
    EXPECT_TRUE(
        waitUntil([&] { return readFile(record).value_or("").find("sogou") != std::string::npos; }, 15000));
    ASSERT_TRUE(tabTo(window, child(window, kLabel3)));
    pressKey(VK_SPACE);
    EXPECT_TRUE(waitUntil(
        [&] { return readFile(record).value_or("").find("kanaroute") != std::string::npos; }, 15000));
    EXPECT_EQ(readFile(record).value_or(""),
              "http://pinyin.sogou.com/?f=youjian\nhttp://kanaroute.github.io/\n");
    ASSERT_TRUE(tabTo(window, child(window, kLabel8)));
    pressKey(VK_RETURN);
    HWND ad = program.waitForWindow(L"KanarouteForm", L"广告栏", 5000);
    ASSERT_NE(ad, nullptr) << "Enter on the advertising line opens the advertisement window";
    PostMessageW(ad, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(ad); }, 3000));
    EXPECT_EQ(program.findHelpWindow(), nullptr) << "Enter on a link does not press the default button";

    // The help window: its topics and pictures.
    postClick(child(window, kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == help; }, 3000));
    const std::vector<HWND> helpRound = oneRoundOfTab(help);
    for (const int id :
         {help_ids::kLabel1, help_ids::kLabel2, help_ids::kLabel3, help_ids::kLabel4, help_ids::kImage1}) {
        EXPECT_LT(placeOf(helpRound, child(help, id)), static_cast<std::ptrdiff_t>(helpRound.size())) << id;
    }
    const HWND text = child(help, help_ids::kText1);
    const struct {
        int topic;
        WORD key;
    } choices[] = {{1, VK_RETURN}, {2, VK_SPACE}, {4, VK_RETURN}, {3, VK_SPACE}};
    for (const auto& choice : choices) {
        ASSERT_TRUE(tabTo(help, child(help, help_ids::kTopicLabels[choice.topic - 1])));
        pressKey(choice.key);
        EXPECT_TRUE(waitUntil(
            [&] { return textOf(text) == kana::help_topics::chooseTopic(choice.topic).text; }, 3000))
            << "topic " << choice.topic;
    }
    const HWND picture = child(help, help_ids::kPicture1);
    ASSERT_TRUE(tabTo(help, child(help, help_ids::kImage1)));
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(picture) != FALSE; }, 3000)) << "enlarged";
    ASSERT_TRUE(tabTo(help, picture));
    pressKey(VK_SPACE);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(picture) == FALSE; }, 3000)) << "back to normal";
    EXPECT_TRUE(program.running());
}

TEST(Keyboard, AHeldEnterAnswersNoQuestionButAFreshPressDoes) {
    const InputMethod method = installInputMethod(L"held-enter-install");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = activeMainWindow(program);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(tabTo(window, child(window, kCommand3)));

    // Enter goes down on 安装 and stays down: the keyboard repeats it until the
    // question after the install is up, and on for a while.
    HWND box = nullptr;
    keyDown(VK_RETURN);
    waitUntil([&] {
        keyDown(VK_RETURN);
        return (box = program.findMessageBox()) != nullptr || !program.running();
    });
    ASSERT_NE(box, nullptr);
    for (int repeat = 0; repeat < 10; ++repeat) {
        keyDown(VK_RETURN);
        Sleep(30);
    }
    keyUp(VK_RETURN);
    // A fresh Tab moves the focus to 取消, so every repeat before it has reached the box.
    pressKey(VK_TAB);
    EXPECT_TRUE(waitUntil([&] { return focusOf(box) == GetDlgItem(box, IDCANCEL); }, 5000));
    ASSERT_TRUE(IsWindow(box)) << "a held Enter answered the question";
    EXPECT_EQ(MessageBoxView{box}.title(), L"请决定");

    // A fresh Enter on 确定 answers it.
    pressKey(VK_TAB, true);
    ASSERT_TRUE(waitUntil([&] { return focusOf(box) == GetDlgItem(box, IDOK); }, 5000));
    pressKey(VK_RETURN);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(box); }, 5000));
    const MessageBoxView next{program.waitForMessageBox()};
    ASSERT_NE(next.hwnd, nullptr);
    EXPECT_EQ(next.text(), L"请重启电脑以完成应用.");
    next.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
}

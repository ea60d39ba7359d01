// The main window can be used without a mouse: Tab follows the tab order and
// Enter presses the focused button; a key held down answers no message box.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

using namespace e2e;
using namespace kana::main_window;

TEST(Keyboard, TabFollowsTheTabOrderAndEnterPressesTheFocusedButton) {
    const InputMethod method = installInputMethod(L"keyboard");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    mouseClick(window, 10, 10);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }, 3000));

    // The first control in the tab order has the focus at start.
    EXPECT_TRUE(waitUntil([&] { return focusOf(window) == child(window, kCommand1); }, 3000));
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kCommand2));
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kCommand3)) << "labels and the frame take no focus";
    pressKey(VK_TAB);
    EXPECT_EQ(focusOf(window), child(window, kCheck1));
    pressKey(VK_TAB, true);
    pressKey(VK_TAB, true);
    pressKey(VK_TAB, true);
    EXPECT_EQ(focusOf(window), child(window, kCommand1));

    pressKey(VK_RETURN);
    HWND box = program.waitForMessageBox(5000);
    ASSERT_NE(box, nullptr) << "Enter on 关于 shows the about box";
    EXPECT_EQ(MessageBoxView{box}.title(), L"       About         ");
    MessageBoxView{box}.press(IDOK);
    EXPECT_TRUE(program.running());
}

TEST(Keyboard, AHeldEnterAnswersNoQuestionButAFreshPressDoes) {
    const InputMethod method = installInputMethod(L"held-enter-install");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    mouseClick(window, 10, 10);
    ASSERT_TRUE(waitUntil([&] { return GetForegroundWindow() == window; }, 3000));
    pressKey(VK_TAB);
    pressKey(VK_TAB);
    ASSERT_EQ(focusOf(window), child(window, kCommand3));

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

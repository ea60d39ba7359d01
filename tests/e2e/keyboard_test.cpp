// The main window can be used without a mouse: Tab follows the tab order and
// Enter presses the focused button.
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

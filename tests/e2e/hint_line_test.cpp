// The hint line follows the real mouse pointer over the main window.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

using namespace e2e;
using namespace kana::main_window;

namespace {

// True when some pixel of the control on screen has exactly this colour.
bool showsColour(HWND hwnd, COLORREF colour) {
    const RECT rect = clientRectOnScreen(hwnd);
    HDC screen = GetDC(nullptr);
    bool found = false;
    for (int y = rect.top; y < rect.bottom && !found; ++y) {
        for (int x = rect.left; x < rect.right && !found; ++x) {
            found = GetPixel(screen, x, y) == colour;
        }
    }
    ReleaseDC(nullptr, screen);
    return found;
}

std::wstring hintAfterMovingTo(HWND dlg, HWND target, int dx = -1, int dy = -1) {
    mouseMoveTo(target, dx, dy);
    return textOf(dlg);
}

} // namespace

TEST(HintLine, FollowsThePointerWithTheRightTextsAndColours) {
    const InputMethod method = installInputMethod(L"hints");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    HWND dlg = child(window, kDlg);

    EXPECT_EQ(hintAfterMovingTo(dlg, window, 10, 10), L"说明：无");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand3)), L"说明：请确认安装开始");
    EXPECT_TRUE(showsColour(dlg, RGB(255, 0, 0)));
    // About directly after a red hint stays red.
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand1)), L"说明：查看版权等信息。");
    EXPECT_TRUE(showsColour(dlg, RGB(255, 0, 0)));
    EXPECT_FALSE(showsColour(dlg, RGB(0, 128, 0)));
    // Controls without a hint leave it alone.
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kLabel8)), L"说明：查看版权等信息。");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand6)), L"说明：查看版权等信息。");
    // After the surface's green hint, exit shows in green.
    EXPECT_EQ(hintAfterMovingTo(dlg, window, 10, 10), L"说明：无");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand2)), L"说明：退出程序。");
    EXPECT_TRUE(showsColour(dlg, RGB(0, 128, 0)));
    EXPECT_FALSE(showsColour(dlg, RGB(255, 0, 0)));

    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCheck1)),
              L"说明：是否对现有词条进行备份（强烈建议勾选）。");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kFrame1), 20, 20), L"说明：任务勾选与执行列表。");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kLabel2)), L"说明：您正在查看安装地址与基本信息。");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kImage1)),
              L"说明：您正在查看搜狗logo，单击访问官方网站。");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand7)),
              L"说明：注意，若此次为初次备份则将存为 最近备份，若不是初次备份 则将覆盖 最近备份。");
    saveScreenshot(window, L"main-window-hint");
}

TEST(HintLine, ADisabledControlInTheFrameShowsTheFramesHint) {
    installInputMethod(L"hintsdisabled"); // no phrases.ini: Check1 and Command7 are disabled
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    HWND dlg = child(window, kDlg);
    ASSERT_FALSE(isEnabled(child(window, kCommand7)));
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand3)), L"说明：请确认安装开始");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand7)), L"说明：任务勾选与执行列表。");
    EXPECT_TRUE(showsColour(dlg, RGB(0, 128, 0)));
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand3)), L"说明：请确认安装开始");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kOption1)), L"说明：任务勾选与执行列表。");
    // A disabled restore button never shows its red hint: the pointer belongs to
    // a window beneath it (the main window on Windows; Wine hands it to the frame).
    ASSERT_FALSE(isEnabled(child(window, kCommand4)));
    const std::wstring beneath = hintAfterMovingTo(dlg, child(window, kCommand4));
    EXPECT_TRUE(beneath == L"说明：无" || beneath == L"说明：任务勾选与执行列表。")
        << testing::PrintToString(beneath);
    EXPECT_FALSE(showsColour(dlg, RGB(255, 0, 0)));
}

TEST(HintLine, TheRefreshAfterAnOperationKeepsTheLastHint) {
    const InputMethod method = installInputMethod(L"hintrefresh");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    HWND dlg = child(window, kDlg);
    HWND backup = child(window, kCommand7);
    EXPECT_EQ(hintAfterMovingTo(dlg, backup),
              L"说明：注意，若此次为初次备份则将存为 最近备份，若不是初次备份 则将覆盖 最近备份。");
    postClick(backup);
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxView{box}.text(), L"备份完成！");
    // The refresh has already run: the new backup time shows, the hint is untouched.
    EXPECT_NE(textOf(child(window, kLabel5)).find(L"最初状态备份时间：\r\n2"), std::wstring::npos);
    EXPECT_EQ(textOf(dlg),
              L"说明：注意，若此次为初次备份则将存为 最近备份，若不是初次备份 则将覆盖 最近备份。");
    MessageBoxView{box}.press(IDOK);
}

TEST(HintLine, RestoreChoicesFormTheirOwnGroupAndHaveNoHint) {
    const InputMethod method = installInputMethod(L"optiongroups");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
    writeFile(method.file(L"time001.ini"), "2025/1/2 8:00:01\r\n");
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(isChecked(child(window, kOption3)));
    mouseClick(child(window, kOption4));
    EXPECT_TRUE(isChecked(child(window, kOption4)));
    EXPECT_FALSE(isChecked(child(window, kOption3)));
    EXPECT_TRUE(isChecked(child(window, kOption2))) << "the install mode is another group";
    // Moving over a restore choice leaves the hint line alone.
    HWND dlg = child(window, kDlg);
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kCommand3)), L"说明：请确认安装开始");
    EXPECT_EQ(hintAfterMovingTo(dlg, child(window, kOption3)), L"说明：请确认安装开始");
}

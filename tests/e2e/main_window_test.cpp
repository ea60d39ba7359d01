// The main window against the stand-in input method: title, labels, enabled
// and selected states for each state of the version directory, and the
// start-up messages.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

using namespace e2e;
using namespace kana::main_window;

namespace {

const std::wstring kUserPrefix = L"                         您当前的系统用户名为：";

struct Controls {
    HWND window;
    HWND operator[](int id) const { return child(window, id); }
};

std::wstring expectedLabel2(const InputMethod& method, const std::wstring& user) {
    return kUserPrefix + user + L"\r词库将被安装在：" + method.versionDir() + L"\\phrases.ini";
}

std::wstring currentUser() {
    wchar_t name[256] = {};
    return GetEnvironmentVariableW(L"USERNAME", name, 256) ? name : L"";
}

} // namespace

TEST(MainWindow, ShowsItsLayoutAndTheInstallTargetWithPhrasesPresent) {
    const InputMethod method = installInputMethod(L"layout");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    Controls c{window};
    EXPECT_EQ(textOf(window), L"Tessaline");
    EXPECT_EQ(textOf(c[kLabel1]), L"Tessaline");
    EXPECT_EQ(textOf(c[kLabel2]), expectedLabel2(method, currentUser()));
    EXPECT_EQ(textOf(c[kLabel5]), L"最初状态备份时间：\r\n        不存在。");
    EXPECT_EQ(textOf(c[kLabel6]), L"最近词条备份时间：\r\n        不存在。");
    EXPECT_EQ(textOf(c[kDlg]), L"说明：");
    EXPECT_EQ(textOf(c[kCommand5]), L"卸载并还原到最初状态");
    EXPECT_EQ(textOf(c[kFrame1]), L"操作：");

    // Install choices with phrases.ini present.
    EXPECT_FALSE(isEnabled(c[kOption1]));
    EXPECT_FALSE(isChecked(c[kOption1]));
    EXPECT_TRUE(isEnabled(c[kOption2]));
    EXPECT_TRUE(isChecked(c[kOption2]));
    EXPECT_TRUE(isEnabled(c[kCheck1]));
    EXPECT_TRUE(isChecked(c[kCheck1]));
    EXPECT_TRUE(isEnabled(c[kCommand7]));
    EXPECT_FALSE(isEnabled(c[kCheck2]));
    EXPECT_TRUE(isChecked(c[kCheck2]));
    EXPECT_FALSE(isEnabled(c[kCheck3]));
    // No time stamps: no restore.
    EXPECT_FALSE(isEnabled(c[kOption3]));
    EXPECT_FALSE(isEnabled(c[kOption4]));
    EXPECT_FALSE(isEnabled(c[kCommand4]));
    EXPECT_TRUE(isEnabled(c[kCommand3]));
    EXPECT_TRUE(isEnabled(c[kCommand5]));

    // The frame's children are real children of the frame; the window's
    // controls over the frame are children of the window.
    EXPECT_EQ(GetParent(c[kCheck1]), c[kFrame1]);
    EXPECT_EQ(GetParent(c[kCommand3]), window);
    RECT client{};
    GetClientRect(window, &client);
    const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSY);
    EXPECT_EQ(client.right, MulDiv(8970, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(6210, dpi, 1440));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    saveScreenshot(window, L"main-window");
}

TEST(MainWindow, WithoutPhrasesIniOffersOnlyReplaceModeAndNoBackup) {
    const InputMethod method = installInputMethod(L"nophrases");
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_TRUE(isEnabled(c[kOption2]));
    EXPECT_TRUE(isChecked(c[kOption2]));
    EXPECT_FALSE(isEnabled(c[kOption1]));
    EXPECT_FALSE(isEnabled(c[kCheck1]));
    EXPECT_FALSE(isChecked(c[kCheck1]));
    EXPECT_FALSE(isEnabled(c[kCommand7]));
    EXPECT_EQ(textOf(c[kLabel2]), expectedLabel2(method, currentUser()));
}

TEST(MainWindow, AFolderNamedPhrasesIniCountsAsPresent) {
    const InputMethod method = installInputMethod(L"phrasesfolder");
    makeDir(method.file(L"phrases.ini"));
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_TRUE(isEnabled(c[kCheck1]));
    EXPECT_TRUE(isEnabled(c[kCommand7]));
}

TEST(MainWindow, TimeStampFilesDecideTheRestoreChoices) {
    struct Case {
        bool time000, time001;
        bool option3Enabled, option3Selected, option4Enabled, command4Enabled;
    };
    const Case cases[] = {
        {true, true, true, true, true, true},
        {true, false, true, true, false, true},
        {false, true, false, false, true, true},
        {false, false, false, false, false, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(testing::Message() << "time000=" << test.time000 << " time001=" << test.time001);
        const InputMethod method = installInputMethod(L"stamps");
        writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
        if (test.time000) {
            writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
        }
        if (test.time001) {
            writeFile(method.file(L"time001.ini"), "2025/1/2 08:00:01\r\n");
        }
        Program program;
        Controls c{program.mainWindow()};
        ASSERT_NE(c.window, nullptr);
        EXPECT_EQ(isEnabled(c[kOption3]), test.option3Enabled);
        EXPECT_EQ(isChecked(c[kOption3]), test.option3Selected);
        EXPECT_EQ(isEnabled(c[kOption4]), test.option4Enabled);
        EXPECT_FALSE(isChecked(c[kOption4]));
        EXPECT_EQ(isEnabled(c[kCommand4]), test.command4Enabled);
        EXPECT_EQ(textOf(c[kLabel5]), test.time000 ? L"最初状态备份时间：\r\n2024/3/5 14:07:09"
                                                   : L"最初状态备份时间：\r\n        不存在。");
        EXPECT_EQ(textOf(c[kLabel6]), test.time001 ? L"最近状态备份时间：\r\n2025/1/2 08:00:01"
                                                   : L"最近词条备份时间：\r\n        不存在。");
    }
}

TEST(MainWindow, AnEmptyOrUnreadableTimeStampDoesNotStopTheStart) {
    const InputMethod method = installInputMethod(L"badstamps");
    writeFile(method.file(L"time000.ini"), "");
    makeDir(method.file(L"time001.ini"));
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_EQ(textOf(c[kLabel5]), L"最初状态备份时间：\r\n");
    EXPECT_EQ(textOf(c[kLabel6]), L"最近状态备份时间：\r\n        无法读取备份时间。");
    EXPECT_TRUE(isEnabled(c[kCommand4]));
}

TEST(MainWindow, WarnsAboutAnOldInputMethodBeforeTheWindowShows) {
    installInputMethod(L"oldversion", L"3.1.0.1");
    // The install directory must end in "Input" for the old-version test to see "Input\3.".
    Program program;
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(program.findWindow(L"KanarouteForm", L"Tessaline"), nullptr)
        << "main window shown before the warning";
    MessageBoxView view{box};
    EXPECT_EQ(view.title(), L"Kanaroute");
    EXPECT_EQ(view.text(), L"您搜狗拼音输入法版本太低,无法安装,请到官网升级搜狗拼音输入法");
    EXPECT_TRUE(view.hasButton(IDOK));
    EXPECT_FALSE(view.hasButton(IDCANCEL));
    view.press(IDOK);
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(isEnabled(child(window, kCommand3)));
}

TEST(MainWindow, NewerVersionsStartWithoutWarning) {
    for (const wchar_t* version : {L"4.0", L"13.0"}) {
        installInputMethod(L"newversion", version);
        Program program;
        ASSERT_NE(program.mainWindow(), nullptr)
            << "version " << testing::PrintToString(std::wstring(version));
        EXPECT_EQ(program.findMessageBox(), nullptr);
    }
}

TEST(MainWindow, MissingInputMethodIsReportedAndTheProgramEnds) {
    setRegistry(std::nullopt, std::nullopt);
    Program program;
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    MessageBoxView view{box};
    EXPECT_EQ(view.title(), L"Kanaroute");
    EXPECT_NE(view.text().find(L"没有找到搜狗拼音输入法"), std::wstring::npos);
    view.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
}

TEST(MainWindow, AMissingVersionValueIsReportedToo) {
    setRegistry(std::wstring(L"C:\\Program Files\\SogouInput"), std::nullopt);
    Program program;
    HWND box = program.waitForMessageBox();
    ASSERT_NE(box, nullptr);
    MessageBoxView{box}.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
}

TEST(MainWindow, PathsWithSpacesChineseAndATrailingBackslashAreJoinedAsTheyAre) {
    InputMethod method{L"C:\\e2e\\路径 测试\\Sogou Input\\", L"6.2.0"};
    removeTree(L"C:\\e2e\\路径 测试");
    // The version directory is install directory + "\" + version, joined as they are.
    makeDir(L"C:\\e2e\\路径 测试\\Sogou Input\\\\6.2.0");
    setRegistry(method.installDir, method.version);
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_EQ(textOf(c[kLabel2]), expectedLabel2(method, currentUser()));
}

TEST(MainWindow, AVersionDirectoryThatDoesNotExistLooksEmpty) {
    InputMethod method{L"C:\\e2e\\nowhere\\SogouInput", L"9.9"};
    removeTree(L"C:\\e2e\\nowhere");
    setRegistry(method.installDir, method.version);
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_FALSE(isEnabled(c[kCommand7]));
    EXPECT_FALSE(isEnabled(c[kCommand4]));
    EXPECT_EQ(textOf(c[kLabel2]), expectedLabel2(method, currentUser()));
}

TEST(MainWindow, DrawsTheVendorLogoInItsOwnColours) {
    // The logo is a run-length encoded bitmap drawn by GDI as stored: where it
    // could not be read or drawn, its area would stay plain.
    installInputMethod(L"logo");
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    const RECT rect = clientRectOnScreen(child(window, kImage1));
    const COLORREF colours[] = {RGB(0x1E, 0x5C, 0xD6), RGB(0xF5, 0xA3, 0x00), RGB(0x2D, 0xA3, 0x43),
                                RGB(0xE4, 0x1B, 0x1B)};
    int found[4] = {};
    HDC screen = GetDC(nullptr);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            const COLORREF pixel = GetPixel(screen, x, y);
            for (int i = 0; i < 4; ++i) {
                found[i] += pixel == colours[i] ? 1 : 0;
            }
        }
    }
    ReleaseDC(nullptr, screen);
    // Blue S and o, orange g, green u, red 搜狗: each covers about a hundred pixels or more.
    for (int i = 0; i < 4; ++i) {
        EXPECT_GE(found[i], 50) << "colour " << i;
    }
}

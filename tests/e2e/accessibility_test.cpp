// What automation and screen readers see of the program's windows: the font
// each control reports through WM_GETFONT, the custom controls printing on
// WM_PRINTCLIENT, and each custom control's MSAA role and name, read from
// another process as assistive technology does.
#include <gtest/gtest.h>

#include <oleacc.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/help_window_layout.h"

using namespace e2e;
namespace main_ids = kana::main_window;
namespace help_ids = kana::help_window;

namespace {

struct Accessible {
    LONG role = -1;
    std::wstring name;
};

Accessible accessibleOf(HWND hwnd) {
    Accessible result;
    IAccessible* object = nullptr;
    // __uuidof, not IID_IAccessible: the 64-bit MinGW import library resolves that
    // name to an import stub, so the request would name a garbage interface.
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return result;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) {
        result.role = role.lVal;
    }
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr) {
        result.name = name;
        SysFreeString(name);
    }
    object->Release();
    return result;
}

struct ComThread {
    ComThread() { CoInitialize(nullptr); }
    ~ComThread() { CoUninitialize(); }
};

} // namespace

TEST(Automation, EveryControlReportsItsLayoutFontAndLabelsAndPicturesPrint) {
    const InputMethod method = installInputMethod(L"fonts");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    const std::map<int, InsideView> views = askInsideTheProgram(program).controls;
    ASSERT_FALSE(views.empty()) << "the probe reported nothing";
    const kana::WindowSpec& layout = main_ids::layout();
    const int dpi = GetDeviceCaps(GetDC(nullptr), LOGPIXELSY);
    int checked = 0;
    for (const kana::ControlSpec& row : layout.controls) {
        if (row.kind == kana::ControlKind::Line || row.kind == kana::ControlKind::Shape) {
            continue; // drawn by their container
        }
        const auto found = views.find(row.id);
        ASSERT_NE(found, views.end()) << std::wstring(row.name);
        EXPECT_EQ(found->second.font, layoutFont(row.font, layout.defaultFont, dpi))
            << std::wstring(row.name);
        if (row.kind == kana::ControlKind::Label || row.kind == kana::ControlKind::Picture ||
            row.kind == kana::ControlKind::Frame) {
            // Its whole surface is printed: background, text, picture, border.
            EXPECT_GT(found->second.pixels, 0) << std::wstring(row.name);
            EXPECT_EQ(found->second.painted, found->second.pixels) << std::wstring(row.name);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 25);
}

TEST(Automation, EveryCustomControlHasAChineseNameAndItsRole) {
    ComThread com;
    const InputMethod method = installInputMethod(L"accessibility");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    struct Expected {
        int id;
        LONG role;
        std::wstring name;
    };
    const auto expectAll = [](HWND form, const auto& controls) {
        for (const Expected& expected : controls) {
            const Accessible seen = accessibleOf(child(form, expected.id));
            EXPECT_EQ(seen.role, expected.role) << expected.name;
            EXPECT_EQ(seen.name, expected.name);
        }
    };
    const Expected main[] = {
        {main_ids::kLabel3, ROLE_SYSTEM_LINK, L"软件简介"},
        {main_ids::kLabel8, ROLE_SYSTEM_LINK, L"广告位出售 本周(8.1-8.7)免费，详细请点我"},
        {main_ids::kImage1, ROLE_SYSTEM_GRAPHIC, L"搜狗输入法标志，点击打开搜狗输入法网站"},
        {main_ids::kFrame1, ROLE_SYSTEM_GROUPING, L"操作："},
        {main_ids::kDlg, ROLE_SYSTEM_STATICTEXT, L"说明："},
        {main_ids::kLabel4, ROLE_SYSTEM_STATICTEXT, L"必选"},
        {main_ids::kLabel5, ROLE_SYSTEM_STATICTEXT, L"最初状态备份时间： 不存在。"},
    };
    expectAll(window, main);

    postClick(child(window, main_ids::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    const Expected helpControls[] = {
        {help_ids::kLabel1, ROLE_SYSTEM_LINK, L"如何安装？"},
        {help_ids::kImage1, ROLE_SYSTEM_GRAPHIC, L"安装示意图，点击放大"},
        {help_ids::kPicture1, ROLE_SYSTEM_GRAPHIC, L"放大的安装示意图，点击恢复"},
        {help_ids::kFrame2, ROLE_SYSTEM_GROUPING, L"问题反馈"},
    };
    expectAll(help, helpControls);
}

// What automation and screen readers see of the program's windows: the font
// each control reports through WM_GETFONT, the custom controls printing on
// WM_PRINTCLIENT, each custom control's MSAA role, name and default action,
// and the order of the main window's children, read from another process as
// assistive technology does.
#include <gtest/gtest.h>

#include <oleacc.h>
#include <servprov.h>

#include <algorithm>
#include <vector>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"
#include "windows/help_topics.h"
#include "windows/help_window_layout.h"

using namespace e2e;
namespace main_ids = kana::main_window;
namespace help_ids = kana::help_window;

namespace {

struct Accessible {
    LONG role = -1;
    std::wstring name;
    std::wstring action;   // the default action
    LONG invokedRole = -1; // the role as a scripting client asks for it, through IDispatch::Invoke
};

IAccessible* objectOf(HWND hwnd) {
    IAccessible* object = nullptr;
    // __uuidof, not IID_IAccessible: the 64-bit MinGW import library resolves that
    // name to an import stub, so the request would name a garbage interface.
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

VARIANT self() {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

std::wstring taken(BSTR text) {
    std::wstring result = text != nullptr ? text : L"";
    SysFreeString(text);
    return result;
}

Accessible accessibleOf(HWND hwnd) {
    Accessible result;
    IAccessible* object = objectOf(hwnd);
    if (object == nullptr) {
        return result;
    }
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self(), &role)) && role.vt == VT_I4) {
        result.role = role.lVal;
    }
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self(), &text))) {
        result.name = taken(text);
    }
    text = nullptr;
    if (SUCCEEDED(object->get_accDefaultAction(self(), &text))) {
        result.action = taken(text);
    }
    VARIANT argument = self();
    DISPPARAMS parameters{&argument, nullptr, 1, 0};
    VARIANT invoked{};
    if (SUCCEEDED(object->Invoke(DISPID_ACC_ROLE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                 &parameters, &invoked, nullptr, nullptr)) &&
        invoked.vt == VT_I4) {
        result.invokedRole = invoked.lVal;
    }
    object->Release();
    return result;
}

// Runs the control's default action as a screen reader does.
HRESULT doDefaultAction(HWND hwnd) {
    IAccessible* object = objectOf(hwnd);
    if (object == nullptr) {
        return E_FAIL;
    }
    const HRESULT result = object->accDoDefaultAction(self());
    object->Release();
    return result;
}

// The control identifiers of a window's accessible children, in the order
// assistive technology receives them.
std::vector<int> accessibleChildrenOf(HWND window) {
    std::vector<int> ids;
    IAccessible* object = objectOf(window);
    long count = 0;
    if (object == nullptr || FAILED(object->get_accChildCount(&count)) || count <= 0) {
        return ids;
    }
    std::vector<VARIANT> children(static_cast<std::size_t>(count));
    long obtained = 0;
    if (SUCCEEDED(AccessibleChildren(object, 0, count, children.data(), &obtained))) {
        for (long i = 0; i < obtained; ++i) {
            VARIANT& child = children[static_cast<std::size_t>(i)];
            HWND hwnd = nullptr;
            if (child.vt == VT_DISPATCH && child.pdispVal != nullptr) {
                IAccessible* accessible = nullptr;
                if (SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                             reinterpret_cast<void**>(&accessible)))) {
                    WindowFromAccessibleObject(accessible, &hwnd);
                    accessible->Release();
                }
            }
            ids.push_back(hwnd != nullptr ? GetDlgCtrlID(hwnd) : 0);
            VariantClear(&child);
        }
    }
    object->Release();
    return ids;
}

// The windows whose accessible name changed, as a screen reader hears of them.
std::vector<HWND> renamed;

void CALLBACK onNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        renamed.push_back(hwnd);
    }
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
        std::wstring action;
    };
    const auto expectAll = [](HWND form, const auto& controls) {
        for (const Expected& expected : controls) {
            const Accessible seen = accessibleOf(child(form, expected.id));
            EXPECT_EQ(seen.role, expected.role) << expected.name;
            EXPECT_EQ(seen.invokedRole, expected.role) << expected.name << ": the same answer through Invoke";
            EXPECT_EQ(seen.name, expected.name);
            EXPECT_EQ(seen.action, expected.action) << expected.name;
        }
    };
    const Expected main[] = {
        {main_ids::kLabel3, ROLE_SYSTEM_LINK, L"软件简介", L"打开"},
        {main_ids::kLabel8, ROLE_SYSTEM_LINK, L"广告位出售 本周(8.1-8.7)免费，详细请点我", L"打开"},
        {main_ids::kImage1, ROLE_SYSTEM_GRAPHIC, L"搜狗输入法标志，点击打开搜狗输入法网站", L"单击"},
        {main_ids::kFrame1, ROLE_SYSTEM_GROUPING, L"操作：", L""},
        {main_ids::kDlg, ROLE_SYSTEM_STATICTEXT, L"说明：", L""},
        {main_ids::kLabel4, ROLE_SYSTEM_STATICTEXT, L"必选", L""},
        {main_ids::kLabel5, ROLE_SYSTEM_STATICTEXT, L"最初状态备份时间： 不存在。", L""},
    };
    expectAll(window, main);

    postClick(child(window, main_ids::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    const Expected helpControls[] = {
        {help_ids::kLabel1, ROLE_SYSTEM_LINK, L"如何安装？", L"打开"},
        {help_ids::kImage1, ROLE_SYSTEM_GRAPHIC, L"安装示意图，点击放大", L"单击"},
        {help_ids::kPicture1, ROLE_SYSTEM_GRAPHIC, L"放大的安装示意图，点击恢复", L"单击"},
        {help_ids::kFrame2, ROLE_SYSTEM_GROUPING, L"问题反馈", L""},
    };
    expectAll(help, helpControls);
}

TEST(Automation, DefaultActionsDoWhatAClickDoesNewTextsAreAnnouncedAndTheMainWindowIsReadInReadingOrder) {
    ComThread com;
    const std::wstring record = recordBrowserAddresses();
    const InputMethod method = installInputMethod(L"accessible-actions");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);

    // Top to bottom, left to right; what lies in front of an overlapping
    // control comes before it (the frame's contents, the frame before the
    // advertising line on its top edge, the user line before the logo).
    using namespace main_ids;
    EXPECT_EQ(
        accessibleChildrenOf(window),
        (std::vector<int>{kLabel1, kLabel2, kImage1, kCheck2, kOption4, kOption3, kCommand4, kCommand5,
                          kCommand3, kCommand6, kFrame1, kLabel8, kLabel3, kDlg, kCommand2, kCommand1}));

    // The hint line's new text is announced.
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                         &onNameChange, program.pid(), 0, WINEVENT_OUTOFCONTEXT);
    mouseMoveTo(child(window, kCommand3));
    EXPECT_TRUE(pumpUntil([&] {
        return std::find(renamed.begin(), renamed.end(), child(window, kDlg)) != renamed.end();
    })) << "no name change of the hint line";
    UnhookWinEvent(hook);

    // The link's object tells its window, as the standard object of any control does.
    if (IAccessible* link = objectOf(child(window, kLabel3))) {
        HWND seen = nullptr;
        WindowFromAccessibleObject(link, &seen);
        EXPECT_EQ(seen, child(window, kLabel3));
        link->Release();
    }

    // Each link starts a browser of its own; the second waits for the first,
    // so that the two addresses are recorded in the order they were asked for.
    EXPECT_EQ(doDefaultAction(child(window, kImage1)), S_OK);
    EXPECT_TRUE(
        waitUntil([&] { return readFile(record).value_or("").find("sogou") != std::string::npos; }, 15000));
    EXPECT_EQ(doDefaultAction(child(window, kLabel3)), S_OK);
    EXPECT_TRUE(waitUntil(
        [&] { return readFile(record).value_or("").find("kanaroute") != std::string::npos; }, 15000));
    EXPECT_EQ(readFile(record).value_or(""),
              "http://pinyin.sogou.com/?f=youjian\nhttp://kanaroute.github.io/\n");
    EXPECT_EQ(doDefaultAction(child(window, kLabel8)), S_OK);
    HWND ad = program.waitForWindow(L"KanarouteForm", L"广告栏", 5000);
    ASSERT_NE(ad, nullptr);
    PostMessageW(ad, WM_CLOSE, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(ad); }, 3000));
    EXPECT_NE(doDefaultAction(child(window, kDlg)), S_OK) << "the hint line has no action";

    postClick(child(window, kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    const HWND text = child(help, help_ids::kText1);
    for (const int topic : {1, 2, 4, 3}) {
        EXPECT_EQ(doDefaultAction(child(help, help_ids::kTopicLabels[topic - 1])), S_OK);
        EXPECT_TRUE(
            waitUntil([&] { return textOf(text) == kana::help_topics::chooseTopic(topic).text; }, 3000))
            << "topic " << topic;
    }
    const HWND picture = child(help, help_ids::kPicture1);
    EXPECT_EQ(doDefaultAction(child(help, help_ids::kImage1)), S_OK);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(picture) != FALSE; }, 3000)) << "enlarged";
    EXPECT_EQ(doDefaultAction(picture), S_OK);
    EXPECT_TRUE(waitUntil([&] { return IsWindowVisible(picture) == FALSE; }, 3000)) << "back to normal";
    EXPECT_TRUE(program.running());
}

// The link's object is one object: the window behind it comes from the object
// itself and leads back to it, and it offers no child enumeration or services
// of another object. While a message box is up its default action does
// nothing (the window behind the box takes no clicks either); once the box is
// closed it opens the link.
TEST(Automation, TheLinkIsOneObjectAndItsDefaultActionWaitsWhileAMessageBoxIsUp) {
    ComThread com;
    const std::wstring record = recordBrowserAddresses();
    const InputMethod method = installInputMethod(L"accessible-identity");
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    const HWND link = child(window, main_ids::kLabel3);
    IAccessible* object = objectOf(link);
    ASSERT_NE(object, nullptr);

    IOleWindow* oleWindow = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&oleWindow)), S_OK);
    HWND behind = nullptr;
    EXPECT_EQ(oleWindow->GetWindow(&behind), S_OK);
    EXPECT_EQ(behind, link);
    IUnknown* identity = nullptr;
    IUnknown* identityOfWindow = nullptr;
    object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    oleWindow->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identityOfWindow));
    EXPECT_TRUE(identity != nullptr && identity == identityOfWindow) << "another object behind IOleWindow";
    for (IUnknown* held : {static_cast<IUnknown*>(oleWindow), identity, identityOfWindow}) {
        if (held != nullptr) {
            held->Release();
        }
    }
    void* other = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IEnumVARIANT, &other), E_NOINTERFACE);
    EXPECT_EQ(object->QueryInterface(IID_IServiceProvider, &other), E_NOINTERFACE);

    postClick(child(window, main_ids::kCommand1));
    const MessageBoxView box{program.waitForMessageBox(5000)};
    ASSERT_NE(box.hwnd, nullptr) << "the about box";
    EXPECT_NE(object->accDoDefaultAction(self()), S_OK);
    Sleep(1000); // time enough for a browser to be asked
    EXPECT_EQ(readFile(record).value_or(""), "") << "the link opened behind the message box";
    box.press(IDOK);
    ASSERT_TRUE(waitUntil([&] { return IsWindowEnabled(window) != FALSE; }, 3000));
    EXPECT_EQ(object->accDoDefaultAction(self()), S_OK);
    EXPECT_TRUE(waitUntil(
        [&] { return readFile(record).value_or("").find("kanaroute") != std::string::npos; }, 15000));
    object->Release();
    EXPECT_TRUE(program.running());
}

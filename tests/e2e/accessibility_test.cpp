// What automation and screen readers see of the program's windows: the font
// each control reports through WM_GETFONT, the custom controls printing on
// WM_PRINTCLIENT, and each custom control's MSAA role and name, read from
// another process as assistive technology does.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <map>
#include <sstream>

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
    if (FAILED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
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

// What a control reports to a question asked inside the program.
struct InsideView {
    std::wstring font; // "face height[ u]" from WM_GETFONT, or "(none)"
    long painted = 0;  // pixels painted on WM_PRINTCLIENT
    long pixels = 0;   // all pixels of its client area
};

// Wine refuses WM_GETFONT and WM_PRINTCLIENT between processes, so a small
// probe library is loaded into the program (a remote thread calls
// LoadLibraryW) and asks there; it answers by control id.
std::map<int, InsideView> askInsideTheProgram(const Program& program) {
    const std::wstring probe = binDir() + L"\\control_probe.dll";
    const std::wstring report = probe + L".txt";
    DeleteFileW(report.c_str());
    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_VM_OPERATION | PROCESS_VM_WRITE |
                                     PROCESS_VM_READ | PROCESS_QUERY_INFORMATION,
                                 FALSE, program.pid());
    if (process == nullptr) {
        return {};
    }
    const SIZE_T bytes = (probe.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    WriteProcessMemory(process, remote, probe.c_str(), bytes, nullptr);
    // kernel32 lies at the same address in every process of one architecture.
    const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    if (HANDLE thread = CreateRemoteThread(process, nullptr, 0, loadLibrary, remote, 0, nullptr)) {
        WaitForSingleObject(thread, 10000);
        CloseHandle(thread);
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    std::map<int, InsideView> views;
    if (!waitUntil([&] { return exists(report); }, 10000)) {
        return views;
    }
    const std::string raw = readFile(report).value_or("");
    std::wistringstream lines(
        std::wstring(reinterpret_cast<const wchar_t*>(raw.data()), raw.size() / sizeof(wchar_t)));
    std::wstring id;
    std::wstring painted;
    std::wstring pixels;
    InsideView view;
    while (std::getline(lines, id, L'|') && std::getline(lines, view.font, L'|') &&
           std::getline(lines, painted, L'|') && std::getline(lines, pixels)) {
        view.painted = std::stol(painted);
        view.pixels = std::stol(pixels);
        views[std::stoi(id)] = view;
    }
    return views;
}

std::wstring expectedFont(const kana::FontSpec& font, const kana::FontSpec& windowDefault, int dpi) {
    const kana::FontSpec& used = font.face.empty() ? windowDefault : font;
    return std::wstring(used.face) + L" " + std::to_wstring(kana::pointsToPixelHeight(used.points, dpi)) +
           (used.underline ? L" u" : L"");
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
    const std::map<int, InsideView> views = askInsideTheProgram(program);
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
        EXPECT_EQ(found->second.font, expectedFont(row.font, layout.defaultFont, dpi))
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
    const Expected main[] = {
        {main_ids::kLabel3, ROLE_SYSTEM_LINK, L"软件简介"},
        {main_ids::kLabel8, ROLE_SYSTEM_LINK, L"广告位出售 本周(8.1-8.7)免费，详细请点我"},
        {main_ids::kImage1, ROLE_SYSTEM_GRAPHIC, L"搜狗输入法标志，点击打开搜狗输入法网站"},
        {main_ids::kFrame1, ROLE_SYSTEM_GROUPING, L"操作："},
        {main_ids::kDlg, ROLE_SYSTEM_STATICTEXT, L"说明："},
        {main_ids::kLabel4, ROLE_SYSTEM_STATICTEXT, L"必选"},
        {main_ids::kLabel5, ROLE_SYSTEM_STATICTEXT, L"最初状态备份时间： 不存在。"},
    };
    for (const Expected& expected : main) {
        const Accessible seen = accessibleOf(child(window, expected.id));
        EXPECT_EQ(seen.role, expected.role) << expected.name;
        EXPECT_EQ(seen.name, expected.name);
    }

    postClick(child(window, main_ids::kCommand6));
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr);
    const Expected helpControls[] = {
        {help_ids::kLabel1, ROLE_SYSTEM_LINK, L"如何安装？"},
        {help_ids::kImage1, ROLE_SYSTEM_GRAPHIC, L"安装示意图，点击放大"},
        {help_ids::kPicture1, ROLE_SYSTEM_GRAPHIC, L"放大的安装示意图，点击恢复"},
        {help_ids::kFrame2, ROLE_SYSTEM_GROUPING, L"问题反馈"},
    };
    for (const Expected& expected : helpControls) {
        const Accessible seen = accessibleOf(child(help, expected.id));
        EXPECT_EQ(seen.role, expected.role) << expected.name;
        EXPECT_EQ(seen.name, expected.name);
    }
}

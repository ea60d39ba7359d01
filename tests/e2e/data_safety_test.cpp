// One operation at a time, and files that another program holds: a second
// copy of the program started during an operation, a start-up recovery that
// meets a held phrases.ini, and a hold of a moment during an install.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

using namespace e2e;
using namespace kana::main_window;

namespace {

const wchar_t kInitialBackup[] = L"phrases最初备份.ini";
const wchar_t kRecord[] = L"Kanaroute操作记录.txt";
const std::wstring kAskRestart = L"            安装完成！重启吗?\r确定:重启以完成应用   取消:手动完成应用";

std::string phraseList() {
    return readFile(binDir() + L"\\date.dat").value_or("");
}

// An install cut short after phrases.ini ("mine") was set aside and the
// phrase list copied in its place, before the copy was marked: the files and
// the record.
void writeInterruptedInstall(const InputMethod& method) {
    const std::wstring phrases = method.file(L"phrases.ini");
    const std::wstring aside = method.file(L"phrases.old.ini");
    writeFile(aside, phraseFile("mine"));
    writeFile(phrases, phraseList());
    writeFile(method.file(kRecord), "Kanaroute intent record 1\noperation\tinstall\nsetaside\t" +
                                        utf8(phrases) + "\t" + utf8(aside) + "\ncopy\t" +
                                        utf8(binDir() + L"\\date.dat") + "\t" + utf8(phrases) +
                                        "\nplanned\ndone 1\n");
}

bool contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

DWORD processOf(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

} // namespace

// The first copy is inside an install (its record written and held, a rename
// waiting for phrases.ini, which another program holds for a moment). A second
// copy started then says nothing, changes nothing, brings the first window
// back from the task bar and ends; the first copy's install completes.
TEST(DataSafety, ASecondCopyDuringAnInstallBringsTheFirstForwardAndEnds) {
    const InputMethod method = installInputMethod(L"second-copy");
    const std::wstring phrases = method.file(L"phrases.ini");
    writeFile(phrases, phraseFile("mine"));
    Program first;
    const HWND window = first.mainWindow();
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window));

    FileHold hold(phrases);
    ASSERT_TRUE(hold.held());
    postClick(child(window, kCommand3));
    ASSERT_TRUE(waitUntil([&] { return exists(method.file(kRecord)); }));

    Program second(L"", L"", false);
    bool secondSpoke = false;
    EXPECT_TRUE(waitUntil([&] {
        secondSpoke = secondSpoke || second.findMessageBox() != nullptr;
        return !second.running();
    }));
    EXPECT_FALSE(secondSpoke);
    EXPECT_TRUE(exists(method.file(kRecord))) << "the record of the running install was touched";
    hold.release();

    const MessageBoxView box{first.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.title(), L"请决定");
    EXPECT_EQ(box.text(), kAskRestart);
    EXPECT_TRUE(waitUntil([&] { return !IsIconic(window); }));
    EXPECT_EQ(processOf(GetForegroundWindow()), first.pid());
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("mine"));
    EXPECT_EQ(readFile(phrases), phraseList());
    EXPECT_FALSE(exists(method.file(kRecord)));
}

// Start-up finds an install that was cut short (phrases.ini set aside, the
// phrase list copied, the copy not yet marked) while another program holds
// phrases.ini: it says which file is where and what to close, keeps the
// record and loses nothing. Once the file is free, the next start undoes it.
TEST(DataSafety, ARecoveryThatMeetsAHeldFileKeepsItsRecordAndTheNextStartFinishes) {
    const InputMethod method = installInputMethod(L"held-recovery");
    const std::wstring phrases = method.file(L"phrases.ini");
    const std::wstring aside = method.file(L"phrases.old.ini");
    writeInterruptedInstall(method);
    {
        FileHold hold(phrases);
        ASSERT_TRUE(hold.held());
        Program program;
        const MessageBoxView box{program.waitForMessageBox(20000)};
        ASSERT_NE(box.hwnd, nullptr);
        const std::wstring text = box.text();
        EXPECT_TRUE(contains(text, phrases)) << testing::PrintToString(text);
        EXPECT_TRUE(contains(text, aside)) << testing::PrintToString(text);
        EXPECT_TRUE(contains(text, L"请关闭")) << testing::PrintToString(text);
        EXPECT_EQ(readFile(aside), phraseFile("mine"));
        EXPECT_TRUE(exists(method.file(kRecord)));
        box.press(IDOK);
        EXPECT_NE(program.mainWindow(), nullptr);
    }
    EXPECT_EQ(readFile(aside), phraseFile("mine"));
    EXPECT_EQ(readFile(phrases), phraseList());
    EXPECT_TRUE(exists(method.file(kRecord)));

    Program program;
    const MessageBoxView box{program.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_TRUE(contains(box.text(), L"程序已撤销该操作做过的改动")) << testing::PrintToString(box.text());
    box.press(IDOK);
    EXPECT_NE(program.mainWindow(), nullptr);
    EXPECT_EQ(readFile(phrases), phraseFile("mine"));
    EXPECT_FALSE(exists(aside));
    EXPECT_FALSE(exists(method.file(kRecord)));
}

// Another program holds phrases.ini for 2.5 s just as an install with the
// backup tick starts: the install waits it out and completes. All the while
// the main window answers within half a second and is disabled, so that
// nothing can be clicked twice; it is enabled again once the install is done.
// (A hold that outlasts the retries gives the usual failure report with
// nothing lost; see the operations' test of a held phrases.ini.)
TEST(DataSafety, AHoldDuringAnInstallIsWaitedOutWhileTheWindowKeepsAnswering) {
    const InputMethod method = installInputMethod(L"momentary-hold");
    const std::wstring phrases = method.file(L"phrases.ini");
    writeFile(phrases, phraseFile("mine"));
    Program program;
    const HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(isChecked(child(window, kCheck1)));
    {
        FileHold hold(phrases);
        ASSERT_TRUE(hold.held());
        postClick(child(window, kCommand3));
        EXPECT_TRUE(waitUntil([&] { return !isEnabled(window); }, 2000)) << "not shown as busy";
        const DWORD start = GetTickCount();
        int answers = 0;
        while (GetTickCount() - start < 2500) { // the length of the hold, not a wait for the program
            DWORD_PTR result = 0;
            const DWORD asked = GetTickCount();
            const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 500, &result) != 0;
            EXPECT_TRUE(answered && GetTickCount() - asked <= 500)
                << "no answer " << GetTickCount() - start << " ms into the hold";
            EXPECT_FALSE(isEnabled(window));
            ++answers;
            Sleep(100);
        }
        EXPECT_GE(answers, 10);
    }
    const MessageBoxView box{program.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.title(), L"请决定");
    EXPECT_EQ(box.text(), kAskRestart);
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("mine"));
    EXPECT_EQ(readFile(phrases), phraseList());
    box.press(IDCANCEL);
    EXPECT_NE(program.waitForHelpWindow(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return isEnabled(window); })) << "left disabled after the install";
    endProcessesOf(method.file(L"config.exe"));
}

// The first copy's start-up recovery speaks while its main window is still
// hidden, and another window has come in front of the message. A second copy
// brings that message forward, not the hidden main window, and ends.
TEST(DataSafety, ASecondCopyDuringTheStartUpRecoveryBringsItsMessageForward) {
    const InputMethod method = installInputMethod(L"second-copy-recovery");
    writeInterruptedInstall(method);
    Program first;
    const MessageBoxView box{first.waitForMessageBox(20000)};
    ASSERT_NE(box.hwnd, nullptr);
    HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    ASSERT_TRUE(pumpUntil([&] { return GetForegroundWindow() == other; }, 3000));

    Program second(L"", L"", false);
    EXPECT_TRUE(pumpUntil([&] { return !second.running(); }, 15000));
    EXPECT_TRUE(pumpUntil([&] { return GetForegroundWindow() == box.hwnd; }, 3000))
        << "in front: " << testing::PrintToString(textOf(GetForegroundWindow()));
    DestroyWindow(other);
    box.press(IDOK);
    EXPECT_NE(first.mainWindow(), nullptr);
}

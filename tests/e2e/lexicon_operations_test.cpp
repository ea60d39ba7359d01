// The install, backup, restore and uninstall operations through the main
// window's buttons and message boxes, against the stand-in input method: the
// files they leave, byte for byte, the refreshed window, the settings program
// and the help window, and what a real fault does to the files.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

#include <regex>

using namespace e2e;
using namespace kana::main_window;

namespace {

const std::wstring kAskRestart = L"            安装完成！重启吗?\r确定:重启以完成应用   取消:手动完成应用";
const std::wstring kRestartToApply = L"请重启电脑以完成应用.";
const std::wstring kBackupDone = L"备份完成！";
const std::wstring kRestoreDone = L"还原完成！";
const std::wstring kApplyInSettings = L"请在弹出的窗口中点应用 然后点击确定。";
const std::wstring kNothingChanged = L"词库文件均未改动，没有任何词条丢失。";
const std::wstring kAllPutBack = L"操作已取消，词库文件均已恢复原样，没有任何词条丢失。";

const std::wstring kInitialPrefix = L"最初状态备份时间：\r\n";
const std::wstring kLatestPrefix = L"最近状态备份时间：\r\n";
const std::wstring kInitialMissing = L"最初状态备份时间：\r\n        不存在。";
const std::wstring kLatestMissing = L"最近词条备份时间：\r\n        不存在。";

const wchar_t kInitialBackup[] = L"phrases最初备份.ini";
const wchar_t kLatestBackup[] = L"phrases最近备份.ini";

// Earlier time stamps, as another run of the program would have left them.
const std::string kOldStamp000 = "2024/3/5 14:07:09\r\n";
const std::string kOldStamp001 = "2025/1/2 08:00:01\r\n";

struct Controls {
    HWND window;
    HWND operator[](int id) const { return child(window, id); }
};

std::string phraseList() {
    return readFile(binDir() + L"\\date.dat").value_or("");
}

// The zh-CN general date, one line in the ANSI code page, e.g. "2026/12/8 5:07:09" CR LF.
bool isTimeStamp(const std::optional<std::string>& bytes) {
    static const std::regex shape(R"(\d{4}/\d{1,2}/\d{1,2} \d{1,2}:\d{2}:\d{2}\r\n)");
    return bytes && std::regex_match(*bytes, shape);
}

// The line of a time-stamp file as a label shows it (the text is plain ASCII).
std::wstring lineOf(const std::optional<std::string>& bytes) {
    std::string line = bytes.value_or("");
    line = line.substr(0, line.find_first_of("\r\n"));
    return std::wstring(line.begin(), line.end());
}

// The lexicon files of the version directory, without the stand-in settings
// program and its start log.
std::map<std::wstring, std::string> lexiconFiles(const InputMethod& method) {
    std::map<std::wstring, std::string> files = folderContents(method.versionDir());
    files.erase(L"config.exe");
    files.erase(L"config-starts.log");
    return files;
}

int settingsStarts(const InputMethod& method) {
    const std::string log = readFile(method.file(L"config-starts.log")).value_or("");
    int count = 0;
    for (std::size_t at = log.find("started "); at != std::string::npos; at = log.find("started ", at + 1)) {
        ++count;
    }
    return count;
}

bool waitForSettingsStarts(const InputMethod& method, int count) {
    return waitUntil([&] { return settingsStarts(method) == count; });
}

// Ends the stand-in settings programs that a test caused to start.
struct SettingsProgramCleanup {
    InputMethod method;
    ~SettingsProgramCleanup() { endProcessesOf(method.file(L"config.exe")); }
};

MessageBoxView nextBox(const Program& program) {
    return MessageBoxView{program.waitForMessageBox()};
}

// A box of the application with only an OK button and this text.
void expectOkBox(const MessageBoxView& box, const std::wstring& text) {
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    EXPECT_EQ(box.title(), L"Kanaroute");
    EXPECT_EQ(box.text(), text);
    EXPECT_TRUE(box.hasButton(IDOK));
    EXPECT_FALSE(box.hasButton(IDCANCEL));
}

void expectAskRestartBox(const MessageBoxView& box) {
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    EXPECT_EQ(box.title(), L"请决定");
    EXPECT_EQ(box.text(), kAskRestart);
    EXPECT_TRUE(box.hasButton(IDOK));
    EXPECT_TRUE(box.hasButton(IDCANCEL));
}

// A failure report: the application's title, only OK, the named step and the closing sentence.
void expectFailureBox(const MessageBoxView& box, const std::wstring& beginning, const std::wstring& ending) {
    ASSERT_NE(box.hwnd, nullptr) << "no message box";
    const std::wstring text = box.text();
    EXPECT_EQ(box.title(), L"Kanaroute");
    EXPECT_TRUE(box.hasButton(IDOK));
    EXPECT_FALSE(box.hasButton(IDCANCEL));
    EXPECT_EQ(text.substr(0, beginning.size()), beginning) << testing::PrintToString(text);
    EXPECT_NE(text.find(L"\r\n原因："), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_TRUE(text.size() >= ending.size() && text.substr(text.size() - ending.size()) == ending)
        << testing::PrintToString(text);
}

// The stand-in in state C: phrases.ini, both backups and both time stamps.
void writeFullState(const InputMethod& method) {
    writeFile(method.file(L"phrases.ini"), phraseFile("current"));
    writeFile(method.file(kInitialBackup), phraseFile("initial"));
    writeFile(method.file(kLatestBackup), phraseFile("latest"));
    writeFile(method.file(L"time000.ini"), kOldStamp000);
    writeFile(method.file(L"time001.ini"), kOldStamp001);
}

} // namespace

TEST(LexiconOperations, InstallKeepsBackupsAndTheCancelAnswerOpensSettingsAndHelp) {
    const InputMethod method = installInputMethod(L"install-cancel");
    const SettingsProgramCleanup cleanup{method};
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    ASSERT_TRUE(isChecked(c[kCheck1]));

    // First install: the old phrases.ini becomes the initial backup.
    postClick(c[kCommand3]);
    MessageBoxView box = nextBox(program);
    expectAskRestartBox(box);
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("mine"));
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseList());
    const std::optional<std::string> stamp000 = readFile(method.file(L"time000.ini"));
    EXPECT_TRUE(isTimeStamp(stamp000)) << testing::PrintToString(stamp000);
    EXPECT_FALSE(exists(method.file(kLatestBackup)));
    EXPECT_FALSE(exists(method.file(L"time001.ini")));
    // The window was refreshed before the question.
    EXPECT_EQ(textOf(c[kLabel5]), kInitialPrefix + lineOf(stamp000));
    EXPECT_EQ(textOf(c[kLabel6]), kLatestMissing);
    EXPECT_TRUE(isEnabled(c[kOption3]));
    EXPECT_TRUE(isChecked(c[kOption3]));
    EXPECT_FALSE(isEnabled(c[kOption4]));
    EXPECT_TRUE(isEnabled(c[kCommand4]));
    EXPECT_EQ(settingsStarts(method), 0) << "the settings program started before the answer";

    box.press(IDCANCEL);
    EXPECT_TRUE(waitForSettingsStarts(method, 1));
    const std::string log = readFile(method.file(L"config-starts.log")).value_or("");
    EXPECT_NE(log.find("started \"C:\\e2e\\install-cancel\\SogouInput\\6.2.0.0000\\config.exe\""),
              std::string::npos)
        << log;
    HWND help = program.waitForHelpWindow();
    ASSERT_NE(help, nullptr) << "no help window";
    EXPECT_TRUE(program.running());
    EXPECT_TRUE(IsWindowVisible(c.window));
    EXPECT_EQ(GetWindow(help, GW_OWNER), nullptr);

    // Second install: the first install's phrases.ini (the phrase list) becomes the latest backup.
    postClick(c[kCommand3]);
    box = nextBox(program);
    expectAskRestartBox(box);
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("mine"));
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseList());
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseList());
    EXPECT_EQ(readFile(method.file(L"time000.ini")), stamp000);
    const std::optional<std::string> stamp001 = readFile(method.file(L"time001.ini"));
    EXPECT_TRUE(isTimeStamp(stamp001)) << testing::PrintToString(stamp001);
    EXPECT_EQ(textOf(c[kLabel6]), kLatestPrefix + lineOf(stamp001));
    EXPECT_TRUE(isEnabled(c[kOption4]));
    box.press(IDCANCEL);
    EXPECT_TRUE(waitForSettingsStarts(method, 2));
    EXPECT_TRUE(program.waitForHelpWindow() != nullptr);
    EXPECT_EQ(program.windows(L"KanarouteForm").size(), 2u) << "the help window was not reused";

    // Without the backup tick only phrases.ini changes, and no set-aside copy stays behind.
    writeFile(method.file(L"phrases.ini"), phraseFile("edited"));
    SendMessageW(c[kCheck1], BM_CLICK, 0, 0);
    ASSERT_FALSE(isChecked(c[kCheck1]));
    std::map<std::wstring, std::string> expected = lexiconFiles(method);
    expected[L"phrases.ini"] = phraseList();
    postClick(c[kCommand3]);
    box = nextBox(program);
    expectAskRestartBox(box);
    EXPECT_EQ(lexiconFiles(method), expected);
    box.press(IDCANCEL);
    EXPECT_TRUE(waitForSettingsStarts(method, 3));
    EXPECT_TRUE(program.running());
}

TEST(LexiconOperations, InstallWithoutPhrasesIniAndTheOkAnswerEndsTheProgram) {
    const InputMethod method = installInputMethod(L"install-ok");
    const SettingsProgramCleanup cleanup{method};
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_FALSE(isEnabled(c[kCheck1]));
    EXPECT_FALSE(isEnabled(c[kCommand7]));

    postClick(c[kCommand3]);
    MessageBoxView box = nextBox(program);
    expectAskRestartBox(box);
    // phrases.ini is created from the phrase list; nothing else.
    const std::map<std::wstring, std::string> expected{{L"phrases.ini", phraseList()}};
    EXPECT_EQ(lexiconFiles(method), expected);
    EXPECT_TRUE(isEnabled(c[kCheck1]));
    EXPECT_TRUE(isEnabled(c[kCommand7]));
    EXPECT_FALSE(isEnabled(c[kCommand4]));

    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kRestartToApply);
    box.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
    EXPECT_EQ(lexiconFiles(method), expected);
    EXPECT_FALSE(exists(method.file(L"config-starts.log"))) << "the settings program was started";
}

TEST(LexiconOperations, BackupKeepsTheInitialBackupAndReplacesTheLatestOne) {
    const InputMethod method = installInputMethod(L"backup");
    writeFile(method.file(L"phrases.ini"), phraseFile("first"));
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);

    postClick(c[kCommand7]);
    MessageBoxView box = nextBox(program);
    expectOkBox(box, kBackupDone);
    const std::optional<std::string> stamp000 = readFile(method.file(L"time000.ini"));
    EXPECT_TRUE(isTimeStamp(stamp000)) << testing::PrintToString(stamp000);
    std::map<std::wstring, std::string> expected{{L"phrases.ini", phraseFile("first")},
                                                 {kInitialBackup, phraseFile("first")},
                                                 {L"time000.ini", *stamp000}};
    EXPECT_EQ(lexiconFiles(method), expected);
    EXPECT_EQ(textOf(c[kLabel5]), kInitialPrefix + lineOf(stamp000));
    EXPECT_TRUE(isEnabled(c[kOption3]));
    EXPECT_TRUE(isEnabled(c[kCommand4]));
    box.press(IDOK);

    // Second and third backups replace the latest backup; phrases.ini is never changed.
    for (const char* marker : {"second", "third"}) {
        SCOPED_TRACE(marker);
        writeFile(method.file(L"phrases.ini"), phraseFile(marker));
        postClick(c[kCommand7]);
        box = nextBox(program);
        expectOkBox(box, kBackupDone);
        const std::optional<std::string> stamp001 = readFile(method.file(L"time001.ini"));
        EXPECT_TRUE(isTimeStamp(stamp001)) << testing::PrintToString(stamp001);
        expected[L"phrases.ini"] = phraseFile(marker);
        expected[kLatestBackup] = phraseFile(marker);
        expected[L"time001.ini"] = stamp001.value_or("");
        EXPECT_EQ(lexiconFiles(method), expected);
        EXPECT_EQ(textOf(c[kLabel6]), kLatestPrefix + lineOf(stamp001));
        EXPECT_TRUE(isEnabled(c[kOption4]));
        box.press(IDOK);
    }
    EXPECT_TRUE(program.running());
    EXPECT_EQ(program.findHelpWindow(), nullptr);
}

TEST(LexiconOperations, RestoreExchangesWithTheLatestBackupAndCopiesTheInitialOne) {
    const InputMethod method = installInputMethod(L"restore");
    const SettingsProgramCleanup cleanup{method};
    writeFullState(method);
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);

    // Restore-to-latest twice: an exchange, so the second one puts everything back.
    std::optional<std::string> stamp001;
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        SendMessageW(c[kOption4], BM_CLICK, 0, 0);
        ASSERT_TRUE(isChecked(c[kOption4]));
        ASSERT_FALSE(isChecked(c[kOption3]));
        postClick(c[kCommand4]);
        MessageBoxView box = nextBox(program);
        expectOkBox(box, kRestoreDone);
        const bool swapped = run == 1;
        EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseFile(swapped ? "latest" : "current"));
        EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile(swapped ? "current" : "latest"));
        EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("initial"));
        EXPECT_EQ(readFile(method.file(L"time000.ini")), kOldStamp000);
        stamp001 = readFile(method.file(L"time001.ini"));
        EXPECT_TRUE(isTimeStamp(stamp001)) << testing::PrintToString(stamp001);
        EXPECT_FALSE(exists(method.file(L"phrasesTEMP.ini")));
        EXPECT_EQ(lexiconFiles(method).size(), 5u);
        EXPECT_EQ(textOf(c[kLabel6]), kLatestPrefix + lineOf(stamp001));
        EXPECT_TRUE(isChecked(c[kOption3])) << "the refresh selects the initial state again";
        EXPECT_EQ(settingsStarts(method), run - 1) << "the settings program started before the messages";
        box.press(IDOK);
        box = nextBox(program);
        expectOkBox(box, kApplyInSettings);
        box.press(IDOK);
        EXPECT_TRUE(waitForSettingsStarts(method, run));
        EXPECT_NE(program.waitForHelpWindow(), nullptr);
        EXPECT_TRUE(program.running());
    }

    // Restore-to-initial: a copy of the initial backup; the current file takes the latest backup's place.
    ASSERT_TRUE(isChecked(c[kOption3]));
    postClick(c[kCommand4]);
    MessageBoxView box = nextBox(program);
    expectOkBox(box, kRestoreDone);
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseFile("initial"));
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile("current"));
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("initial"));
    const std::optional<std::string> stamp000 = readFile(method.file(L"time000.ini"));
    EXPECT_TRUE(isTimeStamp(stamp000)) << testing::PrintToString(stamp000);
    EXPECT_EQ(readFile(method.file(L"time001.ini")), stamp001);
    EXPECT_EQ(lexiconFiles(method).size(), 5u);
    EXPECT_EQ(textOf(c[kLabel5]), kInitialPrefix + lineOf(stamp000));
    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kApplyInSettings);
    box.press(IDOK);
    EXPECT_TRUE(waitForSettingsStarts(method, 3));
    EXPECT_NE(program.waitForHelpWindow(), nullptr);
    EXPECT_TRUE(program.running());
}

TEST(LexiconOperations, UninstallRestoresTheInitialStateStartsSettingsAndEnds) {
    const InputMethod method = installInputMethod(L"uninstall");
    const SettingsProgramCleanup cleanup{method};
    writeFullState(method);
    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    const std::wstring label5Before = textOf(c[kLabel5]);

    postClick(c[kCommand5]);
    MessageBoxView box = nextBox(program);
    expectOkBox(box, kRestoreDone);
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseFile("initial"));
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile("current"));
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("initial"));
    EXPECT_TRUE(isTimeStamp(readFile(method.file(L"time000.ini"))));
    EXPECT_EQ(readFile(method.file(L"time001.ini")), kOldStamp001);
    EXPECT_EQ(lexiconFiles(method).size(), 5u);
    EXPECT_EQ(textOf(c[kLabel5]), label5Before) << "uninstall does not refresh the window";
    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kApplyInSettings);
    box.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
    EXPECT_TRUE(waitForSettingsStarts(method, 1));
}

TEST(LexiconOperations, UninstallWithoutInitialBackupKeepsTheOnlyCopyInTheLatestBackup) {
    const InputMethod method = installInputMethod(L"uninstall-nobackup");
    const SettingsProgramCleanup cleanup{method};
    writeFile(method.file(L"phrases.ini"), phraseFile("only"));

    // First uninstall: phrases.ini moves into the latest backup; no time stamp is written.
    {
        Program program;
        ASSERT_NE(program.mainWindow(), nullptr);
        postClick(child(program.mainWindow(), kCommand5));
        MessageBoxView box = nextBox(program);
        expectOkBox(box, kRestoreDone);
        box.press(IDOK);
        box = nextBox(program);
        expectOkBox(box, kApplyInSettings);
        box.press(IDOK);
        EXPECT_TRUE(program.waitForExit());
    }
    const std::map<std::wstring, std::string> expected{{kLatestBackup, phraseFile("only")}};
    EXPECT_EQ(lexiconFiles(method), expected);

    // A second uninstall finds no phrases.ini: the latest backup, the only copy, stays.
    {
        Program program;
        ASSERT_NE(program.mainWindow(), nullptr);
        postClick(child(program.mainWindow(), kCommand5));
        for (MessageBoxView box = nextBox(program); box.hwnd != nullptr; box = nextBox(program)) {
            box.press(IDOK);
        }
        EXPECT_TRUE(program.waitForExit());
    }
    EXPECT_EQ(lexiconFiles(method), expected);
}

TEST(LexiconOperations, APhrasesIniHeldOpenByAnotherProgramStopsEveryOperationAndLosesNothing) {
    const InputMethod method = installInputMethod(L"held");
    const SettingsProgramCleanup cleanup{method};
    writeFullState(method);
    const std::map<std::wstring, std::string> before = lexiconFiles(method);
    // While the file is held, the test cannot read it either; it is still in its place.
    std::map<std::wstring, std::string> whileHeld = before;
    whileHeld[L"phrases.ini"] = "<unreadable>";
    const std::wstring phrases = method.file(L"phrases.ini");
    const std::wstring latest = method.file(kLatestBackup);

    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    const std::wstring label5 = textOf(c[kLabel5]);
    const std::wstring label6 = textOf(c[kLabel6]);
    FileHold hold(phrases);
    ASSERT_TRUE(hold.held());

    struct Case {
        const char* name;
        int button;
        int option; // selected before the click, or 0
        std::wstring beginning;
    };
    const Case cases[] = {
        {"install", kCommand3, 0, L"无法将文件\r\n" + phrases + L"\r\n重命名为\r\n" + latest + L"\r\n原因："},
        {"backup", kCommand7, 0, L"无法将文件\r\n" + phrases + L"\r\n复制为\r\n" + latest + L"\r\n原因："},
        {"restore to latest", kCommand4, kOption4,
         L"无法将文件\r\n" + phrases + L"\r\n重命名为\r\n" + latest + L"\r\n原因："},
        {"uninstall", kCommand5, 0,
         L"无法将文件\r\n" + phrases + L"\r\n重命名为\r\n" + latest + L"\r\n原因："},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        if (test.option != 0) {
            SendMessageW(c[test.option], BM_CLICK, 0, 0);
        }
        postClick(c[test.button]);
        MessageBoxView box = nextBox(program);
        expectFailureBox(box, test.beginning, kAllPutBack);
        EXPECT_EQ(lexiconFiles(method), whileHeld);
        box.press(IDOK);
        EXPECT_EQ(program.findMessageBox(), nullptr);
        EXPECT_TRUE(program.running());
        EXPECT_EQ(textOf(c[kLabel5]), label5);
        EXPECT_EQ(textOf(c[kLabel6]), label6);
    }
    EXPECT_EQ(program.findHelpWindow(), nullptr);
    EXPECT_EQ(settingsStarts(method), 0);
    hold.release();
    EXPECT_EQ(lexiconFiles(method), before);
}

// Started from a shortcut or a command prompt in another folder, the install
// takes the date.dat beside the program; a copy of the program without one
// names both places it looked in and changes nothing.
TEST(LexiconOperations, FromAnotherCurrentDirectoryThePhraseListBesideTheProgramIsUsed) {
    const InputMethod method = installInputMethod(L"nodate");
    const SettingsProgramCleanup cleanup{method};
    writeFile(method.file(L"phrases.ini"), phraseFile("current"));
    writeFile(method.file(kInitialBackup), phraseFile("initial"));
    writeFile(method.file(L"time000.ini"), kOldStamp000);
    const std::wstring elsewhere = L"C:\\e2e\\nodate\\elsewhere";
    makeDir(elsewhere);
    {
        Program program(elsewhere);
        Controls c{program.mainWindow()};
        ASSERT_NE(c.window, nullptr);
        SendMessageW(c[kCheck1], BM_CLICK, 0, 0);
        ASSERT_FALSE(isChecked(c[kCheck1]));
        postClick(c[kCommand3]);
        MessageBoxView box = nextBox(program);
        expectAskRestartBox(box);
        EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseList());
        box.press(IDOK);
        nextBox(program).press(IDOK);
        EXPECT_TRUE(program.waitForExit());
    }

    writeFile(method.file(L"phrases.ini"), phraseFile("current"));
    const std::map<std::wstring, std::string> before = lexiconFiles(method);
    const std::wstring programDir = L"C:\\e2e\\nodate\\program";
    makeDir(programDir);
    CopyFileW((binDir() + L"\\Kanaroute.exe").c_str(), (programDir + L"\\Kanaroute.exe").c_str(), FALSE);
    Program program(elsewhere, programDir + L"\\Kanaroute.exe");
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    const std::wstring label5 = textOf(c[kLabel5]);
    postClick(c[kCommand3]);
    MessageBoxView box = nextBox(program);
    ASSERT_NE(box.hwnd, nullptr);
    const std::wstring text = box.text();
    EXPECT_NE(text.find(elsewhere + L"\\date.dat"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(programDir + L"\\date.dat"), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(kNothingChanged), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_EQ(lexiconFiles(method), before);
    box.press(IDOK);
    EXPECT_EQ(program.findMessageBox(), nullptr);
    EXPECT_TRUE(program.running());
    EXPECT_EQ(textOf(c[kLabel5]), label5);
    EXPECT_EQ(lexiconFiles(method), before);
    EXPECT_TRUE(filesIn(elsewhere).empty());
    EXPECT_EQ(settingsStarts(method), 0);
}

TEST(LexiconOperations, EveryOperationWorksWithALongPathWithSpacesChineseAndATrailingBackslash) {
    const std::wstring root = L"C:\\e2e\\路径 测试";
    // The longest lexicon path stays just under MAX_PATH. Each folder name stays
    // short enough for the host file system (255 bytes in UTF-8).
    std::wstring folder = L"很长的 文件夹 名字";
    for (int level = 1; level <= 6; ++level) {
        folder += L"\\第" + std::to_wstring(level) + L"层 long folder name 长文件夹";
    }
    const InputMethod method{root + L"\\" + folder + L"\\Sogou Input\\", L"6.2.0.1234"};
    const SettingsProgramCleanup cleanup{method};
    removeTree(root);
    makeDir(method.versionDir());
    setRegistry(method.installDir, method.version);
    ASSERT_TRUE(
        CopyFileW((binDir() + L"\\standin\\config.exe").c_str(), method.file(L"config.exe").c_str(), FALSE));
    ASSERT_LT(method.file(L"phrases最近备份.old.ini").size(), static_cast<std::size_t>(MAX_PATH));
    ASSERT_GT(method.file(L"phrases最近备份.old.ini").size(), 200u);
    writeFile(method.file(L"phrases.ini"), phraseFile("mine"));

    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);

    // Install with the backup tick, answer Cancel.
    postClick(c[kCommand3]);
    MessageBoxView box = nextBox(program);
    expectAskRestartBox(box);
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("mine"));
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseList());
    EXPECT_TRUE(isTimeStamp(readFile(method.file(L"time000.ini"))));
    box.press(IDCANCEL);
    EXPECT_TRUE(waitForSettingsStarts(method, 1));
    EXPECT_NE(program.waitForHelpWindow(), nullptr);

    // Backup: the latest backup.
    postClick(c[kCommand7]);
    box = nextBox(program);
    expectOkBox(box, kBackupDone);
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseList());
    EXPECT_TRUE(isTimeStamp(readFile(method.file(L"time001.ini"))));
    box.press(IDOK);

    // Restore to latest after a change of phrases.ini.
    writeFile(method.file(L"phrases.ini"), phraseFile("changed"));
    SendMessageW(c[kOption4], BM_CLICK, 0, 0);
    postClick(c[kCommand4]);
    box = nextBox(program);
    expectOkBox(box, kRestoreDone);
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseList());
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile("changed"));
    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kApplyInSettings);
    box.press(IDOK);
    EXPECT_TRUE(waitForSettingsStarts(method, 2));

    // Restore to the initial state.
    ASSERT_TRUE(isChecked(c[kOption3]));
    postClick(c[kCommand4]);
    box = nextBox(program);
    expectOkBox(box, kRestoreDone);
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseFile("mine"));
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseList());
    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kApplyInSettings);
    box.press(IDOK);
    EXPECT_TRUE(waitForSettingsStarts(method, 3));

    // Uninstall ends the program.
    postClick(c[kCommand5]);
    box = nextBox(program);
    expectOkBox(box, kRestoreDone);
    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kApplyInSettings);
    box.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
    EXPECT_TRUE(waitForSettingsStarts(method, 4));
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseFile("mine"));
    EXPECT_EQ(readFile(method.file(kInitialBackup)), phraseFile("mine"));
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile("mine"));
    EXPECT_FALSE(exists(method.file(L"phrasesTEMP.ini")));
    EXPECT_EQ(lexiconFiles(method).size(), 5u);
}

TEST(LexiconOperations, AnInstallDirectoryThatIsAFileIsReportedAndNothingIsTouched) {
    const std::wstring root = L"C:\\e2e\\notafolder";
    removeTree(root);
    makeDir(root);
    const std::wstring installFile = root + L"\\SogouInput";
    writeFile(installFile, "not a folder");
    const InputMethod method{installFile, L"6.2.0"};
    setRegistry(method.installDir, method.version);

    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_FALSE(isEnabled(c[kCommand7]));

    // Install: the copy has nowhere to go; the program goes on.
    postClick(c[kCommand3]);
    MessageBoxView box = nextBox(program);
    expectFailureBox(box,
                     L"无法将文件\r\n" + binDir() + L"\\date.dat\r\n复制为\r\n" + method.file(L"phrases.ini"),
                     kNothingChanged);
    box.press(IDOK);
    EXPECT_TRUE(program.running());
    EXPECT_EQ(readFile(installFile), "not a folder");

    // Uninstall: nothing to restore; the settings program cannot start; the program ends.
    postClick(c[kCommand5]);
    std::vector<std::wstring> texts;
    for (box = nextBox(program); box.hwnd != nullptr; box = nextBox(program)) {
        texts.push_back(box.text());
        box.press(IDOK);
    }
    EXPECT_TRUE(program.waitForExit());
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], kRestoreDone);
    EXPECT_EQ(texts[1], kApplyInSettings);
    const std::wstring notStarted =
        L"无法启动搜狗输入法的设置程序：\r\n" + method.file(L"config.exe") + L"\r\n原因：";
    EXPECT_EQ(texts[2].substr(0, notStarted.size()), notStarted);
    EXPECT_EQ(readFile(installFile), "not a folder");
    EXPECT_EQ(filesIn(root), std::vector<std::wstring>{L"SogouInput"});
}

TEST(LexiconOperations, ATimeStampFileThatIsAFolderStopsBackupAndInstallAndLosesNothing) {
    const InputMethod method = installInputMethod(L"stampfolder");
    const SettingsProgramCleanup cleanup{method};
    writeFile(method.file(L"phrases.ini"), phraseFile("current"));
    makeDir(method.file(L"time000.ini"));
    const std::map<std::wstring, std::string> before = lexiconFiles(method);

    Program program;
    Controls c{program.mainWindow()};
    ASSERT_NE(c.window, nullptr);
    EXPECT_EQ(textOf(c[kLabel5]), kInitialPrefix + L"        无法读取备份时间。");
    ASSERT_TRUE(isChecked(c[kCheck1]));

    for (int button : {kCommand7, kCommand3}) {
        SCOPED_TRACE(button == kCommand7 ? "backup" : "install");
        postClick(c[button]);
        MessageBoxView box = nextBox(program);
        // The time stamp is read before the first change.
        expectFailureBox(box, L"无法读取文件\r\n" + method.file(L"time000.ini") + L"\r\n原因：",
                         kNothingChanged);
        EXPECT_EQ(lexiconFiles(method), before);
        box.press(IDOK);
        EXPECT_TRUE(program.running());
    }

    // Restore to the initial state without an initial backup: phrases.ini moves into the latest backup.
    ASSERT_TRUE(isChecked(c[kOption3]));
    postClick(c[kCommand4]);
    MessageBoxView box = nextBox(program);
    expectOkBox(box, kRestoreDone);
    const std::map<std::wstring, std::string> expected{{kLatestBackup, phraseFile("current")},
                                                       {L"time000.ini", "<folder>"}};
    EXPECT_EQ(lexiconFiles(method), expected);
    box.press(IDOK);
    box = nextBox(program);
    expectOkBox(box, kApplyInSettings);
    box.press(IDOK);
    EXPECT_TRUE(waitForSettingsStarts(method, 1));
    EXPECT_TRUE(program.running());
}

// What keeps the files safe beyond a failing step, against the real program:
// the read-only rule, the registry checked before any file is touched, the
// registry read without Windows Script Host, and replaced backups in the
// Recycle Bin.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

#include <objbase.h>

#include <algorithm>

using namespace e2e;
using namespace kana::main_window;

namespace {

const wchar_t kLatestBackup[] = L"phrases最近备份.ini";

bool isReadOnly(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// Per-program DLL overrides of the Wine prefix: "" disables the library for that program only.
class DisabledLibrary {
  public:
    DisabledLibrary(const wchar_t* program, const wchar_t* library)
        : key_(std::wstring(L"Software\\Wine\\AppDefaults\\") + program + L"\\DllOverrides") {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExW(key, library, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
            RegCloseKey(key);
        }
    }
    ~DisabledLibrary() { RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str()); }

  private:
    std::wstring key_;
};

// Puts the stand-in's usual registry values back, so that a test started
// after this one (which may start the program before it sets its own) finds a
// usable input method.
struct UsualRegistryAfterwards {
    ~UsualRegistryAfterwards() { setRegistry(L"C:\\Program Files\\SogouInput", L"6.2.0.0000"); }
};

// The registry values name an unsafe path: the program says which and why,
// ends, and touches no file (a wildcard would otherwise match the real folder).
void expectRefusedPath(const std::wstring& installDir, const std::wstring& version,
                       const std::wstring& reason, const InputMethod& real) {
    const std::map<std::wstring, std::string> before = folderContents(real.versionDir());
    setRegistry(installDir, version);
    Program program;
    const MessageBoxView box{program.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    const std::wstring text = box.text();
    EXPECT_NE(text.find(installDir + L"\\" + version), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_NE(text.find(reason), std::wstring::npos) << testing::PrintToString(text);
    EXPECT_EQ(box.title(), L"Kanaroute");
    box.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
    EXPECT_EQ(folderContents(real.versionDir()), before);
}

} // namespace

TEST(Durability, AReadOnlyPhraseListGivesAChangeablePhrasesFileAndAReadOnlyOneIsRefused) {
    const InputMethod method = installInputMethod(L"readonly");
    const std::wstring work = L"C:\\e2e\\readonly\\work";
    makeDir(work);
    writeFile(work + L"\\date.dat", phraseFile("from a CD"));
    SetFileAttributesW((work + L"\\date.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(isReadOnly(work + L"\\date.dat"));
    {
        Program program(work);
        const HWND window = program.mainWindow();
        ASSERT_NE(window, nullptr);
        postClick(child(window, kCommand3));
        MessageBoxView box{program.waitForMessageBox()};
        ASSERT_NE(box.hwnd, nullptr);
        EXPECT_EQ(box.title(), L"请决定");
        box.press(IDOK);
        box = MessageBoxView{program.waitForMessageBox()};
        ASSERT_NE(box.hwnd, nullptr);
        box.press(IDOK);
        EXPECT_TRUE(program.waitForExit());
    }
    EXPECT_EQ(readFile(method.file(L"phrases.ini")), phraseFile("from a CD"));
    EXPECT_FALSE(isReadOnly(method.file(L"phrases.ini")));

    // A phrases.ini that is read-only already is named before the first change.
    SetFileAttributesW(method.file(L"phrases.ini").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::map<std::wstring, std::string> before = folderContents(method.versionDir());
    Program program(work);
    const HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    postClick(child(window, kCommand3));
    const MessageBoxView box{program.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_NE(box.text().find(method.file(L"phrases.ini")), std::wstring::npos);
    EXPECT_NE(box.text().find(L"“只读”"), std::wstring::npos);
    EXPECT_NE(box.text().find(L"没有任何词条丢失"), std::wstring::npos);
    box.press(IDOK);
    EXPECT_EQ(folderContents(method.versionDir()), before);
    SetFileAttributesW(method.file(L"phrases.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Durability, WithWindowsScriptHostDisabledThePathIsStillFound) {
    const InputMethod method = installInputMethod(L"nowsh");
    const DisabledLibrary forProgram(L"Kanaroute.exe", L"wshom.ocx");
    {
        // The override takes: here the shell object cannot be created.
        const DisabledLibrary forDriver(L"e2e_tests.exe", L"wshom.ocx");
        CLSID classId{};
        IDispatch* shell = nullptr;
        const bool created = SUCCEEDED(CLSIDFromProgID(L"wscript.shell", &classId)) &&
                             SUCCEEDED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                                        reinterpret_cast<void**>(&shell)));
        if (shell != nullptr) {
            shell->Release();
        }
        EXPECT_FALSE(created);
    }
    Program program;
    const HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(program.findMessageBox(), nullptr);
    const std::wstring label = textOf(child(window, kLabel2));
    EXPECT_NE(label.find(method.versionDir() + L"\\phrases.ini"), std::wstring::npos)
        << testing::PrintToString(label);
}

TEST(Durability, ARegistryPathThatMatchesOrLeadsElsewhereIsRefusedBeforeAnyFileIsTouched) {
    const UsualRegistryAfterwards restore;
    const InputMethod real = installInputMethod(L"unsafe");
    writeFile(real.file(L"phrases.ini"), phraseFile("mine"));
    writeFile(real.file(kLatestBackup), phraseFile("latest"));
    writeFile(real.file(L"phrasesTEMP.ini"), phraseFile("swap"));

    expectRefusedPath(L"C:\\e2e\\unsafe\\Sogou*", real.version, L"通配符", real);
    expectRefusedPath(real.installDir, L"6.2.?.0000", L"通配符", real);
    expectRefusedPath(L"\\\\server\\share\\SogouInput", real.version, L"网络路径", real);
    // Version values that Windows would resolve to the real folder (or a stream of it).
    expectRefusedPath(real.installDir, L"6.2.0.0000\\..\\6.2.0.0000", L"..", real);
    expectRefusedPath(real.installDir, real.version + L".", L"结尾", real);
    expectRefusedPath(real.installDir, real.version + L":x", L"冒号", real);

    // A version folder that is a symbolic link to the real one (made by the test runner).
    const std::wstring linkDir = L"C:\\e2e-links\\SogouInput";
    const DWORD attributes = GetFileAttributesW((linkDir + L"\\" + real.version).c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        GTEST_SKIP() << "this Wine does not show a symbolic link as a reparse point";
    }
    expectRefusedPath(linkDir, real.version, L"链接", real);
}

TEST(Durability, AReplacedLatestBackupGoesToTheRecycleBin) {
    const InputMethod method = installInputMethod(L"recycle");
    writeFile(method.file(L"phrases.ini"), phraseFile("current"));
    writeFile(method.file(L"phrases最初备份.ini"), phraseFile("initial"));
    writeFile(method.file(kLatestBackup), phraseFile("my own phrases"));
    writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
    Program program;
    const HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    postClick(child(window, kCommand7));
    const MessageBoxView box{program.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(box.text(), L"备份完成！");
    box.press(IDOK);
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile("current"));
    // The replaced latest backup is in the trash under its set-aside name.
    EXPECT_EQ(readFile(trashFilesDir() + L"\\phrases最近备份.old.ini"), phraseFile("my own phrases"));
}

// An install with the backup tick over both backups (set aside, rename, time
// stamp, copy): the plan and each mark of the record reach the disk before the
// next file step, as the program's own file functions show from inside.
TEST(Durability, EveryWriteOfTheRecordIsFlushedBeforeTheNextFileStep) {
    const InputMethod method = installInputMethod(L"record-flushes");
    writeFile(method.file(L"phrases.ini"), phraseFile("current"));
    writeFile(method.file(L"phrases最初备份.ini"), phraseFile("initial"));
    writeFile(method.file(kLatestBackup), phraseFile("latest"));
    writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
    Program program;
    const HWND window = program.mainWindow();
    ASSERT_NE(window, nullptr);
    const RecordFlushes flushes(program, L"Kanaroute操作记录.txt");
    ASSERT_TRUE(flushes.loaded());
    postClick(child(window, kCommand3));
    const MessageBoxView box{program.waitForMessageBox()};
    ASSERT_NE(box.hwnd, nullptr);
    EXPECT_EQ(readFile(method.file(kLatestBackup)), phraseFile("current"));
    const std::string events = flushes.events();
    EXPECT_EQ(std::count(events.begin(), events.end(), 'W'), 5) << events; // the plan and four marks
    for (std::size_t write = events.find('W'); write != std::string::npos;
         write = events.find('W', write + 1)) {
        const std::size_t next = events.find_first_of("FS", write);
        EXPECT_TRUE(next != std::string::npos && events[next] == 'F')
            << "a write of the record not flushed before the next step: " << events;
    }
    EXPECT_NE(events.find('S'), std::string::npos) << events;
    box.press(IDOK);
    const MessageBoxView restart{program.waitForMessageBox()};
    ASSERT_NE(restart.hwnd, nullptr);
    restart.press(IDOK);
    EXPECT_TRUE(program.waitForExit());
}

// Another program (a virus scanner, say) has the record of an interrupted
// backup open for reading, shared for reading only, when the program starts:
// the start-up cannot hold the record for itself, so it leaves the record and
// every file as they are, says nothing, and opens its window.
TEST(Durability, ARecordThatAnotherProgramHoldsIsLeftAloneAtStartUp) {
    const InputMethod method = installInputMethod(L"record-held-open");
    const std::wstring phrases = method.file(L"phrases.ini");
    const std::wstring initial = method.file(L"phrases最初备份.ini");
    writeFile(phrases, phraseFile("mine"));
    writeFile(initial, phraseFile("mine"));
    const std::wstring record = method.file(L"Kanaroute操作记录.txt");
    writeFile(record, "Kanaroute intent record 1\noperation\tbackup\ncopy\t" + utf8(phrases) + "\t" +
                          utf8(initial) + "\ntimestamp\t" + utf8(method.file(L"time000.ini")) +
                          "\t-\nplanned\n");
    const std::map<std::wstring, std::string> before = folderContents(method.versionDir());
    {
        FileHold scanner(record, true);
        ASSERT_TRUE(scanner.held());
        Program program;
        EXPECT_NE(program.mainWindow(20000), nullptr);
        EXPECT_EQ(program.findMessageBox(), nullptr);
        EXPECT_EQ(folderContents(method.versionDir()), before);
    }
    EXPECT_EQ(folderContents(method.versionDir()), before);
}

// The program killed in the middle of its file steps, again and again, on
// files of tens of mebibytes: after each kill the next start finishes or
// undoes the operation before the window is shown, every earlier content is in
// its place or in a named backup, the window agrees with the files, and the
// user was told.
#include <gtest/gtest.h>

#include "app/main_window_layout.h"
#include "tests/e2e/driver.h"

#include <cstdint>
#include <random>

using namespace e2e;
using namespace kana::main_window;

namespace {

const wchar_t kInitialBackup[] = L"phrases最初备份.ini";
const wchar_t kLatestBackup[] = L"phrases最近备份.ini";
const wchar_t kRecord[] = L"Kanaroute操作记录.txt";

// A file held by its size and hash: several of these files at once would not
// fit into a 32-bit driver's memory.
struct Signature {
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    friend bool operator==(const Signature&, const Signature&) = default;
};
using Content = std::optional<Signature>;

std::uint64_t fnv1a(std::uint64_t hash, const char* bytes, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 0x100000001b3ULL;
    }
    return hash;
}

// Writes a file of the given size whose bytes depend on the seed.
Signature writeBigFile(const std::wstring& path, std::uint64_t mebibytes, std::uint32_t seed) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Signature signature{0, 0xcbf29ce484222325ULL};
    std::string block(1 << 20, '\0');
    std::mt19937 random(seed);
    for (std::uint64_t i = 0; i < mebibytes; ++i) {
        for (std::size_t at = 0; at < block.size(); at += 4) {
            const std::uint32_t value = random();
            block.replace(at, 4, reinterpret_cast<const char*>(&value), 4);
        }
        DWORD written = 0;
        WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
        signature.hash = fnv1a(signature.hash, block.data(), block.size());
        signature.size += block.size();
    }
    CloseHandle(file);
    return signature;
}

Content signatureOf(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    Signature signature{0, 0xcbf29ce484222325ULL};
    std::string buffer(1 << 20, '\0');
    DWORD read = 0;
    while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read > 0) {
        signature.hash = fnv1a(signature.hash, buffer.data(), read);
        signature.size += read;
    }
    CloseHandle(file);
    return signature;
}

// Names and sizes of the version folder: what the poll watches for the first change.
std::vector<std::pair<std::wstring, std::uint64_t>> listing(const std::wstring& dir) {
    std::vector<std::pair<std::wstring, std::uint64_t>> entries;
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            entries.emplace_back(found.cFileName, (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) |
                                                      found.nFileSizeLow);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    return entries;
}

// The user's phrases: phrases.ini and the two backups.
struct Phrases {
    Content phrases, initial, latest;
    friend bool operator==(const Phrases&, const Phrases&) = default;
};

std::string describe(const Content& content) {
    return content ? std::to_string(content->size) + "/" + std::to_string(content->hash % 100000) : "absent";
}

std::ostream& operator<<(std::ostream& out, const Phrases& p) {
    return out << "{phrases " << describe(p.phrases) << ", initial " << describe(p.initial) << ", latest "
               << describe(p.latest) << "}";
}

enum class Operation { InstallWithBackup, Install, Backup, RestoreToInitial, RestoreToLatest, Uninstall };

const char* nameOf(Operation operation) {
    switch (operation) {
    case Operation::InstallWithBackup:
        return "install with backup";
    case Operation::Install:
        return "install";
    case Operation::Backup:
        return "backup";
    case Operation::RestoreToInitial:
        return "restore to initial";
    case Operation::RestoreToLatest:
        return "restore to latest";
    case Operation::Uninstall:
        return "uninstall";
    }
    return "";
}

// What the operation leaves when it runs to its end.
Phrases after(Operation operation, const Phrases& before, const Content& phraseList) {
    Phrases result = before;
    switch (operation) {
    case Operation::InstallWithBackup:
        if (before.phrases) {
            (before.initial ? result.latest : result.initial) = before.phrases;
        }
        result.phrases = phraseList;
        break;
    case Operation::Install:
        result.phrases = phraseList;
        break;
    case Operation::Backup:
        (before.initial ? result.latest : result.initial) = before.phrases;
        break;
    case Operation::RestoreToInitial:
    case Operation::Uninstall:
        if (before.phrases) {
            result.latest = before.phrases;
        }
        result.phrases = before.initial ? before.initial : (before.phrases ? Content() : before.phrases);
        break;
    case Operation::RestoreToLatest:
        result.phrases = before.latest;
        result.latest = before.phrases;
        break;
    }
    return result;
}

struct Crash {
    InputMethod method;
    std::wstring workDir;
    Content phraseList;
    std::mt19937 random{20261208};

    explicit Crash(const std::wstring& name) : method(installInputMethod(L"crash-" + name)) {
        // date.dat in a folder of its own, the program's current directory.
        workDir = L"C:\\e2e\\crash-" + name + L"\\work";
        makeDir(workDir);
        phraseList = writeBigFile(workDir + L"\\date.dat", 20, 1);
        writeBigFile(method.file(L"phrases.ini"), 32, 2);
        writeBigFile(method.file(kInitialBackup), 24, 3);
        writeBigFile(method.file(kLatestBackup), 40, 4);
        writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
        writeFile(method.file(L"time001.ini"), "2025/1/2 08:00:01\r\n");
    }
    ~Crash() { endProcessesOf(method.file(L"config.exe")); }

    Phrases phrases() const {
        return {signatureOf(method.file(L"phrases.ini")), signatureOf(method.file(kInitialBackup)),
                signatureOf(method.file(kLatestBackup))};
    }

    // Starts the program, reads its answer to what the last kill left, and
    // checks that the window agrees with the files.
    HWND start(Program& program, bool expectReport) {
        if (expectReport) {
            const MessageBoxView box{program.waitForMessageBox()};
            EXPECT_NE(box.hwnd, nullptr) << "the user was not told";
            if (box.hwnd != nullptr) {
                EXPECT_NE(box.text().find(L"中断"), std::wstring::npos) << testing::PrintToString(box.text());
                EXPECT_NE(box.text().find(L"没有任何词条丢失"), std::wstring::npos);
                box.press(IDOK);
            }
        }
        const HWND window = program.mainWindow();
        EXPECT_EQ(program.findMessageBox(), nullptr);
        const bool phrasesThere = exists(method.file(L"phrases.ini"));
        EXPECT_EQ(isEnabled(child(window, kCheck1)), phrasesThere);
        EXPECT_EQ(isEnabled(child(window, kCommand7)), phrasesThere);
        EXPECT_EQ(isEnabled(child(window, kOption3)), exists(method.file(L"time000.ini")));
        EXPECT_EQ(isEnabled(child(window, kOption4)), exists(method.file(L"time001.ini")));
        return window;
    }

    // Clicks the operation's button, kills the program a few milliseconds after
    // the first change in the version folder, and starts it again.
    void killDuring(Operation operation) {
        const Phrases before = phrases();
        const Phrases completed = after(operation, before, phraseList);
        const int delayMs = static_cast<int>(random() % 25);
        SCOPED_TRACE(std::string(nameOf(operation)) + ", killed " + std::to_string(delayMs) +
                     " ms after the first change");
        {
            Program program(workDir);
            const HWND window = start(program, false);
            if (operation == Operation::InstallWithBackup || operation == Operation::Install) {
                SendMessageW(child(window, kCheck1), BM_SETCHECK,
                             operation == Operation::InstallWithBackup ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            if (operation == Operation::RestoreToInitial || operation == Operation::RestoreToLatest) {
                const bool toInitial = operation == Operation::RestoreToInitial;
                SendMessageW(child(window, kOption3), BM_SETCHECK, toInitial ? BST_CHECKED : BST_UNCHECKED,
                             0);
                SendMessageW(child(window, kOption4), BM_SETCHECK, toInitial ? BST_UNCHECKED : BST_CHECKED,
                             0);
            }
            const int button = operation == Operation::Backup      ? kCommand7
                               : operation == Operation::Uninstall ? kCommand5
                               : operation == Operation::InstallWithBackup || operation == Operation::Install
                                   ? kCommand3
                                   : kCommand4;
            const auto unchanged = listing(method.versionDir());
            postClick(child(window, button));
            // Polled without a pause: a whole operation can take less than a
            // timer tick. An operation that ends first shows a message box.
            const ULONGLONG end = GetTickCount64() + 20000;
            while (listing(method.versionDir()) == unchanged && program.findMessageBox() == nullptr &&
                   program.running()) {
                ASSERT_LT(GetTickCount64(), end) << "the operation changed nothing";
            }
            Sleep(static_cast<DWORD>(delayMs));
            program.kill();
        }
        const bool recordLeft = exists(method.file(kRecord));
        Program program(workDir);
        start(program, recordLeft);
        const Phrases now = phrases();
        EXPECT_TRUE(now == before || now == completed)
            << "before " << before << ", completed " << completed << ", now " << now;
        for (const wchar_t* leftOver :
             {kRecord, L"phrasesTEMP.ini", L"phrases.old.ini", L"phrases最近备份.old.ini"}) {
            EXPECT_FALSE(exists(method.file(leftOver))) << testing::PrintToString(std::wstring(leftOver));
        }
        killed += 1;
        interrupted += recordLeft ? 1 : 0;
        program.kill();
    }

    int killed = 0;
    int interrupted = 0;
};

// Each operation is killed nine times, from the state the previous kill left.
void killRepeatedly(const std::wstring& name, const std::vector<Operation>& operations) {
    Crash crash(name);
    for (int round = 0; round < 9; ++round) {
        crash.killDuring(operations[static_cast<std::size_t>(round) % operations.size()]);
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
    // Most kills land inside the file steps; the report says how many.
    std::printf("%d kills, %d inside an operation\n", crash.killed, crash.interrupted);
    EXPECT_GT(crash.interrupted, 0);
}

} // namespace

TEST(CrashRecovery, InstallWithBackupKilledNineTimes) {
    killRepeatedly(L"install-backup", {Operation::InstallWithBackup});
}

TEST(CrashRecovery, InstallKilledNineTimes) {
    killRepeatedly(L"install", {Operation::Install});
}

TEST(CrashRecovery, BackupKilledNineTimes) {
    killRepeatedly(L"backup", {Operation::Backup});
}

TEST(CrashRecovery, RestoreToInitialKilledNineTimes) {
    killRepeatedly(L"restore-initial", {Operation::RestoreToInitial});
}

TEST(CrashRecovery, RestoreToLatestKilledNineTimes) {
    killRepeatedly(L"restore-latest", {Operation::RestoreToLatest});
}

TEST(CrashRecovery, UninstallKilledNineTimes) {
    killRepeatedly(L"uninstall", {Operation::Uninstall});
}

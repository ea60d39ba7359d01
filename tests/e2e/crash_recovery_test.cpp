// The program killed in the middle of its file steps: after each kill the
// next start finishes or undoes the operation before the window is shown,
// every earlier content is in its place or in a named backup, the window
// agrees with the files, and the user was told. Each operation is stopped
// after every mark of its intent record in turn (a probe inside the program
// holds it exactly there), on small files; one short run kills at random
// moments, on files of tens of mebibytes.
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

int buttonOf(Operation operation) {
    switch (operation) {
    case Operation::Backup:
        return kCommand7;
    case Operation::Uninstall:
        return kCommand5;
    case Operation::InstallWithBackup:
    case Operation::Install:
        return kCommand3;
    case Operation::RestoreToInitial:
    case Operation::RestoreToLatest:
        return kCommand4;
    }
    return 0;
}

struct Crash {
    InputMethod method;
    std::wstring workDir;
    Content phraseList;

    explicit Crash(const std::wstring& name) : method(installInputMethod(L"crash-" + name)) {
        // date.dat in a folder of its own, the program's current directory.
        workDir = L"C:\\e2e\\crash-" + name + L"\\work";
        makeDir(workDir);
    }
    ~Crash() { endProcessesOf(method.file(L"config.exe")); }

    // Every file of the input method, each with a content of its own.
    void writeSmallFiles() {
        for (const wchar_t* leftOver :
             {kRecord, L"phrasesTEMP.ini", L"phrases.old.ini", L"phrases最近备份.old.ini"}) {
            DeleteFileW(method.file(leftOver).c_str());
        }
        writeFile(workDir + L"\\date.dat", phraseFile("phrase list"));
        phraseList = signatureOf(workDir + L"\\date.dat");
        writeFile(method.file(L"phrases.ini"), phraseFile("current"));
        writeFile(method.file(kInitialBackup), phraseFile("initial"));
        writeFile(method.file(kLatestBackup), phraseFile("latest"));
        writeStamps();
    }

    void writeBigFiles() {
        phraseList = writeBigFile(workDir + L"\\date.dat", 20, 1);
        writeBigFile(method.file(L"phrases.ini"), 32, 2);
        writeBigFile(method.file(kInitialBackup), 24, 3);
        writeBigFile(method.file(kLatestBackup), 40, 4);
        writeStamps();
    }

    void writeStamps() {
        writeFile(method.file(L"time000.ini"), "2024/3/5 14:07:09\r\n");
        writeFile(method.file(L"time001.ini"), "2025/1/2 08:00:01\r\n");
    }

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

    // Chooses the operation's options in the window and clicks its button.
    static void begin(HWND window, Operation operation) {
        if (operation == Operation::InstallWithBackup || operation == Operation::Install) {
            SendMessageW(child(window, kCheck1), BM_SETCHECK,
                         operation == Operation::InstallWithBackup ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        if (operation == Operation::RestoreToInitial || operation == Operation::RestoreToLatest) {
            const bool toInitial = operation == Operation::RestoreToInitial;
            SendMessageW(child(window, kOption3), BM_SETCHECK, toInitial ? BST_CHECKED : BST_UNCHECKED, 0);
            SendMessageW(child(window, kOption4), BM_SETCHECK, toInitial ? BST_UNCHECKED : BST_CHECKED, 0);
        }
        postClick(child(window, buttonOf(operation)));
    }

    // Starts the program again after a kill: it reports and repairs what the
    // kill left, and no set-aside file or record remains. The files as they are then.
    Phrases restart() {
        const bool recordLeft = exists(method.file(kRecord));
        Program program(workDir);
        start(program, recordLeft);
        for (const wchar_t* leftOver :
             {kRecord, L"phrasesTEMP.ini", L"phrases.old.ini", L"phrases最近备份.old.ini"}) {
            EXPECT_FALSE(exists(method.file(leftOver))) << testing::PrintToString(std::wstring(leftOver));
        }
        killed += 1;
        interrupted += recordLeft ? 1 : 0;
        return phrases();
    }

    // Runs the operation on the small files until its record holds the plan
    // and that many marks, kills the program there and starts it again. The
    // files then, or nothing when the operation ended before that mark.
    std::optional<Phrases> stopAfter(Operation operation, int marks) {
        writeSmallFiles();
        {
            Program program(workDir);
            const HWND window = start(program, false);
            const RecordStop stop(program, kRecord, marks);
            EXPECT_TRUE(stop.loaded()) << "the probe could not be loaded into the program";
            if (!stop.loaded()) {
                return std::nullopt;
            }
            begin(window, operation);
            // An operation that ends before the mark shows its closing message box.
            EXPECT_TRUE(waitUntil(
                [&] { return stop.stopped(20) || program.findMessageBox() != nullptr || !program.running(); },
                20000));
            if (!stop.stopped()) {
                return std::nullopt;
            }
            program.kill();
        }
        EXPECT_TRUE(exists(method.file(kRecord))) << "stopped inside the operation";
        return restart();
    }

    // Clicks the operation's button, kills the program a few milliseconds after
    // the first change in the version folder, and starts it again.
    void killDuring(Operation operation, int delayMs) {
        const Phrases before = phrases();
        const Phrases completed = after(operation, before, phraseList);
        SCOPED_TRACE(std::string(nameOf(operation)) + ", killed " + std::to_string(delayMs) +
                     " ms after the first change");
        {
            Program program(workDir);
            const HWND window = start(program, false);
            const auto unchanged = listing(method.versionDir());
            begin(window, operation);
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
        const Phrases now = restart();
        EXPECT_TRUE(now == before || now == completed)
            << "before " << before << ", completed " << completed << ", now " << now;
    }

    int killed = 0;
    int interrupted = 0;
};

// The operation stopped after each mark of its record in turn, from the same
// files each time: the next start undoes it while a step is not yet marked
// done, and finishes it once every step is.
void stopAfterEveryMark(const std::wstring& name, Operation operation) {
    Crash crash(name);
    crash.writeSmallFiles();
    const Phrases before = crash.phrases();
    const Phrases completed = after(operation, before, crash.phraseList);
    std::vector<Phrases> results;
    for (int marks = 0;; ++marks) {
        SCOPED_TRACE(std::string(nameOf(operation)) + ", stopped after " + std::to_string(marks) + " marks");
        const std::optional<Phrases> now = crash.stopAfter(operation, marks);
        if (!now || testing::Test::HasFailure()) {
            break;
        }
        results.push_back(*now);
    }
    ASSERT_GE(results.size(), 2u) << "the record had fewer marks than the operation has steps";
    for (std::size_t marks = 0; marks < results.size(); ++marks) {
        const bool everyStepDone = marks + 1 == results.size();
        EXPECT_EQ(results[marks], everyStepDone ? completed : before)
            << nameOf(operation) << " stopped after " << marks << " of " << results.size() - 1 << " marks";
    }
    // Run to its end, the operation leaves what it should.
    EXPECT_EQ(crash.phrases(), completed);
}

} // namespace

TEST(CrashRecovery, InstallWithBackupStoppedAfterEachMark) {
    stopAfterEveryMark(L"install-backup", Operation::InstallWithBackup);
}

TEST(CrashRecovery, InstallStoppedAfterEachMark) {
    stopAfterEveryMark(L"install", Operation::Install);
}

TEST(CrashRecovery, BackupStoppedAfterEachMark) {
    stopAfterEveryMark(L"backup", Operation::Backup);
}

TEST(CrashRecovery, RestoreToInitialStoppedAfterEachMark) {
    stopAfterEveryMark(L"restore-initial", Operation::RestoreToInitial);
}

TEST(CrashRecovery, RestoreToLatestStoppedAfterEachMark) {
    stopAfterEveryMark(L"restore-latest", Operation::RestoreToLatest);
}

TEST(CrashRecovery, UninstallStoppedAfterEachMark) {
    stopAfterEveryMark(L"uninstall", Operation::Uninstall);
}

// A smoke test on large files: each operation once, killed at a random moment
// shortly after its first change, from the state the previous kill left.
TEST(CrashRecovery, EachOperationKilledAtARandomMomentOnLargeFiles) {
    Crash crash(L"random");
    crash.writeBigFiles();
    std::mt19937 random(20261208);
    for (const Operation operation :
         {Operation::InstallWithBackup, Operation::Backup, Operation::RestoreToLatest,
          Operation::RestoreToInitial, Operation::Install, Operation::Uninstall}) {
        crash.killDuring(operation, static_cast<int>(random() % 25));
        if (testing::Test::HasFatalFailure()) {
            return;
        }
    }
    std::printf("%d kills, %d inside an operation\n", crash.killed, crash.interrupted);
}

#include "bench/operations_bench.h"

#include <windows.h>

#include <array>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "lexicon/file_set.h"
#include "lexicon/operations.h"
#include "lexicon/win32/win32_file_steps.h"

namespace bench {

namespace {

using kana::lexicon::FileSet;

// A main window that shows nothing: every question is answered with OK, and
// the refresh (measured on its own) is left out.
class SilentHost final : public kana::lexicon::OperationHost {
  public:
    void refresh() override {}
    kana::lexicon::MessageAnswer showMessage(const kana::lexicon::Message&) override {
        return kana::lexicon::MessageAnswer::Ok;
    }
    void showHelpWindow() override {}
    void endProgram() override {}
};

// The program's own file steps, timed one by one, except that the input
// method's settings program is not started: that is not a file step, and the
// restore would otherwise time a process start.
class TimedFileSteps final : public kana::lexicon::FileSteps {
  public:
    kana::lexicon::Lookup lookUp(const std::wstring& path) override {
        return timed(Kind::Exists, [&] { return real_.lookUp(path); });
    }
    kana::lexicon::StepResult deleteFile(const std::wstring& path) override {
        return timed(Kind::Delete, [&] { return real_.deleteFile(path); });
    }
    kana::lexicon::StepResult recycle(const std::wstring& path) override {
        return timed(Kind::Delete, [&] { return real_.recycle(path); });
    }
    kana::lexicon::StepResult flush(const std::wstring& path) override {
        return timed(Kind::Flush, [&] { return real_.flush(path); });
    }
    kana::lexicon::StepResult createHeldFile(const std::wstring& path, const std::string& bytes,
                                             std::unique_ptr<kana::lexicon::HeldFile>& held) override {
        return timed(Kind::Other, [&] { return real_.createHeldFile(path, bytes, held); });
    }
    kana::lexicon::StepResult openHeldFile(const std::wstring& path, std::string& bytes,
                                           std::unique_ptr<kana::lexicon::HeldFile>& held) override {
        return timed(Kind::Other, [&] { return real_.openHeldFile(path, bytes, held); });
    }
    kana::lexicon::StepResult rename(const std::wstring& from, const std::wstring& to) override {
        return timed(Kind::Rename, [&] { return real_.rename(from, to); });
    }
    kana::lexicon::StepResult copy(const std::wstring& from, const std::wstring& to) override {
        return timed(Kind::Copy, [&] { return real_.copy(from, to); });
    }
    kana::lexicon::StepResult writeTimeStamp(const std::wstring& path) override {
        return timed(Kind::TimeStamp, [&] { return real_.writeTimeStamp(path); });
    }
    kana::lexicon::StepResult startSettingsProgram(const std::wstring&) override {
        return kana::lexicon::StepResult::success();
    }
    kana::lexicon::StepResult canRead(const std::wstring& path) override {
        return timed(Kind::Other, [&] { return real_.canRead(path); });
    }
    kana::lexicon::StepResult readSmallFile(const std::wstring& path, std::string& bytes) override {
        return timed(Kind::Other, [&] { return real_.readSmallFile(path, bytes); });
    }
    kana::lexicon::StepResult writeSmallFile(const std::wstring& path, const std::string& bytes) override {
        return timed(Kind::Other, [&] { return real_.writeSmallFile(path, bytes); });
    }
    std::wstring fullPath(const std::wstring& bareName) override {
        return timed(Kind::Other, [&] { return real_.fullPath(bareName); });
    }
    std::wstring besideProgram(const std::wstring& bareName) override {
        return timed(Kind::Other, [&] { return real_.besideProgram(bareName); });
    }

    void reset() { totals_ = {}; }
    // "copy 3.1, rename 0.4, ...": milliseconds per kind of step since reset().
    std::string breakdown(int runs) const {
        static const char* const names[] = {"exists",     "rename", "copy", "delete",
                                            "time stamp", "flush",  "other"};
        std::string text;
        for (std::size_t i = 0; i < totals_.size(); ++i) {
            char part[64];
            std::snprintf(part, sizeof part, "%s%s %.2f", text.empty() ? "" : ", ", names[i],
                          totals_[i] / runs);
            text += part;
        }
        return text;
    }

  private:
    enum class Kind { Exists, Rename, Copy, Delete, TimeStamp, Flush, Other, Count };

    template <typename Step> auto timed(Kind kind, Step step) -> decltype(step()) {
        const double start = nowMs();
        auto result = step();
        totals_[static_cast<std::size_t>(kind)] += nowMs() - start;
        return result;
    }

    kana::lexicon::win32::Win32FileSteps real_;
    std::array<double, static_cast<std::size_t>(Kind::Count)> totals_{};
};

void writeBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot write %ls\n", path.c_str());
        return;
    }
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
}

// Phrase-list lines up to the size.
std::string phraseBytes(int sizeMiB) {
    const std::string line = "arigatou,1=\xe3\x81\x82\xe3\x82\x8a\xe3\x81\x8c\xe3\x81\xa8\xe3\x81\x86\r\n";
    const std::size_t size = static_cast<std::size_t>(sizeMiB) * 1024 * 1024;
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() + line.size() <= size) {
        bytes += line;
    }
    bytes.append(size - bytes.size(), ';');
    return bytes;
}

// A version directory where every phrase file and both time stamps exist:
// each operation below leaves it in that same state, so runs can follow each
// other without setting anything up again.
void prepareVersionDir(const FileSet& files, const std::wstring& phraseList) {
    ::CreateDirectoryW(files.versionDir.c_str(), nullptr);
    for (const std::wstring& path : {files.phrases(), files.initialBackup(), files.latestBackup()}) {
        ::CopyFileW(phraseList.c_str(), path.c_str(), FALSE);
    }
    writeBytes(files.initialTimeStamp(), "2026/12/8 4:00:00\r\n");
    writeBytes(files.latestTimeStamp(), "2026/12/8 4:00:00\r\n");
}

// The plain steps, without checks, undo records or messages.
void plainRename(const std::wstring& from, const std::wstring& to) {
    if (!::MoveFileW(from.c_str(), to.c_str())) {
        std::fprintf(stderr, "plain rename failed: %ls (%lu)\n", from.c_str(), ::GetLastError());
    }
}
void plainCopy(const std::wstring& from, const std::wstring& to) {
    if (!::CopyFileW(from.c_str(), to.c_str(), FALSE)) {
        std::fprintf(stderr, "plain copy failed: %ls (%lu)\n", from.c_str(), ::GetLastError());
    }
}
void plainDelete(const std::wstring& path) {
    if (!::DeleteFileW(path.c_str())) {
        std::fprintf(stderr, "plain delete failed: %ls (%lu)\n", path.c_str(), ::GetLastError());
    }
}
void plainTimeStamp(const std::wstring& path) {
    writeBytes(path, "2026/12/8 4:00:00\r\n");
}

// What durability costs at the least: the data of a file written (a copy or a
// time stamp) reaches the disk before the operation goes on.
void plainFlush(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE || !::FlushFileBuffers(file)) {
        std::fprintf(stderr, "plain flush failed: %ls (%lu)\n", path.c_str(), ::GetLastError());
    }
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
}

// And one record of the operation, written through to the disk and deleted.
void plainFlushedRecord(const FileSet& files) {
    const std::wstring path = files.intentRecord();
    HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "plain record failed: %ls (%lu)\n", path.c_str(), ::GetLastError());
        return;
    }
    const std::string record(400, 'r'); // about the size of a plan of four steps
    DWORD written = 0;
    ::WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    ::FlushFileBuffers(file);
    ::CloseHandle(file);
    plainDelete(path);
}

// The floor's file steps. The durable floor adds what durability costs at the
// least: one flushed record of the operation first, and the data of each file
// written (a copy or a time stamp) flushed before it goes on.
struct FloorSteps {
    const FileSet& files;
    bool durable;

    void begin() const {
        if (durable) {
            plainFlushedRecord(files);
        }
    }
    void copy(const std::wstring& from, const std::wstring& to) const {
        plainCopy(from, to);
        if (durable) {
            plainFlush(to);
        }
    }
    void timeStamp(const std::wstring& path) const {
        plainTimeStamp(path);
        if (durable) {
            plainFlush(path);
        }
    }
};

struct Scenario {
    const char* name;
    std::function<void(const FileSet&)> program;  // through the program's code
    std::function<void(const FloorSteps&)> floor; // the same file steps, plain or durable
    // Without a durable floor the comparison is for information.
    bool hasDurableFloor = true;
};

// Alternates program and floor runs, so that all see the same state of the
// page cache and of the disk's write-back. The program is compared with the
// durable floor, where the scenario has one, against the target; with the
// plain floor for information.
std::vector<Row> measure(const Scenario& scenario, const FileSet& programFiles, const FileSet& floorFiles,
                         const FileSet& durableFiles, int runs, int sizeMiB, TimedFileSteps& steps,
                         std::vector<std::string>& notes) {
    std::vector<double> programMs;
    std::vector<double> floorMs;
    std::vector<double> durableMs;
    for (int run = -1; run < runs; ++run) { // run -1 warms up
        double start = nowMs();
        scenario.program(programFiles);
        const double programTime = nowMs() - start;
        start = nowMs();
        scenario.floor(FloorSteps{floorFiles, false});
        const double floorTime = nowMs() - start;
        start = nowMs();
        if (scenario.hasDurableFloor) {
            scenario.floor(FloorSteps{durableFiles, true});
        }
        const double durableTime = nowMs() - start;
        if (run < 0) {
            steps.reset();
        } else {
            programMs.push_back(programTime);
            floorMs.push_back(floorTime);
            durableMs.push_back(durableTime);
        }
    }
    const std::string what = std::string(scenario.name) + ", " + std::to_string(sizeMiB) + " MiB";
    std::vector<Row> rows;
    if (scenario.hasDurableFloor) {
        Row durable;
        durable.area = "4 Operations";
        durable.what = what + ", against the durable floor";
        durable.unit = "ms";
        durable.measured = summarise(programMs);
        durable.floor = summarise(durableMs);
        durable.target = "<= 1.5x";
        durable.targetRatio = 1.5;
        rows.push_back(durable);
    }
    Row plain;
    plain.area = "4 Operations";
    plain.what = what + (scenario.hasDurableFloor ? ", against the plain floor" : "");
    plain.unit = "ms";
    plain.measured = summarise(programMs);
    plain.floor = summarise(floorMs);
    plain.target = "(information)";
    rows.push_back(plain);
    notes.push_back(what + ": the program's steps, ms per run: " + steps.breakdown(runs));
    return rows;
}

void expectCompleted(kana::lexicon::Outcome outcome, const char* name) {
    if (outcome != kana::lexicon::Outcome::Completed) {
        std::fprintf(stderr, "%s stopped: the measurement is not valid\n", name);
    }
}

} // namespace

std::vector<Row> benchmarkOperations(const std::wstring& workDir, int sizeMiB, int runs,
                                     std::vector<std::string>& notes) {
    const std::wstring dir = workDir + L"\\ops-" + std::to_wstring(sizeMiB) + L"MiB";
    ::CreateDirectoryW(dir.c_str(), nullptr);
    const std::wstring phraseList = dir + L"\\" + FileSet::phraseListName();
    writeBytes(phraseList, phraseBytes(sizeMiB));
    const FileSet programFiles(dir + L"\\program");
    const FileSet floorFiles(dir + L"\\floor");
    const FileSet durableFiles(dir + L"\\durable");
    prepareVersionDir(programFiles, phraseList);
    prepareVersionDir(floorFiles, phraseList);
    prepareVersionDir(durableFiles, phraseList);

    // The program looks the phrase list up in the current directory.
    wchar_t previousDir[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, previousDir);
    ::SetCurrentDirectoryW(dir.c_str());

    TimedFileSteps steps;
    SilentHost host;
    const std::vector<Scenario> scenarios = {
        {"install with Check1",
         [&](const FileSet& files) {
             expectCompleted(kana::lexicon::install(steps, files, true, host), "install with Check1");
         },
         [&](const FloorSteps& floor) {
             const FileSet& files = floor.files;
             floor.begin();
             plainRename(files.latestBackup(), files.latestBackupAside());
             plainRename(files.phrases(), files.latestBackup());
             floor.timeStamp(files.latestTimeStamp());
             floor.copy(phraseList, files.phrases());
             plainDelete(files.latestBackupAside());
         }},
        {"install with Check1 vs one plain copy of date.dat",
         [&](const FileSet& files) {
             expectCompleted(kana::lexicon::install(steps, files, true, host), "install with Check1");
         },
         [&](const FloorSteps& floor) { plainCopy(phraseList, floor.files.phrases()); }, false},
        {"install without Check1",
         [&](const FileSet& files) {
             expectCompleted(kana::lexicon::install(steps, files, false, host), "install without Check1");
         },
         [&](const FloorSteps& floor) {
             const FileSet& files = floor.files;
             floor.begin();
             plainRename(files.phrases(), files.phrasesAside());
             floor.copy(phraseList, files.phrases());
             plainDelete(files.phrasesAside());
         }},
        {"backup",
         [&](const FileSet& files) { expectCompleted(kana::lexicon::backup(steps, files, host), "backup"); },
         [&](const FloorSteps& floor) {
             const FileSet& files = floor.files;
             floor.begin();
             plainRename(files.latestBackup(), files.latestBackupAside());
             floor.copy(files.phrases(), files.latestBackup());
             floor.timeStamp(files.latestTimeStamp());
             plainDelete(files.latestBackupAside());
         }},
        {"restore to latest",
         [&](const FileSet& files) {
             expectCompleted(kana::lexicon::restore(steps, files, false, host), "restore to latest");
         },
         [&](const FloorSteps& floor) {
             const FileSet& files = floor.files;
             floor.begin();
             plainRename(files.latestBackup(), files.swapFile());
             plainRename(files.phrases(), files.latestBackup());
             plainRename(files.swapFile(), files.phrases());
             floor.timeStamp(files.latestTimeStamp());
         }},
        {"restore to initial",
         [&](const FileSet& files) {
             expectCompleted(kana::lexicon::restore(steps, files, true, host), "restore to initial");
         },
         [&](const FloorSteps& floor) {
             const FileSet& files = floor.files;
             floor.begin();
             plainRename(files.latestBackup(), files.latestBackupAside());
             plainRename(files.phrases(), files.latestBackup());
             floor.copy(files.initialBackup(), files.phrases());
             floor.timeStamp(files.initialTimeStamp());
             plainDelete(files.latestBackupAside());
         }},
    };

    std::vector<Row> rows;
    for (const Scenario& scenario : scenarios) {
        for (const Row& row :
             measure(scenario, programFiles, floorFiles, durableFiles, runs, sizeMiB, steps, notes)) {
            rows.push_back(row);
            printRow(row);
        }
    }
    ::SetCurrentDirectoryW(previousDir);
    return rows;
}

} // namespace bench

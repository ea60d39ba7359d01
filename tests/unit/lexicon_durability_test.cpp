// What keeps the user's phrases safe beyond a failing step: data flushed before
// an older copy becomes unreachable, an existence test that never guesses, the
// read-only rule, and the intent record that lets the next start finish or
// undo an operation the process did not live to complete.
#include "lexicon/intent_record.h"
#include "lexicon/operations.h"
#include "lexicon/recovery.h"

#include "tests/unit/lexicon_fake_fs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace kana::lexicon {
namespace {

using testing::allStarts;
using testing::contains;
using testing::FakeFileSystem;
using testing::kOperations;
using testing::kVersionDir;
using testing::RecordingHost;
using testing::Start;

bool startsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Runs an operation from a start state; the process may die on the way.
struct CrashRun {
    FakeFileSystem fs;
    RecordingHost host;
    FileSet files{kVersionDir};
    bool crashed = false;

    CrashRun(const Start& start, const std::string& operation, int crashAtCall = 0, bool torn = false) {
        testing::setUpState(fs, start.state, start.withPhrases);
        fs.crashAtCall = crashAtCall;
        fs.tornCrash = torn;
        try {
            testing::runOperation(operation, fs, files, host);
        } catch (const testing::SimulatedCrash&) {
            crashed = true;
        }
        fs.crashAtCall = 0;
    }
};

TEST(LexiconDurability, EveryCopyAndTimeStampIsFlushedBeforeAnythingIsDeletedOrMarkedDone) {
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            SCOPED_TRACE(operation + " from " + start.name());
            const CrashRun run(start, operation);
            const std::vector<std::wstring>& log = run.fs.log;
            for (std::size_t at = 0; at < log.size(); ++at) {
                if (!startsWith(log[at], L"copy ") && !startsWith(log[at], L"timestamp ")) {
                    continue;
                }
                const std::wstring path = log[at].substr(log[at].find(L' ') + 1);
                bool flushed = false;
                for (std::size_t next = at + 1; next < log.size() && !flushed; ++next) {
                    flushed = log[next] == L"flush " + path;
                    const bool losesOrMarks = startsWith(log[next], L"delete ") ||
                                              startsWith(log[next], L"recycle ") ||
                                              startsWith(log[next], L"append ");
                    ASSERT_TRUE(flushed || !losesOrMarks)
                        << "not flushed before: " << ::testing::PrintToString(log[next]);
                }
                EXPECT_TRUE(flushed) << ::testing::PrintToString(path);
            }
        }
    }
}

TEST(LexiconDurability, ReplacedFilesGoToTheRecycleBinOrAreDeletedWhereThereIsNone) {
    for (bool noRecycleBin : {false, true}) {
        CrashRun run({'C', true}, "backup");
        EXPECT_EQ(run.fs.recycled, std::vector<std::string>{"L"}); // set up before the flag: a Recycle Bin
        FakeFileSystem fs;
        RecordingHost host;
        testing::setUpState(fs, 'C');
        fs.noRecycleBin = noRecycleBin;
        EXPECT_EQ(install(fs, FileSet(kVersionDir), false, host), Outcome::Completed);
        EXPECT_EQ(fs.recycled, noRecycleBin ? std::vector<std::string>{} : std::vector<std::string>{"P"});
        EXPECT_FALSE(fs.exists(FileSet(kVersionDir).phrasesAside()));
    }
}

// A look-up that fails for any reason but "not found" stops the operation
// before its first change and names the file and the reason.
TEST(LexiconDurability, AnUnknownExistenceStopsBeforeTheFirstChange) {
    const FileSet files(kVersionDir);
    const std::vector<std::wstring> looked = {
        files.phrases(),          files.initialBackup(),     files.latestBackup(),
        files.swapFile(),         files.latestBackupAside(), files.phrasesAside(),
        files.initialTimeStamp(), files.latestTimeStamp(),   files.intentRecord()};
    int stopped = 0;
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            const CrashRun clean(start, operation);
            for (const std::wstring& path : looked) {
                SCOPED_TRACE(operation + " from " + start.name() + " unknown " +
                             ::testing::PrintToString(path));
                FakeFileSystem fs;
                RecordingHost host;
                testing::setUpState(fs, start.state, start.withPhrases);
                fs.unknown.insert(path);
                const auto before = fs.files;
                const Outcome outcome = testing::runOperation(operation, fs, files, host);
                if (host.messages.empty() || clean.host.messages.empty() ||
                    host.messages[0] == clean.host.messages[0]) {
                    // The operation had no need of that file, or stopped for another reason first.
                    EXPECT_EQ(fs.files, clean.fs.files);
                    continue;
                }
                EXPECT_EQ(outcome, Outcome::Stopped);
                ++stopped;
                EXPECT_EQ(fs.files, before);
                EXPECT_TRUE(fs.log.empty());
                const std::wstring& text = host.messages.at(0).text;
                EXPECT_TRUE(contains(text, path));
                EXPECT_TRUE(contains(text, testing::kNetworkError));
                EXPECT_TRUE(contains(text, L"没有任何词条丢失"));
            }
        }
    }
    EXPECT_GT(stopped, 100);
}

TEST(LexiconDurability, AReadOnlyPhrasesFileIsReportedBeforeTheFirstChangeButCanBeBackedUp) {
    const FileSet files(kVersionDir);
    for (const std::string& operation : kOperations) {
        SCOPED_TRACE(operation);
        FakeFileSystem fs;
        RecordingHost host;
        testing::setUpState(fs, 'C');
        fs.readOnly.insert(files.phrases());
        const auto before = fs.files;
        const Outcome outcome = testing::runOperation(operation, fs, files, host);
        if (operation == "backup") {
            EXPECT_EQ(outcome, Outcome::Completed);
            EXPECT_EQ(fs.content(files.latestBackup()), "P");
            EXPECT_EQ(fs.readOnly.count(files.latestBackup()), 0u); // the copy is changeable
            continue;
        }
        EXPECT_EQ(outcome, Outcome::Stopped);
        EXPECT_EQ(fs.files, before);
        EXPECT_TRUE(fs.log.empty());
        EXPECT_TRUE(contains(host.messages.at(0).text, files.phrases()));
        EXPECT_TRUE(contains(host.messages.at(0).text, L"“只读”"));
    }

    // A read-only latest backup would become a read-only phrases.ini.
    FakeFileSystem fs;
    RecordingHost host;
    testing::setUpState(fs, 'C');
    fs.readOnly.insert(files.latestBackup());
    EXPECT_EQ(restore(fs, files, false, host), Outcome::Stopped);
    EXPECT_TRUE(contains(host.messages.at(0).text, files.latestBackup()));

    // A read-only phrase list or initial backup gives a changeable phrases.ini.
    for (const bool toInitial : {false, true}) {
        FakeFileSystem source;
        RecordingHost sourceHost;
        testing::setUpState(source, 'C');
        source.readOnly.insert(source.fullPath(FileSet::phraseListName()));
        source.readOnly.insert(files.initialBackup());
        const Outcome outcome =
            toInitial ? restore(source, files, true, sourceHost) : install(source, files, true, sourceHost);
        EXPECT_EQ(outcome, Outcome::Completed);
        EXPECT_EQ(source.readOnly.count(files.phrases()), 0u);
    }
}

TEST(LexiconDurability, AnOperationRefusesWhileARecordOfAnEarlierOneIsThere) {
    for (const std::string& operation : kOperations) {
        SCOPED_TRACE(operation);
        FakeFileSystem fs;
        RecordingHost host;
        testing::setUpState(fs, 'C');
        const FileSet files(kVersionDir);
        fs.put(files.intentRecord(), "Kanaroute intent record 1\n");
        const auto before = fs.files;
        EXPECT_EQ(testing::runOperation(operation, fs, files, host), Outcome::Stopped);
        EXPECT_EQ(fs.files, before);
        EXPECT_TRUE(contains(host.messages.at(0).text, files.intentRecord()));
    }
}

// The record cannot be removed at the end of a backup (or of the recovery that
// finishes it): the user is told which file stays and why, the backup still
// completes, and the next start removes it.
TEST(LexiconDurability, ARecordThatCannotBeRemovedIsReportedAndTheNextStartRemovesIt) {
    const FileSet files(kVersionDir);
    FakeFileSystem clean;
    RecordingHost cleanHost;
    testing::setUpState(clean, 'C');
    ASSERT_EQ(backup(clean, files, cleanHost), Outcome::Completed);

    FakeFileSystem fs;
    RecordingHost host;
    testing::setUpState(fs, 'C');
    fs.failingCalls = {clean.callCount}; // the last call: the record's removal
    EXPECT_EQ(backup(fs, files, host), Outcome::Completed);
    ASSERT_EQ(fs.injected.size(), 1u);
    EXPECT_EQ(fs.injected.front(), std::make_pair(std::wstring(L"delete"), files.intentRecord()));
    ASSERT_EQ(host.messages.size(), 2u);
    EXPECT_TRUE(contains(host.messages[0].text, files.intentRecord()));
    EXPECT_TRUE(contains(host.messages[0].text, testing::kDiskFull));
    EXPECT_EQ(host.messages[1], messages::backupDone());
    EXPECT_TRUE(fs.exists(files.intentRecord()));

    for (int failing = fs.callCount + 1;; ++failing) {
        FakeFileSystem again = fs;
        again.failingCalls = {failing};
        again.injected.clear();
        const std::optional<Message> report = recoverInterruptedOperation(again, files);
        if (again.injected.empty()) {
            break;
        }
        ASSERT_TRUE(report);
        EXPECT_TRUE(contains(report->text, files.intentRecord()));
        EXPECT_TRUE(contains(report->text, testing::kDiskFull));
        EXPECT_TRUE(again.exists(files.intentRecord()));
    }
    fs.failingCalls.clear();
    EXPECT_EQ(recoverInterruptedOperation(fs, files), messages::recoveryFinished(OperationKind::Backup));
    EXPECT_EQ(fs.files, clean.files);
}

TEST(IntentRecord, EveryCutOfTheRecordReadsAsAtMostWhatWasWritten) {
    IntentRecord record;
    record.operation = OperationKind::RestoreToLatest;
    record.steps = {
        {PlannedStep::Kind::SetAside,
         L"C:\\搜狗\\phrases最近备份.ini",
         L"C:\\搜狗\\phrases最近备份.old.ini",
         {}},
        {PlannedStep::Kind::Copy, L"D:\\下载\\date.dat", L"C:\\搜狗\\phrases.ini", {}},
        {PlannedStep::Kind::WriteTimeStamp,
         {},
         L"C:\\搜狗\\time001.ini",
         std::string("2024/3/5 \xb5\xe3\r\n")},
        {PlannedStep::Kind::WriteTimeStamp, {}, L"C:\\搜狗\\time000.ini", std::nullopt},
    };
    const std::string plan = encodePlan(record);
    const std::string whole = plan + doneMark(1) + doneMark(2) + undoMark(2) + undoneMark(2) + undoneMark(1);

    const std::optional<IntentRecord> read = parseIntentRecord(whole);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->operation, OperationKind::RestoreToLatest);
    EXPECT_EQ(read->steps, record.steps);
    EXPECT_TRUE(read->planComplete);
    EXPECT_EQ(read->done, 2);
    EXPECT_EQ(read->undoFrom, 2);
    EXPECT_EQ(read->undone, (std::vector<int>{2, 1}));

    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        const std::optional<IntentRecord> cut = parseIntentRecord(std::string_view(whole).substr(0, length));
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->planComplete, length >= plan.size());
        if (!cut->planComplete) {
            EXPECT_TRUE(cut->steps.empty());
        }
        EXPECT_LE(cut->done, 2);
    }

    EXPECT_FALSE(parseIntentRecord("some other file\n"));
    EXPECT_FALSE(parseIntentRecord(plan + "done 3\n"));           // beyond the plan
    EXPECT_FALSE(parseIntentRecord(plan + "done 2\n"));           // out of order
    EXPECT_FALSE(parseIntentRecord(plan + "undone 1\n"));         // no undo begun
    EXPECT_FALSE(parseIntentRecord(plan + "done 1\nundo 3\n"));   // more than were taken
    EXPECT_FALSE(parseIntentRecord(plan + "undo 1\nundone 2\n")); // not in effect
}

// The process dies after any call of any operation from any state (or in the
// middle of a copy or a write). The next start finishes the operation or
// undoes it: the files are then exactly as after a clean run or as before, no
// record or set-aside file is left, and the user is told.
TEST(LexiconRecovery, AfterACrashAtAnyCallTheFilesAreAsBeforeOrAsAfter) {
    int crashes = 0;
    int finished = 0;
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            const CrashRun clean(start, operation);
            FakeFileSystem initial;
            testing::setUpState(initial, start.state, start.withPhrases);
            for (int call = 1; call <= clean.fs.callCount; ++call) {
                for (const bool torn : {false, true}) {
                    SCOPED_TRACE(operation + " from " + start.name() + ", dies " + (torn ? "in" : "after") +
                                 " call " + std::to_string(call));
                    CrashRun run(start, operation, call, torn);
                    if (!run.crashed) {
                        continue;
                    }
                    ++crashes;
                    const bool recordLeft = run.fs.exists(run.files.intentRecord());
                    const std::optional<Message> report = recoverInterruptedOperation(run.fs, run.files);
                    EXPECT_EQ(report.has_value(), recordLeft);
                    EXPECT_FALSE(run.fs.exists(run.files.intentRecord()));
                    for (const std::wstring& leftOver :
                         {run.files.swapFile(), run.files.phrasesAside(), run.files.latestBackupAside()}) {
                        EXPECT_FALSE(run.fs.exists(leftOver));
                    }
                    if (run.fs.files == clean.fs.files) {
                        ++finished;
                    } else {
                        EXPECT_EQ(run.fs.files, initial.files);
                    }
                    if (report) {
                        EXPECT_EQ(report->title, L"Kanaroute");
                        EXPECT_TRUE(contains(report->text, L"没有任何词条丢失"));
                    }
                }
            }
        }
    }
    EXPECT_GT(crashes, 500);
    EXPECT_GT(finished, 20);
}

// The start-up that recovers can itself be cut short, at any of its calls;
// the start after it still ends in one of the two states.
TEST(LexiconRecovery, ARecoveryCutShortIsCompletedByTheNextStart) {
    int recoveryCrashes = 0;
    for (const std::string& operation : kOperations) {
        const Start start{'C', true};
        const CrashRun clean(start, operation);
        FakeFileSystem initial;
        testing::setUpState(initial, start.state, start.withPhrases);
        for (int call = 1; call <= clean.fs.callCount; ++call) {
            CrashRun crashed(start, operation, call);
            if (!crashed.crashed) {
                continue;
            }
            FakeFileSystem counting = crashed.fs;
            const int before = counting.callCount;
            recoverInterruptedOperation(counting, crashed.files);
            for (int recoveryCall = 1; recoveryCall <= counting.callCount - before; ++recoveryCall) {
                SCOPED_TRACE(operation + ", dies after call " + std::to_string(call) + " and recovery call " +
                             std::to_string(recoveryCall));
                FakeFileSystem fs = crashed.fs;
                fs.crashAtCall = fs.callCount + recoveryCall;
                try {
                    recoverInterruptedOperation(fs, crashed.files);
                } catch (const testing::SimulatedCrash&) {
                    ++recoveryCrashes;
                }
                fs.crashAtCall = 0;
                recoverInterruptedOperation(fs, crashed.files);
                EXPECT_TRUE(fs.files == clean.fs.files || fs.files == initial.files);
            }
        }
    }
    EXPECT_GT(recoveryCrashes, 20);
}

// A step fails, and the process dies while it undoes the earlier ones: the
// next start completes the undo from the marks in the record.
TEST(LexiconRecovery, AnUndoCutShortIsCompletedByTheNextStart) {
    int undoCrashes = 0;
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            const CrashRun clean(start, operation);
            FakeFileSystem initial;
            testing::setUpState(initial, start.state, start.withPhrases);
            for (int failing = 1; failing <= clean.fs.callCount; ++failing) {
                for (int crash = failing + 1;; ++crash) {
                    SCOPED_TRACE(operation + " from " + start.name() + ", call " + std::to_string(failing) +
                                 " fails, dies after call " + std::to_string(crash));
                    FakeFileSystem fs;
                    RecordingHost host;
                    testing::setUpState(fs, start.state, start.withPhrases);
                    fs.failingCalls = {failing};
                    fs.crashAtCall = crash;
                    bool crashed = false;
                    try {
                        testing::runOperation(operation, fs, FileSet(kVersionDir), host);
                    } catch (const testing::SimulatedCrash&) {
                        crashed = true;
                    }
                    if (!crashed || !host.messages.empty()) {
                        break; // the undo (and its report) was over before the crash
                    }
                    ++undoCrashes;
                    fs.crashAtCall = 0;
                    fs.failingCalls.clear();
                    recoverInterruptedOperation(fs, FileSet(kVersionDir));
                    EXPECT_TRUE(fs.files == initial.files || fs.files == clean.fs.files);
                }
            }
        }
    }
    EXPECT_GT(undoCrashes, 100);
}

TEST(LexiconRecovery, LeftOverFilesWithoutARecordAreReportedAndNeverTouched) {
    FakeFileSystem fs;
    testing::setUpState(fs, 'C');
    const FileSet files(kVersionDir);
    fs.put(files.swapFile(), "S");
    fs.put(files.phrasesAside(), "X");
    const auto before = fs.files;
    const std::optional<Message> report = recoverInterruptedOperation(fs, files);
    ASSERT_TRUE(report);
    EXPECT_TRUE(contains(report->text, files.swapFile()));
    EXPECT_TRUE(contains(report->text, files.phrasesAside()));
    EXPECT_FALSE(contains(report->text, files.latestBackupAside()));
    EXPECT_EQ(fs.files, before);
    EXPECT_TRUE(fs.log.empty());

    FakeFileSystem clean;
    testing::setUpState(clean, 'C');
    EXPECT_FALSE(recoverInterruptedOperation(clean, files));
}

TEST(LexiconRecovery, ARecordThatIsNotOursOrPointsElsewhereIsLeftAlone) {
    const FileSet files(kVersionDir);
    IntentRecord elsewhere;
    elsewhere.operation = OperationKind::Backup;
    elsewhere.planComplete = true;
    elsewhere.steps = {{PlannedStep::Kind::Rename, L"C:\\Windows\\system.ini", files.phrases(), {}}};
    // Inside the version folder only by its text, or not one of the lexicon's names.
    IntentRecord climbing = elsewhere;
    climbing.steps = {{PlannedStep::Kind::Copy, files.phrases(), files.versionDir + L"\\..", {}}};
    IntentRecord unknownName = elsewhere;
    unknownName.steps = {{PlannedStep::Kind::Rename, files.phrases(), files.settingsProgram(), {}}};
    IntentRecord wrongRole = elsewhere;
    wrongRole.steps = {{PlannedStep::Kind::WriteTimeStamp, {}, files.initialBackup(), std::string("x")}};
    for (const std::string& bytes : {std::string("garbage\n"), encodePlan(elsewhere), encodePlan(climbing),
                                     encodePlan(unknownName), encodePlan(wrongRole)}) {
        FakeFileSystem fs;
        testing::setUpState(fs, 'B');
        fs.put(files.intentRecord(), bytes);
        const auto before = fs.files;
        const std::optional<Message> report = recoverInterruptedOperation(fs, files);
        ASSERT_TRUE(report);
        EXPECT_TRUE(contains(report->text, files.intentRecord()));
        EXPECT_EQ(fs.files, before);
    }
}

} // namespace
} // namespace kana::lexicon

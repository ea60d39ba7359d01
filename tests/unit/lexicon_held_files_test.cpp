// Files held by someone else: a hold of a moment is waited out, a longer one
// changes nothing; the intent record is held by its own operation for as long
// as it runs, so that no start-up recovery takes it for a crash; and a
// recovery whose steps fail loses nothing and leaves its record for the next
// start.
#include "lexicon/operations.h"
#include "lexicon/recovery.h"
#include "lexicon/retrying_file_steps.h"

#include "tests/unit/lexicon_fake_fs.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace kana::lexicon {
namespace {

using testing::contains;
using testing::FakeFileSystem;
using testing::kOperations;
using testing::kVersionDir;
using testing::RecordingHost;

// Waits no time; tells the test how long it would have waited.
class TestPause final : public Pause {
  public:
    explicit TestPause(std::function<void(int)> onWait) : onWait_(std::move(onWait)) {}
    void wait(int milliseconds) override { onWait_(milliseconds); }

  private:
    std::function<void(int)> onWait_;
};

// Every content of the version directory, and what went to the Recycle Bin.
std::multiset<std::string> keptContents(const FakeFileSystem& fs) {
    std::multiset<std::string> contents(fs.recycled.begin(), fs.recycled.end());
    for (const auto& [path, content] : fs.files) {
        if (path.rfind(kVersionDir + L"\\", 0) == 0) {
            contents.insert(content);
        }
    }
    return contents;
}

TEST(LexiconHeldFiles, AHoldWithinTheRetryWindowIsWaitedOutAndALongerOneChangesNothing) {
    const FileSet files(kVersionDir);
    for (const int holdMs : {600, 2700, 2800, 60000}) {
        SCOPED_TRACE(holdMs);
        FakeFileSystem fs;
        testing::setUpState(fs, 'C');
        const auto before = fs.files;
        fs.locked.insert(files.phrases());
        int waited = 0;
        TestPause pause([&](int milliseconds) {
            waited += milliseconds;
            if (waited >= holdMs) {
                fs.locked.clear();
            }
        });
        RetryingFileSteps steps(fs, pause);
        RecordingHost host;
        const Outcome outcome = install(steps, files, true, host);
        if (holdMs <= 11 * 250) {
            EXPECT_EQ(outcome, Outcome::Completed);
            EXPECT_EQ(fs.content(files.phrases()), "D");
            EXPECT_EQ(fs.content(files.latestBackup()), "P");
            EXPECT_EQ(host.messages.at(0), messages::askRestartAfterInstall());
        } else {
            EXPECT_EQ(outcome, Outcome::Stopped);
            EXPECT_EQ(waited, 11 * 250); // twelve tries in all
            fs.locked.clear();
            EXPECT_EQ(fs.files, before);
            EXPECT_TRUE(contains(host.messages.at(0).text, testing::kInUse));
            EXPECT_TRUE(contains(host.messages.at(0).text, L"没有任何词条丢失"));
        }
    }

    // Any other failure counts at once.
    FakeFileSystem fs;
    testing::setUpState(fs, 'C');
    fs.failingCalls = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    int pauses = 0;
    TestPause pause([&](int) { ++pauses; });
    RetryingFileSteps steps(fs, pause);
    RecordingHost host;
    EXPECT_EQ(install(steps, files, true, host), Outcome::Stopped);
    EXPECT_EQ(pauses, 0);
}

// A second copy of the program starts while an operation is in the middle of
// its steps: its recovery finds the record held and leaves it, and the
// operation goes on undisturbed.
class SecondStartDuringTheCopy : public FakeFileSystem {
  public:
    std::optional<std::optional<Message>> report;
    std::size_t logBefore = 0;
    std::size_t logAfter = 0;

    StepResult copy(const std::wstring& from, const std::wstring& to) override {
        if (!report) {
            logBefore = log.size();
            report = recoverInterruptedOperation(*this, FileSet(kVersionDir));
            logAfter = log.size();
        }
        return FakeFileSystem::copy(from, to);
    }
};

TEST(LexiconHeldFiles, TheRecordOfARunningOperationIsLeftAloneByAnotherStart) {
    for (const std::string& operation : kOperations) {
        SCOPED_TRACE(operation);
        SecondStartDuringTheCopy fs;
        testing::setUpState(fs, 'C');
        RecordingHost host;
        FakeFileSystem clean;
        testing::setUpState(clean, 'C');
        RecordingHost cleanHost;
        testing::runOperation(operation, clean, FileSet(kVersionDir), cleanHost);

        testing::runOperation(operation, fs, FileSet(kVersionDir), host);
        if (operation == "restore-latest") {
            EXPECT_FALSE(fs.report); // no copy in an exchange
            continue;
        }
        ASSERT_TRUE(fs.report);
        EXPECT_FALSE(*fs.report); // nothing said
        EXPECT_EQ(fs.logAfter, fs.logBefore);
        EXPECT_EQ(fs.files, clean.files);
    }

    // A record held by another process is left alone, with or without waiting.
    FakeFileSystem fs;
    testing::setUpState(fs, 'C');
    const FileSet files(kVersionDir);
    fs.put(files.intentRecord(), "Kanaroute intent record 1\n");
    fs.locked.insert(files.intentRecord());
    const auto before = fs.files;
    int pauses = 0;
    TestPause pause([&](int) { ++pauses; });
    RetryingFileSteps steps(fs, pause);
    EXPECT_FALSE(recoverInterruptedOperation(steps, files));
    EXPECT_EQ(pauses, 11);
    EXPECT_EQ(fs.files, before);
    EXPECT_TRUE(fs.log.empty());
}

// A record that the look-ups cannot see (hidden) is still never overwritten:
// every operation stops before its first change and names it.
TEST(LexiconHeldFiles, AHiddenRecordIsNeverOverwritten) {
    const FileSet files(kVersionDir);
    for (const std::string& operation : kOperations) {
        SCOPED_TRACE(operation);
        FakeFileSystem fs;
        testing::setUpState(fs, 'C');
        fs.put(files.intentRecord(), "Kanaroute intent record 1\noperation\tbackup\n");
        fs.hidden.insert(files.intentRecord());
        const auto before = fs.files;
        EXPECT_FALSE(recoverInterruptedOperation(fs, files));
        RecordingHost host;
        EXPECT_EQ(testing::runOperation(operation, fs, files, host), Outcome::Stopped);
        EXPECT_EQ(fs.files, before);
        EXPECT_TRUE(contains(host.messages.at(0).text, files.intentRecord()));
        EXPECT_TRUE(contains(host.messages.at(0).text, L"没有任何词条丢失"));
    }
}

// The process died after any call of any operation; the recovery at the next
// start then meets a failure at each of its own calls in turn. Nothing is
// lost; where the record stays, the user is told that the next start tries
// again, and that start completes the recovery.
TEST(LexiconHeldFiles, EachFailingRecoveryCallLosesNothingAndTheNextStartCompletes) {
    const FileSet files(kVersionDir);
    int failuresChecked = 0;
    for (const std::string& operation : kOperations) {
        for (const char state : {'B', 'C', 'E'}) {
            FakeFileSystem initial;
            testing::setUpState(initial, state);
            FakeFileSystem clean = initial;
            RecordingHost cleanHost;
            testing::runOperation(operation, clean, files, cleanHost);
            for (int crash = 1; crash <= clean.callCount; ++crash) {
                FakeFileSystem crashed = initial;
                crashed.crashAtCall = crash;
                RecordingHost host;
                try {
                    testing::runOperation(operation, crashed, files, host);
                    continue;
                } catch (const testing::SimulatedCrash&) {
                }
                crashed.crashAtCall = 0;
                if (!crashed.exists(files.intentRecord())) {
                    continue;
                }
                FakeFileSystem counting = crashed;
                recoverInterruptedOperation(counting, files);
                for (int failing = crashed.callCount + 1; failing <= counting.callCount; ++failing) {
                    SCOPED_TRACE(operation + " from " + state + ", dies after call " + std::to_string(crash) +
                                 ", recovery call " + std::to_string(failing) + " fails");
                    FakeFileSystem fs = crashed;
                    fs.failingCalls = {failing};
                    const std::optional<Message> report = recoverInterruptedOperation(fs, files);
                    ASSERT_TRUE(report);
                    ++failuresChecked;
                    const std::multiset<std::string> kept = keptContents(fs);
                    for (const std::wstring& path :
                         {files.phrases(), files.initialBackup(), files.latestBackup()}) {
                        if (const std::optional<std::string> content = initial.content(path)) {
                            EXPECT_NE(kept.count(*content), 0u) << *content;
                        }
                    }
                    const bool recordNotRemoved =
                        fs.injected.at(0) == std::make_pair(std::wstring(L"delete"), files.intentRecord());
                    if (fs.exists(files.intentRecord()) && !recordNotRemoved) {
                        EXPECT_TRUE(contains(report->text, L"再试"))
                            << ::testing::PrintToString(report->text);
                        EXPECT_TRUE(contains(report->text, testing::kDiskFull));
                    }
                    fs.failingCalls.clear();
                    recoverInterruptedOperation(fs, files);
                    EXPECT_FALSE(fs.exists(files.intentRecord()));
                    EXPECT_TRUE(fs.files == clean.files || fs.files == initial.files);
                }
            }
        }
    }
    EXPECT_GT(failuresChecked, 100);
}

// The input method holds phrases.ini when the user logs on: the undo at
// start-up cannot move it, says which file is where and what to close, and
// keeps the record; once the file is free, the next start finishes.
TEST(LexiconHeldFiles, ARecoveryThatMeetsAHeldFileTellsWhatToCloseAndTheNextStartFinishes) {
    const FileSet files(kVersionDir);
    FakeFileSystem initial;
    testing::setUpState(initial, 'C');
    FakeFileSystem fs = initial;
    fs.crashAtCall = 5; // install without a backup: record written, phrases.ini set aside, date.dat copied
    RecordingHost host;
    EXPECT_THROW(install(fs, files, false, host), testing::SimulatedCrash);
    fs.crashAtCall = 0;
    ASSERT_TRUE(fs.exists(files.phrasesAside()));
    ASSERT_TRUE(fs.exists(files.phrases()));
    fs.locked.insert(files.phrases());

    const std::optional<Message> report = recoverInterruptedOperation(fs, files);
    ASSERT_TRUE(report);
    EXPECT_TRUE(contains(report->text, files.phrases()));
    EXPECT_TRUE(contains(report->text, files.phrasesAside()));
    EXPECT_TRUE(contains(report->text, testing::kInUse));
    EXPECT_TRUE(contains(report->text, L"请关闭"));
    EXPECT_TRUE(fs.exists(files.intentRecord()));
    EXPECT_EQ(fs.content(files.phrasesAside()), "P");

    fs.locked.clear();
    const std::optional<Message> next = recoverInterruptedOperation(fs, files);
    ASSERT_TRUE(next);
    EXPECT_EQ(*next, messages::recoveryUndone(OperationKind::Install));
    EXPECT_EQ(fs.files, initial.files);
}

} // namespace
} // namespace kana::lexicon

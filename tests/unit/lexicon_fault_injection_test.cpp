// Every operation, from every state, with each file step in turn made to fail
// (and then with each pair of steps, so that the undo fails too): no content is
// ever lost, and after a single failure the files are exactly as before.
#include "lexicon/operations.h"

#include "tests/unit/lexicon_fake_fs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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

struct OperationRun {
    FakeFileSystem fs;
    RecordingHost host;
    FileSet files{kVersionDir};
    Outcome outcome = Outcome::Completed;

    OperationRun(const Start& start, const std::set<int>& failingCalls, const std::string& operation) {
        testing::setUpState(fs, start.state, start.withPhrases);
        fs.events = &host.events;
        fs.failingCalls = failingCalls;
        outcome = testing::runOperation(operation, fs, files, host);
    }
};

// The user's phrases: the contents of phrases.ini and the two backups.
std::multiset<std::string> userContents(const FakeFileSystem& fs) {
    const FileSet files(kVersionDir);
    std::multiset<std::string> contents;
    for (const std::wstring& path : {files.phrases(), files.initialBackup(), files.latestBackup()}) {
        if (auto content = fs.content(path)) {
            contents.insert(*content);
        }
    }
    return contents;
}

// Every content held by any file of the version directory.
std::set<std::string> everyContent(const FakeFileSystem& fs) {
    std::set<std::string> contents;
    for (const auto& [path, content] : fs.files) {
        if (path.rfind(kVersionDir + L"\\", 0) == 0) {
            contents.insert(content);
        }
    }
    return contents;
}

TEST(LexiconFaultInjection, ASingleFailingStepLeavesTheFilesAsBeforeAndIsReported) {
    int failuresChecked = 0;
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            const OperationRun clean(start, {}, operation);
            for (int failing = 1;; ++failing) {
                SCOPED_TRACE(operation + " from " + start.state +
                             (start.withPhrases ? "" : " without phrases") + ", call " +
                             std::to_string(failing) + " fails");
                OperationRun run(start, {failing}, operation);
                if (run.fs.injected.empty()) {
                    EXPECT_EQ(run.fs.callCount, failing - 1);
                    break;
                }
                ++failuresChecked;
                const auto& [kind, path] = run.fs.injected.front();
                if (kind == L"delete" && path == run.files.intentRecord()) {
                    // Removing the record after the commit or the undo failed: the
                    // files are as after a clean run (or as before), and the next
                    // start removes the record.
                    run.fs.files.erase(run.files.intentRecord());
                    FakeFileSystem initial;
                    testing::setUpState(initial, start.state, start.withPhrases);
                    EXPECT_TRUE(run.fs.files == clean.fs.files || run.fs.files == initial.files);
                    continue;
                }
                if (kind == L"start") {
                    // The files are already done; only the settings program is missing.
                    EXPECT_EQ(run.outcome, Outcome::Completed);
                    EXPECT_EQ(run.fs.files, clean.fs.files);
                    EXPECT_TRUE(contains(run.host.messages.back().text, path) ||
                                contains(run.host.messages.at(run.host.messages.size() - 2).text, path));
                    continue;
                }
                // Compare with a fresh copy of the starting state (the uninstall run
                // above changed its own copy).
                FakeFileSystem initial;
                testing::setUpState(initial, start.state, start.withPhrases);
                EXPECT_EQ(run.outcome, Outcome::Stopped);
                EXPECT_EQ(run.fs.files, initial.files);
                EXPECT_EQ(run.fs.folders, initial.folders);
                ASSERT_EQ(run.host.events.size(), 2u);
                EXPECT_EQ(run.host.events[1], L"refresh");
                const Message& message = run.host.messages.at(0);
                EXPECT_EQ(message.title, L"Kanaroute");
                EXPECT_EQ(message.buttons, Buttons::Ok);
                // A record that cannot be written is reported as the first step failing.
                EXPECT_TRUE(contains(message.text, path) !=
                            (kind == L"write" && path == run.files.intentRecord()));
                EXPECT_TRUE(contains(message.text, testing::kDiskFull));
                EXPECT_TRUE(contains(message.text, L"没有任何词条丢失"));
            }
        }
    }
    EXPECT_GT(failuresChecked, 100);
}

TEST(LexiconFaultInjection, WhenTheUndoFailsTooNothingIsLostAndTheMessageSaysWhere) {
    int undoFailuresChecked = 0;
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            const OperationRun clean(start, {}, operation);
            const int calls = clean.fs.callCount;
            // The undo runs after the failing call, so the second failure may lie
            // beyond the calls of a clean run.
            for (int first = 1; first <= calls; ++first) {
                for (int second = first + 1; second <= calls + 8; ++second) {
                    SCOPED_TRACE(operation + " from " + start.state +
                                 (start.withPhrases ? "" : " without phrases") + ", calls " +
                                 std::to_string(first) + " and " + std::to_string(second) + " fail");
                    FakeFileSystem initial;
                    testing::setUpState(initial, start.state, start.withPhrases);
                    OperationRun run(start, {first, second}, operation);
                    if (run.outcome == Outcome::Completed) {
                        continue; // only the settings program start failed
                    }
                    const std::set<std::string> after = everyContent(run.fs);
                    for (const std::string& content : userContents(initial)) {
                        EXPECT_TRUE(after.count(content) != 0) << "lost content " << content;
                    }
                    const std::wstring& text = run.host.messages.back().text;
                    // Every file that was not there before is named in the message
                    // (but for the program's own record, which the next start reads).
                    for (const auto& [path, content] : run.fs.files) {
                        if (initial.files.count(path) == 0 && path != run.files.intentRecord()) {
                            EXPECT_TRUE(contains(text, path));
                        }
                    }
                    if (run.fs.injected.size() == 2) {
                        ++undoFailuresChecked;
                    }
                    EXPECT_EQ(std::count(run.host.events.begin(), run.host.events.end(), L"end"), 0);
                }
            }
        }
    }
    EXPECT_GT(undoFailuresChecked, 50);
}

// The faults a user meets: a locked, read-only or hidden member, or a folder
// where a file should be. Whatever happens, no content of phrases.ini or the
// backups is lost.
TEST(LexiconFaultInjection, LockedReadOnlyAndFolderMembersNeverLoseContent) {
    const FileSet files(kVersionDir);
    const std::vector<std::wstring> members = {
        files.phrases(),         files.initialBackup(), files.latestBackup(),      files.initialTimeStamp(),
        files.latestTimeStamp(), files.swapFile(),      files.latestBackupAside(), files.phrasesAside()};
    for (const std::string& operation : kOperations) {
        for (const Start& start : allStarts()) {
            for (const std::wstring& member : members) {
                for (int fault = 0; fault < 3; ++fault) {
                    SCOPED_TRACE(operation + " from " + start.state + " fault " + std::to_string(fault));
                    FakeFileSystem fs;
                    RecordingHost host;
                    testing::setUpState(fs, start.state, start.withPhrases);
                    const bool present = fs.files.count(member) != 0;
                    if (fault == 0 && present) {
                        fs.locked.insert(member);
                    } else if (fault == 1 && present) {
                        fs.readOnly.insert(member);
                    } else if (fault == 2 && !present) {
                        fs.folders.insert(member);
                    } else {
                        continue;
                    }
                    const auto before = fs.files;
                    const std::multiset<std::string> contentsBefore = userContents(fs);
                    const Outcome outcome = testing::runOperation(operation, fs, files, host);
                    if (outcome == Outcome::Stopped) {
                        EXPECT_EQ(fs.files, before);
                    } else {
                        const std::set<std::string> after = everyContent(fs);
                        for (const std::string& content : contentsBefore) {
                            // A successful run may replace the old latest backup, and
                            // an install without backup replaces phrases.ini.
                            const bool replacedByDesign = (content == "L" && operation != "restore-latest") ||
                                                          (content == "P" && operation == "install");
                            EXPECT_TRUE(replacedByDesign || after.count(content) != 0) << "lost " << content;
                        }
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace kana::lexicon

#include "lexicon/operations.h"

#include "tests/unit/lexicon_fake_fs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kana::lexicon {
namespace {

using testing::FakeFileSystem;
using testing::kVersionDir;
using testing::RecordingHost;

struct Fixture {
    FakeFileSystem fs;
    RecordingHost host;
    FileSet files{kVersionDir};

    explicit Fixture(char state, bool withPhrases = true) {
        testing::setUpState(fs, state, withPhrases);
        fs.events = &host.events;
    }
    std::optional<std::string> phrases() const { return fs.content(files.phrases()); }
    std::optional<std::string> initial() const { return fs.content(files.initialBackup()); }
    std::optional<std::string> latest() const { return fs.content(files.latestBackup()); }
    std::optional<std::string> t0() const { return fs.content(files.initialTimeStamp()); }
    std::optional<std::string> t1() const { return fs.content(files.latestTimeStamp()); }
};

const std::optional<std::string> kAbsent;
std::optional<std::string> has(const char* content) {
    return std::string(content);
}

TEST(LexiconFileSet, PathsAreTheVersionDirectoryAndAFixedNameJoinedAsTheyAre) {
    const FileSet files(L"C:\\Program Files\\SogouInput\\\\4.0 ");
    EXPECT_EQ(files.phrases(), L"C:\\Program Files\\SogouInput\\\\4.0 \\phrases.ini");
    EXPECT_EQ(files.initialBackup(), L"C:\\Program Files\\SogouInput\\\\4.0 \\phrases最初备份.ini");
    EXPECT_EQ(files.latestBackup(), L"C:\\Program Files\\SogouInput\\\\4.0 \\phrases最近备份.ini");
    EXPECT_EQ(files.swapFile(), L"C:\\Program Files\\SogouInput\\\\4.0 \\phrasesTEMP.ini");
    EXPECT_EQ(files.initialTimeStamp(), L"C:\\Program Files\\SogouInput\\\\4.0 \\time000.ini");
    EXPECT_EQ(files.latestTimeStamp(), L"C:\\Program Files\\SogouInput\\\\4.0 \\time001.ini");
    EXPECT_EQ(files.settingsProgram(), L"C:\\Program Files\\SogouInput\\\\4.0 \\config.exe");
    EXPECT_EQ(FileSet::phraseListName(), L"date.dat");
}

// One row: the operation, the starting state, and what the files hold after it.
struct Transition {
    const char* operation;
    char from;
    char to;
    std::optional<std::string> phrases, initial, latest;
    bool t0Rewritten, t1Rewritten;
};

Outcome run(const std::string& operation, Fixture& f) {
    return testing::runOperation(operation, f.fs, f.files, f.host);
}

TEST(LexiconOperations, EveryOperationFromEveryStateReachesTheStateOfTheTransitionTable) {
    const std::vector<Transition> table = {
        {"install+backup", 'A', 'B', has("D"), has("P"), kAbsent, true, false},
        {"install+backup", 'B', 'C', has("D"), has("I"), has("P"), false, true},
        {"install+backup", 'C', 'C', has("D"), has("I"), has("P"), false, true},
        {"install+backup", 'D', 'C', has("D"), has("I"), has("P"), false, true},
        {"install+backup", 'E', 'D', has("D"), has("P"), has("L"), true, false},
        {"install", 'A', 'A', has("D"), kAbsent, kAbsent, false, false},
        {"install", 'B', 'B', has("D"), has("I"), kAbsent, false, false},
        {"install", 'C', 'C', has("D"), has("I"), has("L"), false, false},
        {"install", 'D', 'D', has("D"), has("I"), has("L"), false, false},
        {"install", 'E', 'E', has("D"), kAbsent, has("L"), false, false},
        {"backup", 'A', 'B', has("P"), has("P"), kAbsent, true, false},
        {"backup", 'B', 'C', has("P"), has("I"), has("P"), false, true},
        {"backup", 'C', 'C', has("P"), has("I"), has("P"), false, true},
        {"backup", 'D', 'C', has("P"), has("I"), has("P"), false, true},
        {"backup", 'E', 'D', has("P"), has("P"), has("L"), true, false},
        {"restore-initial", 'B', 'D', has("I"), has("I"), has("P"), true, false},
        {"restore-initial", 'C', 'C', has("I"), has("I"), has("P"), true, false},
        {"restore-initial", 'D', 'D', has("I"), has("I"), has("P"), true, false},
        {"restore-latest", 'C', 'C', has("L"), has("I"), has("P"), false, true},
        {"uninstall", 'A', 'E', kAbsent, kAbsent, has("P"), false, false},
        {"uninstall", 'B', 'D', has("I"), has("I"), has("P"), true, false},
        {"uninstall", 'C', 'C', has("I"), has("I"), has("P"), true, false},
        {"uninstall", 'D', 'D', has("I"), has("I"), has("P"), true, false},
        {"uninstall", 'E', 'E', kAbsent, kAbsent, has("P"), false, false},
    };
    for (const Transition& row : table) {
        SCOPED_TRACE(std::string(row.operation) + " from " + row.from);
        Fixture f(row.from);
        const auto t0Before = f.t0();
        const auto t1Before = f.t1();
        EXPECT_EQ(run(row.operation, f), Outcome::Completed);
        EXPECT_EQ(testing::stateOf(f.fs), row.to);
        EXPECT_EQ(f.phrases(), row.phrases);
        EXPECT_EQ(f.initial(), row.initial);
        EXPECT_EQ(f.latest(), row.latest);
        EXPECT_EQ(f.t0() != t0Before, row.t0Rewritten);
        EXPECT_EQ(f.t1() != t1Before, row.t1Rewritten);
        EXPECT_EQ(f.fs.content(FileSet::phraseListName()), has("D"));
    }
}

TEST(LexiconOperations, InstallAnsweredOkTellsTheUserToRestartAndEndsTheProgram) {
    Fixture f('A');
    f.host.answerToQuestions = MessageAnswer::Ok;
    install(f.fs, f.files, true, f.host);
    const std::wstring question = L"            安装完成！重启吗?\r确定:重启以完成应用   取消:手动完成应用";
    EXPECT_EQ(f.host.events, (std::vector<std::wstring>{L"refresh", L"message " + question,
                                                        L"message 请重启电脑以完成应用.", L"end"}));
    ASSERT_EQ(f.host.messages.size(), 2u);
    EXPECT_EQ(f.host.messages[0], (Message{question, L"请决定", Buttons::OkCancel, DefaultButton::First}));
    EXPECT_EQ(f.host.messages[1],
              (Message{L"请重启电脑以完成应用.", L"Kanaroute", Buttons::Ok, DefaultButton::First}));
}

TEST(LexiconOperations, InstallAnsweredCancelStartsTheSettingsProgramAndShowsHelp) {
    Fixture f('B');
    f.host.answerToQuestions = MessageAnswer::Cancel;
    install(f.fs, f.files, false, f.host);
    ASSERT_EQ(f.host.events.size(), 4u);
    EXPECT_EQ(f.host.events[0], L"refresh");
    EXPECT_EQ(f.host.events[2], L"start " + kVersionDir + L"\\config.exe");
    EXPECT_EQ(f.host.events[3], L"help");
}

TEST(LexiconOperations, BackupRestoreAndUninstallShowTheirMessagesInOrder) {
    const std::wstring start = L"start " + kVersionDir + L"\\config.exe";
    {
        Fixture f('B');
        backup(f.fs, f.files, f.host);
        EXPECT_EQ(f.host.events, (std::vector<std::wstring>{L"refresh", L"message 备份完成！"}));
        EXPECT_EQ(f.host.messages[0].title, L"Kanaroute");
        EXPECT_EQ(f.host.messages[0].buttons, Buttons::Ok);
    }
    for (bool toInitial : {true, false}) {
        Fixture f('C');
        restore(f.fs, f.files, toInitial, f.host);
        EXPECT_EQ(f.host.events, (std::vector<std::wstring>{L"refresh", L"message 还原完成！",
                                                            L"message 请在弹出的窗口中点应用 然后点击确定。",
                                                            start, L"help"}));
        for (const Message& message : f.host.messages) {
            EXPECT_EQ(message.title, L"Kanaroute");
            EXPECT_EQ(message.buttons, Buttons::Ok);
        }
    }
    {
        Fixture f('C');
        uninstall(f.fs, f.files, f.host);
        EXPECT_EQ(f.host.events, (std::vector<std::wstring>{L"message 还原完成！",
                                                            L"message 请在弹出的窗口中点应用 然后点击确定。",
                                                            start, L"end"}));
    }
}

TEST(LexiconOperations, RestoringTheLatestBackupTwiceGivesTheFirstContentsBack) {
    Fixture f('C');
    restore(f.fs, f.files, false, f.host);
    EXPECT_EQ(f.phrases(), has("L"));
    EXPECT_EQ(f.latest(), has("P"));
    const auto firstStamp = f.t1();
    restore(f.fs, f.files, false, f.host);
    EXPECT_EQ(f.phrases(), has("P"));
    EXPECT_EQ(f.latest(), has("L"));
    EXPECT_NE(f.t1(), firstStamp);
    EXPECT_EQ(f.initial(), has("I"));
}

TEST(LexiconOperations, RestoringTheInitialStateTwiceLeavesItInTheLatestBackupToo) {
    Fixture f('C');
    restore(f.fs, f.files, true, f.host);
    EXPECT_EQ(f.phrases(), has("I"));
    EXPECT_EQ(f.latest(), has("P"));
    restore(f.fs, f.files, true, f.host);
    EXPECT_EQ(f.phrases(), has("I"));
    EXPECT_EQ(f.latest(), has("I"));
    EXPECT_EQ(f.initial(), has("I"));
}

// Every sequence of four operations from states A and C: once the initial
// backup exists, nothing changes it.
TEST(LexiconOperations, NoSequenceOfOperationsAltersTheInitialBackup) {
    const std::vector<std::string> operations = {"install+backup",  "install",        "backup",
                                                 "restore-initial", "restore-latest", "uninstall"};
    const std::size_t n = operations.size();
    for (char state : {'A', 'C'}) {
        for (std::size_t code = 0; code < n * n * n * n; ++code) {
            Fixture f(state);
            std::optional<std::string> initial = f.initial();
            std::size_t rest = code;
            for (int step = 0; step < 4; ++step, rest /= n) {
                run(operations[rest % n], f);
                if (initial) {
                    ASSERT_EQ(f.initial(), initial) << "state " << state << " sequence " << code;
                }
                initial = f.initial();
            }
        }
    }
}

TEST(LexiconOperations, AFolderNamedLikeABackupCountsAsExisting) {
    Fixture f('A');
    f.fs.folders.insert(f.files.initialBackup());
    EXPECT_EQ(install(f.fs, f.files, true, f.host), Outcome::Completed);
    // The initial backup "exists", so the old phrases went to the latest backup.
    EXPECT_EQ(f.latest(), has("P"));
    EXPECT_EQ(f.phrases(), has("D"));
    EXPECT_TRUE(f.fs.folders.count(f.files.initialBackup()) != 0);
}

TEST(LexiconOperations, ThePhraseListComesFromTheCurrentFolderThenFromBesideTheProgram) {
    const std::wstring beside = L"D:\\Programs\\Kanaroute\\date.dat";
    {
        Fixture f('C'); // date.dat in the current folder, another one beside the program
        f.fs.put(beside, "beside");
        EXPECT_EQ(install(f.fs, f.files, false, f.host), Outcome::Completed);
        EXPECT_EQ(f.fs.content(f.files.phrases()), "D");
    }
    {
        Fixture f('C'); // started from elsewhere
        f.fs.currentDirectory = L"C:\\Users\\me";
        f.fs.put(beside, "beside");
        EXPECT_EQ(install(f.fs, f.files, false, f.host), Outcome::Completed);
        EXPECT_EQ(f.fs.content(f.files.phrases()), "beside");
    }
    for (bool keepBackup : {true, false}) {
        Fixture f('C'); // in neither place
        f.fs.currentDirectory = L"C:\\Users\\me";
        const auto before = f.fs.files;
        EXPECT_EQ(install(f.fs, f.files, keepBackup, f.host), Outcome::Stopped);
        EXPECT_EQ(f.fs.files, before);
        ASSERT_EQ(f.host.events.size(), 2u);
        EXPECT_EQ(f.host.events[1], L"refresh");
        const Message& message = f.host.messages.at(0);
        EXPECT_NE(message.text.find(L"C:\\Users\\me\\date.dat"), std::wstring::npos);
        EXPECT_NE(message.text.find(beside), std::wstring::npos);
        EXPECT_NE(message.text.find(L"没有任何词条丢失"), std::wstring::npos);
        EXPECT_EQ(message.title, L"Kanaroute");
    }
}

TEST(LexiconOperations, RestoreToInitialWithoutInitialBackupMovesPhrasesToTheLatestBackupOnly) {
    Fixture f('A');
    f.fs.put(f.files.initialTimeStamp(), "T0");
    EXPECT_EQ(restore(f.fs, f.files, true, f.host), Outcome::Completed);
    EXPECT_EQ(f.phrases(), kAbsent);
    EXPECT_EQ(f.latest(), has("P"));
    EXPECT_EQ(f.t0(), has("T0"));
    EXPECT_EQ(f.t1(), kAbsent);
}

TEST(LexiconOperations, UninstallWithoutPhrasesKeepsTheLatestBackup) {
    // A second uninstall after one that ran without an initial backup.
    Fixture f('E', false);
    EXPECT_EQ(uninstall(f.fs, f.files, f.host), Outcome::Completed);
    EXPECT_EQ(f.latest(), has("L"));
    EXPECT_EQ(f.phrases(), kAbsent);
    EXPECT_EQ(f.host.events.back(), L"end");

    // With an initial backup it is copied back, and the latest backup stays.
    Fixture g('D', false);
    EXPECT_EQ(uninstall(g.fs, g.files, g.host), Outcome::Completed);
    EXPECT_EQ(g.phrases(), has("I"));
    EXPECT_EQ(g.latest(), has("L"));
}

TEST(LexiconOperations, ChecksRefuseBeforeTheFirstChangeAndNameTheFile) {
    struct Case {
        const char* operation;
        char state;
        bool withPhrases;
        std::function<void(Fixture&)> prepare;
        std::wstring named;
    };
    const FileSet files(kVersionDir);
    const std::vector<Case> cases = {
        {"restore-latest", 'B', true, [](Fixture&) {}, files.latestBackup()},
        {"restore-latest", 'C', false, [](Fixture&) {}, files.phrases()},
        {"restore-latest", 'C', true, [&](Fixture& f) { f.fs.put(files.swapFile(), "S"); }, files.swapFile()},
        {"backup", 'B', false, [](Fixture&) {}, files.phrases()},
        {"backup", 'C', true, [&](Fixture& f) { f.fs.put(files.latestBackupAside(), "X"); },
         files.latestBackupAside()},
        {"install+backup", 'C', true, [&](Fixture& f) { f.fs.put(files.latestBackupAside(), "X"); },
         files.latestBackupAside()},
        {"install", 'A', true, [&](Fixture& f) { f.fs.put(files.phrasesAside(), "X"); },
         files.phrasesAside()},
        {"restore-initial", 'C', true, [&](Fixture& f) { f.fs.put(files.latestBackupAside(), "X"); },
         files.latestBackupAside()},
        {"uninstall", 'D', true, [&](Fixture& f) { f.fs.put(files.latestBackupAside(), "X"); },
         files.latestBackupAside()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.operation) + " from " + c.state);
        Fixture f(c.state, c.withPhrases);
        c.prepare(f);
        const auto before = f.fs.files;
        EXPECT_EQ(run(c.operation, f), Outcome::Stopped);
        EXPECT_EQ(f.fs.files, before);
        // Only the readability check of the phrase list may have run.
        EXPECT_EQ(f.fs.callCount, std::string(c.operation).rfind("install", 0) == 0 ? 1 : 0);
        ASSERT_EQ(f.host.events.size(), 2u);
        EXPECT_EQ(f.host.events[1], L"refresh");
        EXPECT_NE(f.host.messages.at(0).text.find(c.named), std::wstring::npos);
        EXPECT_EQ(f.host.messages.at(0).title, L"Kanaroute");
    }
}

TEST(LexiconOperations, APhrasesFileHeldByTheInputMethodIsReportedAndNothingChanges) {
    for (const char* operation :
         {"install+backup", "install", "restore-initial", "restore-latest", "uninstall"}) {
        SCOPED_TRACE(operation);
        Fixture f('C');
        f.fs.locked.insert(f.files.phrases());
        const auto before = f.fs.files;
        EXPECT_EQ(run(operation, f), Outcome::Stopped);
        EXPECT_EQ(f.fs.files, before);
        const std::wstring& text = f.host.messages.at(0).text;
        EXPECT_NE(text.find(f.files.phrases()), std::wstring::npos);
        EXPECT_NE(text.find(testing::kInUse), std::wstring::npos);
        EXPECT_NE(text.find(L"没有任何词条丢失"), std::wstring::npos);
        EXPECT_EQ(f.host.events.front().rfind(L"message ", 0), 0u);
        EXPECT_EQ(std::count(f.host.events.begin(), f.host.events.end(), L"end"), 0);
    }
}

TEST(LexiconOperations, AReadOnlyPhrasesFileIsNotReplacedHalfway) {
    Fixture f('B');
    f.fs.readOnly.insert(f.files.phrases());
    const auto before = f.fs.files;
    EXPECT_EQ(install(f.fs, f.files, false, f.host), Outcome::Stopped);
    EXPECT_EQ(f.fs.files, before);
    EXPECT_TRUE(f.fs.readOnly.count(f.files.phrases()) != 0);
}

TEST(LexiconOperations, AMissingSettingsProgramIsReportedAndTheOperationGoesOn) {
    {
        Fixture f('C');
        f.fs.files.erase(f.files.settingsProgram());
        EXPECT_EQ(restore(f.fs, f.files, true, f.host), Outcome::Completed);
        ASSERT_EQ(f.host.events.size(), 5u);
        EXPECT_NE(f.host.events[3].find(kVersionDir + L"\\config.exe"), std::wstring::npos);
        EXPECT_EQ(f.host.events[4], L"help");
    }
    {
        Fixture f('C');
        f.fs.files.erase(f.files.settingsProgram());
        EXPECT_EQ(uninstall(f.fs, f.files, f.host), Outcome::Completed);
        EXPECT_EQ(f.host.messages.size(), 3u);
        EXPECT_EQ(f.host.events.back(), L"end");
    }
}

} // namespace
} // namespace kana::lexicon

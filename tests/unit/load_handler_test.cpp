// The load handler's decisions over every row of the control tables.
#include <gtest/gtest.h>

#include "app/load_handler.h"

using namespace kana;

namespace {
const RegistryValues kSogou{L"C:\\Program Files\\SogouInput", L"6.2.0.0000"};
} // namespace

TEST(LoadHandler, JoinsTheVersionDirectoryAsItIs) {
    EXPECT_EQ(versionDirectoryOf(kSogou), L"C:\\Program Files\\SogouInput\\6.2.0.0000");
    EXPECT_EQ(versionDirectoryOf({L"D:\\输入 法\\", L"9.1"}), L"D:\\输入 法\\\\9.1");
    const LoadDecision decision = decideLoad(kSogou, L"小王", true);
    EXPECT_EQ(decision.phrasesPath, L"C:\\Program Files\\SogouInput\\6.2.0.0000\\phrases.ini");
    EXPECT_EQ(decision.installTargetText,
              L"                         您当前的系统用户名为：小王\r词库将被安装在："
              L"C:\\Program Files\\SogouInput\\6.2.0.0000\\phrases.ini");
}

TEST(LoadHandler, WithoutUserNameTheCarriageReturnFollowsTheText) {
    const LoadDecision decision = decideLoad(kSogou, L"", true);
    EXPECT_EQ(decision.installTargetText.substr(0, 37), L"                         您当前的系统用户名为：\r");
}

TEST(LoadHandler, OnlyInputBackslashThreeDotIsTooOld) {
    EXPECT_TRUE(decideLoad({L"C:\\Program Files\\SogouInput", L"3.1.0.1"}, L"u", true).warnLowVersion);
    EXPECT_FALSE(decideLoad({L"C:\\Program Files\\SogouInput", L"4.0"}, L"u", true).warnLowVersion);
    EXPECT_FALSE(decideLoad({L"C:\\Program Files\\SogouInput", L"13.0"}, L"u", true).warnLowVersion);
    EXPECT_FALSE(decideLoad({L"C:\\Program Files\\SogouInput", L"3"}, L"u", true).warnLowVersion);
    EXPECT_FALSE(
        decideLoad({L"C:\\Program Files\\Sogouinput", L"3.1"}, L"u", true).warnLowVersion); // case matters
    EXPECT_TRUE(isLowVersion(L"X:\\MyInput\\3.9\\"));
}

TEST(LoadHandler, PhrasesMissingSelectsReplaceModeAndTakesAwayTheBackup) {
    const LoadDecision missing = decideLoad(kSogou, L"u", false);
    EXPECT_EQ(missing.addMode, (ControlChange{false, false}));
    EXPECT_EQ(missing.replaceMode, (ControlChange{true, true}));
    EXPECT_EQ(missing.backUpFirst, (ControlChange{false, false}));
    EXPECT_EQ(missing.backupButton, (ControlChange{false, std::nullopt}));

    // With phrases.ini the selections and the tick stay as the user left them.
    const LoadDecision present = decideLoad(kSogou, L"u", true);
    EXPECT_EQ(present.addMode, ControlChange{});
    EXPECT_EQ(present.replaceMode, (ControlChange{true, std::nullopt}));
    EXPECT_EQ(present.backUpFirst, (ControlChange{true, std::nullopt}));
    EXPECT_EQ(present.backupButton, (ControlChange{true, std::nullopt}));
}

TEST(LoadHandler, TimeStampsDecideTheRestoreChoicesInEveryCombination) {
    const auto stamp = TimeStampLine::read(L"2024/3/5 14:07:09");
    const auto none = TimeStampLine::missing();
    struct Row {
        TimeStampLine t0, t1;
        ControlChange restoreToInitialChoice, restoreToLatestChoice;
        bool restoreButton;
    };
    const Row rows[] = {
        {stamp, stamp, {true, true}, {true, false}, true},
        {stamp, none, {true, true}, {false, false}, true},
        {none, stamp, {false, false}, {true, false}, true},
        {none, none, {false, false}, {false, false}, false},
    };
    for (const Row& row : rows) {
        const BackupDecision decision = decideBackups(row.t0, row.t1);
        EXPECT_EQ(decision.restoreToInitialChoice, row.restoreToInitialChoice);
        EXPECT_EQ(decision.restoreToLatestChoice, row.restoreToLatestChoice);
        EXPECT_EQ(decision.restoreButton.enabled, row.restoreButton);
    }
}

TEST(LoadHandler, BackupLabelsUseTheirOwnPrefixes) {
    const BackupDecision present =
        decideBackups(TimeStampLine::read(L"2024/3/5 14:07:09"), TimeStampLine::read(L"2025/1/2 8:00:01"));
    EXPECT_EQ(present.initialBackupText, L"最初状态备份时间：\r\n2024/3/5 14:07:09");
    EXPECT_EQ(present.latestBackupText, L"最近状态备份时间：\r\n2025/1/2 8:00:01");
    const BackupDecision missing = decideBackups(TimeStampLine::missing(), TimeStampLine::missing());
    EXPECT_EQ(missing.initialBackupText, L"最初状态备份时间：\r\n        不存在。");
    EXPECT_EQ(missing.latestBackupText, L"最近词条备份时间：\r\n        不存在。");
    // An empty first line ends the label with the line end.
    EXPECT_EQ(decideBackups(TimeStampLine::read(L""), TimeStampLine::missing()).initialBackupText,
              L"最初状态备份时间：\r\n");
    // A stamp that cannot be read still offers its restore, and says so in the label.
    const BackupDecision unreadable = decideBackups(TimeStampLine::unreadable(), TimeStampLine::missing());
    EXPECT_EQ(unreadable.restoreToInitialChoice, (ControlChange{true, true}));
    EXPECT_NE(unreadable.initialBackupText.find(L"无法读取"), std::wstring::npos);
}

TEST(LoadHandler, FirstLineStopsAtTheFirstLineEnd) {
    EXPECT_EQ(firstLineOf("2024/3/5 14:07:09\r\nmore"), "2024/3/5 14:07:09");
    EXPECT_EQ(firstLineOf("one\rtwo"), "one");
    EXPECT_EQ(firstLineOf("no end"), "no end");
    EXPECT_EQ(firstLineOf(""), "");
    EXPECT_EQ(firstLineOf("\r\nsecond"), "");
}

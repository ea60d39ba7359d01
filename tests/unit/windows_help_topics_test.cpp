#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "windows/help_topics.h"

namespace kana::help_topics {
namespace {

TEST(HelpTopicTexts, AreExactWithCrLfLineBreaks) {
    EXPECT_EQ(topicText(1),
              L"初级用户可以在启动程序之后直接选择安装即可。\r\n高级用户可以勾选其它项目进行安装。");
    EXPECT_EQ(topicText(2), L"可以选择还原到最近备份与最初状态。\r\n"
                            L"最近备份是指上一次执行词条备份，如果从未执行，那么此项目是无法选择的。\r\n"
                            L"最初状态是指用户在下载安装本软件之前的自定义词库状态。");
    EXPECT_EQ(topicText(3),
              L"\r\n现在请:重启电脑。\r\n\r\n"
              L"或者、在输入法菜单中选择高级\x2192自定义短语设置\x2192保存、应用。\r\n如图所示。");
    EXPECT_EQ(topicText(4), L"请确认没有安装过本产品以前版本，若有请手动恢复或求助网友。");
    EXPECT_TRUE(topicText(0).empty());
    EXPECT_TRUE(topicText(5).empty());
}

TEST(HelpTopicTexts, EveryLineBreakIsACrLfPairAndNoTextEndsWithOne) {
    for (int topic = 1; topic <= kTopicCount; ++topic) {
        const std::wstring_view text = topicText(topic);
        ASSERT_FALSE(text.empty()) << topic;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\r') {
                ASSERT_LT(i + 1, text.size()) << topic;
                EXPECT_EQ(text[i + 1], L'\n') << topic;
            }
            if (text[i] == L'\n') {
                ASSERT_GT(i, 0u) << topic;
                EXPECT_EQ(text[i - 1], L'\r') << topic;
            }
        }
        EXPECT_NE(text.back(), L'\n') << topic;
        EXPECT_NE(text.back(), L'\r') << topic;
    }
    // Topic 3 starts with an empty line and uses an ASCII colon and two arrows U+2192.
    const std::wstring text(topicText(3));
    EXPECT_EQ(text.rfind(L"\r\n", 0), 0u);
    EXPECT_NE(text.find(L"请:"), std::wstring::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), L'\x2192'), 2);
}

TEST(ChooseTopic, MarksOnlyTheChosenLabelRedAndShowsTheIllustrationOnlyForTopic3) {
    for (int topic = 1; topic <= kTopicCount; ++topic) {
        const TopicView view = chooseTopic(topic);
        for (int label = 1; label <= kTopicCount; ++label) {
            EXPECT_EQ(view.labelColours[static_cast<std::size_t>(label - 1)], label == topic ? kRed : kBlack)
                << "topic " << topic << " label " << label;
        }
        EXPECT_EQ(view.text, topicText(topic));
        EXPECT_EQ(view.illustrationVisible, topic == 3);
    }
    EXPECT_EQ(kRed.value, 0xFF0000u);
    EXPECT_EQ(kActivationTopic, 3);
}

TEST(ChooseTopic, AnUnknownTopicShowsTheActivationTopic) {
    EXPECT_EQ(chooseTopic(0).text, topicText(3));
    EXPECT_EQ(chooseTopic(7).text, topicText(3));
    EXPECT_TRUE(chooseTopic(-1).illustrationVisible);
}

TEST(HighlightTopic, OnlyTheLabelUnderThePointerIsOpaque) {
    for (int topic = 1; topic <= kTopicCount; ++topic) {
        const auto backgrounds = highlightTopic(topic);
        for (int label = 1; label <= kTopicCount; ++label) {
            EXPECT_EQ(backgrounds[static_cast<std::size_t>(label - 1)],
                      label == topic ? Background::Opaque : Background::Transparent);
        }
    }
}

TEST(ActivationChoosesTopic, OnlyActivationsAmongTheProgramsOwnWindowsCount) {
    // Coming from the main window or the advertisement window.
    EXPECT_TRUE(activationChoosesTopic(PreviousWindow::OfThisProgram, false));
    EXPECT_TRUE(activationChoosesTopic(PreviousWindow::OfThisProgram, true));
    // First shown with no window of the program active before.
    EXPECT_TRUE(activationChoosesTopic(PreviousWindow::None, false));
    // Coming back from another application.
    EXPECT_FALSE(activationChoosesTopic(PreviousWindow::None, true));
    EXPECT_FALSE(activationChoosesTopic(PreviousWindow::OfAnotherProgram, true));
    EXPECT_FALSE(activationChoosesTopic(PreviousWindow::OfAnotherProgram, false));
}

} // namespace
} // namespace kana::help_topics

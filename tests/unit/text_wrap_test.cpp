// Label wrapping: where lines break, and how runs of spaces push text onto a new line.
#include <gtest/gtest.h>

#include <string>

#include "common/text_wrap.h"

using namespace kana;

namespace {

// SimSun-like metrics: a Chinese character 16 pixels, anything else 8.
int width16(wchar_t c) {
    return isWideCharacter(c) ? 16 : 8;
}

std::vector<std::wstring> lines(std::wstring_view text, int width) {
    std::vector<std::wstring> result;
    for (const TextLine& line : wrapText(text, width, width16)) {
        result.emplace_back(text.substr(line.begin, line.end - line.begin));
    }
    return result;
}

} // namespace

TEST(TextWrap, ChineseTextBreaksBetweenAnyTwoCharacters) {
    EXPECT_EQ(lines(L"安装完毕请按照指示完成应用。", 148),
              (std::vector<std::wstring>{L"安装完毕请按照指示", L"完成应用。"}));
}

TEST(TextWrap, ARunOfSpacesThatFillsTheLinePushesTheNextSentenceDown) {
    const std::wstring note =
        L"安装完毕请按照指示完成应用。        注:旧版本软件无法使用此版本进行卸载、还原、备份工作。";
    const auto wrapped = lines(note, 148);
    ASSERT_GE(wrapped.size(), 3u);
    EXPECT_EQ(wrapped[1], L"完成应用。        ");
    EXPECT_EQ(wrapped[2].substr(0, 3), L"注:旧");
    // Spaces that overflow the line vanish instead of indenting the next one.
    const auto overflowing = lines(L"完成应用。" + std::wstring(20, L' ') + L"注意", 148);
    EXPECT_EQ(overflowing, (std::vector<std::wstring>{L"完成应用。        ", L"注意"}));
}

TEST(TextWrap, LatinWordsStayWholeAndClosingPunctuationStaysWithItsWord) {
    EXPECT_EQ(lines(L"搜索\"Kanaroute\"或者", 100),
              (std::vector<std::wstring>{L"搜索", L"\"Kanaroute\"", L"或者"}));
    EXPECT_EQ(lines(L"一二三四五。", 80), (std::vector<std::wstring>{L"一二三四", L"五。"}));
}

TEST(TextWrap, LineEndsAreKeptAsTheyAre) {
    EXPECT_EQ(lines(L"用户名为：root\r词库", 1000), (std::vector<std::wstring>{L"用户名为：root", L"词库"}));
    EXPECT_EQ(lines(L"时间：\r\n        不存在。", 1000),
              (std::vector<std::wstring>{L"时间：", L"        不存在。"}));
    EXPECT_EQ(lines(L"时间：\r\n", 1000), (std::vector<std::wstring>{L"时间：", L""}));
    EXPECT_EQ(lines(L"", 1000), (std::vector<std::wstring>{L""}));
}

TEST(TextWrap, AWordWiderThanTheLineIsCutWhereItMustBe) {
    EXPECT_EQ(lines(L"abcdefghij", 40), (std::vector<std::wstring>{L"abcde", L"fghij"}));
}

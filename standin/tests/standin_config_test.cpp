// Portable parts of the stand-in settings program: how phrases.ini is read and
// how the command line is understood.
#include "standin/config/config_texts.h"
#include "standin/config/phrase_file.h"
#include "standin/config/start_options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace kana::standin {
namespace {

using namespace std::string_literals;

TEST(StandinPhraseEncoding, ByteOrderMarkDecides) {
    EXPECT_EQ(detectEncoding("\xFF\xFE;\0"s), TextEncoding::Utf16LeWithBom);
    EXPECT_EQ(detectEncoding("\xEF\xBB\xBF; x"), TextEncoding::Utf8WithBom);
    EXPECT_EQ(detectEncoding("dz,1=\xB1\xB1\xBE\xA9"), TextEncoding::AnsiCodePage);
    // Too short for a mark, or only the start of one: the ANSI code page.
    EXPECT_EQ(detectEncoding(""), TextEncoding::AnsiCodePage);
    EXPECT_EQ(detectEncoding("\xFF"), TextEncoding::AnsiCodePage);
    EXPECT_EQ(detectEncoding("\xEF\xBB"), TextEncoding::AnsiCodePage);
    EXPECT_EQ(byteOrderMarkLength(TextEncoding::Utf16LeWithBom), 2u);
    EXPECT_EQ(byteOrderMarkLength(TextEncoding::Utf8WithBom), 3u);
    EXPECT_EQ(byteOrderMarkLength(TextEncoding::AnsiCodePage), 0u);
}

TEST(StandinPhraseEncoding, Utf16LeKeepsCodeUnitsAndDropsAStrayByte) {
    // "北京" is U+5317 U+4EAC; the odd last byte of a truncated file is dropped.
    EXPECT_EQ(decodeUtf16Le("\x17\x53\xAC\x4E\x0D"s), L"\x5317\x4EAC");
    EXPECT_EQ(decodeUtf16Le("a\0=\0"s), L"a=");
    EXPECT_EQ(decodeUtf16Le(""), L"");
}

TEST(StandinPhraseParsing, ReadsEntriesWithEitherLineEnd) {
    const PhraseList list = parsePhrases(L"dz,1=北京市海淀区\r\nyx,2=a@b.cn\nqm,1=张伟 敬上");
    ASSERT_EQ(list.entries.size(), 3u);
    EXPECT_EQ(list.entries[0], (PhraseEntry{L"dz", L"1", L"北京市海淀区"}));
    EXPECT_EQ(list.entries[1], (PhraseEntry{L"yx", L"2", L"a@b.cn"}));
    EXPECT_EQ(list.entries[2], (PhraseEntry{L"qm", L"1", L"张伟 敬上"}));
    EXPECT_EQ(list.unrecognisedLines, 0u);
}

TEST(StandinPhraseParsing, PhraseRunsFromTheFirstEqualsSignAndKeepsItsSpaces) {
    const PhraseList list = parsePhrases(L"gs,3= a = b  \r\n");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].phrase, L" a = b  ");
    EXPECT_EQ(list.entries[0].position, L"3");
}

TEST(StandinPhraseParsing, SkipsCommentsBlankLinesAndALeadingByteOrderMark) {
    const PhraseList list = parsePhrases(L"\xFEFF; 注释\r\n\r\n   \r\n  ; 缩进的注释\r\nxx,1=谢谢\r\n");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].abbreviation, L"xx");
    EXPECT_EQ(list.unrecognisedLines, 0u);
}

TEST(StandinPhraseParsing, CountsLinesThatAreNotPhrases) {
    const PhraseList list = parsePhrases(L"nocomma=x\r\n"
                                         L"noequals,1\r\n"
                                         L",1=no abbreviation\r\n"
                                         L"ab,=no position\r\n"
                                         L"ab,x=letters as position\r\n"
                                         L"ab,1=kept\r\n");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].phrase, L"kept");
    EXPECT_EQ(list.unrecognisedLines, 5u);
}

TEST(StandinPhraseParsing, CommaAfterTheEqualsSignBelongsToThePhrase) {
    const PhraseList list = parsePhrases(L"abc=1,2\r\nzf,1=祝好,再见\r\n");
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].phrase, L"祝好,再见");
    EXPECT_EQ(list.unrecognisedLines, 1u);
}

TEST(StandinPhraseParsing, ListsEveryEntryOfTheGeneratedPhraseList) {
    std::ifstream file(KANAROUTE_PHRASE_LIST, std::ios::binary);
    ASSERT_TRUE(file) << KANAROUTE_PHRASE_LIST;
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_EQ(detectEncoding(bytes), TextEncoding::Utf16LeWithBom);
    const PhraseList list = parsePhrases(decodeUtf16Le(std::string_view(bytes).substr(2)));
    EXPECT_EQ(list.unrecognisedLines, 0u);
    EXPECT_GE(list.entries.size(), 2500u);
    for (const PhraseEntry& entry : list.entries) {
        EXPECT_TRUE(entry.position.size() == 1 && entry.position[0] >= L'1' && entry.position[0] <= L'9')
            << entry.position.size();
    }
}

TEST(StandinStartOptions, SwitchesInAnyCaseWithSlashOrDash) {
    EXPECT_TRUE(parseStartOptions({L"/advanced"}).advancedPage);
    EXPECT_TRUE(parseStartOptions({L"-ADVANCED"}).advancedPage);
    EXPECT_FALSE(parseStartOptions({L"/advanced"}).openPhrases);
    const StartOptions phrases = parseStartOptions({L"/Phrases"});
    EXPECT_TRUE(phrases.openPhrases);
    EXPECT_TRUE(phrases.advancedPage) << "the custom-phrase button lives on the advanced page";
}

TEST(StandinStartOptions, NoOrUnknownArgumentsStartOnTheFirstPage) {
    for (const auto& arguments :
         {std::vector<std::wstring>{}, {L"advanced"}, {L"/"}, {L"/advancedx"}, {L"/phrase"}}) {
        const StartOptions options = parseStartOptions(arguments);
        EXPECT_FALSE(options.advancedPage);
        EXPECT_FALSE(options.openPhrases);
    }
}

TEST(StandinStartOptions, StartRecordIsOneLine) {
    EXPECT_EQ(startRecord(L"\"C:\\搜狗\\config.exe\" /phrases"),
              L"started \"C:\\搜狗\\config.exe\" /phrases");
    EXPECT_EQ(startRecord(L"a\r\nb"), L"started a  b");
}

TEST(StandinTexts, PhraseCountMentionsSkippedLinesOnlyWhenThereAreSome) {
    EXPECT_EQ(phraseCountText(13, 0), L"共 13 条短语");
    EXPECT_EQ(phraseCountText(2, 3), L"共 2 条短语（3 行格式不正确，已略过）");
    EXPECT_NE(phraseFileMissingMessage(L"C:\\x\\phrases.ini").find(L"C:\\x\\phrases.ini"),
              std::wstring::npos);
    EXPECT_NE(phraseFileNotSavedMessage(L"p", L"访问被拒绝。").find(L"访问被拒绝。"), std::wstring::npos);
}

} // namespace
} // namespace kana::standin

// The hint line: texts and colours, and the colour rule of the two buttons without one.
#include <gtest/gtest.h>

#include "app/hint_line.h"

using namespace kana;

TEST(HintLine, RedMarksTheThreeButtonsThatChangeThePhraseFile) {
    for (const wchar_t* name : {L"Command3", L"Command4", L"Command7"}) {
        EXPECT_EQ(hintFor(name)->colour, kRed) << testing::PrintToString(std::wstring(name));
    }
    for (const wchar_t* name :
         {L"form1", L"Frame1", L"Check1", L"Option2", L"Image1", L"Label1", L"Label2", L"Label3"}) {
        EXPECT_EQ(hintFor(name)->colour, kGreen) << testing::PrintToString(std::wstring(name));
    }
}

TEST(HintLine, TextsAreExact) {
    EXPECT_EQ(hintFor(L"Option2")->text,
              L"说明：选择此项目将删除原有自定义词条，将上述资料创建        为新词条文件中。");
    EXPECT_EQ(hintFor(L"Command7")->text,
              L"说明：注意，若此次为初次备份则将存为 最近备份，若不是初次备份 则将覆盖 最近备份。");
    EXPECT_EQ(hintFor(L"Command4")->text,
              L"说明：注意！！！！！还原之后当前的词库将与所选项目交换！！！！！");
    EXPECT_EQ(hintFor(L"Label1")->text, L"说明：Kanaroutelogo");
    EXPECT_EQ(hintFor(L"form1")->text, L"说明：无");
}

TEST(HintLine, AboutAndExitKeepThePreviousColour) {
    HintLineState line = kInitialHintLine;
    line = afterMouseMove(line, L"Command1");
    EXPECT_EQ(line.text, L"说明：查看版权等信息。");
    EXPECT_EQ(line.colour, kGreen);
    line = afterMouseMove(afterMouseMove(line, L"Command3"), L"Command2");
    EXPECT_EQ(line.text, L"说明：退出程序。");
    EXPECT_EQ(line.colour, kRed);
    line = afterMouseMove(afterMouseMove(line, L"form1"), L"Command1");
    EXPECT_EQ(line.colour, kGreen);
}

TEST(HintLine, ControlsWithoutAHintLeaveTheLineAlone) {
    const HintLineState red = afterMouseMove(kInitialHintLine, L"Command4");
    for (const wchar_t* name : {L"Option3", L"Option4", L"Command5", L"Command6", L"Label4", L"Label5",
                                L"Label6", L"label7", L"Label8", L"dlg"}) {
        const HintLineState after = afterMouseMove(red, name);
        EXPECT_EQ(after.text, red.text);
        EXPECT_EQ(after.colour, kRed);
    }
}

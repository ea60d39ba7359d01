#include "app/hint_line.h"

#include <array>
#include <utility>

namespace kana {

namespace {

struct HintRow {
    std::wstring_view control;
    Hint hint;
};

// Red marks the three buttons that change the custom-phrase file.
constexpr std::array kHints{
    HintRow{L"form1", {L"说明：无", kGreen}},
    HintRow{L"Frame1", {L"说明：任务勾选与执行列表。", kGreen}},
    HintRow{L"Check1", {L"说明：是否对现有词条进行备份（强烈建议勾选）。", kGreen}},
    HintRow{L"Option2",
            {L"说明：选择此项目将删除原有自定义词条，将上述资料创建        为新词条文件中。", kGreen}},
    HintRow{L"Image1", {L"说明：您正在查看搜狗logo，单击访问官方网站。", kGreen}},
    HintRow{L"Label1", {L"说明：Kanaroutelogo", kGreen}},
    HintRow{L"Label2", {L"说明：您正在查看安装地址与基本信息。", kGreen}},
    HintRow{L"Label3", {L"说明：单击此处将访问说明网页。", kGreen}},
    HintRow{L"Command3", {L"说明：请确认安装开始", kRed}},
    HintRow{L"Command4", {L"说明：注意！！！！！还原之后当前的词库将与所选项目交换！！！！！", kRed}},
    HintRow{L"Command7",
            {L"说明：注意，若此次为初次备份则将存为 最近备份，若不是初次备份 则将覆盖 最近备份。", kRed}},
    HintRow{L"Command1", {L"说明：查看版权等信息。", std::nullopt}},
    HintRow{L"Command2", {L"说明：退出程序。", std::nullopt}},
};

} // namespace

std::optional<Hint> hintFor(std::wstring_view controlName) {
    for (const HintRow& row : kHints) {
        if (row.control == controlName) {
            return row.hint;
        }
    }
    return std::nullopt;
}

HintLineState afterMouseMove(HintLineState current, std::wstring_view controlName) {
    if (const std::optional<Hint> hint = hintFor(controlName)) {
        return {hint->text, hint->colour.value_or(current.colour)};
    }
    return current;
}

} // namespace kana

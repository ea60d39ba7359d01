#include "windows/help_topics.h"

namespace kana::help_topics {

namespace {

constexpr std::wstring_view kTopicTexts[kTopicCount] = {
    L"初级用户可以在启动程序之后直接选择安装即可。\r\n"
    L"高级用户可以勾选其它项目进行安装。",

    L"可以选择还原到最近备份与最初状态。\r\n"
    L"最近备份是指上一次执行词条备份，如果从未执行，那么此项目是无法选择的。\r\n"
    L"最初状态是指用户在下载安装本软件之前的自定义词库状态。",

    L"\r\n"
    L"现在请:重启电脑。\r\n"
    L"\r\n"
    L"或者、在输入法菜单中选择高级\u2192自定义短语设置\u2192保存、应用。\r\n"
    L"如图所示。",

    L"请确认没有安装过本产品以前版本，若有请手动恢复或求助网友。",
};

bool isTopic(int topic) {
    return topic >= 1 && topic <= kTopicCount;
}

} // namespace

std::wstring_view topicText(int topic) {
    return isTopic(topic) ? kTopicTexts[topic - 1] : std::wstring_view{};
}

TopicView chooseTopic(int topic) {
    if (!isTopic(topic)) {
        topic = kActivationTopic;
    }
    TopicView view{};
    for (int label = 1; label <= kTopicCount; ++label) {
        view.labelColours[static_cast<std::size_t>(label - 1)] =
            label == topic ? kChosenColour : kOtherColour;
    }
    view.text = topicText(topic);
    view.illustrationVisible = topic == kActivationTopic;
    return view;
}

std::array<Background, kTopicCount> highlightTopic(int topic) {
    std::array<Background, kTopicCount> backgrounds{};
    for (int label = 1; label <= kTopicCount; ++label) {
        backgrounds[static_cast<std::size_t>(label - 1)] =
            label == topic ? Background::Opaque : Background::Transparent;
    }
    return backgrounds;
}

bool activationChoosesTopic(PreviousWindow previous, bool returningFromAnotherProgram) {
    switch (previous) {
    case PreviousWindow::OfThisProgram:
        return true;
    case PreviousWindow::OfAnotherProgram:
        return false;
    case PreviousWindow::None:
        return !returningFromAnotherProgram;
    }
    return false;
}

} // namespace kana::help_topics

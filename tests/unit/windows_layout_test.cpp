#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/advertisement_window_layout.h"
#include "windows/contact_texts.h"
#include "windows/help_window_layout.h"
#include "windows_line_wrap.h"

namespace kana {
namespace {

std::vector<std::wstring_view> stackingOf(const WindowSpec& window, std::wstring_view container) {
    std::vector<std::wstring_view> names;
    for (const ControlSpec& control : window.controls) {
        if (control.container == container) {
            names.push_back(control.name);
        }
    }
    return names;
}

const ControlSpec& control(const WindowSpec& window, std::wstring_view name) {
    const ControlSpec* found = findControl(window, name);
    EXPECT_NE(found, nullptr) << std::string(name.begin(), name.end());
    static const ControlSpec none{};
    return found != nullptr ? *found : none;
}

TEST(HelpWindowLayout, WindowIsAFixedToolWindowWithTheSpacedTitle) {
    const WindowSpec& window = help_window::layout();
    EXPECT_EQ(window.name, L"Form2");
    EXPECT_EQ(window.title, std::wstring(38, L' ') + L"帮助说明文件");
    EXPECT_EQ(window.innerWidth, 8085);
    EXPECT_EQ(window.innerHeight, 5355);
    EXPECT_EQ(window.frame, WindowFrame::FixedTool);
    EXPECT_TRUE(window.hasProgramIcon);
    EXPECT_EQ(window.pointer, Pointer::ProgramPointer);
    EXPECT_EQ(window.background, Background::SystemFace);
}

TEST(HelpWindowLayout, StackingPutsPicture1InFrontOfEverything) {
    const WindowSpec& window = help_window::layout();
    EXPECT_EQ(stackingOf(window, L""),
              (std::vector<std::wstring_view>{L"Picture1", L"Frame2", L"Frame1", L"Text1", L"Label4",
                                              L"Label3", L"Label2", L"Label1"}));
    EXPECT_EQ(stackingOf(window, L"Frame2"), (std::vector<std::wstring_view>{L"Label5"}));
    EXPECT_EQ(stackingOf(window, L"Frame1"), (std::vector<std::wstring_view>{L"Image1"}));
    // A container comes before its children, so that it exists when they are made.
    EXPECT_EQ(window.controls[1].name, L"Frame2");
    EXPECT_EQ(window.controls[2].name, L"Label5");
}

TEST(HelpWindowLayout, Picture1CoversTheEnlargedWindowAndTheTabStopsAreTextTopicsAndPictures) {
    const WindowSpec& window = help_window::layout();
    const ControlSpec& picture = control(window, L"Picture1");
    EXPECT_EQ(picture.kind, ControlKind::PictureBox);
    EXPECT_EQ(picture.left, 0);
    EXPECT_EQ(picture.top, 0);
    EXPECT_EQ(picture.width, help_window::kEnlargedOuterWidth);
    EXPECT_EQ(picture.height, help_window::kEnlargedOuterHeight);
    EXPECT_EQ(help_window::kEnlargedOuterWidth, 9780);
    EXPECT_EQ(help_window::kEnlargedOuterHeight, 6630);
    EXPECT_EQ(help_window::kNormalOuterWidth, 8205);
    EXPECT_EQ(help_window::kNormalOuterHeight, 5745);
    // Created visible: the load step hides it.
    EXPECT_EQ(picture.flags & kHidden, 0u);

    std::vector<std::wstring_view> tabStops;
    std::vector<std::pair<int, std::wstring_view>> order;
    for (const ControlSpec& c : window.controls) {
        if ((c.flags & kTabStop) != 0) {
            tabStops.push_back(c.name);
        }
        if (c.tabIndex >= 0) {
            order.emplace_back(c.tabIndex, c.name);
        }
    }
    EXPECT_EQ(tabStops, (std::vector<std::wstring_view>{L"Picture1", L"Image1", L"Text1", L"Label4",
                                                        L"Label3", L"Label2", L"Label1"}));
    std::sort(order.begin(), order.end());
    std::vector<std::wstring_view> names;
    for (const auto& entry : order) {
        names.push_back(entry.second);
    }
    // The illustration, which has no place of its own, shares its frame's.
    EXPECT_EQ(names,
              (std::vector<std::wstring_view>{L"Text1", L"Label1", L"Label2", L"Label3", L"Label4", L"Frame1",
                                              L"Image1", L"Frame2", L"Label5", L"Picture1"}));
}

TEST(HelpWindowLayout, TopicLabelsAreYellowOnlyLabel3IsHighlightedAtCreation) {
    const WindowSpec& window = help_window::layout();
    const wchar_t* names[] = {L"Label1", L"Label2", L"Label3", L"Label4"};
    const wchar_t* captions[] = {L"如何安装？", L"如何还原卸载？", L"为什么安装后无效？",
                                 L"重启后依然无效？"};
    for (int i = 0; i < 4; ++i) {
        const ControlSpec& label = control(window, names[i]);
        EXPECT_EQ(label.id, help_window::kTopicLabels[i]);
        EXPECT_EQ(label.caption, captions[i]);
        EXPECT_EQ(label.left, 210);
        EXPECT_EQ(label.top, 105 + 420 * i);
        EXPECT_EQ(label.width, 2220);
        EXPECT_EQ(label.height, 225);
        EXPECT_EQ(label.backColour, kYellow);
        EXPECT_EQ(label.foreColour, kBlack);
        EXPECT_EQ(label.font.face, L"宋体");
        EXPECT_EQ(label.font.points, 12);
        EXPECT_NE(label.flags & kCentered, 0u);
        EXPECT_EQ(label.pointer, Pointer::ArrowIcon);
        EXPECT_EQ(label.background, i == 2 ? Background::Opaque : Background::Transparent);
    }
}

TEST(HelpWindowLayout, IllustrationIsHiddenSqueezedIntoFrame1) {
    const WindowSpec& window = help_window::layout();
    const ControlSpec& image = control(window, L"Image1");
    EXPECT_EQ(image.container, L"Frame1");
    EXPECT_EQ(image.picture, PictureId::HelpIllustration);
    EXPECT_NE(image.flags & kStretch, 0u);
    EXPECT_NE(image.flags & kHidden, 0u);
    EXPECT_EQ(image.pointer, Pointer::HandIcon);
    EXPECT_EQ(image.width, 2145);
    EXPECT_EQ(image.height, 3360);
    const ControlSpec& frame = control(window, L"Frame1");
    EXPECT_EQ(frame.caption, L"图示(点击放大)");
    EXPECT_EQ(frame.backColour, kRed);
    EXPECT_EQ(frame.foreColour, kBlue);
    EXPECT_TRUE(frame.font.bold);
    const ControlSpec& text = control(window, L"Text1");
    EXPECT_NE(text.flags & kMultiLine, 0u);
    EXPECT_NE(text.flags & kReadOnly, 0u);
    EXPECT_EQ(text.font.points, 14.25);
}

TEST(HelpWindowLayout, FeedbackNoteStartsTheContactTheNameAndTheDateOnNewLines) {
    const WindowSpec& window = help_window::layout();
    const ControlSpec& note = control(window, L"Label5");
    EXPECT_EQ(note.container, L"Frame2");
    EXPECT_EQ(note.pointer, Pointer::FaceIcon);
    const std::wstring_view caption = note.caption;
    EXPECT_EQ(caption.rfind(L"运行程序过程中若有任何问题可以联系", 0), 0u);
    EXPECT_NE(caption.find(contact::kMessengerContact), std::wstring_view::npos);
    ASSERT_GE(caption.size(), 10u);
    EXPECT_EQ(caption.substr(caption.size() - 10), L"2010年6月16日");

    // 宋体 14.25 pt at 96 dpi: 19 pixels a Chinese character, 10 a Latin one.
    const test::WrapResult wrap = test::wrapCaption(caption, {twipsToPixels(note.width, 96), 19, 10});
    const std::size_t name = caption.find_first_not_of(L' ', caption.find(L"  "));
    const std::size_t date = caption.find(L"2010年");
    EXPECT_TRUE(test::startsLine(wrap, name));
    EXPECT_TRUE(test::startsLine(wrap, date));
    // Four lines fill the label's height at 19 pixels a line.
    EXPECT_EQ(wrap.lineStarts.size(), 4u);
    EXPECT_LE(19 * 4, twipsToPixels(note.height, 96));
}

TEST(AdvertisementWindowLayout, WindowAndStacking) {
    const WindowSpec& window = advertisement_window::layout();
    EXPECT_EQ(window.name, L"Form3");
    EXPECT_EQ(window.title, L"广告栏");
    EXPECT_EQ(window.innerWidth, 7215);
    EXPECT_EQ(window.innerHeight, 4620);
    EXPECT_EQ(window.frame, WindowFrame::FixedSingle);
    EXPECT_FALSE(window.hasProgramIcon);
    EXPECT_EQ(window.pointer, Pointer::Default);
    EXPECT_EQ(window.defaultFont.face, L"宋体");
    EXPECT_EQ(window.defaultFont.points, 10.5);
    EXPECT_EQ(stackingOf(window, L""),
              (std::vector<std::wstring_view>{L"Label6", L"Label5", L"Line3", L"Label4", L"Label3", L"Label2",
                                              L"Line2", L"Line1", L"Shape1", L"Label1"}));
    for (const ControlSpec& c : window.controls) {
        EXPECT_EQ(c.flags & kTabStop, 0u) << std::string(c.name.begin(), c.name.end());
    }
}

TEST(AdvertisementWindowLayout, LinesAndOutlineSitWhereTheTableIsDrawn) {
    const WindowSpec& window = advertisement_window::layout();
    const ControlSpec& shape = control(window, L"Shape1");
    EXPECT_EQ(shape.kind, ControlKind::Shape);
    EXPECT_EQ((std::vector<int>{shape.left, shape.top, shape.width, shape.height}),
              (std::vector<int>{105, 525, 7050, 4005}));
    const ControlSpec& line1 = control(window, L"Line1");
    const ControlSpec& line2 = control(window, L"Line2");
    const ControlSpec& line3 = control(window, L"Line3");
    EXPECT_EQ((std::vector<int>{line1.left, line1.top, line1.width, line1.height}),
              (std::vector<int>{105, 945, 7140, 945}));
    EXPECT_EQ((std::vector<int>{line2.left, line2.top, line2.width, line2.height}),
              (std::vector<int>{1575, 525, 1575, 4515}));
    EXPECT_EQ((std::vector<int>{line3.left, line3.top, line3.width, line3.height}),
              (std::vector<int>{1575, 3570, 7140, 3570}));
    // Line1 runs across Label2, which must let it show through.
    EXPECT_EQ(control(window, L"Label2").background, Background::Transparent);
}

TEST(AdvertisementWindowLayout, CaptionsAreExact) {
    const WindowSpec& window = advertisement_window::layout();
    EXPECT_EQ(control(window, L"Label1").caption, L"广告专栏--方案及价格");
    EXPECT_EQ(control(window, L"Label2").caption, L"显示方案");
    EXPECT_EQ(control(window, L"Label5").caption, L"价格");
    EXPECT_EQ(control(window, L"Label3").caption,
              L"仅仅只做一个独家广告,广告可以分作两个部分显示.软件主窗口提供缩略显示,单击(或者强制打开)"
              L"将显示本窗口,此处内容可以自定义.");
    EXPECT_EQ(control(window, L"Label4").caption,
              std::wstring(L"联系方式:") + std::wstring(contact::kMessengerContact));
    EXPECT_EQ(control(window, L"Label6").caption,
              L"此软件每天下载安装量1700-2300，2010年7月一个月的总安装量约54000。" + std::wstring(46, L' ') +
                  L"目前百度搜索\"Kanaroute\"或者\"Kanaroute下载\"等相关词条均名列前二." +
                  std::wstring(46, L' ') + L"付费方式按照月付费,广告投放月到期之后再付费." +
                  std::wstring(11, L' ') + L"价格低廉");
}

TEST(AdvertisementWindowLayout, PriceTermsStartEachSentenceOnANewLine) {
    const ControlSpec& terms = control(advertisement_window::layout(), L"Label6");
    const std::wstring_view caption = terms.caption;
    // 宋体 10.5 pt at 96 dpi: 14 pixels a Chinese character, 7 a Latin one.
    const test::WrapResult wrap = test::wrapCaption(caption, {twipsToPixels(terms.width, 96), 14, 7});
    EXPECT_TRUE(test::startsLine(wrap, caption.find(L"目前")));
    EXPECT_TRUE(test::startsLine(wrap, caption.find(L"付费方式")));
    EXPECT_TRUE(test::startsLine(wrap, caption.find(L"价格低廉")));
}

} // namespace
} // namespace kana

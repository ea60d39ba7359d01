#include "windows/help_window_layout.h"

#include <array>

#include "common/reading_order.h"

#include "windows/contact_texts.h"

namespace kana::help_window {

namespace {

constexpr FontSpec kTopicFont{L"宋体", 12};
constexpr FontSpec kFrameFont{L"宋体", 10.5, true};
constexpr FontSpec kNoteFont{L"宋体", 14.25};
constexpr FontSpec kDefaultFont{L"宋体", 9};

constexpr auto O = Background::Opaque;
constexpr auto T = Background::Transparent;
constexpr auto F = Background::SystemFace;

// The feedback note: the runs of spaces fill the line to the label's width at
// 14.25 pt (344 pixels at 96 dpi; 19 pixels a Chinese character, 10 a Latin
// one or a space), so that the contact sentence, the name and the date each
// start a new line: "…联系QQ" fills the first line, 15 spaces the second,
// 14 the third.
constexpr std::wstring_view kFeedbackNote = L"运行程序过程中若有任何问题可以联系QQ群：Kanaroute用户群"
                                            L"               "
                                            L"作者：Kanaroute开发组"
                                            L"              "
                                            L"2010年6月16日";
static_assert(kFeedbackNote.find(contact::kMessengerContact) != std::wstring_view::npos,
              "the feedback note names the messenger contact");

// Front to back: Picture1 covers everything when it is shown.
// clang-format off
constexpr std::array kControls{
    ControlSpec{kPicture1, L"Picture1", ControlKind::PictureBox, L"", L"", 0, 0, 9780, 6630, 8, {}, F, kWhite, {},
                Pointer::ProgramPointer, PictureId::None, kTabStop, L"放大的安装示意图，点击恢复"},
    ControlSpec{kFrame2, L"Frame2", ControlKind::Frame, L"", L"问题反馈", 2520, 3885, 5580, 1485, 6, kFrameFont, O,
                kLightYellow},
    ControlSpec{kLabel5, L"Label5", ControlKind::Label, L"Frame2", kFeedbackNote, 210, 210, 5160, 1170, 7, kNoteFont,
                O, kLightYellow, {}, Pointer::FaceIcon, PictureId::None, kWraps},
    ControlSpec{kFrame1, L"Frame1", ControlKind::Frame, L"", L"图示(点击放大)", 0, 1680, 2430, 3690, 5, kFrameFont, O,
                kRed, kBlue},
    ControlSpec{kImage1, L"Image1", ControlKind::Picture, L"Frame1", L"", 105, 210, 2145, 3360, 5, {}, T, kWhite, {},
                Pointer::HandIcon, PictureId::HelpIllustration, kStretch | kHidden | kTabStop, L"安装示意图，点击放大"},
    ControlSpec{kText1, L"Text1", ControlKind::TextBox, L"", L"", 2520, 105, 5580, 3795, 0, kNoteFont, O, kWhite, {},
                Pointer::ProgramPointer, PictureId::None, kMultiLine | kReadOnly | kTabStop},
    ControlSpec{kLabel4, L"Label4", ControlKind::Label, L"", L"重启后依然无效？", 210, 1365, 2220, 225, 4, kTopicFont, T,
                kYellow, kBlack, Pointer::ArrowIcon, PictureId::None, kCentered | kLink | kTabStop},
    ControlSpec{kLabel3, L"Label3", ControlKind::Label, L"", L"为什么安装后无效？", 210, 945, 2220, 225, 3, kTopicFont, O,
                kYellow, kBlack, Pointer::ArrowIcon, PictureId::None, kCentered | kLink | kTabStop},
    ControlSpec{kLabel2, L"Label2", ControlKind::Label, L"", L"如何还原卸载？", 210, 525, 2220, 225, 2, kTopicFont, T,
                kYellow, kBlack, Pointer::ArrowIcon, PictureId::None, kCentered | kLink | kTabStop},
    ControlSpec{kLabel1, L"Label1", ControlKind::Label, L"", L"如何安装？", 210, 105, 2220, 225, 1, kTopicFont, T,
                kYellow, kBlack, Pointer::ArrowIcon, PictureId::None, kCentered | kLink | kTabStop},
};

constexpr CreationOrder kCreationOrder = creationOrder(kControls);

// The title's leading spaces push the text along the narrow title bar.
constexpr WindowSpec kWindow{L"Form2", L"                                      帮助说明文件", 8085, 5355,
                             WindowFrame::FixedTool, Background::SystemFace, kWhite, true, Pointer::ProgramPointer,
                             kDefaultFont, kControls, kCreationOrder.view()};
// clang-format on

} // namespace

const WindowSpec& layout() {
    return kWindow;
}

} // namespace kana::help_window

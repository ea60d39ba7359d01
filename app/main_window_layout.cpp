#include "app/main_window_layout.h"

#include <array>

namespace kana::main_window {

namespace {

constexpr FontSpec kButtonFont{L"宋体", 10.5};
constexpr FontSpec kSong12{L"宋体", 12};
constexpr FontSpec kNewSong{L"新宋体", 10.5};
constexpr FontSpec kDefaultFont{L"宋体", 9};

constexpr auto W = Background::Opaque;   // painted in its back colour (white unless given)
constexpr auto T = Background::Transparent;
constexpr auto F = Background::SystemFace;

// Front to back: the controls of the window inside the frame's rectangle come
// before the frame, so that they are drawn in front of it.
constexpr std::array kControls{
    ControlSpec{kOption4, L"Option4", ControlKind::OptionButton, L"", L"还原到最近备份", 3465, 3150, 2010, 330, 18,
                {}, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop},
    ControlSpec{kOption3, L"Option3", ControlKind::OptionButton, L"", L"还原到最初状态", 3465, 3570, 2010, 330, 17,
                {}, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kChecked},
    ControlSpec{kCommand6, L"Command6", ControlKind::PushButton, L"", L"帮助说明", 7140, 5250, 1170, 330, 13,
                kButtonFont, W, kYellow, {}, Pointer::Default, PictureId::None, kTabStop | kDefaultButton},
    ControlSpec{kCheck2, L"Check2", ControlKind::CheckBox, L"", L"韩语\\朝鲜语", 420, 2625, 1485, 330, 11, {}, W,
                kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kChecked | kDisabled},
    ControlSpec{kCommand5, L"Command5", ControlKind::PushButton, L"", L"卸载并还原到最初状态", 7140, 4515, 1170,
                645, 10, kButtonFont, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kWraps},
    ControlSpec{kCommand4, L"Command4", ControlKind::PushButton, L"", L"词条还原开始", 3675, 3990, 1695, 330, 9,
                kButtonFont, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop},
    ControlSpec{kCommand3, L"Command3", ControlKind::PushButton, L"", L"安装", 1050, 5250, 960, 330, 7,
                kButtonFont, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop},
    ControlSpec{kCommand2, L"Command2", ControlKind::PushButton, L"", L"退出", 6930, 5880, 960, 330, 4, kButtonFont,
                F, kWhite, {}, Pointer::Default, PictureId::None, kTabStop},
    ControlSpec{kCommand1, L"Command1", ControlKind::PushButton, L"", L"关于", 7980, 5880, 960, 330, 0, kButtonFont,
                F, kWhite, {}, Pointer::Default, PictureId::None, kTabStop},
    ControlSpec{kFrame1, L"Frame1", ControlKind::Frame, L"", L"操作：", 210, 2100, 8625, 3585, 3, kSong12, W, kWhite,
                kDarkBlue},
    // Children of Frame1, front to back.
    ControlSpec{kCommand7, L"Command7", ControlKind::PushButton, L"Frame1", L"词条备份开始", 3465, 3150, 1695, 330,
                19, kButtonFont, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop},
    ControlSpec{kOption1, L"Option1", ControlKind::OptionButton, L"Frame1", L"添加模式", 525, 2205, 1380, 330, 15,
                {}, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kDisabled},
    ControlSpec{kOption2, L"Option2", ControlKind::OptionButton, L"Frame1", L"覆盖模式", 525, 2625, 1380, 330, 14,
                {}, W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kDisabled | kChecked},
    ControlSpec{kCheck3, L"Check3", ControlKind::CheckBox, L"Frame1", L"常用交际短语", 210, 1785, 1485, 330, 12, {},
                W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kDisabled},
    ControlSpec{kCheck1, L"Check1", ControlKind::CheckBox, L"Frame1", L"现有词条备份", 210, 945, 1485, 330, 8, {},
                W, kWhite, {}, Pointer::Default, PictureId::None, kTabStop | kChecked},
    ControlSpec{kLabel7, L"label7", ControlKind::Label, L"Frame1",
                L"安装完毕请按照指示完成应用。        注:旧版本软件无法使用此版本进行卸载、还原、备份工作。", 6300,
                210, 2220, 2115, 22, kSong12, W, kWhite, {}, Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kLabel6, L"Label6", ControlKind::Label, L"Frame1", L"最近词条备份时间：", 2730, 2625, 3375, 540, 21,
                kNewSong, W, kWhite, kDarkBlue, Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kLabel5, L"Label5", ControlKind::Label, L"Frame1", L"最初状态备份时间：", 2730, 315, 3270, 540, 20,
                kNewSong, W, kWhite, kDarkBlue, Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kLabel4, L"Label4", ControlKind::Label, L"Frame1", L"必选", 1785, 600, 435, 225, 16, {}, T},
    ControlSpec{kLine2, L"Line2", ControlKind::Line, L"Frame1", L"", 6195, 115, 6195, 3570, -1, {}, T, kWhite, {},
                Pointer::Default, PictureId::None, kSystemHighlight},
    ControlSpec{kLine1, L"Line1", ControlKind::Line, L"Frame1", L"", 2520, 115, 2520, 3570, -1, {}, T, kWhite, {},
                Pointer::Default, PictureId::None, kSystemHighlight},
    // The rest of the window, front to back.
    ControlSpec{kLabel8, L"Label8", ControlKind::Label, L"", L"广告位出售 本周(8.1-8.7)免费，详细请点我", 0, 1470,
                8940, 645, 23, kSong12, W, kWhite, {}, Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kDlg, L"dlg", ControlKind::Label, L"", L"说明：", 1995, 5775, 4845, 435, 6, {}, T, kWhite, kGreen,
                Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kLabel3, L"Label3", ControlKind::Label, L"", L"软件简介", 315, 5880, 960, 240, 5,
                {L"宋体", 12, false, true}, T, kWhite, kBlue, Pointer::ArrowQuestion},
    ControlSpec{kLabel2, L"Label2", ControlKind::Label, L"", L"您当前的系统用户为：", 210, 735, 8625, 645, 2, {}, W,
                kWhite, {}, Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kImage1, L"Image1", ControlKind::Picture, L"", L"", 2205, 105, 2250, 675, -1, {}, T, kWhite, {},
                Pointer::Default, PictureId::VendorLogo},
    ControlSpec{kLabel1, L"Label1", ControlKind::Label, L"", L"Tessaline", 4515, 315, 4215, 330, 1,
                {L"幼圆", 15.75, true}, T, kWhite, kRed},
};

constexpr WindowSpec kWindow{
    L"form1",   L"Tessaline", 8970, 6210, WindowFrame::FixedSingle, Background::Opaque, kWhite, true,
    Pointer::ProgramPointer, kDefaultFont, kControls};

} // namespace

const WindowSpec& layout() { return kWindow; }

} // namespace kana::main_window

#include "windows/advertisement_window_layout.h"

#include <array>

#include "common/reading_order.h"
#include "windows/contact_texts.h"

namespace kana::advertisement_window {

namespace {

constexpr FontSpec kSong12{L"宋体", 12};
constexpr FontSpec kDefaultFont{L"宋体", 10.5};

constexpr auto T = Background::Transparent;
constexpr auto F = Background::SystemFace;

// The runs of spaces fill the current line to the label's width (337 pixels)
// in the window's default font (宋体 10.5 pt: 14 pixels a Chinese character, 7 a
// Latin one or a space), so that each following sentence starts a new line; the
// spaces a line cannot hold vanish at the line break.
constexpr std::wstring_view kPriceTerms =
    L"此软件每天下载安装量1700-2300，2010年7月一个月的总安装量约54000。"
    L"                                              "
    L"目前百度搜索\"Kanaroute\"或者\"Kanaroute下载\"等相关词条均名列前二."
    L"                                              "
    L"付费方式按照月付费,广告投放月到期之后再付费."
    L"           "
    L"价格低廉";

// "联系方式:" followed by the messenger contact.
constexpr std::wstring_view kContactLine = L"联系方式:QQ群：Kanaroute用户群";
static_assert(kContactLine.ends_with(contact::kMessengerContact),
              "the contact line names the messenger contact");

constexpr std::wstring_view kDisplayPlan =
    L"仅仅只做一个独家广告,广告可以分作两个部分显示.软件主窗口提供缩略显示,单击(或者强制打开)"
    L"将显示本窗口,此处内容可以自定义.";

// Front to back. Lines and the outline are drawn on the window's surface,
// behind every label.
// clang-format off
constexpr std::array kControls{
    ControlSpec{kLabel6, L"Label6", ControlKind::Label, L"", kPriceTerms, 1890, 1050, 5055, 2430, 5, {}, F, kWhite, {},
                Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kLabel5, L"Label5", ControlKind::Label, L"", L"价格", 4305, 630, 435, 225, 4, {}, F},
    ControlSpec{kLine3, L"Line3", ControlKind::Line, L"", L"", 1575, 3570, 7140, 3570, -1},
    ControlSpec{kLabel4, L"Label4", ControlKind::Label, L"", kContactLine,
                3465, 3990, 3165, 330, 3, {}, F},
    ControlSpec{kLabel3, L"Label3", ControlKind::Label, L"", kDisplayPlan, 210, 1050, 1275, 3270, 2, kSong12, T, kWhite,
                {}, Pointer::Default, PictureId::None, kWraps},
    ControlSpec{kLabel2, L"Label2", ControlKind::Label, L"", L"显示方案", 315, 630, 1170, 330, 1, {}, T},
    ControlSpec{kLine2, L"Line2", ControlKind::Line, L"", L"", 1575, 525, 1575, 4515, -1},
    ControlSpec{kLine1, L"Line1", ControlKind::Line, L"", L"", 105, 945, 7140, 945, -1},
    ControlSpec{kShape1, L"Shape1", ControlKind::Shape, L"", L"", 105, 525, 7050, 4005, -1},
    ControlSpec{kLabel1, L"Label1", ControlKind::Label, L"", L"广告专栏--方案及价格", 2520, 210, 2430, 330, 0, kSong12,
                T},
};

constexpr CreationOrder kCreationOrder = creationOrder(kControls);

constexpr WindowSpec kWindow{L"Form3", L"广告栏", 7215, 4620, WindowFrame::FixedSingle, Background::SystemFace,
                             kWhite, false, Pointer::Default, kDefaultFont, kControls, kCreationOrder.view()};
// clang-format on

} // namespace

const WindowSpec& layout() {
    return kWindow;
}

} // namespace kana::advertisement_window

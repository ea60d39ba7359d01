// The decisions behind the window layer's native behaviour: what a screen
// reader is told about each custom control, where an arrow key moves within
// an option group, and sizes at other DPIs.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/main_window_layout.h"
#include "common/accessible_names.h"
#include "common/dpi_scale.h"
#include "common/option_group.h"
#include "windows/advertisement_window_layout.h"
#include "windows/help_window_layout.h"

using namespace kana;

namespace {

ControlSpec row(ControlKind kind, std::uint32_t flags = kNone, std::wstring_view description = {}) {
    ControlSpec control{1, L"Row", kind, L"", L"", 0, 0, 0, 0, -1};
    control.flags = flags;
    control.description = description;
    return control;
}

} // namespace

TEST(AccessibleNames, RolesFollowTheKindAndTheLinkFlag) {
    EXPECT_EQ(accessibleRoleOf(row(ControlKind::Label)), AccessibleRole::StaticText);
    EXPECT_EQ(accessibleRoleOf(row(ControlKind::Label, kLink)), AccessibleRole::Link);
    EXPECT_EQ(accessibleRoleOf(row(ControlKind::Picture)), AccessibleRole::Graphic);
    EXPECT_EQ(accessibleRoleOf(row(ControlKind::PictureBox)), AccessibleRole::Graphic);
    EXPECT_EQ(accessibleRoleOf(row(ControlKind::Frame)), AccessibleRole::Grouping);
    for (ControlKind system :
         {ControlKind::PushButton, ControlKind::CheckBox, ControlKind::OptionButton, ControlKind::TextBox}) {
        EXPECT_EQ(accessibleRoleOf(row(system)), AccessibleRole::Standard);
    }
}

TEST(AccessibleNames, ALabelIsReadAsOneLineAndAPictureByItsDescription) {
    EXPECT_EQ(accessibleNameOf(row(ControlKind::Label), L"最初状态备份时间：\r\n        不存在。"),
              L"最初状态备份时间： 不存在。");
    EXPECT_EQ(accessibleNameOf(row(ControlKind::Label), L"   说明：  "), L"说明：");
    EXPECT_EQ(accessibleNameOf(row(ControlKind::Label), L"\x3000\x3000全角　空格"), L"全角 空格");
    EXPECT_EQ(accessibleNameOf(row(ControlKind::Label), L""), L"");
    EXPECT_EQ(accessibleNameOf(row(ControlKind::Picture, kNone, L"标志"), L""), L"标志");
}

TEST(AccessibleNames, EveryCustomControlOfEveryWindowHasAName) {
    for (const WindowSpec* window :
         {&main_window::layout(), &help_window::layout(), &advertisement_window::layout()}) {
        for (const ControlSpec& control : window->controls) {
            const AccessibleRole role = accessibleRoleOf(control);
            if (role == AccessibleRole::Standard || control.kind == ControlKind::Line ||
                control.kind == ControlKind::Shape) {
                continue;
            }
            // A label named by its caption may be filled in at run time (the hint line, the user line).
            if (control.kind == ControlKind::Label && control.caption.empty()) {
                continue;
            }
            EXPECT_FALSE(accessibleNameOf(control, control.caption).empty())
                << std::wstring(window->name) << "." << std::wstring(control.name);
        }
    }
    // The clickable labels are links.
    const auto isLink = [](const WindowSpec& window, std::wstring_view name) {
        return accessibleRoleOf(*findControl(window, name)) == AccessibleRole::Link;
    };
    EXPECT_TRUE(isLink(main_window::layout(), L"Label3"));
    EXPECT_TRUE(isLink(main_window::layout(), L"Label8"));
    EXPECT_FALSE(isLink(main_window::layout(), L"dlg"));
    for (std::wstring_view topic : {L"Label1", L"Label2", L"Label3", L"Label4"}) {
        EXPECT_TRUE(isLink(help_window::layout(), topic));
    }
}

TEST(OptionGroup, ArrowsMoveRoundTheGroupSkippingWhatCannotBeChosen) {
    const std::array<OptionSlot, 3> group{{{1, true}, {2, false}, {3, true}}};
    EXPECT_EQ(optionAfterArrow(group, 1, true), 3) << "the disabled option is skipped";
    EXPECT_EQ(optionAfterArrow(group, 3, true), 1) << "round to the first";
    EXPECT_EQ(optionAfterArrow(group, 1, false), 3) << "round to the last";
    EXPECT_EQ(optionAfterArrow(group, 3, false), 1);
    EXPECT_EQ(optionAfterArrow(group, 9, true), std::nullopt) << "not in the group";

    const std::array<OptionSlot, 2> alone{{{1, true}, {2, false}}};
    EXPECT_EQ(optionAfterArrow(alone, 1, true), std::nullopt) << "nowhere else to go";
    EXPECT_EQ(optionAfterArrow(std::span<const OptionSlot>{}, 1, true), std::nullopt);
}

TEST(DpiScale, SizesAndLayoutFollowTheDpi) {
    EXPECT_EQ(scaleForDpi(32, 96), 32);
    EXPECT_EQ(scaleForDpi(32, 120), 40);
    EXPECT_EQ(scaleForDpi(32, 144), 48);
    EXPECT_EQ(scaleForDpi(32, 192), 64);
    EXPECT_EQ(scaleForDpi(3, 120), 4) << "rounded to nearest";
    EXPECT_EQ(scaleForDpi(1, 144), 2);
    EXPECT_EQ(scaleForDpi(-3, 120), -4);
    EXPECT_EQ(usableDpi(144), 144);
    EXPECT_EQ(usableDpi(0), 96);
    EXPECT_EQ(usableDpi(-1), 96);
    EXPECT_EQ(usableDpi(100000), 96);

    // The main window's inner size at each tested DPI, from its twips.
    const WindowSpec& main = main_window::layout();
    EXPECT_EQ(twipsToPixels(main.innerWidth, 96), 598);
    EXPECT_EQ(twipsToPixels(main.innerWidth, 144), 897);
    EXPECT_EQ(twipsToPixels(main.innerWidth, 192), 1196);
    EXPECT_EQ(pointsToPixelHeight(9, 144), -18);
    EXPECT_EQ(pointsToPixelHeight(10.5, 120), -18);
}

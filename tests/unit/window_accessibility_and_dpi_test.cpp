// The decisions behind the window layer's native behaviour: what a screen
// reader is told about each custom control and in which order it meets them,
// where an arrow key moves within an option group, and sizes at other DPIs.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "app/main_window_layout.h"
#include "common/accessible_names.h"
#include "common/dpi_scale.h"
#include "common/option_group.h"
#include "common/reading_order.h"
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

TEST(AccessibleNames, EveryCustomTabStopHasADefaultActionThatEnterAndSpaceRun) {
    const auto actionOf = [](const WindowSpec& window, std::wstring_view name) {
        return defaultActionOf(*findControl(window, name));
    };
    EXPECT_EQ(actionOf(main_window::layout(), L"Label3"), L"打开");
    EXPECT_EQ(actionOf(main_window::layout(), L"Label8"), L"打开");
    EXPECT_EQ(actionOf(main_window::layout(), L"Image1"), L"单击");
    EXPECT_EQ(actionOf(main_window::layout(), L"dlg"), L"") << "the hint line does nothing";
    EXPECT_EQ(actionOf(main_window::layout(), L"Frame1"), L"");
    EXPECT_EQ(actionOf(help_window::layout(), L"Label2"), L"打开");
    EXPECT_EQ(actionOf(help_window::layout(), L"Image1"), L"单击");
    EXPECT_EQ(actionOf(help_window::layout(), L"Picture1"), L"单击");
    for (const WindowSpec* window :
         {&main_window::layout(), &help_window::layout(), &advertisement_window::layout()}) {
        for (const ControlSpec& control : window->controls) {
            const bool custom = control.kind == ControlKind::Label || control.kind == ControlKind::Picture ||
                                control.kind == ControlKind::PictureBox;
            if (custom && (control.flags & kTabStop) != 0) {
                EXPECT_TRUE(clicksFromKeyboard(control)) << std::wstring(control.name);
                EXPECT_GE(control.tabIndex, 0) << std::wstring(control.name);
            }
        }
    }
}

namespace {

std::vector<std::wstring_view> namesInCreationOrder(const WindowSpec& window) {
    std::vector<std::wstring_view> names;
    for (const std::size_t index : creationOrder(window.controls).view()) {
        names.push_back(window.controls[index].name);
    }
    return names;
}

bool overlap(const ControlSpec& a, const ControlSpec& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

} // namespace

TEST(ReadingOrder, WindowsAreMadeInReadingOrderAndOverlappingControlsKeepTheirStacking) {
    // The frame's contents are in front of it, the frame in front of the
    // advertising line that overlaps its top edge, and the user line in front
    // of the logo's bottom edge: those go first. The rest reads top to bottom,
    // left to right, the link beside the hint line in that line's row.
    EXPECT_EQ(namesInCreationOrder(main_window::layout()),
              (std::vector<std::wstring_view>{
                  L"Label1",   L"Label2",   L"Image1",   L"Check2", L"Option4", L"Option3", L"Command4",
                  L"Command5", L"Command3", L"Command6", L"Frame1", L"Label8",  L"Label3",  L"dlg",
                  L"Command2", L"Command1", L"Label5",   L"label7", L"Label4",  L"Check1",  L"Check3",
                  L"Option1",  L"Option2",  L"Command7", L"Label6", L"Line2",   L"Line1"}));
    // Picture1 covers everything; the feedback frame overlaps the text box's bottom edge.
    EXPECT_EQ(namesInCreationOrder(help_window::layout()),
              (std::vector<std::wstring_view>{L"Picture1", L"Label1", L"Label2", L"Label3", L"Label4",
                                              L"Frame1", L"Frame2", L"Text1", L"Image1", L"Label5"}));

    for (const WindowSpec* window :
         {&main_window::layout(), &help_window::layout(), &advertisement_window::layout()}) {
        const std::span<const std::uint8_t> order = window->creationOrder;
        ASSERT_EQ(order.size(), window->controls.size()) << "every control, once";
        ASSERT_TRUE(std::equal(order.begin(), order.end(), creationOrder(window->controls).view().begin()));
        std::vector<std::size_t> position(order.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            position[order[i]] = i;
        }
        for (std::size_t front = 0; front < order.size(); ++front) {
            for (std::size_t back = front + 1; back < order.size(); ++back) {
                const ControlSpec& a = window->controls[front];
                const ControlSpec& b = window->controls[back];
                const auto drawnByContainer = [](const ControlSpec& c) {
                    return c.kind == ControlKind::Line || c.kind == ControlKind::Shape;
                };
                if (a.container == b.container && overlap(a, b) && !drawnByContainer(a) &&
                    !drawnByContainer(b)) {
                    EXPECT_LT(position[front], position[back])
                        << std::wstring(a.name) << " stays in front of " << std::wstring(b.name);
                }
                if (b.container == a.name) {
                    EXPECT_LT(position[front], position[back]) << "a frame exists before its children";
                }
            }
        }
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

    // Laid out before it is first shown at the scale of the monitor it opens
    // on, where the system tells it; else at the system's (Windows 7 and 8).
    EXPECT_EQ(firstLayoutDpi(96, 0), 96);
    EXPECT_EQ(firstLayoutDpi(96, 144), 144) << "a 150 % screen beside a 100 % one";
    EXPECT_EQ(firstLayoutDpi(144, 96), 96) << "a 100 % screen beside a 150 % one";
    EXPECT_EQ(firstLayoutDpi(120, 5000), 120) << "the monitor's DPI makes no sense";
    EXPECT_EQ(firstLayoutDpi(0, 0), 96);

    // The main window's inner size at each tested DPI, from its twips.
    const WindowSpec& main = main_window::layout();
    EXPECT_EQ(twipsToPixels(main.innerWidth, 96), 598);
    EXPECT_EQ(twipsToPixels(main.innerWidth, 144), 897);
    EXPECT_EQ(twipsToPixels(main.innerWidth, 192), 1196);
    EXPECT_EQ(pointsToPixelHeight(9, 144), -18);
    EXPECT_EQ(pointsToPixelHeight(10.5, 120), -18);
}

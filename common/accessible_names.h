// What assistive technology (screen readers, automation) is told about each
// custom control: its role and its name.
#pragma once

#include <string>
#include <string_view>

#include "common/layout.h"

namespace kana {

enum class AccessibleRole {
    Standard,   // a system control, described by the system itself
    StaticText, // a label
    Link,       // a label the user clicks to go somewhere
    Graphic,    // a picture
    Grouping,   // a frame around other controls
};

AccessibleRole accessibleRoleOf(const ControlSpec& control);

// The name of a control that shows `text` now: a label's words on one line
// (line breaks and runs of blanks become one space), a frame's caption, a
// picture's description.
std::wstring accessibleNameOf(const ControlSpec& control, std::wstring_view text);

// What a click on the control does, as assistive technology offers it: 打开
// for a link (it opens a page, a window or a topic), 单击 for a picture that
// takes clicks from the keyboard; empty for a control that does nothing.
std::wstring_view defaultActionOf(const ControlSpec& control);

// Whether Enter and Space on the control, when it has the focus, do what a
// click on it does: links and the pictures that are tab stops.
bool clicksFromKeyboard(const ControlSpec& control);

} // namespace kana

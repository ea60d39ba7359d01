// The help window `Form2` as a layout table.
#pragma once

#include "common/layout.h"

namespace kana::help_window {

// Window identifiers of the controls of Form2.
enum ControlId : int {
    kPicture1 = 201,
    kFrame2,
    kLabel5,
    kFrame1,
    kImage1,
    kText1,
    kLabel4,
    kLabel3,
    kLabel2,
    kLabel1,
};

// The four topic labels, topic 1 first.
inline constexpr int kTopicLabels[] = {kLabel1, kLabel2, kLabel3, kLabel4};

// Outer sizes of the window in twips, frame and title bar included.
inline constexpr int kNormalOuterWidth = 8205;
inline constexpr int kNormalOuterHeight = 5745;
inline constexpr int kEnlargedOuterWidth = 9780;
inline constexpr int kEnlargedOuterHeight = 6630;

const WindowSpec& layout();

} // namespace kana::help_window

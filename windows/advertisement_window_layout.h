// The advertisement window `Form3` as a layout table.
#pragma once

#include "common/layout.h"

namespace kana::advertisement_window {

// Window identifiers of the controls of Form3.
enum ControlId : int {
    kLabel6 = 301,
    kLabel5,
    kLine3,
    kLabel4,
    kLabel3,
    kLabel2,
    kLine2,
    kLine1,
    kShape1,
    kLabel1,
};

const WindowSpec& layout();

} // namespace kana::advertisement_window

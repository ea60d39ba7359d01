// The main window `form1` as a layout table.
#pragma once

#include "common/layout.h"

namespace kana::main_window {

// Window identifiers of the controls of form1.
enum ControlId : int {
    kImage1 = 101,
    kLabel1,
    kLabel2,
    kLabel8,
    kFrame1,
    kCheck2,
    kOption4,
    kOption3,
    kCommand4,
    kCommand3,
    kCommand5,
    kCommand6,
    kLabel3,
    kDlg,
    kCommand2,
    kCommand1,
    kCheck1,
    kLabel4,
    kCheck3,
    kOption1,
    kOption2,
    kLabel5,
    kLabel6,
    kCommand7,
    kLabel7,
    kLine1,
    kLine2,
};

const WindowSpec& layout();

} // namespace kana::main_window

// The help window Form2: four topics, an illustration and a feedback note.
#pragma once

#include "common/win32/form.h"

namespace kana::win32 {

class HelpWindow : public Form {
public:
    HelpWindow();
    // Shows the window modeless, without an owner, and brings it to the front.
    void showModeless();
};

} // namespace kana::win32

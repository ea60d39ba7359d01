// The advertisement window Form3.
#pragma once

#include "common/win32/form.h"

namespace kana::win32 {

class AdvertisementWindow : public Form {
public:
    AdvertisementWindow();
    // Shows the window modeless, without an owner, and brings it to the front.
    void showModeless();
};

} // namespace kana::win32

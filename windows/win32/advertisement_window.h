// The advertisement window Form3.
#pragma once

#include "common/win32/form.h"

namespace kana::win32 {

class AdvertisementWindow : public Form {
  public:
    AdvertisementWindow();
    // Shows the window modeless, without an owner, and brings it to the front.
    void showModeless();

  protected:
    // Esc closes the window, as its close box does.
    void onEscape() override { onCloseBox(); }
    // A click on the window's own surface hides it; its labels ignore clicks.
    void onSurfaceClick() override;
};

} // namespace kana::win32

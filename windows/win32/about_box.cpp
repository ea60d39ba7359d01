#include "windows/win32/about_box.h"

#include "common/win32/message_box.h"
#include "windows/about_box_texts.h"

namespace kana::win32 {

void showAboutBox() {
    showMessage(about_box::prompt(), about_box::kTitle);
}

} // namespace kana::win32

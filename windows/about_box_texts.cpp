#include "windows/about_box_texts.h"

namespace kana::about_box {

std::wstring prompt() {
    std::wstring text(kPurpose);
    text += L'\r';
    text.append(6, L' ');
    text += kDisclaimer;
    text.append(34, L' ');
    text += kOwnershipNotice;
    return text;
}

} // namespace kana::about_box

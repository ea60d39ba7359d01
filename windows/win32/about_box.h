// The about box and its message.
#pragma once

namespace kana::win32 {

void showAboutBox();

} // namespace kana::win32

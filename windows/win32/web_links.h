// Opens the program's two web links in a new browser window.
#pragma once

namespace kana::win32 {

enum class WebLink { VendorSite, Introduction };

void openLink(WebLink link);

} // namespace kana::win32

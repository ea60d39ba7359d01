// Opens the program's two web links in a new browser window.
#pragma once

#include <string_view>

#include "windows/web_link_addresses.h"

namespace kana::win32 {

using kana::WebLink;

// Opens the link's address in a new, visible browser window that outlives the
// program: through the browser automation object where the system has one,
// else in the user's default browser; when neither works the user is told the
// address to open by hand, in a message box with the given title.
void openLink(WebLink link, std::wstring_view messageTitle);

} // namespace kana::win32

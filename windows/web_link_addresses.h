// The two web links of the main window and their fixed addresses.
#pragma once

#include <string>
#include <string_view>

namespace kana {

enum class WebLink {
    VendorSite,   // the logo of the input method's vendor
    Introduction, // the explanation page of this program
};

// The address a link opens: plain HTTP, no port.
std::wstring_view linkAddress(WebLink link);

// Shown when no browser could be started, so that the user can open the
// address by hand.
std::wstring linkFailedMessage(std::wstring_view address);

} // namespace kana

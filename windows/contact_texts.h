// How users reach the makers of the program; shown on the help and the
// advertisement window.
#pragma once

#include <string_view>

namespace kana::contact {

// The instant-messenger contact: service name and the program's own group.
inline constexpr std::wstring_view kMessengerContact = L"QQ群：Kanaroute用户群";

} // namespace kana::contact

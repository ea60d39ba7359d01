#include "windows/web_link_addresses.h"

namespace kana {

std::wstring_view linkAddress(WebLink link) {
    switch (link) {
    case WebLink::VendorSite:
        return L"http://pinyin.sogou.com/?f=youjian";
    case WebLink::Introduction:
        return L"http://kanaroute.github.io/";
    }
    return {};
}

std::wstring linkFailedMessage(std::wstring_view address) {
    std::wstring text = L"无法打开网页浏览器。\r\n\r\n请手动在浏览器中打开以下网址：\r\n";
    text += address;
    return text;
}

} // namespace kana

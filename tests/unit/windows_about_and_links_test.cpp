#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "windows/about_box_texts.h"
#include "windows/web_link_addresses.h"

namespace kana {
namespace {

TEST(AboutBox, TitleHasSevenLeadingAndNineTrailingSpaces) {
    EXPECT_EQ(about_box::kTitle, std::wstring(7, L' ') + L"About" + std::wstring(9, L' '));
}

TEST(AboutBox, PromptJoinsThePiecesWithALoneCarriageReturn) {
    const std::wstring prompt = about_box::prompt();
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), L'\r'), 1);
    EXPECT_EQ(prompt.find(L'\n'), std::wstring::npos);
    const std::wstring piece1 =
        L"Kanaroute安装包程序原理为将整理后的自定义词条载入配置文件，仅供日语非专业的初级用户使用。";
    const std::wstring piece2 = std::wstring(6, L' ') + L"此软件非搜狗公司开发。" + std::wstring(34, L' ') +
                                std::wstring(about_box::kOwnershipNotice);
    EXPECT_EQ(prompt, piece1 + L"\r" + piece2);
    // The notice is one line of its own text, not more spaces.
    EXPECT_FALSE(about_box::kOwnershipNotice.empty());
    EXPECT_NE(about_box::kOwnershipNotice.front(), L' ');
}

TEST(WebLinks, AddressesArePlainHttpWithoutPort) {
    for (WebLink link : {WebLink::VendorSite, WebLink::Introduction}) {
        const std::wstring address(linkAddress(link));
        ASSERT_EQ(address.rfind(L"http://", 0), 0u) << std::string(address.begin(), address.end());
        const std::size_t slash = address.find(L'/', 7);
        ASSERT_NE(slash, std::wstring::npos);
        const std::wstring host = address.substr(7, slash - 7);
        EXPECT_FALSE(host.empty());
        EXPECT_EQ(host.find(L':'), std::wstring::npos);
    }
    const std::wstring vendor(linkAddress(WebLink::VendorSite));
    EXPECT_EQ(vendor.substr(vendor.find(L'/', 7)), L"/?f=youjian");
    EXPECT_NE(linkAddress(WebLink::VendorSite), linkAddress(WebLink::Introduction));
}

TEST(WebLinks, FailureMessageNamesTheAddress) {
    const std::wstring address(linkAddress(WebLink::Introduction));
    const std::wstring message = linkFailedMessage(address);
    EXPECT_NE(message.find(address), std::wstring::npos);
    EXPECT_NE(message.find(L"浏览器"), std::wstring::npos);
}

} // namespace
} // namespace kana

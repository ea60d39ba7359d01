// The texts of the about box.
#pragma once

#include <string>
#include <string_view>

namespace kana::about_box {

// Seven spaces, the word, nine spaces.
inline constexpr std::wstring_view kTitle = L"       About         ";

inline constexpr std::wstring_view kPurpose =
    L"Kanaroute安装包程序原理为将整理后的自定义词条载入配置文件，仅供日语非专业的初级用户使用。";
inline constexpr std::wstring_view kDisclaimer = L"此软件非搜狗公司开发。";
// Without spaces, so that the message box keeps it on one line.
inline constexpr std::wstring_view kOwnershipNotice = L"版权所有：Kanaroute开发组，2026年";

// The purpose, a lone carriage return, then the indented disclaimer and the
// ownership notice on the second line.
std::wstring prompt();

} // namespace kana::about_box

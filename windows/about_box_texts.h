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
inline constexpr std::wstring_view kOwnershipNotice = L"版权所有 (C) 2026 Kanaroute 开发组";

// The purpose, a lone carriage return, then the indented disclaimer and the
// ownership notice on the second line.
std::wstring prompt();

} // namespace kana::about_box

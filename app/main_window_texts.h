// Texts of the main window and of its start-up messages.
#pragma once

#include <string_view>

namespace kana::texts {

inline constexpr std::wstring_view kApplicationTitle = L"Kanaroute";

inline constexpr std::wstring_view kUserLabelPrefix = L"                         您当前的系统用户名为：";
inline constexpr std::wstring_view kInstallTargetPrefix = L"词库将被安装在：";
inline constexpr std::wstring_view kInitialBackupPrefix = L"最初状态备份时间：";
inline constexpr std::wstring_view kLatestBackupPresentPrefix = L"最近状态备份时间：";
inline constexpr std::wstring_view kLatestBackupMissingPrefix = L"最近词条备份时间：";
inline constexpr std::wstring_view kBackupMissing = L"        不存在。";
inline constexpr std::wstring_view kTimeStampUnreadable = L"        无法读取备份时间。";

inline constexpr std::wstring_view kLowVersionWarning =
    L"您搜狗拼音输入法版本太低,无法安装,请到官网升级搜狗拼音输入法";

inline constexpr std::wstring_view kInputMethodNotFound =
    L"没有找到搜狗拼音输入法。\r\n\r\n"
    L"本程序需要先安装搜狗拼音输入法。请先到搜狗拼音输入法官网下载并安装，然后重新运行本程序。\r\n\r\n"
    L"程序现在退出，没有改动任何文件。";

// A second start while Kanaroute runs for another user of this computer.
inline constexpr std::wstring_view kRunningForAnotherUser =
    L"Kanaroute 已经在另一个用户的会话中运行。\r\n两个 Kanaroute 同时改动词库文件会互相干扰，"
    L"因此本程序现在退出。请等另一个用户关闭 Kanaroute 后再试。";

} // namespace kana::texts

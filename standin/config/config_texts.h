// The texts of the stand-in settings program that depend on data.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kana::standin {

inline constexpr std::wstring_view kSettingsTitle = L"搜狗拼音输入法 设置";
inline constexpr std::wstring_view kMessageTitle = L"搜狗拼音输入法";
inline constexpr std::wstring_view kPhraseFileName = L"phrases.ini";
inline constexpr std::wstring_view kStartLogName = L"config-starts.log";
inline constexpr std::wstring_view kAppliedRecord = L"applied";
inline constexpr std::wstring_view kSavedRecord = L"saved";

std::wstring phraseFileMissingMessage(std::wstring_view path);
std::wstring phraseFileUnreadableMessage(std::wstring_view path, std::wstring_view reason);
std::wstring phraseFileNotSavedMessage(std::wstring_view path, std::wstring_view reason);

// The status line under the phrase list, e.g. "共 12 条短语".
std::wstring phraseCountText(std::size_t entries, std::size_t unrecognisedLines);

} // namespace kana::standin

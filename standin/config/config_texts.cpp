#include "standin/config/config_texts.h"

namespace kana::standin {

namespace {

std::wstring withReason(std::wstring text, std::wstring_view reason) {
    if (!reason.empty()) {
        text += L"\n\n";
        text += reason;
    }
    return text;
}

} // namespace

std::wstring phraseFileMissingMessage(std::wstring_view path) {
    return L"找不到自定义短语文件：\n" + std::wstring(path) + L"\n\n请重新安装输入法，或从备份中恢复该文件。";
}

std::wstring phraseFileUnreadableMessage(std::wstring_view path, std::wstring_view reason) {
    return withReason(L"无法读取自定义短语文件：\n" + std::wstring(path), reason);
}

std::wstring phraseFileNotSavedMessage(std::wstring_view path, std::wstring_view reason) {
    return withReason(L"无法保存自定义短语文件：\n" + std::wstring(path) + L"\n原文件保持不变。", reason);
}

std::wstring phraseCountText(std::size_t entries, std::size_t unrecognisedLines) {
    std::wstring text = L"共 " + std::to_wstring(entries) + L" 条短语";
    if (unrecognisedLines > 0) {
        text += L"（" + std::to_wstring(unrecognisedLines) + L" 行格式不正确，已略过）";
    }
    return text;
}

} // namespace kana::standin

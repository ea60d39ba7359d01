#include "app/input_method_paths.h"

namespace kana {

namespace {

bool isSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool isDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

} // namespace

std::optional<std::wstring> pathTextProblem(const RegistryValues& values) {
    const std::wstring& dir = values.installDir;
    if (dir.size() >= 4 && isSeparator(dir[0]) && isSeparator(dir[1]) && (dir[2] == L'?' || dir[2] == L'.') &&
        isSeparator(dir[3])) {
        return L"路径以 \\\\?\\ 或 \\\\.\\ 开头，指向设备而不是普通的文件夹。";
    }
    if (dir.size() >= 2 && isSeparator(dir[0]) && isSeparator(dir[1])) {
        return L"路径是网络路径（以 \\\\ 开头），不在本机上。";
    }
    if (dir.size() < 3 || !isDriveLetter(dir[0]) || dir[1] != L':' || !isSeparator(dir[2])) {
        return L"路径不是以盘符开头的完整路径（例如 C:\\Program Files\\SogouInput）。";
    }
    for (const std::wstring* text : {&values.installDir, &values.version}) {
        if (text->find_first_of(L"*?") != std::wstring::npos) {
            return L"路径含有通配符 * 或 ?，查找文件时会匹配到别的文件。";
        }
    }
    return std::nullopt;
}

std::optional<std::wstring> folderProblem(const InputMethodFolders& folders) {
    if (!folders.versionDirExists) {
        return std::nullopt;
    }
    if (folders.versionDirIsLink) {
        return L"版本文件夹是一个链接（联接点或符号链接），实际指向别处。";
    }
    if (folders.installDirIsLink) {
        return L"安装文件夹是一个链接（联接点或符号链接），实际指向别处。";
    }
    return std::nullopt;
}

std::wstring unsafePathMessage(const RegistryValues& values, const std::wstring& reason) {
    return L"注册表中登记的搜狗拼音输入法路径不能安全使用：\r\n" + versionDirectoryOf(values) +
           L"\r\n原因：" + reason +
           L"\r\n\r\n程序没有改动任何文件，现在将退出。请重新安装搜狗拼音输入法后再试。";
}

} // namespace kana

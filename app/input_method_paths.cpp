#include "app/input_method_paths.h"

#include <string_view>

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
    // The joined path must name the folder it seems to name: Windows resolves
    // "." and "..", drops a trailing dot or space from a name, and reads a
    // colon after a name as a stream of that file.
    const std::wstring joined = versionDirectoryOf(values);
    if (joined.find(L':', 2) != std::wstring::npos) {
        return L"路径中除盘符后的冒号以外还含有冒号 :，它会指向文件的数据流而不是文件夹。";
    }
    std::size_t start = 3; // after the drive letter, its colon and the first separator
    while (start <= joined.size()) {
        std::size_t end = start;
        while (end < joined.size() && !isSeparator(joined[end])) {
            ++end;
        }
        const std::wstring_view name(joined.data() + start, end - start);
        if (name == L"." || name == L"..") {
            return L"路径中含有 . 或 .. ，它会指向安装文件夹以外的地方。";
        }
        if (!name.empty() && (name.back() == L'.' || name.back() == L' ')) {
            return L"路径中有以点或空格结尾的名称，Windows 会去掉结尾的点或空格，实际用到的是另一个文件夹。";
        }
        start = end + 1;
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

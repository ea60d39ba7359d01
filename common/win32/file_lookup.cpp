#include "common/win32/file_lookup.h"

#include "common/win32/handles.h"

namespace kana::win32 {

PathLookup lookUpPath(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const unique_hfind find(::FindFirstFileW(path.c_str(), &found));
    if (!find) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            return {};
        }
        return {PathLookup::State::Failed, 0, error};
    }
    if ((found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0 ||
        found.cFileName[0] == 0) {
        return {};
    }
    return {PathLookup::State::Present, found.dwFileAttributes, 0};
}

bool existsByLookup(const std::wstring& path) {
    return lookUpPath(path).state == PathLookup::State::Present;
}

} // namespace kana::win32

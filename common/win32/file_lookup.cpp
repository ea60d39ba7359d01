#include "common/win32/file_lookup.h"

#include <windows.h>

#include "common/win32/handles.h"

namespace kana::win32 {

bool existsByLookup(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    const unique_hfind find(::FindFirstFileW(path.c_str(), &found));
    if (!find) {
        return false;
    }
    return (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0 &&
           found.cFileName[0] != 0;
}

} // namespace kana::win32

// Owners for the few kinds of handle the stand-in settings program holds.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kana::standin {

struct FileHandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueFileHandle = std::unique_ptr<void, FileHandleCloser>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, which must never be closed.
inline UniqueFileHandle adoptFileHandle(HANDLE handle) {
    return UniqueFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

struct LocalMemoryFreer {
    void operator()(void* memory) const noexcept { LocalFree(memory); }
};

} // namespace kana::standin

#include "app/win32/backup_time_reader.h"

#include <windows.h>

#include "common/win32/file_lookup.h"
#include "common/win32/handles.h"

namespace kana::win32 {

TimeStampLine readTimeStamp(const std::wstring& path) {
    if (!existsByLookup(path)) {
        return TimeStampLine::missing();
    }
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return TimeStampLine::unreadable();
    }
    // A time stamp is one short line; the first few kilobytes hold it.
    std::string bytes(4096, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return TimeStampLine::unreadable();
    }
    bytes.resize(read);
    const std::string_view line = firstLineOf(bytes);
    if (line.empty()) {
        return TimeStampLine::read({});
    }
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, line.data(), static_cast<int>(line.size()), text.data(), length);
    return TimeStampLine::read(std::move(text));
}

} // namespace kana::win32

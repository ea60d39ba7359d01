#include "standin/config/win32/own_files.h"

#include "standin/config/config_texts.h"
#include "standin/config/win32/text_codec.h"
#include "common/win32/handles.h"

#include <algorithm>
#include <vector>

namespace kana::standin {

namespace {

constexpr LONGLONG kLargestPhraseFile = 64LL * 1024 * 1024;

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

} // namespace

std::wstring ownFolder() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return L".";
        }
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const std::size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? L"." : path.substr(0, slash);
        }
        buffer.resize(buffer.size() * 2);
    }
}

void appendToStartLog(std::wstring_view line) {
    const std::wstring path = ownFolder() + L"\\" + std::wstring(kStartLogName);
    const std::string record = toUtf8(line) + "\r\n";
    // A test may be reading the log at this moment; a short wait rides that out.
    for (int attempt = 0; attempt < 20; ++attempt) {
        win32::unique_hfile log(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (log) {
            writeAll(log.get(), record);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) {
            return;
        }
        Sleep(50);
    }
}

FileContents readWholeFile(const std::wstring& path) {
    FileContents contents;
    win32::unique_hfile file(CreateFileW(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        contents.error = GetLastError();
        const bool missing = contents.error == ERROR_FILE_NOT_FOUND || contents.error == ERROR_PATH_NOT_FOUND;
        contents.status = missing ? FileContents::Status::Missing : FileContents::Status::Unreadable;
        return contents;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        contents.error = GetLastError();
        return contents;
    }
    if (size.QuadPart > kLargestPhraseFile) {
        contents.error = ERROR_FILE_TOO_LARGE;
        return contents;
    }
    contents.bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t filled = 0;
    while (filled < contents.bytes.size()) {
        DWORD read = 0;
        if (!ReadFile(file.get(), contents.bytes.data() + filled,
                      static_cast<DWORD>(contents.bytes.size() - filled), &read, nullptr)) {
            contents.error = GetLastError();
            contents.bytes.clear();
            return contents;
        }
        if (read == 0) {
            break; // the file shrank while it was being read
        }
        filled += read;
    }
    contents.bytes.resize(filled);
    contents.status = FileContents::Status::Read;
    return contents;
}

DWORD replaceWholeFile(const std::wstring& path, std::string_view bytes) {
    const std::wstring temporary = path + L".saving";
    {
        win32::unique_hfile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            return GetLastError();
        }
        if (!writeAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            const DWORD error = GetLastError();
            file.reset();
            DeleteFileW(temporary.c_str());
            return error;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(temporary.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}

std::wstring systemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const win32::unique_hlocal owner(buffer);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"错误代码 " + std::to_wstring(error);
    }
    return text;
}

} // namespace kana::standin

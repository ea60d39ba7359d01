// The files the stand-in settings program keeps beside itself: the folder of
// config.exe is the input method's version directory.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kana::standin {

// The folder of the running program, without a trailing backslash.
std::wstring ownFolder();

// Appends one line (UTF-8, CR LF) to the start log beside the program. A log that
// cannot be written must not stop the settings window, so failures are ignored.
void appendToStartLog(std::wstring_view line);

struct FileContents {
    enum class Status { Read, Missing, Unreadable };
    Status status = Status::Unreadable;
    DWORD error = ERROR_SUCCESS;
    std::string bytes;
};

FileContents readWholeFile(const std::wstring& path);

// Replaces the file with `bytes` through a temporary file in the same folder, so
// that a failed write leaves the old file as it was. Returns the system error, or
// ERROR_SUCCESS.
DWORD replaceWholeFile(const std::wstring& path, std::string_view bytes);

// The system's own description of an error code, without the trailing line end.
std::wstring systemErrorText(DWORD error);

} // namespace kana::standin

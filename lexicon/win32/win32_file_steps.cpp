#include "lexicon/win32/win32_file_steps.h"

#include "common/win32/file_lookup.h"
#include "common/win32/handles.h"
#include "common/win32/system_error.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kana::lexicon::win32 {

namespace {

using kana::win32::unique_handle;
using kana::win32::unique_hfile;

// A time-stamp file is a single line; anything much larger is not one.
constexpr LONGLONG kSmallFileLimit = 1 << 20;

StepResult lastError() {
    return StepResult::failure(kana::win32::describeSystemError(::GetLastError()));
}

StepResult writeAll(const std::wstring& path, const std::string& bytes) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    DWORD written = 0;
    if (!bytes.empty() &&
        (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
         written != bytes.size())) {
        return lastError();
    }
    return StepResult::success();
}

// The locale's general date form: short date, a blank, long time.
std::wstring currentDateAndTime() {
    wchar_t date[128] = {};
    wchar_t time[128] = {};
    if (::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, date, 128, nullptr) ==
        0) {
        date[0] = L'\0';
    }
    if (::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, nullptr, time, 128) == 0) {
        time[0] = L'\0';
    }
    return std::wstring(date) + L" " + time;
}

std::string toAnsiCodePage(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), length, bytes.data(), size, nullptr, nullptr);
    }
    return bytes;
}

} // namespace

bool Win32FileSteps::exists(const std::wstring& path) {
    return kana::win32::existsByLookup(path);
}

StepResult Win32FileSteps::deleteFile(const std::wstring& path) {
    return ::DeleteFileW(path.c_str()) ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::rename(const std::wstring& from, const std::wstring& to) {
    // MoveFileW refuses an existing target, which the undo relies on.
    return ::MoveFileW(from.c_str(), to.c_str()) ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::copy(const std::wstring& from, const std::wstring& to) {
    return ::CopyFileW(from.c_str(), to.c_str(), FALSE) ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::writeTimeStamp(const std::wstring& path) {
    return writeAll(path, toAnsiCodePage(currentDateAndTime()) + "\r\n");
}

StepResult Win32FileSteps::startSettingsProgram(const std::wstring& appPath) {
    // The application path is given on its own, so that a path with blanks
    // (C:\Program Files\...) can never start another program; the command line
    // repeats it in quotes, as the program's first argument.
    std::wstring commandLine = L"\"" + appPath + L"\"";
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(appPath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        return lastError();
    }
    // Not waited for and not watched.
    const unique_handle processHandle(process.hProcess);
    const unique_handle threadHandle(process.hThread);
    return StepResult::success();
}

StepResult Win32FileSteps::canRead(const std::wstring& path) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::readSmallFile(const std::wstring& path, std::string& bytes) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        return lastError();
    }
    if (size.QuadPart > kSmallFileLimit) {
        return StepResult::failure(L"文件过大，不是备份时间文件。");
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return lastError();
    }
    bytes.resize(read);
    return StepResult::success();
}

StepResult Win32FileSteps::writeSmallFile(const std::wstring& path, const std::string& bytes) {
    return writeAll(path, bytes);
}

std::wstring Win32FileSteps::fullPath(const std::wstring& bareName) {
    const DWORD size = ::GetFullPathNameW(bareName.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return bareName;
    }
    std::wstring path(size, L'\0');
    const DWORD length = ::GetFullPathNameW(bareName.c_str(), size, path.data(), nullptr);
    if (length == 0 || length >= size) {
        return bareName;
    }
    path.resize(length);
    return path;
}

} // namespace kana::lexicon::win32

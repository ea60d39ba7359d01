#include "lexicon/win32/win32_file_steps.h"

#include "common/win32/desktop_shell.h"
#include "common/win32/file_lookup.h"
#include "common/win32/handles.h"
#include "common/win32/system_error.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace kana::lexicon::win32 {

namespace {

using kana::win32::unique_handle;
using kana::win32::unique_hfile;

// A time-stamp file is a single line; anything much larger is not one.
constexpr LONGLONG kSmallFileLimit = 1 << 20;

// Whether the last failing call met a file that is being deleted: Windows
// reports it as access denied, and only the native status tells the two
// apart. Read at run time; where it is missing, access denied stays final.
bool deletePending() {
    using GetLastNtStatus = LONG(NTAPI*)();
    static const auto getLastNtStatus = [] {
        HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        return ntdll == nullptr ? nullptr
                                : reinterpret_cast<GetLastNtStatus>(
                                      reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetLastNtStatus")));
    }();
    constexpr LONG kStatusDeletePending = static_cast<LONG>(0xC0000056L);
    return getLastNtStatus != nullptr && getLastNtStatus() == kStatusDeletePending;
}

StepResult errorResult(DWORD code) {
    std::wstring reason = kana::win32::describeSystemError(code);
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
        return StepResult::heldFile(std::move(reason));
    }
    return StepResult::failure(std::move(reason));
}

// Call right after the failing call: the native status is that of the last one.
StepResult lastError() {
    const DWORD code = ::GetLastError();
    if (code == ERROR_ACCESS_DENIED && deletePending()) {
        return StepResult::heldFile(kana::win32::describeSystemError(code));
    }
    return errorResult(code);
}

StepResult writeEverything(HANDLE file, const std::string& bytes);
StepResult closeFile(unique_hfile& file);

// Files are only ever read while anyone else may go on using them.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The intent record is opened to be read, written and deleted through its handle.
constexpr DWORD kRecordAccess = GENERIC_READ | GENERIC_WRITE | DELETE;

// The intent record, held from its creation or opening until it is removed:
// others may read it, but may neither write nor delete it.
class Win32HeldFile final : public HeldFile {
  public:
    explicit Win32HeldFile(unique_hfile file) : file_(std::move(file)) {}

    StepResult append(const std::string& bytes) override {
        if (!file_) {
            return errorResult(ERROR_INVALID_HANDLE);
        }
        LARGE_INTEGER end{};
        if (!::SetFilePointerEx(file_.get(), LARGE_INTEGER{}, &end, FILE_END)) {
            return lastError();
        }
        if (StepResult result = writeEverything(file_.get(), bytes); !result.ok) {
            return result;
        }
        return ::FlushFileBuffers(file_.get()) ? StepResult::success() : lastError();
    }

    // Marked for deletion through the handle that holds it, so that no other
    // program can take the file between its closing and its deletion; it goes
    // when the handle is closed. Where the mark fails, the file stays held.
    StepResult remove() override {
        if (!file_) {
            return errorResult(ERROR_INVALID_HANDLE);
        }
        FILE_DISPOSITION_INFO disposition{TRUE};
        if (!::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition,
                                          sizeof disposition)) {
            return lastError();
        }
        return closeFile(file_);
    }

  private:
    unique_hfile file_;
};

// Writes every byte: WriteFile may write fewer than asked without an error,
// and a write that makes no progress means the disk is full.
StepResult writeEverything(HANDLE file, const std::string& bytes) {
    std::size_t at = 0;
    while (at < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - at, 1u << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + at, chunk, &written, nullptr)) {
            return lastError();
        }
        if (written == 0) {
            return errorResult(ERROR_DISK_FULL);
        }
        at += written;
    }
    return StepResult::success();
}

// Closing can be where a delayed write fails; its reason is reported too.
StepResult closeFile(unique_hfile& file) {
    return ::CloseHandle(file.release()) ? StepResult::success() : lastError();
}

enum class Durability { Cached, Flushed };

StepResult writeAll(const std::wstring& path, const std::string& bytes, DWORD access, DWORD disposition,
                    Durability durability) {
    unique_hfile file(
        ::CreateFileW(path.c_str(), access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    if (StepResult result = writeEverything(file.get(), bytes); !result.ok) {
        return result;
    }
    if (durability == Durability::Flushed && !::FlushFileBuffers(file.get())) {
        return lastError();
    }
    return closeFile(file);
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

StepResult readWhole(HANDLE file, std::string& bytes) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) {
        return lastError();
    }
    if (size.QuadPart > kSmallFileLimit) {
        return StepResult::failure(L"文件过大，不是备份时间文件。");
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return lastError();
    }
    bytes.resize(read);
    return StepResult::success();
}

} // namespace

Lookup Win32FileSteps::lookUp(const std::wstring& path) {
    const kana::win32::PathLookup found = kana::win32::lookUpPath(path);
    switch (found.state) {
    case kana::win32::PathLookup::State::Present:
        return Lookup::presentFile((found.attributes & FILE_ATTRIBUTE_READONLY) != 0);
    case kana::win32::PathLookup::State::Failed:
        return Lookup::unknownState(kana::win32::describeSystemError(found.error));
    case kana::win32::PathLookup::State::Absent:
        break;
    }
    return Lookup::absentFile();
}

StepResult Win32FileSteps::deleteFile(const std::wstring& path) {
    return ::DeleteFileW(path.c_str()) ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::recycle(const std::wstring& path) {
    // The shell's file operation with undo and no user interface moves the
    // file to the Recycle Bin; on a drive without one it deletes it. Should it
    // refuse, the plain delete gives the system's own reason.
    std::wstring from = path;
    from.push_back(L'\0'); // a list of names, ended by an empty one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR;
    if (::SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted &&
        ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return StepResult::success();
    }
    return deleteFile(path);
}

StepResult Win32FileSteps::rename(const std::wstring& from, const std::wstring& to) {
    // MoveFileW refuses an existing target, which the undo relies on.
    return ::MoveFileW(from.c_str(), to.c_str()) ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::copy(const std::wstring& from, const std::wstring& to) {
    // Never over an existing file: undoing the copy deletes the target.
    if (!::CopyFileW(from.c_str(), to.c_str(), TRUE)) {
        return lastError();
    }
    // CopyFileW carries the read-only attribute (of a date.dat from a CD, or of
    // a backup); the new file must stay changeable by later operations.
    const DWORD attributes = ::GetFileAttributesW(to.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        const DWORD writable = attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
        if (!::SetFileAttributesW(to.c_str(), writable != 0 ? writable : FILE_ATTRIBUTE_NORMAL)) {
            const StepResult failure = lastError();
            ::DeleteFileW(to.c_str());
            return failure;
        }
    }
    return StepResult::success();
}

StepResult Win32FileSteps::writeTimeStamp(const std::wstring& path) {
    return writeAll(path, toAnsiCodePage(currentDateAndTime()) + "\r\n", GENERIC_WRITE, CREATE_ALWAYS,
                    Durability::Cached);
}

StepResult Win32FileSteps::flush(const std::wstring& path) {
    unique_hfile file(::CreateFileW(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    if (!::FlushFileBuffers(file.get())) {
        return lastError();
    }
    return closeFile(file);
}

StepResult Win32FileSteps::startSettingsProgram(const std::wstring& appPath) {
    // The settings program runs in its own folder, and as the signed-in user:
    // anyone who can write to the version folder must not gain this program's
    // administrator rights through it. The desktop's shell starts it so; it
    // cannot report a missing file, so it is only asked for one that exists.
    const std::wstring folder = appPath.substr(0, appPath.find_last_of(L'\\'));
    const DWORD attributes = ::GetFileAttributesW(appPath.c_str());
    const bool isFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (isFile && kana::win32::runsElevated() && kana::win32::openThroughDesktopShell(appPath, folder)) {
        return StepResult::success();
    }

    // Where the shell cannot be reached (no Explorer, or Wine): the program
    // starts it itself. The application path is given on its own, so that a
    // path with blanks (C:\Program Files\...) can never start another
    // program; the command line repeats it in quotes, as the first argument.
    std::wstring commandLine = L"\"" + appPath + L"\"";
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(appPath.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        return lastError();
    }
    // Not waited for and not watched.
    const unique_handle processHandle(process.hProcess);
    const unique_handle threadHandle(process.hThread);
    return StepResult::success();
}

StepResult Win32FileSteps::canRead(const std::wstring& path) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? StepResult::success() : lastError();
}

StepResult Win32FileSteps::readSmallFile(const std::wstring& path, std::string& bytes) {
    const unique_hfile file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    return readWhole(file.get(), bytes);
}

StepResult Win32FileSteps::writeSmallFile(const std::wstring& path, const std::string& bytes) {
    return writeAll(path, bytes, GENERIC_WRITE, CREATE_ALWAYS, Durability::Flushed);
}

StepResult Win32FileSteps::createHeldFile(const std::wstring& path, const std::string& bytes,
                                          std::unique_ptr<HeldFile>& held) {
    // Never over an existing record: that one belongs to another operation.
    unique_hfile file(::CreateFileW(path.c_str(), kRecordAccess, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    StepResult result = writeEverything(file.get(), bytes);
    if (result.ok && !::FlushFileBuffers(file.get())) {
        result = lastError();
    }
    if (!result.ok) {
        // This process made the file, and it holds no whole plan: it goes.
        file.reset();
        ::DeleteFileW(path.c_str());
        return result;
    }
    held = std::make_unique<Win32HeldFile>(std::move(file));
    return StepResult::success();
}

StepResult Win32FileSteps::openHeldFile(const std::wstring& path, std::string& bytes,
                                        std::unique_ptr<HeldFile>& held) {
    // Sharing only reading: this fails as a sharing violation while another
    // process holds the record for its running operation.
    unique_hfile file(::CreateFileW(path.c_str(), kRecordAccess, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return lastError();
    }
    if (StepResult result = readWhole(file.get(), bytes); !result.ok) {
        return result;
    }
    held = std::make_unique<Win32HeldFile>(std::move(file));
    return StepResult::success();
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

std::wstring Win32FileSteps::besideProgram(const std::wstring& bareName) {
    // The program's own path may be longer than MAX_PATH.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return bareName;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) {
            return bareName;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1) + bareName;
}

} // namespace kana::lexicon::win32

// Loaded into the running program by the crash test (a remote thread calls
// LoadLibraryW), it stops the program at an exact point of an operation: right
// after the intent record has reached its plan and a given number of "done"
// marks, before the next step begins. The test then kills the program there.
//
// The request, <this DLL>.<process id>.request, holds (as UTF-16) the number of
// marks, a "|" and the record's file name. The probe replaces CreateFileW,
// WriteFile and CloseHandle in the program's import table and keeps a copy of
// what the program writes to files of that name (the program may share the
// record with no one, so it cannot be read back). When the copy holds the plan
// and the count of marks (and no undo has begun), it sets the event
// "kanaroute-record-stop-<process id>" and never returns.
//
// With -1 marks it never stops; it writes instead, to <this DLL>.<process
// id>.flushes, one letter per event in order: W for a write to the record, F
// for a FlushFileBuffers of the record, S for a file step (a file opened for
// writing, a rename, a copy, a deletion or the shell's file operation).
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <set>
#include <string>

namespace {

HMODULE g_self = nullptr;
int g_marks = -1;
std::wstring g_recordName;
// The program's open handles to the record, and what it has written there.
std::set<HANDLE> g_recordHandles;
std::string g_record;
CRITICAL_SECTION g_lock;

using CreateFileFunction = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                                           HANDLE);
using WriteFileFunction = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);
using FlushFunction = BOOL(WINAPI*)(HANDLE);
using MoveFileFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR);
using CopyFileFunction = BOOL(WINAPI*)(LPCWSTR, LPCWSTR, BOOL);
using DeleteFileFunction = BOOL(WINAPI*)(LPCWSTR);
using ShellFileFunction = int(WINAPI*)(LPSHFILEOPSTRUCTW);
CreateFileFunction g_realCreateFile = nullptr;
WriteFileFunction g_realWriteFile = nullptr;
CloseHandleFunction g_realCloseHandle = nullptr;
FlushFunction g_realFlush = nullptr;
MoveFileFunction g_realMoveFile = nullptr;
CopyFileFunction g_realCopyFile = nullptr;
DeleteFileFunction g_realDeleteFile = nullptr;
ShellFileFunction g_realShellFile = nullptr;

std::wstring pathOf(const std::wstring& suffix) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(g_self, path, MAX_PATH);
    return std::wstring(path) + suffix;
}

bool namesTheRecord(const wchar_t* path) {
    const std::wstring text = path != nullptr ? path : L"";
    const std::size_t slash = text.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? text : text.substr(slash + 1);
    return ::CompareStringOrdinal(name.c_str(), -1, g_recordName.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool readRequest() {
    const std::wstring request = pathOf(L"." + std::to_wstring(::GetCurrentProcessId()) + L".request");
    HANDLE file =
        ::CreateFileW(request.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    wchar_t text[512] = {};
    DWORD read = 0;
    ::ReadFile(file, text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
    ::CloseHandle(file);
    const std::wstring line(text, read / sizeof(wchar_t));
    const std::size_t bar = line.find(L'|');
    if (bar == std::wstring::npos) {
        return false;
    }
    g_marks = std::wcstol(line.c_str(), nullptr, 10);
    g_recordName = line.substr(bar + 1);
    return g_marks >= -1 && !g_recordName.empty();
}

bool recordingFlushes() {
    return g_marks == -1;
}

// Adds one event to the file of flushes (the caller holds the lock).
void logEvent(char event) {
    static const std::wstring log = pathOf(L"." + std::to_wstring(::GetCurrentProcessId()) + L".flushes");
    HANDLE file = g_realCreateFile(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        g_realWriteFile(file, &event, 1, &written, nullptr);
        g_realCloseHandle(file);
    }
}

void logStep() {
    if (recordingFlushes()) {
        ::EnterCriticalSection(&g_lock);
        logEvent('S');
        ::LeaveCriticalSection(&g_lock);
    }
}

// The number of "done" marks after a whole plan; -1 while the plan is not
// whole, or once an undo has begun.
int doneMarks(const std::string& record) {
    const std::size_t planEnd = record.find("\nplanned\n");
    if (planEnd == std::string::npos) {
        return -1;
    }
    int marks = 0;
    for (std::size_t at = planEnd + 9; at < record.size();) {
        const std::size_t end = record.find('\n', at);
        if (end == std::string::npos) {
            break; // a line still being written
        }
        if (record.compare(at, 5, "done ") != 0) {
            return -1;
        }
        ++marks;
        at = end + 1;
    }
    return marks;
}

[[noreturn]] void stopHere() {
    const std::wstring name = L"kanaroute-record-stop-" + std::to_wstring(::GetCurrentProcessId());
    if (HANDLE stopped = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
        ::SetEvent(stopped);
        g_realCloseHandle(stopped);
    }
    for (;;) {
        ::Sleep(INFINITE);
    }
}

HANDLE WINAPI createFileAndWatchTheRecord(LPCWSTR path, DWORD access, DWORD share,
                                          LPSECURITY_ATTRIBUTES security, DWORD disposition, DWORD flags,
                                          HANDLE pattern) {
    const bool writing = (access & (GENERIC_WRITE | FILE_APPEND_DATA | FILE_WRITE_DATA)) != 0;
    if (writing && !namesTheRecord(path)) {
        logStep();
    }
    const HANDLE file = g_realCreateFile(path, access, share, security, disposition, flags, pattern);
    if (file != INVALID_HANDLE_VALUE && writing && namesTheRecord(path)) {
        ::EnterCriticalSection(&g_lock);
        g_recordHandles.insert(file);
        if (disposition == CREATE_ALWAYS || disposition == CREATE_NEW || disposition == TRUNCATE_EXISTING) {
            g_record.clear();
        }
        ::LeaveCriticalSection(&g_lock);
    }
    return file;
}

BOOL WINAPI writeFileThenStopAtTheMark(HANDLE file, LPCVOID buffer, DWORD bytes, LPDWORD written,
                                       LPOVERLAPPED overlapped) {
    const BOOL result = g_realWriteFile(file, buffer, bytes, written, overlapped);
    ::EnterCriticalSection(&g_lock);
    bool stop = false;
    if (result && g_recordHandles.count(file) != 0) {
        g_record.append(static_cast<const char*>(buffer), written != nullptr ? *written : bytes);
        stop = !recordingFlushes() && doneMarks(g_record) == g_marks;
        if (recordingFlushes()) {
            logEvent('W');
        }
    }
    ::LeaveCriticalSection(&g_lock);
    if (stop) {
        stopHere();
    }
    return result;
}

BOOL WINAPI closeHandleAndForgetIt(HANDLE handle) {
    ::EnterCriticalSection(&g_lock);
    g_recordHandles.erase(handle);
    ::LeaveCriticalSection(&g_lock);
    return g_realCloseHandle(handle);
}

BOOL WINAPI flushAndLogIt(HANDLE file) {
    const BOOL result = g_realFlush(file);
    ::EnterCriticalSection(&g_lock);
    if (result && g_recordHandles.count(file) != 0) {
        logEvent('F');
    }
    ::LeaveCriticalSection(&g_lock);
    return result;
}

BOOL WINAPI moveFileAndLogIt(LPCWSTR from, LPCWSTR to) {
    logStep();
    return g_realMoveFile(from, to);
}

BOOL WINAPI copyFileAndLogIt(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    logStep();
    return g_realCopyFile(from, to, failIfExists);
}

BOOL WINAPI deleteFileAndLogIt(LPCWSTR path) {
    logStep();
    return g_realDeleteFile(path);
}

int WINAPI shellFileOperationAndLogIt(LPSHFILEOPSTRUCTW operation) {
    logStep();
    return g_realShellFile(operation);
}

// Points the program's imports of the function at the replacement.
template <typename Function>
bool replaceImport(const char* name, Function replacement, Function& real,
                   const wchar_t* dll = L"kernel32.dll") {
    HMODULE exporter = ::GetModuleHandleW(dll);
    if (exporter == nullptr) {
        exporter = ::LoadLibraryW(dll);
    }
    real = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(exporter, name)));
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (real == nullptr || imports.VirtualAddress == 0) {
        return false;
    }
    bool replaced = false;
    for (auto* module = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         module->Name != 0; ++module) {
        for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
             slot->u1.Function != 0; ++slot) {
            if (slot->u1.Function != reinterpret_cast<ULONG_PTR>(real)) {
                continue;
            }
            DWORD protection = 0;
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), PAGE_READWRITE, &protection);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&slot->u1.Function, sizeof(slot->u1.Function), protection, &protection);
            replaced = true;
        }
    }
    return replaced;
}

} // namespace

// The replacements are in place when LoadLibraryW returns. Without a request
// the load fails; once anything is replaced it must not (the program would
// call into an unloaded library).
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        if (!readRequest()) {
            return FALSE;
        }
        ::InitializeCriticalSection(&g_lock);
        replaceImport("CloseHandle", &closeHandleAndForgetIt, g_realCloseHandle);
        replaceImport("CreateFileW", &createFileAndWatchTheRecord, g_realCreateFile);
        replaceImport("WriteFile", &writeFileThenStopAtTheMark, g_realWriteFile);
        if (recordingFlushes()) {
            replaceImport("FlushFileBuffers", &flushAndLogIt, g_realFlush);
            replaceImport("MoveFileW", &moveFileAndLogIt, g_realMoveFile);
            replaceImport("CopyFileW", &copyFileAndLogIt, g_realCopyFile);
            replaceImport("DeleteFileW", &deleteFileAndLogIt, g_realDeleteFile);
            replaceImport("SHFileOperationW", &shellFileOperationAndLogIt, g_realShellFile, L"shell32.dll");
        }
    }
    return TRUE;
}

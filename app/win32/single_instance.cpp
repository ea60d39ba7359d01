#include "app/win32/single_instance.h"

#include <string>

namespace kana::win32 {

namespace {

// Both names end in the same fixed tag, so that no other program's objects
// can be mistaken for this program's.
constexpr wchar_t kMachineWideName[] = L"Global\\Kanaroute-one-copy-3F9C2E71";
constexpr wchar_t kSessionName[] = L"Local\\Kanaroute-one-copy-3F9C2E71";

// Opens or creates the named object; true when it existed already. An object
// made by another user that this one may not open exists too.
bool existedBefore(const wchar_t* name, unique_handle& handle) {
    handle.reset(::CreateMutexW(nullptr, FALSE, name));
    const DWORD error = ::GetLastError();
    return handle ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

struct MainWindowSearch {
    std::wstring_view windowClass;
    std::wstring_view title;
    HWND found = nullptr;
};

std::wstring textOf(HWND hwnd, int(WINAPI* get)(HWND, LPWSTR, int)) {
    wchar_t text[256] = {};
    const int length = get(hwnd, text, 256);
    return std::wstring(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

BOOL CALLBACK findMainWindow(HWND hwnd, LPARAM parameter) {
    auto* search = reinterpret_cast<MainWindowSearch*>(parameter);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId() && textOf(hwnd, ::GetClassNameW) == search->windowClass &&
        textOf(hwnd, ::GetWindowTextW) == search->title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

SingleInstance::SingleInstance() {
    first_ = !existedBefore(kMachineWideName, machineWide_);
    // The other copy made the session's object too, where it runs in this session.
    sameSession_ = existedBefore(kSessionName, thisSession_);
}

void bringRunningCopyForward(std::wstring_view windowClass, std::wstring_view title) {
    MainWindowSearch search{windowClass, title};
    // The other copy may be between its start and the creation of its window.
    for (int tries = 0; tries < 30 && search.found == nullptr; ++tries) {
        if (tries > 0) {
            ::Sleep(100);
        }
        ::EnumWindows(&findMainWindow, reinterpret_cast<LPARAM>(&search));
    }
    if (search.found == nullptr) {
        return;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(search.found, &process);
    // The other copy may then take the foreground itself, for the box it shows next.
    ::AllowSetForegroundWindow(process);
    // The window's thread may be busy with a file step: nothing here waits for it.
    if (::IsIconic(search.found)) {
        ::ShowWindowAsync(search.found, SW_RESTORE);
    }
    // A message box it shows is what the user must see first.
    ::SetForegroundWindow(::GetLastActivePopup(search.found));
}

} // namespace kana::win32

// Loaded into the running program by the end-to-end test (a remote thread
// calls LoadLibraryW), it asks every child window of the program's forms for
// its font with WM_GETFONT from inside the process, where the font handle can
// be read, and writes "id face height underline" lines to <this DLL>.txt.
// Under Wine a font cannot be asked for from another process.
#include <windows.h>

#include <string>

namespace {

HMODULE g_self = nullptr;

BOOL CALLBACK describeChild(HWND hwnd, LPARAM lines) {
    auto& out = *reinterpret_cast<std::wstring*>(lines);
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hwnd, WM_GETFONT, 0, 0, SMTO_BLOCK, 5000, &result);
    LOGFONTW font{};
    const HFONT handle = reinterpret_cast<HFONT>(result);
    out += std::to_wstring(::GetDlgCtrlID(hwnd)) + L" ";
    if (handle != nullptr && ::GetObjectW(handle, sizeof(font), &font) != 0) {
        out += std::wstring(font.lfFaceName) + L" " + std::to_wstring(font.lfHeight) +
               (font.lfUnderline ? L" u" : L"");
    } else {
        out += L"(none)";
    }
    out += L"\n";
    return TRUE;
}

BOOL CALLBACK describeForm(HWND hwnd, LPARAM lines) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    if (process == ::GetCurrentProcessId() && std::wstring(name) == L"KanarouteForm") {
        ::EnumChildWindows(hwnd, &describeChild, lines);
    }
    return TRUE;
}

DWORD WINAPI probe(void*) {
    std::wstring lines;
    ::EnumWindows(&describeForm, reinterpret_cast<LPARAM>(&lines));
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(g_self, path, MAX_PATH);
    const std::wstring target = std::wstring(path) + L".txt";
    const std::wstring partial = target + L".part";
    HANDLE file = ::CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        ::WriteFile(file, lines.data(), static_cast<DWORD>(lines.size() * sizeof(wchar_t)), &written,
                    nullptr);
        ::CloseHandle(file);
        ::MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    return 0;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_self = instance;
        // The work runs on a thread of its own once the loader has finished.
        if (HANDLE thread = ::CreateThread(nullptr, 0, &probe, nullptr, 0, nullptr)) {
            ::CloseHandle(thread);
        }
    }
    return TRUE;
}

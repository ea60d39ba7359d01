// Loaded into the program before its first instruction runs (the test starts
// it under the debug API and loads this library at the entry point), it makes
// the program see a monitor whose DPI differs from the system's: user32's
// GetDpiForWindow answers the number in <this DLL>.dpi for every window, as
// Windows does for a per-monitor aware program whose windows open on a
// monitor with another scale (a laptop with an external screen, Remote
// Desktop). Under Wine GetDpiForWindow always gives the system DPI.
//
// The function is replaced in place (a jump over its first bytes): the program
// looks it up with GetProcAddress, so its import table does not name it.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

UINT g_dpi = 0;

UINT WINAPI dpiOfTheOtherMonitor(HWND) {
    return g_dpi;
}

std::wstring pathOf(HMODULE self, const wchar_t* suffix) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(self, path, MAX_PATH);
    return std::wstring(path) + suffix;
}

UINT requestedDpi(HMODULE self) {
    HANDLE request = ::CreateFileW(pathOf(self, L".dpi").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (request == INVALID_HANDLE_VALUE) {
        return 0;
    }
    char text[16] = {};
    DWORD read = 0;
    ::ReadFile(request, text, sizeof(text) - 1, &read, nullptr);
    ::CloseHandle(request);
    const int dpi = std::atoi(text);
    return dpi > 0 ? static_cast<UINT>(dpi) : 0;
}

// Writes a jump to `replacement` over the first bytes of `function`.
bool jumpFrom(void* function, void* replacement) {
#if defined(_WIN64)
    unsigned char code[12] = {0x48, 0xB8}; // mov rax, imm64; jmp rax
    const auto target = reinterpret_cast<ULONG_PTR>(replacement);
    std::memcpy(code + 2, &target, sizeof(target));
    code[10] = 0xFF;
    code[11] = 0xE0;
#else
    unsigned char code[5] = {0xE9}; // jmp rel32
    const LONG offset = static_cast<LONG>(reinterpret_cast<ULONG_PTR>(replacement) -
                                          (reinterpret_cast<ULONG_PTR>(function) + sizeof(code)));
    std::memcpy(code + 1, &offset, sizeof(offset));
#endif
    DWORD protection = 0;
    if (!::VirtualProtect(function, sizeof(code), PAGE_EXECUTE_READWRITE, &protection)) {
        return false;
    }
    std::memcpy(function, code, sizeof(code));
    ::VirtualProtect(function, sizeof(code), protection, &protection);
    ::FlushInstructionCache(::GetCurrentProcess(), function, sizeof(code));
    return true;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    g_dpi = requestedDpi(instance);
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    void* dpiForWindow =
        user32 != nullptr ? reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")) : nullptr;
    // Refused (the load fails) when there is nothing to stand in for.
    return g_dpi != 0 && dpiForWindow != nullptr &&
           jumpFrom(dpiForWindow, reinterpret_cast<void*>(&dpiOfTheOtherMonitor));
}

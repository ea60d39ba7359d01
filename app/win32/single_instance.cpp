#include "app/win32/single_instance.h"

#include <sddl.h>

#include <string>

namespace kana::win32 {

namespace {

// Every name ends in the same fixed tag, so that no other program's objects
// can be mistaken for this program's.
constexpr wchar_t kBoundaryName[] = L"Kanaroute-3F9C2E71";
constexpr wchar_t kNamespaceAlias[] = L"Kanaroute-3F9C2E71";
constexpr wchar_t kGuardInNamespace[] = L"Kanaroute-3F9C2E71\\one-copy";
constexpr wchar_t kMachineWideName[] = L"Global\\Kanaroute-one-copy-3F9C2E71";
constexpr wchar_t kSessionName[] = L"Local\\Kanaroute-one-copy-3F9C2E71";
// Administrators and the system may use the namespace and the guard.
constexpr wchar_t kAdministratorsOnly[] = L"D:(A;;GA;;;BA)(A;;GA;;;SY)";

// The private-namespace functions, looked up: Windows has them from Vista on,
// but a system that lacks them must still start the program.
struct NamespaceFunctions {
    using CreateBoundary = HANDLE(WINAPI*)(LPCWSTR, ULONG);
    using AddSid = BOOL(WINAPI*)(HANDLE*, PSID);
    using DeleteBoundary = VOID(WINAPI*)(HANDLE);
    using CreateNamespace = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, LPVOID, LPCWSTR);
    using OpenNamespace = HANDLE(WINAPI*)(LPVOID, LPCWSTR);

    template <typename Function> static Function find(HMODULE module, const char* name) {
        return module != nullptr
                   ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                   : nullptr;
    }

    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    CreateBoundary createBoundary = find<CreateBoundary>(kernel, "CreateBoundaryDescriptorW");
    AddSid addSid = find<AddSid>(kernel, "AddSIDToBoundaryDescriptor");
    DeleteBoundary deleteBoundary = find<DeleteBoundary>(kernel, "DeleteBoundaryDescriptor");
    CreateNamespace createNamespace = find<CreateNamespace>(kernel, "CreatePrivateNamespaceW");
    OpenNamespace openNamespace = find<OpenNamespace>(kernel, "OpenPrivateNamespaceW");

    bool all() const {
        return createBoundary != nullptr && addSid != nullptr && deleteBoundary != nullptr &&
               createNamespace != nullptr && openNamespace != nullptr;
    }
};

// A security descriptor made from SDDL, freed with LocalFree.
class SecurityFromSddl {
  public:
    explicit SecurityFromSddl(const wchar_t* sddl) {
        ::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor_, nullptr);
        attributes_.lpSecurityDescriptor = descriptor_;
    }
    SecurityFromSddl(const SecurityFromSddl&) = delete;
    SecurityFromSddl& operator=(const SecurityFromSddl&) = delete;
    ~SecurityFromSddl() {
        if (descriptor_ != nullptr) {
            ::LocalFree(descriptor_);
        }
    }
    SECURITY_ATTRIBUTES* get() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

  private:
    PSECURITY_DESCRIPTOR descriptor_ = nullptr;
    SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

// Creates, or opens where it exists, the program's private namespace: its
// boundary holds the Administrators group, so only a process of an
// administrator (every copy of the program runs elevated) can create or open
// it, and no one else can take the guard's name first. nullptr where the
// system has no private namespaces or refuses this process one.
HANDLE privateNamespace(SECURITY_ATTRIBUTES* security) {
    const NamespaceFunctions functions;
    if (!functions.all()) {
        return nullptr;
    }
    HANDLE boundary = functions.createBoundary(kBoundaryName, 0);
    if (boundary == nullptr) {
        return nullptr;
    }
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    DWORD sidSize = sizeof(sid);
    HANDLE made = nullptr;
    if (::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize) &&
        functions.addSid(&boundary, sid)) {
        // The copy that made it may close it between the two calls: then again.
        for (int tries = 0; tries < 3 && made == nullptr; ++tries) {
            made = functions.createNamespace(security, boundary, kNamespaceAlias);
            if (made == nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS) {
                made = functions.openNamespace(boundary, kNamespaceAlias);
            } else if (made == nullptr) {
                break;
            }
        }
    }
    functions.deleteBoundary(boundary);
    return made;
}

// Takes ownership of a mutex without waiting; one left behind by a copy that
// ended without letting go counts as taken.
bool take(HANDLE mutex, DWORD waitMs = 0) {
    const DWORD result = mutex != nullptr ? ::WaitForSingleObject(mutex, waitMs) : WAIT_FAILED;
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
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

bool takesInput(HWND hwnd) {
    return ::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd);
}

BOOL CALLBACK findAnswerableWindow(HWND hwnd, LPARAM found) {
    if (takesInput(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The first shown and enabled top-level window of a thread (the topmost of
// them), or nullptr.
HWND answerableWindowOf(DWORD thread) {
    HWND found = nullptr;
    ::EnumThreadWindows(thread, &findAnswerableWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

SingleInstance::SingleInstance() {
    // This session's mark first: the copy that holds the guard holds it too,
    // from before it took the guard until it ends.
    sessionMark_.reset(::CreateMutexW(nullptr, FALSE, kSessionName));
    bool markTaken = take(sessionMark_.get());
    SecurityFromSddl administratorsOnly(kAdministratorsOnly);
    namespace_.reset(privateNamespace(administratorsOnly.get()));
    // Where private namespaces are missing (not on Windows), or this process
    // may not have one, the guard is a machine-wide name anyone could take first.
    guard_.reset(namespace_ ? ::CreateMutexW(administratorsOnly.get(), FALSE, kGuardInNamespace)
                            : ::CreateMutexW(nullptr, FALSE, kMachineWideName));
    const bool guardTaken = take(guard_.get());
    decision_ = decideOneCopy(guardTaken, markTaken);
    if (guardTaken && !markTaken) {
        // Another start of this session holds the mark while it finds the
        // guard taken; it lets go at once.
        markTaken = take(sessionMark_.get(), 5000);
    }
    if (!guardTaken) {
        guard_.reset();
        if (markTaken) {
            ::ReleaseMutex(sessionMark_.get());
        }
        sessionMark_.reset();
    }
}

SingleInstance::~SingleInstance() {
    if (guard_) {
        ::ReleaseMutex(guard_.get());
    }
    if (sessionMark_) {
        ::ReleaseMutex(sessionMark_.get());
    }
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
    const DWORD thread = ::GetWindowThreadProcessId(search.found, &process);
    // The other copy may then take the foreground itself, for the box it shows next.
    ::AllowSetForegroundWindow(process);
    // The window's thread may be busy with a file step: nothing here waits for it.
    HWND target = nullptr;
    if (::IsWindowVisible(search.found)) {
        if (::IsIconic(search.found)) {
            ::ShowWindowAsync(search.found, SW_RESTORE);
        }
        // A message box it shows is what the user must see first.
        target = ::GetLastActivePopup(search.found);
    }
    // The main window is hidden while the start-up recovery speaks, or the box
    // it owns was never active: the window of that thread the user can answer.
    if (target == nullptr || !takesInput(target)) {
        if (HWND answerable = answerableWindowOf(thread)) {
            target = answerable;
        }
    }
    if (target != nullptr) {
        ::SetForegroundWindow(target);
    }
}

} // namespace kana::win32

#include "common/win32/desktop_shell.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include "common/win32/automation.h"
#include "common/win32/handles.h"

namespace kana::win32 {

namespace {

// The shell's automation object of the desktop window's view: its
// ShellExecute runs in Explorer's process.
ComPtr<IShellDispatch2> desktopShellDispatch() {
    ComPtr<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                  windows.putVoid()))) {
        return {};
    }
    Variant location;
    Variant root;
    location.get()->vt = VT_I4;
    location.get()->lVal = CSIDL_DESKTOP;
    long desktopWindow = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(location.get(), root.get(), SWC_DESKTOP, &desktopWindow, SWFO_NEEDDISPATCH,
                              desktop.put()) != S_OK ||
        !desktop) {
        return {};
    }
    ComPtr<IServiceProvider> services;
    ComPtr<IShellBrowser> browser;
    ComPtr<IShellView> view;
    ComPtr<IDispatch> background;
    ComPtr<IShellFolderViewDual> folderView;
    ComPtr<IDispatch> application;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(desktop->QueryInterface(IID_IServiceProvider, services.putVoid())) ||
        FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.putVoid())) ||
        FAILED(browser->QueryActiveShellView(view.put())) || !view ||
        FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.putVoid())) ||
        FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.putVoid())) ||
        FAILED(folderView->get_Application(application.put())) || !application ||
        FAILED(application->QueryInterface(IID_IShellDispatch2, shell.putVoid()))) {
        return {};
    }
    return shell;
}

// The user of a process's access token.
union UserOfToken {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

bool readTokenUser(HANDLE process, UserOfToken& buffer) {
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &opened)) {
        return false;
    }
    const unique_handle token(opened);
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenUser, &buffer, sizeof buffer, &size) != FALSE;
}

// The process of the desktop's shell window (Explorer), or 0.
DWORD desktopShellProcess() {
    DWORD process = 0;
    if (HWND shell = ::GetShellWindow()) {
        ::GetWindowThreadProcessId(shell, &process);
    }
    return process;
}

// Whether the desktop's shell runs as the user this program runs as. Not so
// when a standard user gave an administrator's password to start the program
// (elevation "over the shoulder"): what the shell starts then runs as the
// signed-in user, not as the user who runs this program. Unknown counts as
// not the same.
bool shellRunsAsThisUser(DWORD shellProcess) {
    const unique_handle shell(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcess));
    if (!shell) {
        return false;
    }
    UserOfToken shellUser;
    UserOfToken ownUser;
    return readTokenUser(shell.get(), shellUser) && readTokenUser(::GetCurrentProcess(), ownUser) &&
           ::EqualSid(shellUser.user.User.Sid, ownUser.user.User.Sid);
}

void setText(Variant& variant, const std::wstring& text) {
    variant.get()->vt = VT_BSTR;
    variant.get()->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

} // namespace

bool runsElevated() {
    HANDLE opened = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened)) {
        return false;
    }
    const unique_handle token(opened);
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    return ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
           elevation.TokenIsElevated != 0;
}

bool openThroughDesktopShell(const std::wstring& file, const std::wstring& directory) {
    const DWORD shellProcess = desktopShellProcess();
    if (shellProcess == 0 || !shellRunsAsThisUser(shellProcess)) {
        return false;
    }
    const ComPtr<IShellDispatch2> shell = desktopShellDispatch();
    if (!shell) {
        return false;
    }
    // The shell may bring what it starts to the front only if this program,
    // which the user is working in, lets it.
    ::AllowSetForegroundWindow(shellProcess);
    const Bstr target(file);
    Variant arguments;
    Variant folder;
    Variant operation;
    Variant show;
    setText(arguments, L"");
    if (!directory.empty()) {
        setText(folder, directory);
    }
    setText(operation, L"open");
    show.get()->vt = VT_I4;
    show.get()->lVal = SW_SHOWNORMAL;
    return target.get() != nullptr &&
           SUCCEEDED(shell->ShellExecute(target.get(), *arguments.get(), *folder.get(), *operation.get(),
                                         *show.get()));
}

} // namespace kana::win32

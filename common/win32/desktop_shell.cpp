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
    const ComPtr<IShellDispatch2> shell = desktopShellDispatch();
    if (!shell) {
        return false;
    }
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

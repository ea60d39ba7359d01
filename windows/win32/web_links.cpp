#include "windows/win32/web_links.h"

#include <windows.h>

#include <oleauto.h>
#include <shellapi.h>

#include <string>

#include "common/win32/automation.h"
#include "common/win32/desktop_shell.h"
#include "common/win32/handles.h"
#include "common/win32/message_box.h"

namespace kana::win32 {

namespace {

HRESULT putVisible(IDispatch& browser) {
    DISPID id = 0;
    if (const HRESULT hr = dispatchId(browser, L"Visible", id); FAILED(hr)) {
        return hr;
    }
    VARIANT value;
    ::VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = VARIANT_TRUE;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return browser.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                          nullptr);
}

HRESULT navigate(IDispatch& browser, std::wstring_view address) {
    DISPID id = 0;
    if (const HRESULT hr = dispatchId(browser, L"Navigate", id); FAILED(hr)) {
        return hr;
    }
    // The address is the only argument; flags, target frame, post data and
    // headers are left out.
    Bstr url(address);
    if (url.get() == nullptr) {
        return E_OUTOFMEMORY;
    }
    VARIANT argument;
    ::VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = url.get();
    DISPPARAMS params{&argument, nullptr, 1, 0};
    return browser.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                          nullptr);
}

// Closes a browser window that came up but could not be sent to the address.
void quit(IDispatch& browser) {
    DISPID id = 0;
    if (SUCCEEDED(dispatchId(browser, L"Quit", id))) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        browser.Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
    }
}

// A new instance of the browser automation object, made visible and sent to
// the address, then released: the window stays open for the user to close.
bool openInAutomatedBrowser(std::wstring_view address) {
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(L"InternetExplorer.Application", &clsid))) {
        return false;
    }
    ComPtr<IDispatch> browser;
    if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER | CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  browser.putVoid()))) {
        return false;
    }
    if (FAILED(putVisible(*browser.get()))) {
        quit(*browser.get());
        return false;
    }
    if (FAILED(navigate(*browser.get(), address))) {
        quit(*browser.get());
        return false;
    }
    return true;
}

// The user's default browser, in a new window that outlives the program.
bool openInDefaultBrowser(std::wstring_view address) {
    const std::wstring target(address);
    const HINSTANCE result =
        ::ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace

void openLink(WebLink link, std::wstring_view messageTitle) {
    const std::wstring_view address = linkAddress(link);
    // This program runs elevated, and the browser automation object would run
    // the browser elevated too, browsing the web with administrator rights:
    // it is then treated as not available, and the address goes to the
    // desktop's shell, which opens it as the signed-in user.
    if (runsElevated()) {
        if (openThroughDesktopShell(std::wstring(address), {}) || openInDefaultBrowser(address)) {
            return;
        }
    } else if (openInAutomatedBrowser(address) || openInDefaultBrowser(address)) {
        return;
    }
    showMessage(linkFailedMessage(address), messageTitle);
}

} // namespace kana::win32

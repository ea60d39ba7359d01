#include "app/win32/input_method_registry.h"

#include <windows.h>
#include <oleauto.h>

#include "common/win32/automation.h"
#include "common/win32/handles.h"
#include "common/win32/startup_probe.h"
#include "common/win32/system_error.h"

namespace kana::win32 {

namespace {

// Calls RegRead on the shell object; the text on success, the problem otherwise.
bool regRead(IDispatch* shell, DISPID regReadId, const std::wstring& path, std::wstring& text,
             std::wstring& problem) {
    Bstr argument(path);
    Variant arg;
    arg.get()->vt = VT_BSTR;
    arg.get()->bstrVal = ::SysAllocString(argument.get());
    DISPPARAMS params{arg.get(), nullptr, 1, 0};
    Variant result;
    EXCEPINFO exception{};
    const HRESULT hr = shell->Invoke(regReadId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                     result.get(), &exception, nullptr);
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    if (FAILED(hr)) {
        problem = L"无法读取注册表值 " + path + L"：" +
                  describeComError(hr == DISP_E_EXCEPTION && FAILED(exception.scode) ? exception.scode : hr);
        return false;
    }
    if (FAILED(::VariantChangeType(result.get(), result.get(), 0, VT_BSTR))) {
        problem = L"注册表值 " + path + L" 不是文字。";
        return false;
    }
    const BSTR value = result.get()->bstrVal;
    text.assign(value, ::SysStringLen(value));
    return true;
}

// The registry key of the input method: 32-bit software registers it in the
// 32-bit view, which the shell object of the 32-bit program reads.
constexpr wchar_t kInputMethodKey[] = L"SOFTWARE\\SogouInput";

bool readStringValue(HKEY key, const wchar_t* name, const std::wstring& shownPath, std::wstring& text,
                     std::wstring& problem) {
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = ::RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
    std::wstring buffer;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) {
            problem = L"注册表值 " + shownPath + L" 不是文字。";
            return false;
        }
        buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
        DWORD bufferSize = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
        status = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                                    &bufferSize);
        if (status == ERROR_SUCCESS) {
            // The stored text need not end with a null character; it ends at the first one.
            buffer.resize(bufferSize / sizeof(wchar_t));
            text.assign(buffer.c_str());
            return true;
        }
        size = bufferSize;
    }
    problem = L"无法读取注册表值 " + shownPath + L"：" + describeSystemError(static_cast<DWORD>(status));
    return false;
}

// The same two values through the registry API, where Windows Script Host is
// disabled (as on many managed computers).
RegistryReadResult readThroughRegistryApi() {
    RegistryReadResult outcome;
    HKEY opened = nullptr;
    const LSTATUS status =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInputMethodKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &opened);
    if (status != ERROR_SUCCESS) {
        outcome.problem = L"无法读取注册表项 HKEY_LOCAL_MACHINE\\SOFTWARE\\SogouInput：" +
                          describeSystemError(static_cast<DWORD>(status));
        return outcome;
    }
    const unique_hkey key(opened);
    RegistryValues values;
    if (!readStringValue(key.get(), L"Version", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\SogouInput\\Version",
                         values.version, outcome.problem) ||
        !readStringValue(key.get(), nullptr, L"HKEY_LOCAL_MACHINE\\SOFTWARE\\SogouInput\\", values.installDir,
                         outcome.problem)) {
        return outcome;
    }
    outcome.values = std::move(values);
    return outcome;
}

} // namespace

RegistryReadResult readInputMethodRegistry() {
    const startup_probe::Span probe("registry-read");
    RegistryReadResult outcome;
    CLSID classId{};
    HRESULT hr = ::CLSIDFromProgID(L"wscript.shell", &classId);
    ComPtr<IDispatch> shell;
    if (SUCCEEDED(hr)) {
        hr = ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                shell.putVoid());
    }
    if (FAILED(hr)) {
        return readThroughRegistryApi();
    }
    DISPID regReadId = 0;
    hr = dispatchId(*shell.get(), L"RegRead", regReadId);
    if (FAILED(hr)) {
        outcome.problem = L"Windows 脚本宿主对象不支持 RegRead：" + describeComError(hr);
        return outcome;
    }
    RegistryValues values;
    if (!regRead(shell.get(), regReadId, L"HKEY_LOCAL_MACHINE\\SOFTWARE\\SogouInput\\Version", values.version,
                 outcome.problem) ||
        !regRead(shell.get(), regReadId, L"HKEY_LOCAL_MACHINE\\SOFTWARE\\SogouInput\\", values.installDir,
                 outcome.problem)) {
        return outcome;
    }
    outcome.values = std::move(values);
    return outcome;
}

} // namespace kana::win32

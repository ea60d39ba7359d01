#include "app/win32/input_method_registry.h"

#include <windows.h>
#include <oleauto.h>

#include "common/win32/automation.h"
#include "common/win32/handles.h"
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

} // namespace

RegistryReadResult readInputMethodRegistry() {
    RegistryReadResult outcome;
    CLSID classId{};
    HRESULT hr = ::CLSIDFromProgID(L"wscript.shell", &classId);
    ComPtr<IDispatch> shell;
    if (SUCCEEDED(hr)) {
        hr = ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                shell.putVoid());
    }
    if (FAILED(hr)) {
        outcome.problem = L"无法创建 Windows 脚本宿主对象 wscript.shell：" + describeComError(hr);
        return outcome;
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

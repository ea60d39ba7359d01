#include "common/win32/system_error.h"

#include <cwchar>

#include "common/win32/handles.h"

namespace kana::win32 {

namespace {

std::wstring formatFromSystem(DWORD code, DWORD language) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, language, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const unique_hlocal owner(buffer);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

std::wstring codeSuffix(unsigned long code, bool hex) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, hex ? L"（错误代码 0x%08lX）" : L"（错误代码 %lu）", code);
    return buffer;
}

} // namespace

std::wstring describeSystemError(DWORD code) {
    std::wstring text =
        formatFromSystem(code, MAKELANGID(LANG_CHINESE_SIMPLIFIED, SUBLANG_CHINESE_SIMPLIFIED));
    if (text.empty()) {
        text = formatFromSystem(code, 0);
    }
    if (text.empty()) {
        text = L"未知错误";
    }
    return text + codeSuffix(code, false);
}

std::wstring describeComError(HRESULT result) {
    std::wstring text = formatFromSystem(static_cast<DWORD>(result),
                                         MAKELANGID(LANG_CHINESE_SIMPLIFIED, SUBLANG_CHINESE_SIMPLIFIED));
    if (text.empty()) {
        text = formatFromSystem(static_cast<DWORD>(result), 0);
    }
    if (text.empty()) {
        text = L"组件调用失败";
    }
    return text + codeSuffix(static_cast<unsigned long>(result), true);
}

} // namespace kana::win32

#include "common/win32/system_error.h"

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

// Written out by hand: the C library's formatting would bring its whole
// floating-point printer into the program for one number.
std::wstring codeSuffix(unsigned long code, bool hex) {
    std::wstring digits;
    const unsigned long base = hex ? 16 : 10;
    do {
        digits.insert(digits.begin(), L"0123456789ABCDEF"[code % base]);
        code /= base;
    } while (code != 0 || (hex && digits.size() < 8));
    return (hex ? L"（错误代码 0x" : L"（错误代码 ") + digits + L"）";
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

#include "standin/config/win32/text_codec.h"

#include <windows.h>

namespace kana::standin {

namespace {

std::wstring multiByteToWide(UINT codePage, std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), length);
    }
    return text;
}

} // namespace

std::wstring decodeFileText(std::string_view bytes) {
    const TextEncoding encoding = detectEncoding(bytes);
    const std::string_view body = bytes.substr(byteOrderMarkLength(encoding));
    switch (encoding) {
    case TextEncoding::Utf16LeWithBom:
        return decodeUtf16Le(body);
    case TextEncoding::Utf8WithBom:
        return multiByteToWide(CP_UTF8, body);
    case TextEncoding::AnsiCodePage:
        break;
    }
    return multiByteToWide(CP_ACP, body);
}

std::string toUtf8(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    }
    return bytes;
}

} // namespace kana::standin

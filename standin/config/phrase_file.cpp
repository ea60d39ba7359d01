#include "standin/config/phrase_file.h"

namespace kana::standin {

namespace {

bool startsWith(std::string_view bytes, std::string_view prefix) {
    return bytes.substr(0, prefix.size()) == prefix;
}

bool isBlank(std::wstring_view line) {
    return line.find_first_not_of(L" \t") == std::wstring_view::npos;
}

bool isDigits(std::wstring_view text) {
    if (text.empty()) {
        return false;
    }
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
    }
    return true;
}

// The next line of `text` from `start`, without its line end; `start` moves past it.
std::wstring_view nextLine(std::wstring_view text, std::size_t& start) {
    std::size_t end = text.find(L'\n', start);
    if (end == std::wstring_view::npos) {
        end = text.size();
    }
    std::wstring_view line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == L'\r') {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace

TextEncoding detectEncoding(std::string_view bytes) {
    if (startsWith(bytes, "\xFF\xFE")) {
        return TextEncoding::Utf16LeWithBom;
    }
    if (startsWith(bytes, "\xEF\xBB\xBF")) {
        return TextEncoding::Utf8WithBom;
    }
    return TextEncoding::AnsiCodePage;
}

std::size_t byteOrderMarkLength(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf16LeWithBom:
        return 2;
    case TextEncoding::Utf8WithBom:
        return 3;
    case TextEncoding::AnsiCodePage:
        break;
    }
    return 0;
}

std::wstring decodeUtf16Le(std::string_view bytesAfterBom) {
    std::wstring text;
    text.reserve(bytesAfterBom.size() / 2);
    for (std::size_t i = 0; i + 1 < bytesAfterBom.size(); i += 2) {
        const auto low = static_cast<unsigned char>(bytesAfterBom[i]);
        const auto high = static_cast<unsigned char>(bytesAfterBom[i + 1]);
        text.push_back(static_cast<wchar_t>(low | (high << 8)));
    }
    return text;
}

PhraseList parsePhrases(std::wstring_view text) {
    if (!text.empty() && text.front() == L'\xFEFF') {
        text.remove_prefix(1);
    }
    PhraseList list;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::wstring_view line = nextLine(text, start);
        if (isBlank(line) || line[line.find_first_not_of(L" \t")] == L';') {
            continue;
        }
        const std::size_t equals = line.find(L'=');
        const std::size_t comma = line.substr(0, equals).find(L',');
        if (equals == std::wstring_view::npos || comma == std::wstring_view::npos || comma == 0 ||
            !isDigits(line.substr(comma + 1, equals - comma - 1))) {
            ++list.unrecognisedLines;
            continue;
        }
        list.entries.push_back(PhraseEntry{std::wstring(line.substr(0, comma)),
                                           std::wstring(line.substr(comma + 1, equals - comma - 1)),
                                           std::wstring(line.substr(equals + 1))});
    }
    return list;
}

} // namespace kana::standin

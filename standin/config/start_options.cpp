#include "standin/config/start_options.h"

namespace kana::standin {

namespace {

bool equalsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](wchar_t c) {
            return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace

StartOptions parseStartOptions(const std::vector<std::wstring>& arguments) {
    StartOptions options;
    for (const std::wstring& argument : arguments) {
        if (argument.size() < 2 || (argument[0] != L'/' && argument[0] != L'-')) {
            continue;
        }
        const std::wstring_view name = std::wstring_view(argument).substr(1);
        if (equalsIgnoringAsciiCase(name, L"advanced")) {
            options.advancedPage = true;
        } else if (equalsIgnoringAsciiCase(name, L"phrases")) {
            options.advancedPage = true;
            options.openPhrases = true;
        }
    }
    return options;
}

std::wstring startRecord(std::wstring_view commandLine) {
    std::wstring record = L"started ";
    for (wchar_t c : commandLine) {
        // One start is one line, whatever the caller put into the command line.
        record.push_back((c == L'\r' || c == L'\n') ? L' ' : c);
    }
    return record;
}

} // namespace kana::standin

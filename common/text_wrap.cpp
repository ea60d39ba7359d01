#include "common/text_wrap.h"

namespace kana {

bool isWideCharacter(wchar_t c) {
    return c >= 0x2E80;
}

namespace {

// Punctuation that closes a phrase never starts a line.
bool closesPhrase(wchar_t c) {
    constexpr std::wstring_view closing = L"，。、；：！？）」』》〉】…,.;:!?)";
    return closing.find(c) != std::wstring_view::npos;
}

bool canBreakBefore(std::wstring_view text, std::size_t i) {
    if (i == 0 || text[i] == L' ' || closesPhrase(text[i])) {
        return false;
    }
    const wchar_t previous = text[i - 1];
    return previous == L' ' || isWideCharacter(text[i]) || isWideCharacter(previous);
}

} // namespace

std::vector<TextLine> wrapText(std::wstring_view text, int width, const CharWidth& charWidth) {
    std::vector<TextLine> lines;
    std::size_t begin = 0;
    std::size_t lastBreak = 0; // a position before which the current line may end
    int used = 0;
    std::size_t i = 0;
    auto widthOf = [&](std::size_t from, std::size_t to) {
        int total = 0;
        for (std::size_t k = from; k < to; ++k) {
            total += charWidth(text[k]);
        }
        return total;
    };
    while (i < text.size()) {
        const wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            lines.push_back({begin, i});
            i += (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ? 2 : 1;
            begin = lastBreak = i;
            used = 0;
            continue;
        }
        if (canBreakBefore(text, i)) {
            lastBreak = i;
        }
        const int advance = charWidth(c);
        if (used + advance > width && i > begin) {
            if (c == L' ') {
                // The spaces that do not fit vanish; the next line starts after them.
                lines.push_back({begin, i});
                while (i < text.size() && text[i] == L' ') {
                    ++i;
                }
                begin = lastBreak = i;
                used = 0;
                continue;
            }
            const std::size_t end = lastBreak > begin ? lastBreak : i;
            lines.push_back({begin, end});
            begin = lastBreak = end;
            used = widthOf(begin, i);
        }
        used += advance;
        ++i;
    }
    if (begin < text.size() || lines.empty() ||
        (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))) {
        lines.push_back({begin, text.size()});
    }
    return lines;
}

} // namespace kana

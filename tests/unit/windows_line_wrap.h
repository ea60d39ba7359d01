// A model of how a label wraps its caption at its width, for captions whose
// runs of spaces must push the next sentence onto a new line. Chinese
// characters are `wide` pixels wide, every other character `narrow`. A line may
// break before a Chinese character and after a run of spaces; spaces that do
// not fit at the end of a line are dropped at the break, as the system's text
// drawing does, and the next line starts with the next visible character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kana::test {

struct WrapMetrics {
    int width;  // the label's width in pixels
    int wide;   // a Chinese character or full-width punctuation
    int narrow; // a Latin letter, digit, ASCII punctuation or space
};

struct WrapResult {
    std::vector<std::size_t> lineStarts; // index of each line's first character
    bool spacesOverflow = false;         // a run of spaces ran past the line's end (and was dropped)
};

inline bool isWide(wchar_t c) {
    return c >= 0x2E80;
}

inline WrapResult wrapCaption(std::wstring_view text, const WrapMetrics& metrics) {
    WrapResult result;
    result.lineStarts.push_back(0);
    int used = 0;
    std::size_t lastBreak = 0; // a position before which the line may end
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L' ' && used + metrics.narrow > metrics.width) {
            // The spaces that do not fit vanish; the next line starts after them.
            result.spacesOverflow = true;
            while (i < text.size() && text[i] == L' ') {
                ++i;
            }
            result.lineStarts.push_back(i);
            lastBreak = i;
            used = 0;
            if (i == text.size()) {
                break;
            }
        }
        const wchar_t c = text[i];
        const bool canBreakBefore = i > 0 && (isWide(c) || (c != L' ' && text[i - 1] == L' '));
        if (canBreakBefore) {
            lastBreak = i;
        }
        const int advance = isWide(c) ? metrics.wide : metrics.narrow;
        if (used + advance > metrics.width) {
            if (c == L' ') {
                result.spacesOverflow = true;
            }
            const std::size_t start = lastBreak > result.lineStarts.back() ? lastBreak : i;
            result.lineStarts.push_back(start);
            used = 0;
            for (std::size_t j = start; j < i; ++j) {
                used += isWide(text[j]) ? metrics.wide : metrics.narrow;
            }
        }
        used += advance;
    }
    return result;
}

inline bool startsLine(const WrapResult& result, std::size_t index) {
    for (std::size_t start : result.lineStarts) {
        if (start == index) {
            return true;
        }
    }
    return false;
}

} // namespace kana::test

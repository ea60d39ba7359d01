// Where the program's label wrapping starts lines, for captions whose runs of
// spaces must push the next sentence onto a new line. Chinese characters are
// `wide` pixels wide, every other character `narrow`.
#pragma once

#include <string_view>
#include <vector>

#include "common/text_wrap.h"

namespace kana::test {

struct WrapMetrics {
    int width;  // the label's width in pixels
    int wide;   // a Chinese character or full-width punctuation
    int narrow; // a Latin letter, digit, ASCII punctuation or space
};

struct WrapResult {
    std::vector<std::size_t> lineStarts; // index of each line's first character
};

inline WrapResult wrapCaption(std::wstring_view text, const WrapMetrics& metrics) {
    WrapResult result;
    for (const TextLine& line : wrapText(text, metrics.width, [&](wchar_t c) {
             return isWideCharacter(c) ? metrics.wide : metrics.narrow;
         })) {
        result.lineStarts.push_back(line.begin);
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

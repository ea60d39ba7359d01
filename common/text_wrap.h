// Breaks a label's caption into lines at the label's width, the way the
// program's labels draw it: a line may break before a Chinese character, next
// to one, and after a run of spaces; the spaces a line cannot hold vanish at
// the break, so that a run of spaces can push the next sentence onto a new
// line. CR, LF and CR LF end a line.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace kana {

struct TextLine {
    std::size_t begin = 0; // index of the line's first character
    std::size_t end = 0;   // one past its last character
    friend bool operator==(const TextLine&, const TextLine&) = default;
};

// The width of one character in pixels.
using CharWidth = std::function<int(wchar_t)>;

std::vector<TextLine> wrapText(std::wstring_view text, int width, const CharWidth& charWidth);

// True for characters of the CJK blocks and full-width forms.
bool isWideCharacter(wchar_t c);

} // namespace kana

// The input method's custom-phrase file: how its bytes are encoded and what its
// lines mean. Nothing here depends on <windows.h>; turning bytes into text for the
// ANSI code page and UTF-8 is left to the Win32 layer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kana::standin {

enum class TextEncoding {
    Utf16LeWithBom,
    Utf8WithBom,
    AnsiCodePage, // no byte-order mark: the system's default code page
};

// A byte-order mark decides; a file without one is in the ANSI code page.
TextEncoding detectEncoding(std::string_view bytes);

// How many leading bytes the byte-order mark of `encoding` takes.
std::size_t byteOrderMarkLength(TextEncoding encoding);

// Decodes UTF-16LE code units after the byte-order mark; a stray last byte is dropped.
std::wstring decodeUtf16Le(std::string_view bytesAfterBom);

// One line "abbreviation,position=phrase".
struct PhraseEntry {
    std::wstring abbreviation;
    std::wstring position;
    std::wstring phrase;
    friend bool operator==(const PhraseEntry&, const PhraseEntry&) = default;
};

struct PhraseList {
    std::vector<PhraseEntry> entries;
    // Lines that are neither blank, nor a ";" comment, nor a phrase line.
    std::size_t unrecognisedLines = 0;
};

// Reads the lines of the decoded file (CR LF or LF line ends). The phrase runs from
// the first "=" to the end of the line and is kept exactly, "=" and spaces included.
PhraseList parsePhrases(std::wstring_view text);

} // namespace kana::standin

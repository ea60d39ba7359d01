// Conversions between the program's UTF-16 text and the encodings of its files.
#pragma once

#include "standin/config/phrase_file.h"

#include <string>
#include <string_view>

namespace kana::standin {

// Decodes a whole file: the byte-order mark chooses UTF-16LE or UTF-8; without one
// the bytes are in the system's ANSI code page.
std::wstring decodeFileText(std::string_view bytes);

std::string toUtf8(std::wstring_view text);

} // namespace kana::standin

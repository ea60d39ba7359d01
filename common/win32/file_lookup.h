// The existence test of the lexicon files: a directory look-up of the exact
// path that matches files and folders but not hidden or system files.
#pragma once

#include <string>

namespace kana::win32 {

bool existsByLookup(const std::wstring& path);

} // namespace kana::win32

// The existence test of the lexicon files: a directory look-up of the exact
// path that matches files and folders but not hidden or system files.
#pragma once

#include <windows.h>

#include <string>

namespace kana::win32 {

// What a directory look-up of one exact path found.
struct PathLookup {
    enum class State { Absent, Present, Failed };
    State state = State::Absent;
    DWORD attributes = 0; // Present: the entry's attributes
    DWORD error = 0;      // Failed: the system error (neither "file" nor "path not found")
};

// Hidden and system files count as absent.
PathLookup lookUpPath(const std::wstring& path);

bool existsByLookup(const std::wstring& path);

} // namespace kana::win32

// Reads the first line of a time-stamp file in the system's ANSI code page.
#pragma once

#include <string>

#include "app/load_handler.h"

namespace kana::win32 {

// Looks the path up in its directory (files and folders count, hidden and
// system files do not), then reads its first line.
TimeStampLine readTimeStamp(const std::wstring& path);

// A directory look-up of the exact path that matches files and folders but
// not hidden or system files.
bool existsByLookup(const std::wstring& path);

} // namespace kana::win32

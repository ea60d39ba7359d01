// Reads the first line of a time-stamp file in the system's ANSI code page.
#pragma once

#include <string>

#include "app/load_handler.h"
#include "common/win32/file_lookup.h"

namespace kana::win32 {

// Looks the path up in its directory (files and folders count, hidden and
// system files do not), then reads its first line.
TimeStampLine readTimeStamp(const std::wstring& path);

} // namespace kana::win32

// The checks on the input method's registry values before any file is
// touched. The program runs elevated and renames and deletes files in the
// folder the values name, so the folder must be what it seems: a local folder
// given by its full path, which the look-ups match exactly and which leads
// nowhere else.
#pragma once

#include "app/load_handler.h"

#include <optional>
#include <string>

namespace kana {

// What the Win32 layer found on disk about the two folders.
struct InputMethodFolders {
    bool versionDirExists = false;
    bool versionDirIsLink = false; // a junction or symbolic link (reparse point)
    bool installDirIsLink = false;
};

// Why the registry values cannot be used as they are, from their text alone.
std::optional<std::wstring> pathTextProblem(const RegistryValues& values);
// Why the folders cannot be used; a version folder that does not exist is no
// problem (the window then shows no phrase file and no backups).
std::optional<std::wstring> folderProblem(const InputMethodFolders& folders);
// The message that names the path and the reason; the program then ends.
std::wstring unsafePathMessage(const RegistryValues& values, const std::wstring& reason);

} // namespace kana

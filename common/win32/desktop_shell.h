// Starts programs and opens web addresses as the signed-in user, at normal
// integrity, although this program runs elevated: the request goes to the
// desktop's shell (Explorer), which runs unelevated, the way installers start a
// program "as the original user". Nothing started this way inherits the
// administrator rights.
#pragma once

#include <string>

namespace kana::win32 {

// Whether this process runs with administrator rights (an elevated token).
bool runsElevated();

// Asks the desktop's shell to open file (a program or an address) with the
// given current directory (empty: the shell's choice), in a normal window.
// The shell is let bring the new window to the front. False where the shell
// cannot be reached (no Explorer, or Wine) or runs as another user than this
// program (elevated with another user's password); the caller then starts the
// file itself.
bool openThroughDesktopShell(const std::wstring& file, const std::wstring& directory);

} // namespace kana::win32

// Turns system error codes into text a user can read.
#pragma once

#include <windows.h>

#include <string>

namespace kana::win32 {

// The system's own description of an error code, in Chinese where the system
// has it, with the code itself at the end.
std::wstring describeSystemError(DWORD code);

// The same for a COM result.
std::wstring describeComError(HRESULT result);

} // namespace kana::win32

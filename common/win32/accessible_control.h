// What screen readers and automation see of the custom controls (labels,
// links, pictures, frames): an MSAA object with the control's role and
// Chinese name, given in answer to WM_GETOBJECT.
#pragma once

#include <windows.h>

#include "common/layout.h"

namespace kana::win32 {

// The answer to WM_GETOBJECT(OBJID_CLIENT) for a custom control, or 0 to let
// the system answer (when the accessibility library cannot be loaded).
LRESULT answerAccessibleObject(HWND control, WPARAM flags, const ControlSpec& row);

} // namespace kana::win32

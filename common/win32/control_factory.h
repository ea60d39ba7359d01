// Makes the child window of one layout row: the window class, styles and
// extended styles that give each kind of control its look and behaviour.
#pragma once

#include <windows.h>

#include "common/layout.h"

namespace kana::win32 {

// True for the kinds drawn by the program itself (labels, frames, pictures).
bool isCustomControl(ControlKind kind);

// Creates the control of a row (not Line or Shape, which their container
// draws) inside parent at rect, hidden or disabled as the row says. Returns
// nullptr when the system cannot create it.
HWND createControlWindow(const ControlSpec& row, HWND parent, const RECT& rect);

} // namespace kana::win32

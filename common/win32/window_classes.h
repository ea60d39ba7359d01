// The window classes of the program's forms and of their custom controls.
#pragma once

#include <windows.h>

namespace kana::win32 {

inline constexpr wchar_t kFormClass[] = L"KanarouteForm";
inline constexpr wchar_t kFrameClass[] = L"KanarouteFrame";
inline constexpr wchar_t kLabelClass[] = L"KanarouteLabel";
inline constexpr wchar_t kPictureClass[] = L"KanaroutePicture";

// Registers the window classes the builder uses. Call once at start.
bool registerFormClasses(HINSTANCE instance);

// True for a window of the form class, that is, one of the program's own top-level windows.
bool isFormWindow(HWND hwnd);

} // namespace kana::win32

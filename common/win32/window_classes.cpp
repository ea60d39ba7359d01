#include "common/win32/window_classes.h"

#include <string_view>

#include "common/win32/form.h"

namespace kana::win32 {

namespace {

LRESULT CALLBACK customControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The controls of our own classes are handled by the form that owns them.
    if (Form* form = Form::of(hwnd); form != nullptr && form->hwnd() != nullptr) {
        return Form::windowProc(hwnd, message, wParam, lParam);
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace

bool registerFormClasses(HINSTANCE instance) {
    WNDCLASSEXW form{};
    form.cbSize = sizeof(form);
    form.lpfnWndProc = &Form::windowProc;
    form.hInstance = instance;
    form.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = kFormClass;
    if (::RegisterClassExW(&form) == 0) {
        return false;
    }
    WNDCLASSEXW control = form;
    control.lpfnWndProc = &customControlProc;
    for (const wchar_t* name : {kFrameClass, kLabelClass, kPictureClass}) {
        control.lpszClassName = name;
        if (::RegisterClassExW(&control) == 0) {
            return false;
        }
    }
    return true;
}

bool isFormWindow(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return std::wstring_view(name) == kFormClass;
}

} // namespace kana::win32

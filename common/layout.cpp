#include "common/layout.h"

namespace kana {

const ControlSpec* findControl(const WindowSpec& window, std::wstring_view name) {
    for (const ControlSpec& control : window.controls) {
        if (control.name == name) {
            return &control;
        }
    }
    return nullptr;
}

} // namespace kana

// The hint line `dlg`: the text and colour shown for the control under the pointer.
#pragma once

#include <optional>
#include <string_view>

#include "common/layout.h"

namespace kana {

struct Hint {
    std::wstring_view text;
    std::optional<Rgb> colour; // empty: the colour stays as it was
};

// The hint for a control of form1 (by name, "form1" for the window surface);
// empty when the control leaves the hint line alone.
std::optional<Hint> hintFor(std::wstring_view controlName);

struct HintLineState {
    std::wstring_view text;
    Rgb colour;
};

// The hint line after the pointer moved over the control.
HintLineState afterMouseMove(HintLineState current, std::wstring_view controlName);

inline constexpr HintLineState kInitialHintLine{L"说明：", kGreen};

} // namespace kana

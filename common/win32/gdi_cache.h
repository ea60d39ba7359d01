// The fonts and brushes of one window, made on first use and kept until the
// window goes (fonts until its DPI changes).
#pragma once

#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>
#include <string>

#include "common/layout.h"
#include "common/win32/handles.h"

namespace kana::win32 {

COLORREF toColorRef(Rgb colour);

class GdiCache {
  public:
    // Few of each: a list searched in order is all they need.
    using Fonts = std::vector<std::pair<std::wstring, unique_hfont>>;

    HFONT font(const FontSpec& font, int dpi);
    HBRUSH brush(Rgb colour);
    // Hands over every font made so far; the next calls make them afresh
    // (after a DPI change).
    Fonts takeFonts() {
        Fonts taken;
        taken.swap(fonts_);
        return taken;
    }

  private:
    Fonts fonts_;
    std::vector<std::pair<std::uint32_t, unique_hbrush>> brushes_;
};

} // namespace kana::win32

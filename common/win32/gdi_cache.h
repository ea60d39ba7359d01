// The fonts and brushes of one window, made on first use and kept until the
// window goes (brushes until the system's colours change). A font is kept for
// the DPI it was made at: asked again at another DPI, the cache makes another.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "common/layout.h"
#include "common/win32/handles.h"

namespace kana::win32 {

COLORREF toColorRef(Rgb colour);
Rgb fromColorRef(COLORREF colour);

// The value a short list keeps for key: the first time, make() makes it and
// the list keeps it. A list searched in order is all a few values need.
template <typename Key, typename Value, typename Make>
const Value& findOrAdd(std::vector<std::pair<Key, Value>>& list, const Key& key, Make make) {
    for (const auto& [known, value] : list) {
        if (known == key) {
            return value;
        }
    }
    return list.emplace_back(key, make()).second;
}

// What tells two cached fonts apart: the face, the size in hundredths of a
// point, the style and the DPI the size was turned into pixels at.
struct FontKey {
    std::wstring face;
    int hundredthsOfPoint = 0;
    bool bold = false;
    bool underline = false;
    int dpi = 0;
    bool operator==(const FontKey&) const = default;
};

class GdiCache {
  public:
    using Fonts = std::vector<std::pair<FontKey, unique_hfont>>;

    HFONT font(const FontSpec& font, int dpi);
    HBRUSH brush(Rgb colour);
    // Hands over every font made so far, so that the fonts of a DPI no longer
    // used go once the controls have those of the new one.
    Fonts takeFonts() {
        Fonts taken;
        taken.swap(fonts_);
        return taken;
    }
    // Lets every brush go; the next calls make them afresh (after the
    // system's colours or high contrast changed). The caller repaints
    // everything right after, so no control keeps using a brush let go here.
    void dropBrushes() { brushes_.clear(); }

  private:
    Fonts fonts_;
    std::vector<std::pair<std::uint32_t, unique_hbrush>> brushes_;
};

} // namespace kana::win32

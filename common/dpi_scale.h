// Sizes given for the standard 96 dots per inch, at another DPI.
#pragma once

namespace kana {

inline constexpr int kStandardDpi = 96;

// A length in pixels at 96 DPI scaled to dpi, rounded to nearest.
constexpr int scaleForDpi(int pixelsAt96, int dpi) {
    const long long scaled = static_cast<long long>(pixelsAt96) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + kStandardDpi / 2) / kStandardDpi
                                        : -((-scaled + kStandardDpi / 2) / kStandardDpi));
}

// A usable DPI: what the system reports, or 96 when it reports nothing sensible.
constexpr int usableDpi(int reported) {
    return reported >= 48 && reported <= 960 ? reported : kStandardDpi;
}

} // namespace kana

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

// The DPI to lay a window out at before it is first shown: that of the monitor
// it will appear on, where the system tells it (Windows 10 1607 and later),
// else the system DPI, as on Windows 7 and 8. monitorDpi 0: not told.
constexpr int firstLayoutDpi(int systemDpi, int monitorDpi) {
    return usableDpi(monitorDpi) == monitorDpi ? monitorDpi : usableDpi(systemDpi);
}

} // namespace kana

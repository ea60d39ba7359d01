#include "common/win32/gdi_cache.h"

namespace kana::win32 {

COLORREF toColorRef(Rgb colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

Rgb fromColorRef(COLORREF colour) {
    return Rgb{(static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
               (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour)};
}

HFONT GdiCache::font(const FontSpec& font, int dpi) {
    const FontKey key{std::wstring(font.face), static_cast<int>(font.points * 100 + 0.5), font.bold,
                      font.underline, dpi};
    return findOrAdd(fonts_, key,
                     [&] {
                         return unique_hfont(::CreateFontW(
                             pointsToPixelHeight(font.points, dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                             FALSE, font.underline ? TRUE : FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             key.face.c_str()));
                     })
        .get();
}

HBRUSH GdiCache::brush(Rgb colour) {
    return findOrAdd(brushes_, colour.value,
                     [&] { return unique_hbrush(::CreateSolidBrush(toColorRef(colour))); })
        .get();
}

} // namespace kana::win32

#include "common/win32/gdi_cache.h"

namespace kana::win32 {

COLORREF toColorRef(Rgb colour) {
    return RGB(colour.red(), colour.green(), colour.blue());
}

HFONT GdiCache::font(const FontSpec& font, int dpi) {
    std::wstring key = std::wstring(font.face) + L"|" + std::to_wstring(static_cast<int>(font.points * 100)) +
                       (font.bold ? L"b" : L"") + (font.underline ? L"u" : L"");
    for (const auto& [made, handle] : fonts_) {
        if (made == key) {
            return handle.get();
        }
    }
    const std::wstring face(font.face);
    unique_hfont made(::CreateFontW(pointsToPixelHeight(font.points, dpi), 0, 0, 0,
                                    font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline ? TRUE : FALSE,
                                    FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
    return fonts_.emplace_back(std::move(key), std::move(made)).second.get();
}

HBRUSH GdiCache::brush(Rgb colour) {
    for (const auto& [made, handle] : brushes_) {
        if (made == colour.value) {
            return handle.get();
        }
    }
    return brushes_.emplace_back(colour.value, unique_hbrush(::CreateSolidBrush(toColorRef(colour))))
        .second.get();
}

} // namespace kana::win32

// Pictures, icons and pointers loaded from the program's resources.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "common/layout.h"
#include "common/win32/handles.h"

namespace kana::win32 {

// A picture from the program's resources: a bitmap resource, which GDI draws
// as it is stored (uncompressed or run-length encoded), or a JPEG/GIF in an
// RCDATA resource, decoded by the system's picture object.
class Picture {
  public:
    Picture() = default;
    Picture(Picture&&) noexcept = default;
    Picture& operator=(Picture&&) noexcept = default;
    static Picture load(int resourceId);
    explicit operator bool() const { return bitmap_ != nullptr || static_cast<bool>(picture_); }
    // The picture's own size in pixels, scaled from 96 DPI to dpi.
    SIZE naturalSizePixels(int dpi) const;
    // Draws the whole picture into the given rectangle (stretched to fit it).
    void draw(HDC dc, const RECT& target) const;

  private:
    ComPtr<IPicture> picture_;
    // A bitmap resource: its header and colour table, and its pixels, both in
    // the program's resource section (nothing to free).
    const BITMAPINFO* bitmap_ = nullptr;
    const BYTE* pixels_ = nullptr;
};

// The mouse pointer for a pointer kind at a DPI (made once per size and kept
// for the whole run); nullptr for the class default.
HCURSOR pointerCursor(Pointer pointer, int dpi);

// The program icon at the given size in pixels.
unique_hicon programIcon(int size);

} // namespace kana::win32

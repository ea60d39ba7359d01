#include "common/win32/resources.h"

#include "common/dpi_scale.h"
#include "common/resource_ids.h"
#include "common/win32/startup_probe.h"

#include <cstring>
#include <vector>

namespace kana::win32 {

namespace {

// The bytes of a resource, which stay valid as long as the program runs.
const BYTE* resourceBytes(int resourceId, const wchar_t* type, DWORD& size) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), type);
    if (info == nullptr) {
        return nullptr;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    size = ::SizeofResource(module, info);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    return size != 0 ? static_cast<const BYTE*>(bytes) : nullptr;
}

// Where the pixels of a bitmap resource begin (after the header and the colour
// table), or nullptr when the header does not fit the resource. The program's
// bitmaps give the length of their colour table and the size of their pixels.
const BYTE* bitmapPixels(const BYTE* bytes, DWORD size) {
    BITMAPINFOHEADER header{};
    if (size < sizeof header) {
        return nullptr;
    }
    std::memcpy(&header, bytes, sizeof header);
    const unsigned long long offset = static_cast<unsigned long long>(header.biSize) +
                                      static_cast<unsigned long long>(header.biClrUsed) * 4;
    const bool fits = header.biSize >= sizeof header && header.biWidth > 0 && header.biHeight > 0 &&
                      header.biSizeImage != 0 && offset + header.biSizeImage <= size;
    return fits ? bytes + offset : nullptr;
}

} // namespace

Picture Picture::load(int resourceId) {
    const startup_probe::Span probe("picture-decoding");
    Picture result;
    DWORD size = 0;
    // A bitmap resource is drawn by GDI as it is stored; nothing to decode.
    if (const BYTE* bytes = resourceBytes(resourceId, MAKEINTRESOURCEW(2) /* RT_BITMAP */, size)) {
        if (const BYTE* pixels = bitmapPixels(bytes, size)) {
            result.bitmap_ = reinterpret_cast<const BITMAPINFO*>(bytes);
            result.pixels_ = pixels;
        }
        return result;
    }
    const BYTE* bytes = resourceBytes(resourceId, MAKEINTRESOURCEW(10) /* RT_RCDATA */, size);
    if (bytes == nullptr) {
        return result;
    }
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy == nullptr) {
        return result;
    }
    void* target = ::GlobalLock(copy);
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(copy);
    ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(copy, TRUE, stream.put()))) {
        ::GlobalFree(copy);
        return result;
    }
    ::OleLoadPicture(stream.get(), static_cast<LONG>(size), FALSE, IID_IPicture, result.picture_.putVoid());
    return result;
}

SIZE Picture::naturalSizePixels(int dpi) const {
    SIZE size{0, 0};
    if (bitmap_ != nullptr) {
        size.cx = scaleForDpi(bitmap_->bmiHeader.biWidth, dpi);
        size.cy = scaleForDpi(bitmap_->bmiHeader.biHeight, dpi);
        return size;
    }
    if (!picture_) {
        return size;
    }
    // The decoded bitmap holds the picture's own pixels; its HIMETRIC size
    // depends on the screen's DPI when it was loaded, so it is not used here.
    OLE_HANDLE handle = 0;
    BITMAP bitmap{};
    if (SUCCEEDED(picture_->get_Handle(&handle)) && handle != 0 &&
        ::GetObjectW(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(handle)), sizeof(bitmap), &bitmap) !=
            0) {
        size.cx = scaleForDpi(bitmap.bmWidth, dpi);
        size.cy = scaleForDpi(bitmap.bmHeight, dpi);
        return size;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    size.cx = ::MulDiv(width, dpi, 2540);
    size.cy = ::MulDiv(height, dpi, 2540);
    return size;
}

void Picture::draw(HDC dc, const RECT& target) const {
    const int width = target.right - target.left;
    const int height = target.bottom - target.top;
    if (bitmap_ != nullptr) {
        // Halftone keeps a scaled logo (at another DPI) smooth; at its own size it is copied as it is.
        const int previousMode = ::SetStretchBltMode(dc, HALFTONE);
        ::StretchDIBits(dc, target.left, target.top, width, height, 0, 0, bitmap_->bmiHeader.biWidth,
                        bitmap_->bmiHeader.biHeight, pixels_, bitmap_, DIB_RGB_COLORS, SRCCOPY);
        ::SetStretchBltMode(dc, previousMode);
        return;
    }
    if (!picture_) {
        return;
    }
    OLE_XSIZE_HIMETRIC pictureWidth = 0;
    OLE_YSIZE_HIMETRIC pictureHeight = 0;
    picture_->get_Width(&pictureWidth);
    picture_->get_Height(&pictureHeight);
    picture_->Render(dc, target.left, target.top, width, height, 0, pictureHeight, pictureWidth,
                     -pictureHeight, nullptr);
}

namespace {

// Turns an icon resource into a pointer whose hot spot is the icon's top-left tip.
HCURSOR cursorFromIcon(int iconId, int size, int hotX, int hotY) {
    HICON icon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(iconId), IMAGE_ICON, size, size, 0));
    if (icon == nullptr) {
        return nullptr;
    }
    ICONINFO info{};
    HCURSOR cursor = nullptr;
    if (::GetIconInfo(icon, &info)) {
        info.fIcon = FALSE;
        info.xHotspot = static_cast<DWORD>(hotX);
        info.yHotspot = static_cast<DWORD>(hotY);
        cursor = ::CreateIconIndirect(&info);
        if (info.hbmMask != nullptr) {
            ::DeleteObject(info.hbmMask);
        }
        if (info.hbmColor != nullptr) {
            ::DeleteObject(info.hbmColor);
        }
    }
    ::DestroyIcon(icon);
    return cursor;
}

} // namespace

HCURSOR pointerCursor(Pointer pointer, int dpi) {
    // Made once per size and kept for the whole run: pointers are shared by all windows.
    struct Made {
        Pointer pointer;
        int size;
        HCURSOR cursor;
    };
    static std::vector<Made> made;
    const int size = scaleForDpi(32, dpi);
    for (const Made& entry : made) {
        if (entry.pointer == pointer && entry.size == size) {
            return entry.cursor;
        }
    }
    const auto at = [dpi](int pixelsAt96) { return scaleForDpi(pixelsAt96, dpi); };
    HCURSOR cursor = nullptr;
    switch (pointer) {
    case Pointer::Default:
        break;
    case Pointer::ArrowQuestion:
        cursor = ::LoadCursorW(nullptr, IDC_HELP);
        break;
    case Pointer::ProgramPointer:
        cursor = cursorFromIcon(IDI_POINTER, size, at(1), at(1));
        break;
    case Pointer::ArrowIcon:
        cursor = cursorFromIcon(IDI_ARROW_POINTER, size, at(1), at(1));
        break;
    case Pointer::HandIcon:
        cursor = cursorFromIcon(IDI_HAND_POINTER, size, at(12), at(2));
        break;
    case Pointer::FaceIcon:
        cursor = cursorFromIcon(IDI_FACE_POINTER, size, at(16), at(16));
        break;
    }
    made.push_back({pointer, size, cursor});
    return cursor;
}

unique_hicon programIcon(int size) {
    return unique_hicon(static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, 0)));
}

} // namespace kana::win32

#include "common/win32/resources.h"

#include "common/resource_ids.h"

#include <cstring>
#include <map>

namespace kana::win32 {

Picture Picture::load(int resourceId) {
    Picture result;
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC info = ::FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    if (info == nullptr) {
        return result;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    const DWORD size = ::SizeofResource(module, info);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) {
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
    if (!picture_) {
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
    if (!picture_) {
        return;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture_->get_Width(&width);
    picture_->get_Height(&height);
    picture_->Render(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, 0,
                     height, width, -height, nullptr);
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

HCURSOR pointerCursor(Pointer pointer) {
    // Made once and kept for the whole run: pointers are shared by all windows.
    static std::map<Pointer, HCURSOR> made;
    if (auto found = made.find(pointer); found != made.end()) {
        return found->second;
    }
    HCURSOR cursor = nullptr;
    switch (pointer) {
    case Pointer::Default:
        break;
    case Pointer::ArrowQuestion:
        cursor = ::LoadCursorW(nullptr, IDC_HELP);
        break;
    case Pointer::ProgramPointer:
        cursor = cursorFromIcon(IDI_POINTER, 32, 1, 1);
        break;
    case Pointer::ArrowIcon:
        cursor = cursorFromIcon(IDI_ARROW_POINTER, 32, 1, 1);
        break;
    case Pointer::HandIcon:
        cursor = cursorFromIcon(IDI_HAND_POINTER, 32, 12, 2);
        break;
    case Pointer::FaceIcon:
        cursor = cursorFromIcon(IDI_FACE_POINTER, 32, 16, 16);
        break;
    }
    made[pointer] = cursor;
    return cursor;
}

HICON programIcon(int size) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM),
                                           IMAGE_ICON, size, size, LR_SHARED));
}

} // namespace kana::win32

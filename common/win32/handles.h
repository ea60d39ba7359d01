// RAII owners for the Win32 handles the program and the stand-in settings
// program use. Each handle is owned by exactly one object from the moment it
// is created.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <type_traits>

namespace kana::win32 {

// Null is the "no handle" value of most handle kinds; file and find handles use
// INVALID_HANDLE_VALUE instead.
struct NullIsInvalid {
    template <typename Handle> static Handle invalid() { return Handle{}; }
};
struct MinusOneIsInvalid {
    template <typename Handle> static Handle invalid() { return INVALID_HANDLE_VALUE; }
};

template <typename Handle, auto Close, typename InvalidValue = NullIsInvalid> class UniqueHandle {
    static Handle invalidValue() { return InvalidValue::template invalid<Handle>(); }

  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != invalidValue() && handle_ != Handle{}; }
    Handle release() {
        Handle handle = handle_;
        handle_ = invalidValue();
        return handle;
    }
    void reset(Handle handle) {
        if (handle == handle_) {
            return; // already owned: it stays open
        }
        if (handle_ != invalidValue() && handle_ != Handle{}) {
            Close(handle_);
        }
        handle_ = handle;
    }
    void reset() { reset(invalidValue()); }

  private:
    Handle handle_ = invalidValue();
};

inline void closeKey(HKEY key) {
    ::RegCloseKey(key);
}
inline void closeHandle(HANDLE handle) {
    ::CloseHandle(handle);
}
inline void closeFind(HANDLE handle) {
    ::FindClose(handle);
}
inline void deleteGdiObject(HGDIOBJ object) {
    ::DeleteObject(object);
}
inline void deleteDc(HDC dc) {
    ::DeleteDC(dc);
}
inline void destroyIcon(HICON icon) {
    ::DestroyIcon(icon);
}
inline void freeLibrary(HMODULE module) {
    ::FreeLibrary(module);
}
inline void freeLocal(HLOCAL memory) {
    ::LocalFree(memory);
}

using unique_hkey = UniqueHandle<HKEY, closeKey>;
using unique_handle = UniqueHandle<HANDLE, closeHandle>;
using unique_hfile = UniqueHandle<HANDLE, closeHandle, MinusOneIsInvalid>;
using unique_hfind = UniqueHandle<HANDLE, closeFind, MinusOneIsInvalid>;
using unique_hfont = UniqueHandle<HFONT, deleteGdiObject>;
using unique_hbrush = UniqueHandle<HBRUSH, deleteGdiObject>;
using unique_hpen = UniqueHandle<HPEN, deleteGdiObject>;
using unique_hbitmap = UniqueHandle<HBITMAP, deleteGdiObject>;
using unique_hdc = UniqueHandle<HDC, deleteDc>; // a memory device context
using unique_hicon = UniqueHandle<HICON, destroyIcon>;
using unique_hmodule = UniqueHandle<HMODULE, freeLibrary>;
// Memory the system allocated for the caller (FormatMessageW, CommandLineToArgvW).
using unique_hlocal = UniqueHandle<HLOCAL, freeLocal>;

// A COM interface pointer that releases its reference when it goes.
template <typename Interface> class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(other.ptr_) { other.ptr_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = other.ptr_;
            other.ptr_ = nullptr;
        }
        return *this;
    }
    ~ComPtr() { reset(); }

    Interface* get() const { return ptr_; }
    Interface* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    // For functions that hand back a new reference.
    Interface** put() {
        reset();
        return &ptr_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (ptr_ != nullptr) {
            ptr_->Release();
            ptr_ = nullptr;
        }
    }

  private:
    Interface* ptr_ = nullptr;
};

// Keeps COM initialised on this thread for the lifetime of the object.
class ComApartment {
  public:
    ComApartment() : ok_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (ok_) {
            ::CoUninitialize();
        }
    }

  private:
    bool ok_;
};

// A device context obtained with GetDC (or GetDCEx), released on scope exit.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    WindowDc(HWND hwnd, DWORD flags) : hwnd_(hwnd), dc_(::GetDCEx(hwnd, nullptr, flags)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(hwnd_, dc_);
        }
    }
    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// Selects a GDI object into a DC and puts the previous one back.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { ::SelectObject(dc_, previous_); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

} // namespace kana::win32

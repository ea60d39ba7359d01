// Small owners and helpers for late-bound COM automation (IDispatch), shared by
// the registry reads through the script host and the browser links.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

namespace kana::win32 {

// A BSTR owned by one object.
class Bstr {
  public:
    explicit Bstr(std::wstring_view text)
        : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(value_); }
    BSTR get() const { return value_; }

  private:
    BSTR value_;
};

// A VARIANT cleared when it goes.
class Variant {
  public:
    Variant() { ::VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&value_); }
    VARIANT* get() { return &value_; }

  private:
    VARIANT value_;
};

// The dispatch identifier of a member, looked up by name at run time.
inline HRESULT dispatchId(IDispatch& object, const wchar_t* name, DISPID& id) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}

} // namespace kana::win32

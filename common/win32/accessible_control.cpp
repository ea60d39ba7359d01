#include "common/win32/accessible_control.h"

#include <oleacc.h>
#include <oleidl.h>

#include <string>

#include "common/accessible_names.h"
#include "common/win32/handles.h"

namespace kana::win32 {

namespace {

// oleacc.dll is loaded on the first question from assistive technology, so
// that a start without one does not pay for it.
struct AccessibilityLibrary {
    using CreateStandard = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using ResultFromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

    unique_hmodule module{::LoadLibraryW(L"oleacc.dll")};
    CreateStandard createStandard = module ? reinterpret_cast<CreateStandard>(reinterpret_cast<void*>(
                                                 ::GetProcAddress(module.get(), "CreateStdAccessibleObject")))
                                           : nullptr;
    ResultFromObject resultFromObject = module ? reinterpret_cast<ResultFromObject>(reinterpret_cast<void*>(
                                                     ::GetProcAddress(module.get(), "LresultFromObject")))
                                               : nullptr;
};

const AccessibilityLibrary& accessibilityLibrary() {
    static const AccessibilityLibrary library;
    return library;
}

LONG msaaRole(AccessibleRole role) {
    switch (role) {
    case AccessibleRole::StaticText:
        return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::Link:
        return ROLE_SYSTEM_LINK;
    case AccessibleRole::Graphic:
        return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::Grouping:
        return ROLE_SYSTEM_GROUPING;
    case AccessibleRole::Standard:
        break;
    }
    return 0;
}

bool isSelf(const VARIANT& child) {
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// One object for one control: its role, name and default action, and the
// window behind it; what it leaves to the system (location, state, parent,
// navigation) it asks the system's standard object for the same window. It
// hands out only its own interfaces, so that every interface a client gets
// from it leads back to it.
class AccessibleControl final : public IAccessible, public IOleWindow {
  public:
    AccessibleControl(HWND hwnd, const ControlSpec& row, ComPtr<IAccessible> standard)
        : hwnd_(hwnd), row_(row), standard_(std::move(standard)) {}
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
        } else if (iid == IID_IOleWindow) {
            *object = static_cast<IOleWindow*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) {
            delete this;
        }
        return static_cast<ULONG>(left);
    }

    // IOleWindow: the control's window, which is how clients such as
    // WindowFromAccessibleObject find it.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = hwnd_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        return standard_->GetTypeInfoCount(count);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    // Scripted clients ask through Invoke: the members this object answers
    // itself give the same answers there; the others are the standard object's.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        VARIANT child;
        if (!isOwnMember(id) || (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)) == 0 ||
            !childArgument(parameters, child)) {
            return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, argumentError);
        }
        if (id == DISPID_ACC_DODEFAULTACTION) {
            return accDoDefaultAction(child);
        }
        VARIANT answer;
        ::VariantInit(&answer);
        HRESULT hr = S_OK;
        switch (id) {
        case DISPID_ACC_NAME:
        case DISPID_ACC_DEFAULTACTION: {
            BSTR text = nullptr;
            hr = id == DISPID_ACC_NAME ? get_accName(child, &text) : get_accDefaultAction(child, &text);
            answer.vt = VT_BSTR;
            answer.bstrVal = text;
            break;
        }
        case DISPID_ACC_ROLE:
            hr = get_accRole(child, &answer);
            break;
        default:
            hr = get_accState(child, &answer);
            break;
        }
        if (result != nullptr && SUCCEEDED(hr)) {
            *result = answer;
        } else {
            ::VariantClear(&answer);
        }
        return hr;
    }

    // IAccessible: the name and role of the control itself; the rest as the system gives it.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!isSelf(child)) {
            return standard_->get_accName(child, name);
        }
        if (name == nullptr) {
            return E_POINTER;
        }
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
        text.resize(
            static_cast<std::size_t>(::GetWindowTextW(hwnd_, text.data(), static_cast<int>(text.size()))));
        const std::wstring accessible = accessibleNameOf(row_, text);
        *name = ::SysAllocStringLen(accessible.data(), static_cast<UINT>(accessible.size()));
        return *name != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!isSelf(child)) {
            return standard_->get_accRole(child, role);
        }
        if (role == nullptr) {
            return E_POINTER;
        }
        role->vt = VT_I4;
        role->lVal = msaaRole(accessibleRoleOf(row_));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        const HRESULT result = standard_->get_accState(child, state);
        if (SUCCEEDED(result) && isSelf(child) && state != nullptr && state->vt == VT_I4) {
            if (accessibleRoleOf(row_) == AccessibleRole::Link) {
                state->lVal |= STATE_SYSTEM_LINKED;
            }
            if ((row_.flags & kTabStop) != 0) {
                state->lVal |= STATE_SYSTEM_FOCUSABLE;
            }
        }
        return result;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return standard_->get_accParent(parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return standard_->get_accChildCount(count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return standard_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        const std::wstring_view text = defaultActionOf(row_);
        if (!isSelf(child) || text.empty()) {
            return standard_->get_accDefaultAction(child, action);
        }
        if (action == nullptr) {
            return E_POINTER;
        }
        *action = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *action != nullptr ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override {
        return standard_->accHitTest(left, top, child);
    }
    // Does what a click does, once the caller has its answer: the click may
    // open a window or a message box, which must not run inside the call.
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!isSelf(child) || !clicksFromKeyboard(row_)) {
            return standard_->accDoDefaultAction(child);
        }
        if (!defaultActionStillApplies(hwnd_)) {
            return E_FAIL; // a hidden, disabled or destroyed control cannot be clicked either
        }
        return ::PostMessageW(hwnd_, kDefaultActionMessage, 0, 0) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

  private:
    ~AccessibleControl() = default;

    static bool isOwnMember(DISPID id) {
        return id == DISPID_ACC_NAME || id == DISPID_ACC_ROLE || id == DISPID_ACC_STATE ||
               id == DISPID_ACC_DEFAULTACTION || id == DISPID_ACC_DODEFAULTACTION;
    }

    // The child that an Invoke call names: its one optional argument, or the
    // object itself when the argument is left out. False for an argument this
    // object does not understand; the standard object then answers.
    static bool childArgument(const DISPPARAMS* parameters, VARIANT& child) {
        ::VariantInit(&child);
        child.vt = VT_I4;
        child.lVal = CHILDID_SELF;
        if (parameters == nullptr || parameters->cArgs == 0) {
            return true;
        }
        if (parameters->cArgs != 1 || parameters->cNamedArgs != 0) {
            return false;
        }
        VARIANT* given = &parameters->rgvarg[0];
        if (given->vt == (VT_BYREF | VT_VARIANT) && given->pvarVal != nullptr) {
            given = given->pvarVal;
        }
        if (given->vt == VT_ERROR && given->scode == DISP_E_PARAMNOTFOUND) {
            return true;
        }
        if (given->vt != VT_I4) {
            return false;
        }
        child.lVal = given->lVal;
        return true;
    }

    LONG references_ = 1;
    HWND hwnd_;
    const ControlSpec& row_;
    ComPtr<IAccessible> standard_;
};

} // namespace

// While a message box is up, its owner is disabled but the owner's controls
// are not: the window must take input too.
bool defaultActionStillApplies(HWND control) {
    HWND window = ::GetAncestor(control, GA_ROOT);
    return ::IsWindowVisible(control) && ::IsWindowEnabled(control) && window != nullptr &&
           ::IsWindowEnabled(window);
}

LRESULT AccessibleSlot::answer(HWND control, WPARAM flags, const ControlSpec& row) {
    if (accessibleRoleOf(row) == AccessibleRole::Standard) {
        return 0;
    }
    const AccessibilityLibrary& library = accessibilityLibrary();
    if (library.createStandard == nullptr || library.resultFromObject == nullptr) {
        return 0;
    }
    if (!object_) {
        ComPtr<IAccessible> standard;
        if (FAILED(
                library.createStandard(control, OBJID_CLIENT, __uuidof(IAccessible), standard.putVoid()))) {
            return 0;
        }
        // The slot takes the new object's first reference.
        IAccessible* made = new AccessibleControl(control, row, std::move(standard));
        *object_.put() = made;
    }
    const LRESULT result = library.resultFromObject(__uuidof(IAccessible), flags, object_.get());
    return result > 0 ? result : 0;
}

void announceNameChange(HWND control) {
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, control, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace kana::win32

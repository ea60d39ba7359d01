// The first frame of a form. When a window is first shown, the system erases
// and paints each of its child windows on its own; under Wine every one of
// them costs about a millisecond (a device context with its own clipping each
// time), which was a large part of the program's start-up. So the controls'
// pending erase and paint are taken away as soon as the window's own erase
// begins, and the form paints them all at once through its own device
// context: its own controls with the code that paints them later on, the
// system's buttons by printing themselves into a memory bitmap that is copied
// into place. Text boxes still paint themselves.
#include "common/win32/form.h"

#include <algorithm>

#include "common/win32/control_factory.h"

namespace kana::win32 {

namespace {

// The rectangle of a child window in the client coordinates of window.
RECT rectIn(HWND window, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

// Where the system's controls print themselves: a bitmap as large as the
// largest of them, made when the first one needs it.
class Form::FirstFrameCanvas {
  public:
    FirstFrameCanvas(HDC target, SIZE size) : target_(target), size_(size) {}

    // Asks control to print its client area and copies that to rect of the
    // target. False when there is no bitmap to print into.
    bool print(HWND control, const RECT& rect) {
        if (!memory_ && !bitmap_) {
            memory_.reset(::CreateCompatibleDC(target_));
            bitmap_.reset(::CreateCompatibleBitmap(target_, size_.cx, size_.cy));
            if (memory_ && bitmap_) {
                ::SelectObject(memory_.get(), bitmap_.get());
            }
        }
        if (!memory_ || !bitmap_) {
            return false;
        }
        const int saved = ::SaveDC(memory_.get());
        ::SendMessageW(control, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory_.get()),
                       PRF_CLIENT | PRF_ERASEBKGND);
        ::RestoreDC(memory_.get(), saved);
        return ::BitBlt(target_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                        memory_.get(), 0, 0, SRCCOPY) != FALSE;
    }

  private:
    HDC target_;
    SIZE size_;
    unique_hdc memory_;
    unique_hbitmap bitmap_;
};

bool Form::inFirstFrame(const ControlState& control) {
    return control.row->kind != ControlKind::TextBox;
}

void Form::showFirstTime(int showCommand) {
    showingFirstTime_ = true;
    ::ShowWindow(hwnd_, showCommand);
    showingFirstTime_ = false;
}

void Form::keepControlsOutOfFirstRedraw() {
    // Called from the window's own erase while it is first shown, before the
    // system goes on to erase each control. The controls stay visible all the
    // while: a screen reader or a test that looks at them as soon as the
    // window appears finds them there.
    for (const ControlState& control : controls_) {
        if (control.hwnd == nullptr || !inFirstFrame(control)) {
            continue;
        }
        UINT flags = RDW_VALIDATE | RDW_NOERASE | RDW_NOCHILDREN;
        if ((::GetWindowLongPtrW(control.hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) == 0) {
            flags |= RDW_NOFRAME; // nothing to draw outside its client area
        }
        ::RedrawWindow(control.hwnd, nullptr, nullptr, flags);
    }
}

void Form::paintFirstFrame() {
    const WindowDc dc(hwnd_, DCX_CACHE); // not clipped to the child windows
    if (dc.get() == nullptr) {
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return;
    }
    SIZE largest{1, 1};
    for (const ControlState& control : controls_) {
        if (control.hwnd == nullptr || !::IsWindowVisible(control.hwnd)) {
            continue;
        }
        const RECT rect = rectIn(hwnd_, control.hwnd);
        if (!inFirstFrame(control)) {
            // What a text box shows is its own to paint.
            ::ExcludeClipRect(dc.get(), rect.left, rect.top, rect.right, rect.bottom);
        } else if (!isCustomControl(control.row->kind)) {
            largest.cx = std::max(largest.cx, rect.right - rect.left);
            largest.cy = std::max(largest.cy, rect.bottom - rect.top);
        }
    }
    FirstFrameCanvas canvas(dc.get(), largest);
    paintContainer(hwnd_, dc.get());
    ::ValidateRect(hwnd_, nullptr);
    paintControlsOf({}, dc.get(), canvas);
}

void Form::paintControlsOf(std::wstring_view container, HDC dc, FirstFrameCanvas& canvas) {
    // Rows are listed front to back: the ones behind are painted first.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        ControlState& control = *it;
        if (control.row->container != container || control.hwnd == nullptr || !inFirstFrame(control) ||
            !::IsWindowVisible(control.hwnd)) {
            continue;
        }
        const RECT rect = rectIn(hwnd_, control.hwnd);
        if (!::RectVisible(dc, &rect)) {
            // Not to be reached through this device context (off the screen,
            // or clipped away): the control paints itself when it is seen.
            ::RedrawWindow(control.hwnd, nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
            continue;
        }
        const int saved = ::SaveDC(dc);
        ::IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
        bool painted = true;
        if (isCustomControl(control.row->kind)) {
            POINT origin{};
            ::OffsetViewportOrgEx(dc, rect.left, rect.top, &origin);
            paintControl(control, dc);
            ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
        } else {
            painted = canvas.print(control.hwnd, rect);
        }
        if (!painted) {
            // Out of GDI resources: the control paints itself.
            ::RedrawWindow(control.hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        } else {
            // It need not paint itself as well (a focus change, say, may have asked it to).
            ::RedrawWindow(control.hwnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
            if (control.row->kind == ControlKind::Frame) {
                // Its controls, clipped to the frame.
                paintControlsOf(control.row->name, dc, canvas);
            }
        }
        ::RestoreDC(dc, saved);
    }
}

} // namespace kana::win32

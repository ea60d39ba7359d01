// What screen readers and automation see of the custom controls (labels,
// links, pictures, frames): an MSAA object with the control's role, Chinese
// name and default action, given in answer to WM_GETOBJECT.
#pragma once

#include <windows.h>

#include "common/layout.h"
#include "common/win32/handles.h"

namespace kana::win32 {

// Posted to a control by its accessible object's default action; the control
// then does what a click on it does. Private to the program's control classes.
inline constexpr UINT kDefaultActionMessage = WM_APP + 0x41;

// The accessible object of one control: made on the first question and kept
// until the control is destroyed, so that every question meets the same object.
class AccessibleSlot {
  public:
    // The answer to WM_GETOBJECT(OBJID_CLIENT) for a custom control, or 0 to
    // let the system answer (when the accessibility library cannot be loaded).
    LRESULT answer(HWND control, WPARAM flags, const ControlSpec& row);
    // The control is going: the program lets go of its object (clients that
    // still hold it get errors from then on).
    void release() { object_.reset(); }

  private:
    ComPtr<IUnknown> object_; // the control's IAccessible
};

// Whether a default action posted to the control may still be carried out
// when it arrives: the control is shown and enabled, and so is its window
// (a message box may have opened in between).
bool defaultActionStillApplies(HWND control);

// Tells assistive technology that the control's name changed (a label's text).
void announceNameChange(HWND control);

} // namespace kana::win32

// A top-level window built from a layout table by one generic builder. Each
// window of the program derives from Form and overrides the handlers it needs;
// the window procedure routes messages to them.
//
// The builder's jobs live in their own files: form.cpp (lifetime, routing and
// the control accessors), control_factory.cpp (one child window per row),
// form_paint.cpp (painting and text layout), form_colours.cpp (the colours
// under the user's scheme and high contrast), form_keyboard.cpp (Tab, arrows,
// Enter and Esc), form_dpi.cpp (the layout at the window's DPI), with the
// helpers gdi_cache, capture_click, focus_memory and accessible_control.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/colour_scheme.h"
#include "common/layout.h"
#include "common/win32/accessible_control.h"
#include "common/win32/capture_click.h"
#include "common/win32/focus_memory.h"
#include "common/win32/gdi_cache.h"
#include "common/win32/handles.h"
#include "common/win32/resources.h"

namespace kana::win32 {

class Form {
  public:
    explicit Form(const WindowSpec& layout);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // The form that a window of the program (the form itself or one of its
    // controls) belongs to, or nullptr.
    static Form* of(HWND hwnd);

    // Creates the window and all its controls, hidden. Returns false when the
    // window cannot be created.
    bool create();
    HWND hwnd() const { return hwnd_; }
    bool exists() const { return hwnd_ != nullptr; }
    int dpi() const { return dpi_; }

    HWND control(int id) const;
    std::wstring text(int id) const;
    void setText(int id, std::wstring_view text);
    void setForeColour(int id, Rgb colour);
    std::optional<Rgb> foreColour(int id) const;
    void setBackground(int id, Background background);
    void setEnabled(int id, bool enabled);
    bool isEnabled(int id) const;
    void setChecked(int id, bool checked);
    bool isChecked(int id) const;
    void setVisible(int id, bool visible);
    // Selects an option button and deselects the others of its own container.
    void selectOption(int id);
    void setPicture(int id, const Picture* picture, bool stretch);
    // The picture the layout gives a control (loaded at create), or nullptr.
    const Picture* layoutPicture(PictureId picture) const;
    // Gives the keyboard focus to the first control in the tab order.
    void focusFirstControl();
    // Sets the window's outer size in twips.
    void setOuterSizeTwips(int width, int height);

    // Uses a key press meant for this window as a dialog does (Tab, arrows in
    // an option group, Enter, Esc). Returns true when the message was used.
    bool handleDialogKey(const MSG& message);

    // The window procedure of every form and of every control container.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  protected:
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A click on a button, a label, a picture or a frame.
    virtual void onClick(int /*id*/) {}
    // The pointer moved over an enabled control (or over a frame).
    virtual void onControlMouseMove(int /*id*/) {}
    // The pointer moved over the window's own surface.
    virtual void onSurfaceMouseMove() {}
    virtual void onSurfaceClick() {}
    virtual void onActivate(HWND /*previous*/) {}
    // The window is being destroyed; the object stays until its owner drops it.
    virtual void onDestroyed() {}
    virtual void onCloseBox() { ::DestroyWindow(hwnd_); }
    // Esc pressed in the window. Windows that close on Esc call onCloseBox().
    virtual void onEscape() {}

    const WindowSpec& windowLayout() const { return layout_; }

  private:
    struct ControlState {
        const ControlSpec* row = nullptr; // the control's row in the layout table
        HWND hwnd = nullptr;
        HFONT font = nullptr;
        std::optional<Rgb> fore;
        Background background = Background::Transparent;
        const Picture* picture = nullptr;
        bool stretch = false;
        AccessibleSlot accessible; // one object per control for assistive technology
    };

    ControlState* state(int id);
    const ControlState* state(int id) const;
    ControlState* stateOf(HWND hwnd);
    HWND containerWindow(std::wstring_view container) const;
    bool createControl(ControlState& control);
    LRESULT controlMessage(ControlState& control, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT mouseMessage(HWND target, int id, UINT message, LPARAM lParam);
    void applyActivation(WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR idSubclass, DWORD_PTR refData);

    // The layout at the window's DPI (form_dpi.cpp).
    void readInitialDpi();
    // Before the window is first shown: the DPI of the monitor it will appear
    // on, where that differs from the system's, with the window's size (of
    // these styles) at it. Called before the fonts and controls are made.
    void adoptMonitorDpi(DWORD style, DWORD exStyle);
    RECT pixelRect(const ControlSpec& control) const;
    int scaled(int pixelsAt96) const;
    void applyLayoutAtDpi();
    void applyWindowIcons();
    void onDpiChanged(int dpi, const RECT& suggested);

    // Colours (form_colours.cpp): the user's scheme, read at creation and
    // again whenever the system says it changed.
    void readColourScheme();
    void onColourSettingChange();
    Surface surfaceOf(HWND hwnd);
    Rgb textColourOf(const ControlState& control, const Surface& surface) const;
    LRESULT answerControlColour(HDC dc, HWND hwnd);

    // Painting and text layout (form_paint.cpp).
    HBRUSH backgroundBrushOf(HWND hwnd);
    void paintContainer(HWND container, HDC dc);
    void paintLabel(ControlState& control, HDC dc);
    void paintPicture(ControlState& control, HDC dc);
    void paintControl(ControlState& control, HDC dc);
    void paintButton(const DRAWITEMSTRUCT& item);

    // Keyboard navigation (form_keyboard.cpp).
    std::vector<const ControlState*> tabOrder() const;
    void moveFocus(bool forward);
    bool moveWithinOptionGroup(HWND focus, bool forward);
    bool pressFocusedOrDefault();
    // Enter and Space on a focused link or clickable picture do what a click does.
    bool focusClicksFromKeyboard();
    void clickFocusedControl();
    // Keyboard use shows the focus rectangles that mouse use leaves hidden.
    void showFocusCues();

    const WindowSpec& layout_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    std::vector<ControlState> controls_;
    GdiCache gdi_;
    ColourScheme colours_;
    HFONT defaultFont_ = nullptr;
    // The pictures the layout names, by PictureId, each loaded once.
    static constexpr std::size_t kPictureIds = static_cast<std::size_t>(PictureId::HelpIllustration) + 1;
    std::array<Picture, kPictureIds> pictures_;
    std::array<bool, kPictureIds> pictureLoaded_{};
    CaptureClick click_;
    FocusMemory focus_;
    unique_hicon bigIcon_;
    unique_hicon smallIcon_;
};

// Hands a key press to the program window it is meant for (see
// Form::handleDialogKey). Returns true when the message was used.
bool isProgramDialogKey(MSG& message);

} // namespace kana::win32

// A top-level window built from a layout table by one generic builder. Each
// window of the program derives from Form and overrides the handlers it needs;
// the window procedure routes messages to them.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/layout.h"
#include "common/win32/handles.h"
#include "common/win32/resources.h"

namespace kana::win32 {

class Form {
  public:
    explicit Form(const WindowSpec& layout);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form();

    // Creates the window and all its controls, hidden. Returns false (with the
    // system's reason in lastError()) when the window cannot be created.
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
        bool pressed = false; // a label or picture that saw the button go down
    };

    ControlState* state(int id);
    const ControlState* state(int id) const;
    ControlState* stateOf(HWND hwnd);
    HWND containerWindow(std::wstring_view container) const;
    RECT pixelRect(const ControlSpec& control) const;
    HFONT fontFor(const FontSpec& font);
    HBRUSH brushFor(Rgb colour);
    HBRUSH backgroundBrushOf(HWND hwnd);
    bool createControl(ControlState& control);
    void paintContainer(HWND container, HDC dc);
    void paintLabel(ControlState& control, HDC dc);
    void paintPicture(ControlState& control, HDC dc);
    void paintButton(const DRAWITEMSTRUCT& item);
    void moveFocus(bool forward);
    bool pressDefaultButton();
    LRESULT controlMessage(ControlState& control, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                                UINT_PTR idSubclass, DWORD_PTR refData);

    const WindowSpec& layout_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;
    std::vector<ControlState> controls_;
    std::map<std::wstring, unique_hfont> fonts_;
    std::map<std::uint32_t, unique_hbrush> brushes_;
    HFONT defaultFont_ = nullptr;
    std::map<PictureId, Picture> pictures_; // the pictures the layout names, loaded once

    friend bool isProgramDialogKey(MSG& message);
};

// Handles Tab and Shift+Tab for the program's windows in their own tab order.
// Returns true when the message was used.
bool isProgramDialogKey(MSG& message);

// Registers the window classes the builder uses. Call once at start.
bool registerFormClasses(HINSTANCE instance);

} // namespace kana::win32

// The pages of the settings window as data: one row per control, positions in
// pixels relative to the page area on the right of the page list.
#pragma once

#include <span>

namespace kana::standin {

enum class PageControlKind {
    GroupBox,
    Label,
    CheckBox,
    FirstRadio, // starts a new group of option buttons
    Radio,
    Button,
    ComboBox, // a drop-down list; its text is the chosen item
};

struct PageControl {
    int page;
    PageControlKind kind;
    int id; // 0 for controls nothing refers to
    const wchar_t* text;
    int left;
    int top;
    int width;
    int height;
    bool checked = false;
    bool enabled = true;
};

struct PageInfo {
    const wchar_t* name;  // the entry in the page list
    const wchar_t* title; // the heading above the page
};

inline constexpr int kAdvancedPage = 4;

std::span<const PageInfo> settingsPages();
std::span<const PageControl> settingsPageControls();

} // namespace kana::standin

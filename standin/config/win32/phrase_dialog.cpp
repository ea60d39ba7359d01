#include "standin/config/win32/phrase_dialog.h"

#include "standin/config/config_texts.h"
#include "standin/config/phrase_file.h"
#include "standin/config/win32/own_files.h"
#include "standin/config/win32/resource.h"
#include "standin/config/win32/text_codec.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

namespace kana::standin {

namespace {

struct PhraseDialogState {
    PhraseDialogPlacement placement = PhraseDialogPlacement::OverOwner;
    std::wstring path;
    std::string originalBytes; // saved back unchanged, in the encoding they came in
    PhraseList phrases;
};

void showMessage(HWND owner, const std::wstring& text) {
    MessageBoxW(owner, text.c_str(), std::wstring(kMessageTitle).c_str(), MB_OK | MB_ICONWARNING);
}

void addColumn(HWND list, int index, const wchar_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(title);
    column.cx = width;
    column.iSubItem = index;
    ListView_InsertColumn(list, index, &column);
}

void fillList(HWND list, const PhraseList& phrases) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    RECT area{};
    GetClientRect(list, &area);
    const int abbreviationWidth = 70;
    const int positionWidth = 44;
    addColumn(list, 0, L"缩写", abbreviationWidth);
    addColumn(list, 1, L"位置", positionWidth);
    addColumn(list, 2, L"短语", (area.right - area.left) - abbreviationWidth - positionWidth - 4);
    int row = 0;
    for (const PhraseEntry& entry : phrases.entries) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = const_cast<wchar_t*>(entry.abbreviation.c_str());
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(entry.position.c_str()));
        ListView_SetItemText(list, row, 2, const_cast<wchar_t*>(entry.phrase.c_str()));
        ++row;
    }
}

int clampedStart(int wanted, int size, LONG low, LONG high) {
    return std::clamp(wanted, static_cast<int>(low),
                      std::max(static_cast<int>(low), static_cast<int>(high) - size));
}

// Keeps the dialog on the owner's monitor. Side by side, the two windows are
// centred as a pair when they fit; otherwise the dialog overlaps the owner.
void placeDialog(HWND dialog, HWND owner, PhraseDialogPlacement placement) {
    RECT ownerRect{};
    RECT dialogRect{};
    if (!owner || !GetWindowRect(owner, &ownerRect) || !GetWindowRect(dialog, &dialogRect)) {
        return;
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const int ownerWidth = ownerRect.right - ownerRect.left;
    const int ownerHeight = ownerRect.bottom - ownerRect.top;
    const int width = dialogRect.right - dialogRect.left;
    const int height = dialogRect.bottom - dialogRect.top;
    constexpr int kGap = 8;
    constexpr int kDrop = 40;
    const int pairWidth = ownerWidth + kGap + width;
    const int pairHeight = std::max(ownerHeight, kDrop + height);
    if (placement == PhraseDialogPlacement::BesideOwner && pairWidth <= work.right - work.left &&
        pairHeight <= work.bottom - work.top) {
        const int ownerLeft = work.left + ((work.right - work.left) - pairWidth) / 2;
        const int ownerTop = work.top + ((work.bottom - work.top) - pairHeight) / 2;
        SetWindowPos(owner, nullptr, ownerLeft, ownerTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SetWindowPos(dialog, nullptr, ownerLeft + ownerWidth + kGap, ownerTop + kDrop, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    SetWindowPos(dialog, nullptr, clampedStart(ownerRect.left + 150, width, work.left, work.right),
                 clampedStart(ownerRect.top + 90, height, work.top, work.bottom), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void onInitDialog(HWND dialog, PhraseDialogState& state) {
    SetDlgItemTextW(dialog, IDC_PHRASE_PATH, (L"短语文件：" + state.path).c_str());
    fillList(GetDlgItem(dialog, IDC_PHRASE_LIST), state.phrases);
    SetDlgItemTextW(dialog, IDC_PHRASE_STATUS,
                    phraseCountText(state.phrases.entries.size(), state.phrases.unrecognisedLines).c_str());
    placeDialog(dialog, GetWindow(dialog, GW_OWNER), state.placement);
}

void onSave(HWND dialog, const PhraseDialogState& state) {
    const DWORD error = replaceWholeFile(state.path, state.originalBytes);
    if (error != ERROR_SUCCESS) {
        showMessage(dialog, phraseFileNotSavedMessage(state.path, systemErrorText(error)));
        return;
    }
    appendToStartLog(kSavedRecord);
    SetDlgItemTextW(
        dialog, IDC_PHRASE_STATUS,
        (phraseCountText(state.phrases.entries.size(), state.phrases.unrecognisedLines) + L"，已保存")
            .c_str());
}

INT_PTR CALLBACK phraseDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<PhraseDialogState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        onInitDialog(dialog, *state);
        return TRUE;
    }
    case WM_COMMAND: {
        auto* state = reinterpret_cast<PhraseDialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
        switch (LOWORD(wParam)) {
        case IDC_PHRASE_SAVE:
            if (state) {
                onSave(dialog, *state);
            }
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        default:
            break;
        }
        break;
    }
    default:
        break;
    }
    return FALSE;
}

} // namespace

void runPhraseDialog(HINSTANCE instance, HWND owner, PhraseDialogPlacement placement) {
    PhraseDialogState state;
    state.placement = placement;
    state.path = ownFolder() + L"\\" + std::wstring(kPhraseFileName);
    FileContents contents = readWholeFile(state.path);
    switch (contents.status) {
    case FileContents::Status::Missing:
        showMessage(owner, phraseFileMissingMessage(state.path));
        return;
    case FileContents::Status::Unreadable:
        showMessage(owner, phraseFileUnreadableMessage(state.path, systemErrorText(contents.error)));
        return;
    case FileContents::Status::Read:
        break;
    }
    state.phrases = parsePhrases(decodeFileText(contents.bytes));
    state.originalBytes = std::move(contents.bytes);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_PHRASES), owner, phraseDialogProc,
                    reinterpret_cast<LPARAM>(&state));
}

} // namespace kana::standin

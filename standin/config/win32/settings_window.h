// The main window of the stand-in settings program: a page list on the left, the
// chosen page on the right, and 确定, 取消 and 应用 at the bottom.
#pragma once

#include "standin/config/start_options.h"
#include "common/win32/handles.h"

#include <windows.h>

#include <vector>

namespace kana::standin {

class SettingsWindow {
  public:
    explicit SettingsWindow(HINSTANCE instance);
    SettingsWindow(const SettingsWindow&) = delete;
    SettingsWindow& operator=(const SettingsWindow&) = delete;

    // Creates and shows the window; false if the window could not be created.
    bool create(const StartOptions& options, int showCommand);
    HWND handle() const { return window_; }

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void onCreate();
    void onCommand(int id, int notification);
    void showPage(int page);
    HWND addChild(const wchar_t* className, const wchar_t* text, DWORD style, int id, int left, int top,
                  int width, int height, HFONT font, DWORD exStyle = 0);
    void createPageControls();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    win32::unique_hfont font_;
    win32::unique_hfont titleFont_;
    std::vector<std::pair<int, HWND>> pageControls_; // page index and control
    int currentPage_ = -1;
};

} // namespace kana::standin

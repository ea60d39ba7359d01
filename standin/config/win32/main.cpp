// The stand-in for the input method's settings program (config.exe). It records
// every start beside itself, so that tests can see that the installer started it.
#include "standin/config/start_options.h"
#include "standin/config/win32/own_files.h"
#include "standin/config/win32/settings_window.h"
#include "common/win32/handles.h"

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> commandLineArguments() {
    std::vector<std::wstring> arguments;
    int count = 0;
    wchar_t** values = CommandLineToArgvW(GetCommandLineW(), &count);
    const kana::win32::unique_hlocal owner(values);
    for (int i = 1; values && i < count; ++i) {
        arguments.emplace_back(values[i]);
    }
    return arguments;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    kana::standin::appendToStartLog(kana::standin::startRecord(GetCommandLineW()));

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    kana::standin::SettingsWindow settings(instance);
    if (!settings.create(kana::standin::parseStartOptions(commandLineArguments()), showCommand)) {
        return 1;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(settings.handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

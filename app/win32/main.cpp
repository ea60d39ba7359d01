// Program start: hardens DLL loading, builds the main window, runs its load
// handler before the window is first shown, and runs the message loop.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <optional>

#include "app/main_window_layout.h"
#include "app/main_window_texts.h"
#include "app/win32/main_window.h"
#include "app/win32/registry_warm_up.h"
#include "app/win32/single_instance.h"
#include "common/win32/dpi_awareness.h"
#include "common/win32/form.h"
#include "common/win32/handles.h"
#include "common/win32/message_box.h"
#include "common/win32/startup_probe.h"
#include "common/win32/window_classes.h"

#if defined(__GLIBCXX__)
// libstdc++'s verbose terminate handler would link its whole C++ name
// demangler into the program file; a plain abort is all a GUI program needs.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
#endif

namespace {

// A program downloaded into a folder full of other files must not load a DLL
// planted beside it: only System32 is searched from here on.
void restrictDllSearchToSystem32() {
    // Windows 7 has SetDefaultDllDirectories only with its security update
    // KB2533623, so it is looked up rather than imported: the program must
    // still start without it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    if (HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll")) {
        const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(
            reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
        if (setDefault != nullptr) {
            setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
        }
    }
    // Also takes the current directory out of the search order.
    ::SetDllDirectoryW(L"");
}

int runMessageLoop() {
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (kana::win32::isProgramDialogKey(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    namespace probe = kana::win32::startup_probe;
    probe::mark("process-start");
    restrictDllSearchToSystem32();
    kana::win32::becomePerMonitorDpiAware();
    // Before anything reads or changes a file: a second copy ends here, and
    // never runs the start-up recovery under the first one's operation.
    const kana::win32::SingleInstance oneCopy;
    if (!oneCopy.first()) {
        if (oneCopy.otherInThisSession()) {
            kana::win32::bringRunningCopyForward(kana::win32::kFormClass, kana::main_window::layout().title);
        } else {
            kana::win32::showMessage(kana::texts::kRunningForAnotherUser, kana::texts::kApplicationTitle);
        }
        return 0;
    }
    // As early as possible, but after the two lines above: DLLs must load from
    // System32 alone, and the DPI awareness must be set before the first window
    // of the process, which the worker's apartment may make.
    kana::win32::RegistryWarmUp registryWarmUp;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    probe::mark("common-controls");
    // COM is first needed by the load handler, after the window is built: by
    // then the worker has loaded its DLLs, which are not loaded at process
    // start. Made here, so that it ends after the windows.
    std::optional<kana::win32::ComApartment> com;

    using kana::texts::kApplicationTitle;
    if (!kana::win32::registerFormClasses(instance)) {
        kana::win32::showMessage(L"程序无法启动：无法注册窗口类。", kApplicationTitle);
        return 1;
    }
    probe::mark("window-classes");
    kana::win32::MainWindow mainWindow;
    if (!mainWindow.create()) {
        kana::win32::showMessage(L"程序无法启动：无法创建主窗口。", kApplicationTitle);
        return 1;
    }
    probe::mark("window-creation");
    kana::win32::setMessageOwner(mainWindow.hwnd());
    com.emplace();
    probe::mark("com-init");
    if (!mainWindow.load()) {
        return 2;
    }
    probe::mark("load-handler");
    registryWarmUp.release();
    ::ShowWindow(mainWindow.hwnd(), showCommand == SW_HIDE ? SW_SHOWNORMAL : showCommand);
    probe::mark("show-window");
    mainWindow.focusFirstControl();
    probe::mark("focus");
    ::UpdateWindow(mainWindow.hwnd());
    probe::mark("first-paint");
    probe::finish();
    return runMessageLoop();
}

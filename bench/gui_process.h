// A GUI program started by the benchmark: how long it takes to show its main
// window and become idle, and how much memory it holds.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

struct MemoryUse {
    double privateUsageMiB = -1; // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage
    // Of the Wine process, from /proc/PID/smaps_rollup:
    double anonymousMiB = -1; // Anonymous: heap, stacks, written copies of DLL pages (what Windows commits)
    double linuxPrivateMiB = -1; // Private_Clean + Private_Dirty: also file pages no other process maps
};

// The bytes of a file; empty when it cannot be read.
std::string readWholeFile(const std::wstring& path);

// The child window (searched through the whole tree) with this control identifier.
HWND childWithId(HWND parent, int id);

class GuiProcess {
  public:
    // Starts exe with currentDir as its current directory and waits until a
    // visible top-level window of windowClass exists and the program waits for
    // input. startupMs is the time from just before CreateProcessW.
    GuiProcess(const std::wstring& exe, const std::wstring& currentDir, const std::wstring& windowClass);
    GuiProcess(const GuiProcess&) = delete;
    GuiProcess& operator=(const GuiProcess&) = delete;
    ~GuiProcess(); // ends the program it started

    bool ready() const { return ready_; }
    double startupMs() const { return startupMs_; }
    double startedAtMs() const { return startedAtMs_; }     // nowMs() just before CreateProcessW
    double windowShownMs() const { return windowShownMs_; } // the window alone, before the idle wait
    HWND mainWindow() const { return mainWindow_; }
    // Number of visible top-level windows of this class that belong to the program.
    int visibleWindows(const std::wstring& windowClass) const;
    MemoryUse memory() const;
    // The mappings of the Wine process with the most anonymous memory, "name KiB, ...".
    std::string largestPrivateMappings(int count) const;

  private:
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::wstring exe_;
    HWND mainWindow_ = nullptr;
    bool ready_ = false;
    double startupMs_ = 0;
    double startedAtMs_ = 0;
    double windowShownMs_ = 0;
};

} // namespace bench

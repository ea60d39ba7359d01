#include "bench/startup_bench.h"

#include <windows.h>

#include <cstdio>

#include "app/main_window_layout.h"
#include "bench/gui_process.h"

namespace bench {

namespace {

const wchar_t kProgramClass[] = L"KanarouteForm";
const wchar_t kFloorClass[] = L"BenchFloorWindow";

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (::GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND childWithId(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(parent, &findChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Memory is read a moment after the idle state, once both programs have
// finished painting.
constexpr DWORD kSettleMs = 500;

struct MemorySamples {
    std::vector<double> windowsPrivate;
    std::vector<double> linuxPrivate;
    void add(const MemoryUse& use) {
        if (use.privateUsageMiB >= 0) {
            windowsPrivate.push_back(use.privateUsageMiB);
        }
        if (use.linuxPrivateMiB >= 0) {
            linuxPrivate.push_back(use.linuxPrivateMiB);
        }
    }
};

Row memoryRow(const char* what, const std::vector<double>& measured, const std::vector<double>& floor) {
    Row row;
    row.area = "3 Memory";
    row.what = what;
    row.unit = "MiB";
    row.measured = summarise(measured);
    row.floor = summarise(floor);
    row.target = "<= floor + 8 MiB";
    row.targetDifference = 8;
    return row;
}

} // namespace

std::vector<Row> benchmarkStartupAndMemory(const std::wstring& benchDir, int runs) {
    const std::wstring program = benchDir + L"\\Kanaroute.exe";
    const std::wstring floor = benchDir + L"\\minimal_window.exe";
    std::vector<double> programMs;
    std::vector<double> floorMs;
    MemorySamples programMemory;
    MemorySamples floorMemory;
    MemorySamples helpMemory;

    // Alternating runs; run -1 warms Wine's caches for both and is not counted.
    for (int run = -1; run < runs; ++run) {
        {
            GuiProcess process(floor, benchDir, kFloorClass);
            if (!process.ready()) {
                return {};
            }
            if (run >= 0) {
                floorMs.push_back(process.startupMs());
                ::Sleep(kSettleMs);
                floorMemory.add(process.memory());
            }
        }
        {
            GuiProcess process(program, benchDir, kProgramClass);
            if (!process.ready()) {
                return {};
            }
            if (run < 0) {
                continue;
            }
            programMs.push_back(process.startupMs());
            ::Sleep(kSettleMs);
            programMemory.add(process.memory());
            // The help window (Command6), opened as a user would.
            HWND helpButton = childWithId(process.mainWindow(), kana::main_window::kCommand6);
            if (helpButton == nullptr) {
                std::fprintf(stderr, "no help button found\n");
                continue;
            }
            ::PostMessageW(helpButton, BM_CLICK, 0, 0);
            const double deadline = nowMs() + 10000;
            while (process.visibleWindows(kProgramClass) < 2 && nowMs() < deadline) {
                ::Sleep(5);
            }
            if (process.visibleWindows(kProgramClass) < 2) {
                std::fprintf(stderr, "the help window did not open\n");
                continue;
            }
            ::Sleep(kSettleMs);
            helpMemory.add(process.memory());
        }
    }

    Row startup;
    startup.area = "1 Start-up";
    startup.what = "process start to main window visible and idle";
    startup.unit = "ms";
    startup.measured = summarise(programMs);
    startup.floor = summarise(floorMs);
    startup.target = "<= 1.3x";
    startup.targetRatio = 1.3;
    std::vector<Row> rows = {startup};
    if (!floorMemory.windowsPrivate.empty()) {
        rows.push_back(memoryRow("PrivateUsage, main window idle", programMemory.windowsPrivate,
                                 floorMemory.windowsPrivate));
        rows.push_back(memoryRow("PrivateUsage, help window open", helpMemory.windowsPrivate,
                                 floorMemory.windowsPrivate));
    }
    if (!floorMemory.linuxPrivate.empty()) {
        rows.push_back(memoryRow("Linux private (smaps), main window idle", programMemory.linuxPrivate,
                                 floorMemory.linuxPrivate));
        rows.push_back(memoryRow("Linux private (smaps), help window open", helpMemory.linuxPrivate,
                                 floorMemory.linuxPrivate));
    }
    for (const Row& row : rows) {
        printRow(row);
    }
    return rows;
}

} // namespace bench

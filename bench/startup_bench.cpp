#include "bench/startup_bench.h"

#include <windows.h>

#include <cstdio>

#include "app/main_window_layout.h"
#include "bench/gui_process.h"

namespace bench {

namespace {

const wchar_t kProgramClass[] = L"KanarouteForm";
const wchar_t kFloorClass[] = L"BenchFloorWindow";

// Memory is read a moment after the idle state, once both programs have
// finished painting.
constexpr DWORD kSettleMs = 500;
// Between runs, so that the ended program's clean-up in the Wine server does
// not fall into the next start.
constexpr DWORD kPauseMs = 300;

// Wine reports PrivateUsage as the process's swap use, which is 0 here.
bool anyAboveZero(const std::vector<double>& samples) {
    for (double sample : samples) {
        if (sample > 0) {
            return true;
        }
    }
    return false;
}

struct MemorySamples {
    std::vector<double> windowsPrivate;
    std::vector<double> anonymous;
    std::vector<double> linuxPrivate;
    void add(const MemoryUse& use) {
        if (use.anonymousMiB >= 0) {
            anonymous.push_back(use.anonymousMiB);
        }
        if (use.privateUsageMiB >= 0) {
            windowsPrivate.push_back(use.privateUsageMiB);
        }
        if (use.linuxPrivateMiB >= 0) {
            linuxPrivate.push_back(use.linuxPrivateMiB);
        }
    }
};

Row memoryRow(const char* what, const std::vector<double>& measured, const std::vector<double>& floor,
              bool withTarget = true) {
    Row row;
    row.area = "3 Memory";
    row.what = what;
    row.unit = "MiB";
    row.measured = summarise(measured);
    row.floor = summarise(floor);
    row.target = withTarget ? "<= floor + 8 MiB" : "(information)";
    row.targetDifference = withTarget ? 8 : 0;
    return row;
}

} // namespace

std::vector<Row> benchmarkStartupAndMemory(const std::wstring& benchDir, int runs,
                                           std::vector<std::string>& notes) {
    const std::wstring program = benchDir + L"\\Kanaroute.exe";
    const std::wstring floor = benchDir + L"\\minimal_window.exe";
    std::vector<double> programMs;
    std::vector<double> floorMs;
    std::vector<double> programWindowMs;
    std::vector<double> floorWindowMs;
    std::string floorMappings;
    std::string programMappings;
    std::string helpMappings;
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
                floorWindowMs.push_back(process.windowShownMs());
                ::Sleep(kSettleMs);
                floorMemory.add(process.memory());
                if (run == 0) {
                    floorMappings = process.largestPrivateMappings(8);
                }
            }
        }
        ::Sleep(kPauseMs);
        {
            GuiProcess process(program, benchDir, kProgramClass);
            if (!process.ready()) {
                return {};
            }
            if (run < 0) {
                continue;
            }
            programMs.push_back(process.startupMs());
            programWindowMs.push_back(process.windowShownMs());
            ::Sleep(kSettleMs);
            programMemory.add(process.memory());
            if (run == 0) {
                programMappings = process.largestPrivateMappings(8);
            }
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
            if (run == 0) {
                helpMappings = process.largestPrivateMappings(8);
            }
        }
        ::Sleep(kPauseMs);
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
    if (anyAboveZero(floorMemory.windowsPrivate)) {
        rows.push_back(memoryRow("PrivateUsage, main window idle", programMemory.windowsPrivate,
                                 floorMemory.windowsPrivate));
        rows.push_back(memoryRow("PrivateUsage, help window open", helpMemory.windowsPrivate,
                                 floorMemory.windowsPrivate));
    }
    if (!floorMemory.anonymous.empty()) {
        rows.push_back(memoryRow("anonymous (private committed), main window idle", programMemory.anonymous,
                                 floorMemory.anonymous));
        rows.push_back(memoryRow("anonymous (private committed), help window open", helpMemory.anonymous,
                                 floorMemory.anonymous));
    }
    if (!floorMemory.linuxPrivate.empty()) {
        rows.push_back(memoryRow("all private pages incl. unshared file pages, main window idle",
                                 programMemory.linuxPrivate, floorMemory.linuxPrivate, false));
        rows.push_back(memoryRow("all private pages incl. unshared file pages, help window open",
                                 helpMemory.linuxPrivate, floorMemory.linuxPrivate, false));
    }
    for (const Row& row : rows) {
        printRow(row);
    }
    notes.push_back("Start-up until the window is visible (before the idle wait), ms: Kanaroute " +
                    describe(summarise(programWindowMs)) + ", floor " + describe(summarise(floorWindowMs)));
    if (!anyAboveZero(floorMemory.windowsPrivate)) {
        notes.push_back("PrivateUsage (K32GetProcessMemoryInfo) reads 0 under this Wine for other processes; "
                        "memory is read from /proc/PID/smaps_rollup of the Wine process: Anonymous is what "
                        "Windows would count as private committed memory; Private_Clean + Private_Dirty also "
                        "counts pages of font and DLL files that no other process happens to map.");
    }
    notes.push_back("Most anonymous memory by mapping, floor idle: " + floorMappings);
    notes.push_back("Most anonymous memory by mapping, Kanaroute idle: " + programMappings);
    notes.push_back("Most anonymous memory by mapping, Kanaroute with help window: " + helpMappings);
    return rows;
}

} // namespace bench

#include "bench/startup_bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <map>

#include "app/main_window_layout.h"
#include "bench/gui_process.h"
#include "common/startup_trace.h"

namespace bench {

namespace {

const wchar_t kProgramClass[] = L"KanarouteForm";
const wchar_t kFloorClass[] = L"BenchFloorWindow";
const wchar_t kFairFloorClass[] = L"BenchFairFloorWindow";
const wchar_t kStandardControlsClass[] = L"BenchStandardControlsWindow";
// Asks Kanaroute to write where its start-up time goes (common/win32/startup_probe.h).
const wchar_t kTraceVariable[] = L"KANAROUTE_STARTUP_TRACE";

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

namespace {

// One build of the programs: the empty window, the fair floor, the
// standard-controls window and Kanaroute.
struct ProgramSet {
    std::string label; // "64-bit", "32-bit"
    std::wstring dir;
};

struct SetSamples {
    std::vector<double> programMs;
    std::vector<double> floorMs;
    std::vector<double> fairMs;
    std::vector<double> standardControlsMs;
    std::vector<double> standardControlsWindowMs;
    std::vector<double> programWindowMs;
    std::vector<double> floorWindowMs;
    std::vector<double> fairWindowMs;
    std::string floorMappings;
    std::string programMappings;
    std::string helpMappings;
    MemorySamples programMemory;
    MemorySamples floorMemory;
    MemorySamples helpMemory;
};

bool fileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool runFloor(const ProgramSet& set, bool counted, SetSamples& samples) {
    GuiProcess process(set.dir + L"\\minimal_window.exe", set.dir, kFloorClass);
    if (!process.ready()) {
        return false;
    }
    if (counted) {
        samples.floorMs.push_back(process.startupMs());
        samples.floorWindowMs.push_back(process.windowShownMs());
        ::Sleep(kSettleMs);
        samples.floorMemory.add(process.memory());
        if (samples.floorMappings.empty()) {
            samples.floorMappings = process.largestPrivateMappings(8);
        }
    }
    return true;
}

// A floor whose start-up alone is measured: when the window is shown and when it is idle.
bool runForStartUp(const ProgramSet& set, const wchar_t* exe, const wchar_t* windowClass, bool counted,
                   std::vector<double>& startupMs, std::vector<double>& windowMs) {
    GuiProcess process(set.dir + L"\\" + exe, set.dir, windowClass);
    if (!process.ready()) {
        return false;
    }
    if (counted) {
        startupMs.push_back(process.startupMs());
        windowMs.push_back(process.windowShownMs());
    }
    return true;
}

bool runFairFloor(const ProgramSet& set, bool counted, SetSamples& samples) {
    return runForStartUp(set, L"fair_floor_window.exe", kFairFloorClass, counted, samples.fairMs,
                         samples.fairWindowMs);
}

// The main window built of the system's standard controls, with Kanaroute's manifest.
bool runStandardControls(const ProgramSet& set, bool counted, SetSamples& samples) {
    return runForStartUp(set, L"standard_controls_window.exe", kStandardControlsClass, counted,
                         samples.standardControlsMs, samples.standardControlsWindowMs);
}

bool runProgram(const ProgramSet& set, bool counted, SetSamples& samples) {
    GuiProcess process(set.dir + L"\\Kanaroute.exe", set.dir, kProgramClass);
    if (!process.ready()) {
        return false;
    }
    if (!counted) {
        return true;
    }
    samples.programMs.push_back(process.startupMs());
    samples.programWindowMs.push_back(process.windowShownMs());
    ::Sleep(kSettleMs);
    samples.programMemory.add(process.memory());
    if (samples.programMappings.empty()) {
        samples.programMappings = process.largestPrivateMappings(8);
    }
    // The help window (Command6), opened as a user would.
    HWND helpButton = childWithId(process.mainWindow(), kana::main_window::kCommand6);
    if (helpButton == nullptr) {
        std::fprintf(stderr, "no help button found\n");
        return true;
    }
    ::PostMessageW(helpButton, BM_CLICK, 0, 0);
    const double deadline = nowMs() + 10000;
    while (process.visibleWindows(kProgramClass) < 2 && nowMs() < deadline) {
        ::Sleep(5);
    }
    if (process.visibleWindows(kProgramClass) < 2) {
        std::fprintf(stderr, "the help window did not open\n");
        return true;
    }
    ::Sleep(kSettleMs);
    samples.helpMemory.add(process.memory());
    if (samples.helpMappings.empty()) {
        samples.helpMappings = process.largestPrivateMappings(8);
    }
    return true;
}

// One start of each program of the set; false when one of them failed to
// start. The order turns with each run, so that each program follows each
// other one equally often (ending the program with its help window open leaves
// the most clean-up to Wine for whatever starts next).
bool runOnce(const ProgramSet& set, int run, bool counted, SetSamples& samples) {
    using Runner = bool (*)(const ProgramSet&, bool, SetSamples&);
    const Runner runners[] = {&runFloor, &runFairFloor, &runStandardControls, &runProgram};
    constexpr int kRunners = static_cast<int>(std::size(runners));
    for (int i = 0; i < kRunners; ++i) {
        if (!runners[(run + kRunners + i) % kRunners](set, counted, samples)) {
            return false;
        }
        ::Sleep(kPauseMs);
    }
    return true;
}

Row startupRow(const std::string& what, const std::vector<double>& measured, const std::vector<double>& floor,
               double targetRatio) {
    Row row;
    row.area = "1 Start-up";
    row.what = what;
    row.unit = "ms";
    row.measured = summarise(measured);
    row.floor = summarise(floor);
    char target[16] = {};
    std::snprintf(target, sizeof(target), "<= %.1fx", targetRatio);
    row.target = targetRatio > 0 ? target : "(information)";
    row.targetRatio = targetRatio;
    return row;
}

std::vector<Row> rowsOf(const ProgramSet& set, const SetSamples& samples) {
    const std::string bits = " (" + set.label + ")";
    std::vector<Row> rows = {
        startupRow("process start to main window visible and idle, against the main window built of the "
                   "system's standard controls" +
                       bits,
                   samples.programMs, samples.standardControlsMs, 1.1),
        startupRow("the same against the fair floor" + bits, samples.programMs, samples.fairMs, 0),
        startupRow("the same against the empty window" + bits, samples.programMs, samples.floorMs, 0),
        startupRow("fair floor against the empty window" + bits, samples.fairMs, samples.floorMs, 0),
    };
    if (anyAboveZero(samples.floorMemory.windowsPrivate)) {
        rows.push_back(memoryRow(("PrivateUsage, main window idle" + bits).c_str(),
                                 samples.programMemory.windowsPrivate, samples.floorMemory.windowsPrivate));
        rows.push_back(memoryRow(("PrivateUsage, help window open" + bits).c_str(),
                                 samples.helpMemory.windowsPrivate, samples.floorMemory.windowsPrivate));
    }
    if (!samples.floorMemory.anonymous.empty()) {
        rows.push_back(memoryRow(("anonymous (private committed), main window idle" + bits).c_str(),
                                 samples.programMemory.anonymous, samples.floorMemory.anonymous));
        rows.push_back(memoryRow(("anonymous (private committed), help window open" + bits).c_str(),
                                 samples.helpMemory.anonymous, samples.floorMemory.anonymous));
    }
    if (!samples.floorMemory.linuxPrivate.empty()) {
        rows.push_back(
            memoryRow(("all private pages incl. unshared file pages, main window idle" + bits).c_str(),
                      samples.programMemory.linuxPrivate, samples.floorMemory.linuxPrivate, false));
        rows.push_back(
            memoryRow(("all private pages incl. unshared file pages, help window open" + bits).c_str(),
                      samples.helpMemory.linuxPrivate, samples.floorMemory.linuxPrivate, false));
    }
    return rows;
}

// One column of the breakdown: a program built with the start-up probes.
struct ProbedProgram {
    std::string label;
    std::wstring dir;
    std::wstring exe;
    const wchar_t* windowClass;
};

// The phases' medians of each program over alternating runs, as one table.
std::string probedBreakdown(const std::vector<ProbedProgram>& sets, int runs) {
    std::vector<std::string> order;
    std::vector<bool> isPart;
    std::vector<std::map<std::string, std::vector<double>>> byName(sets.size());
    std::vector<std::vector<double>> totals(sets.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t s = 0; s < sets.size(); ++s) {
            const std::wstring tracePath = sets[s].dir + L"\\startup-trace.txt";
            ::DeleteFileW(tracePath.c_str());
            ::SetEnvironmentVariableW(kTraceVariable, tracePath.c_str());
            double started = 0;
            double startup = 0;
            {
                GuiProcess process(sets[s].dir + L"\\" + sets[s].exe, sets[s].dir, sets[s].windowClass);
                ::SetEnvironmentVariableW(kTraceVariable, nullptr);
                if (!process.ready()) {
                    return {};
                }
                started = process.startedAtMs();
                startup = process.startupMs();
            }
            ::Sleep(kPauseMs);
            const auto entries = kana::parseStartupTrace(readWholeFile(tracePath));
            if (entries.empty()) {
                std::fprintf(stderr, "no start-up record from %ls\\%ls\n", sets[s].dir.c_str(),
                             sets[s].exe.c_str());
                return {};
            }
            totals[s].push_back(startup);
            for (const kana::StartupPhase& phase : kana::startupPhases(entries, started, started + startup)) {
                if (std::find(order.begin(), order.end(), phase.name) == order.end()) {
                    order.push_back(phase.name);
                    isPart.push_back(phase.isPart);
                }
                byName[s][phase.name].push_back(phase.ms);
            }
        }
    }
    std::string table = "| Phase |";
    std::string rule = "|---|";
    for (const ProbedProgram& set : sets) {
        table += " " + set.label + ": median (min-max) ms |";
        rule += "---|";
    }
    table += "\n" + rule + "\n";
    for (std::size_t i = 0; i < order.size(); ++i) {
        table += isPart[i] ? "| of which " + order[i] + " |" : "| " + order[i] + " |";
        for (std::size_t s = 0; s < sets.size(); ++s) {
            const auto found = byName[s].find(order[i]);
            table += " " +
                     (found != byName[s].end() ? describe(summarise(found->second)) : std::string("-")) +
                     " |";
        }
        table += "\n";
    }
    table += "| total (process start to idle) |";
    for (std::size_t s = 0; s < sets.size(); ++s) {
        table += " " + describe(summarise(totals[s])) + " |";
    }
    return table + "\n";
}

// Where the start-up time goes: runs of KanarouteProbed.exe, the program built
// with its start-up probes (not counted above: the product has no probes), and
// of FairFloorProbed.exe, the fair floor with the same probes. The phases'
// medians per program, as one table.
std::string breakdownTable(const std::vector<ProgramSet>& sets, int runs) {
    std::vector<ProbedProgram> programs;
    for (const ProgramSet& set : sets) {
        programs.push_back({set.label, set.dir, L"KanarouteProbed.exe", kProgramClass});
    }
    for (const ProgramSet& set : sets) {
        // Only the current builds' folders hold it: an earlier build shares their floors.
        if (fileExists(set.dir + L"\\FairFloorProbed.exe")) {
            programs.push_back({set.label + " fair floor", set.dir, L"FairFloorProbed.exe", kFairFloorClass});
        }
    }
    return probedBreakdown(programs, runs);
}

} // namespace

std::vector<Row> benchmarkStartupAndMemory(const std::wstring& benchDir, int runs,
                                           std::vector<std::string>& notes,
                                           std::vector<std::string>& tables) {
    std::vector<ProgramSet> sets = {{"64-bit", benchDir}};
    const ProgramSet optional[] = {{"32-bit", benchDir + L"\\x86"},
                                   {"64-bit, earlier build", benchDir + L"\\before64"},
                                   {"32-bit, earlier build", benchDir + L"\\before32"}};
    for (const ProgramSet& set : optional) {
        if (fileExists(set.dir + L"\\Kanaroute.exe")) {
            sets.push_back(set);
        }
    }
    std::vector<SetSamples> samples(sets.size());
    // Alternating runs; run -1 warms Wine's caches for every program and is not counted.
    for (int run = -1; run < runs; ++run) {
        for (std::size_t s = 0; s < sets.size(); ++s) {
            if (!runOnce(sets[s], run, run >= 0, samples[s])) {
                std::fprintf(stderr, "start-up runs of the %s programs failed\n", sets[s].label.c_str());
                return {};
            }
        }
    }

    std::vector<Row> rows;
    for (std::size_t s = 0; s < sets.size(); ++s) {
        for (const Row& row : rowsOf(sets[s], samples[s])) {
            printRow(row);
            rows.push_back(row);
        }
        const SetSamples& set = samples[s];
        notes.push_back("Start-up until the window is visible (before the idle wait), " + sets[s].label +
                        ", ms: Kanaroute " + describe(summarise(set.programWindowMs)) + ", fair floor " +
                        describe(summarise(set.fairWindowMs)) + ", empty window " +
                        describe(summarise(set.floorWindowMs)) + ", standard-controls window " +
                        describe(summarise(set.standardControlsWindowMs)));
        notes.push_back("Most anonymous memory by mapping, " + sets[s].label +
                        ", floor idle: " + set.floorMappings);
        notes.push_back("Most anonymous memory by mapping, " + sets[s].label +
                        ", Kanaroute idle: " + set.programMappings);
        notes.push_back("Most anonymous memory by mapping, " + sets[s].label +
                        ", Kanaroute with help window: " + set.helpMappings);
    }
    if (!anyAboveZero(samples[0].floorMemory.windowsPrivate)) {
        notes.push_back("PrivateUsage (K32GetProcessMemoryInfo) reads 0 under this Wine for other processes; "
                        "memory is read from /proc/PID/smaps_rollup of the Wine process: Anonymous is what "
                        "Windows would count as private committed memory; Private_Clean + Private_Dirty also "
                        "counts pages of font and DLL files that no other process happens to map.");
    }
    const std::string breakdown = breakdownTable(sets, runs);
    if (!breakdown.empty()) {
        tables.push_back("### Where Kanaroute's start-up time goes (" + std::to_string(runs) +
                         " runs with the start-up probes on, medians)\n\n" + breakdown);
    }
    return rows;
}

} // namespace bench

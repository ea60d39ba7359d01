// Start-up time and memory of Kanaroute.exe against the minimal window program.
#pragma once

#include <string>
#include <vector>

#include "bench/bench_stats.h"

namespace bench {

// benchDir: the Windows folder that holds Kanaroute.exe, KanarouteProbed.exe
// (built with the start-up probes), minimal_window.exe (the empty window) and
// fair_floor_window.exe (the fair floor), and, where
// 32-bit programs run, the 32-bit builds of all three in its folder x86; the
// folders before64 and before32, when present, hold an earlier build and its
// floors, measured in the same runs.
// notes receives the window-only start-up times and the largest private
// mappings; tables receives the breakdown of Kanaroute's start-up by phase.
std::vector<Row> benchmarkStartupAndMemory(const std::wstring& benchDir, int runs,
                                           std::vector<std::string>& notes, std::vector<std::string>& tables);

} // namespace bench

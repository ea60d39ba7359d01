// Start-up time and memory of Kanaroute.exe against the minimal window program.
#pragma once

#include <string>
#include <vector>

#include "bench/bench_stats.h"

namespace bench {

// benchDir: the Windows folder that holds Kanaroute.exe and minimal_window.exe.
// notes receives the window-only start-up times and the largest private mappings.
std::vector<Row> benchmarkStartupAndMemory(const std::wstring& benchDir, int runs,
                                           std::vector<std::string>& notes);

} // namespace bench

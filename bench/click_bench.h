// Install through the real window: the time from a click on Command3 (with
// Check1 ticked) to the confirmation box, against a plain copy of the same
// date.dat. It covers the file steps, the refresh and the creation of the box.
#pragma once

#include <string>
#include <vector>

#include "bench/bench_stats.h"

namespace bench {

// benchDir holds Kanaroute.exe; phraseListDir holds the date.dat to install
// (the program's current directory).
std::vector<Row> benchmarkInstallClick(const std::wstring& benchDir, const std::wstring& phraseListDir,
                                       const std::string& sizeLabel, int runs);

} // namespace bench

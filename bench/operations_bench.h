// The lexicon operations on large files, run through the program's own code
// (operations + Win32 file steps, with a host that shows nothing), each
// against the plain copies and renames it consists of.
#pragma once

#include <string>
#include <vector>

#include "bench/bench_stats.h"

namespace bench {

// workDir: a Windows folder the benchmark may fill; sizeMiB: size of
// date.dat and of every phrase file. notes receives where the program's time
// goes, step by step.
std::vector<Row> benchmarkOperations(const std::wstring& workDir, int sizeMiB, int runs,
                                     std::vector<std::string>& notes);

} // namespace bench

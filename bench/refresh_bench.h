// The main window's load handler (run at start-up and as the refresh after
// every operation): its registry and file reads and its decisions, against one
// plain registry read and three file look-ups.
#pragma once

#include <vector>

#include "bench/bench_stats.h"

namespace bench {

std::vector<Row> benchmarkRefresh(int runs);

} // namespace bench

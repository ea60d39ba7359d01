// Timing and summary statistics for the benchmark driver.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

// Milliseconds from the performance counter.
inline double nowMs() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency{};
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

struct Summary {
    double median = 0;
    double low = 0;  // smallest sample
    double high = 0; // largest sample
    std::size_t count = 0;
};

inline Summary summarise(std::vector<double> samples) {
    Summary summary;
    if (samples.empty()) {
        return summary;
    }
    std::sort(samples.begin(), samples.end());
    const std::size_t n = samples.size();
    summary.median = n % 2 == 1 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    summary.low = samples.front();
    summary.high = samples.back();
    summary.count = n;
    return summary;
}

// "12.3 (11.9–14.0)": the median and the spread of the samples.
inline std::string describe(const Summary& summary, const char* format = "%.2f") {
    char median[64];
    char low[64];
    char high[64];
    std::snprintf(median, sizeof median, format, summary.median);
    std::snprintf(low, sizeof low, format, summary.low);
    std::snprintf(high, sizeof high, format, summary.high);
    return std::string(median) + " (" + low + "-" + high + ")";
}

// One line of the result table: a measurement against its floor.
struct Row {
    std::string area;
    std::string what;
    std::string unit;
    Summary measured;
    Summary floor;
    std::string target;          // e.g. "<= 1.3x"
    double targetRatio = 0;      // 0: the ratio is informative only
    double targetDifference = 0; // > 0: the target is a difference to the floor, not a ratio
};

inline void printRow(const Row& row) {
    const double ratio = row.floor.median > 0 ? row.measured.median / row.floor.median : 0;
    const double difference = row.measured.median - row.floor.median;
    const char* verdict = "-";
    if (row.targetDifference > 0) {
        verdict = difference <= row.targetDifference ? "met" : "NOT met";
    } else if (row.targetRatio > 0) {
        verdict = ratio <= row.targetRatio ? "met" : "NOT met";
    }
    char comparison[64];
    if (row.targetDifference > 0) {
        std::snprintf(comparison, sizeof comparison, "%.2f (%+.2f %s)", ratio, difference, row.unit.c_str());
    } else {
        std::snprintf(comparison, sizeof comparison, "%.2f", ratio);
    }
    std::printf("| %s | %s | %s %s | %s %s | %s | %s | %s |\n", row.area.c_str(), row.what.c_str(),
                describe(row.measured).c_str(), row.unit.c_str(), describe(row.floor).c_str(),
                row.unit.c_str(), comparison, row.target.c_str(), verdict);
    std::fflush(stdout);
}

inline void printTableHeader() {
    std::printf(
        "| Area | Measurement | Kanaroute: median (min-max) | Floor: median (min-max) | Ratio | Target | "
        "Verdict |\n|---|---|---|---|---|---|---|\n");
    std::fflush(stdout);
}

} // namespace bench

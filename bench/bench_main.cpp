// The benchmark driver: measures Kanaroute against its floors side by side in
// one run and prints one table of ratios. Runs under Wine:
//   bench_driver.exe BENCH_DIR RUNS
// BENCH_DIR (a Windows path) holds Kanaroute.exe and minimal_window.exe and
// receives the large phrase files.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "bench/bench_stats.h"
#include "bench/click_bench.h"
#include "bench/operations_bench.h"
#include "bench/refresh_bench.h"
#include "bench/startup_bench.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_driver BENCH_DIR RUNS [startup|operations|refresh]...\n");
        return 2;
    }
    const std::wstring benchDir = argv[1];
    const int runs = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
    auto wanted = [&](const wchar_t* part) {
        if (argc == 3) {
            return true;
        }
        for (int i = 3; i < argc; ++i) {
            if (std::wcscmp(argv[i], part) == 0) {
                return true;
            }
        }
        return false;
    };

    std::vector<std::string> notes;
    std::vector<std::string> tables;
    bench::printTableHeader();
    if (wanted(L"startup")) {
        bench::benchmarkStartupAndMemory(benchDir, runs, notes, tables);
    }
    if (wanted(L"operations")) {
        for (int sizeMiB : {5, 50}) {
            bench::benchmarkOperations(benchDir, sizeMiB, runs, notes);
        }
        // The 5 MiB date.dat of the operations above, installed through the window.
        bench::benchmarkInstallClick(benchDir, benchDir + L"\\ops-5MiB", "5 MiB", runs);
    }
    if (wanted(L"refresh")) {
        bench::benchmarkRefresh(runs * 10);
    }
    if (!notes.empty()) {
        std::printf("\n");
        for (const std::string& note : notes) {
            std::printf("- %s\n", note.c_str());
        }
    }
    for (const std::string& table : tables) {
        std::printf("\n%s", table.c_str());
    }
    return 0;
}

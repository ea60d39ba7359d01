#include "bench/refresh_bench.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "app/load_handler.h"
#include "app/win32/backup_time_reader.h"
#include "app/win32/input_method_registry.h"
#include "lexicon/file_set.h"

namespace bench {

namespace {

// What MainWindow::load reads and decides, without applying it to controls.
bool runLoadHandler() {
    const kana::win32::RegistryReadResult registry = kana::win32::readInputMethodRegistry();
    if (!registry.values) {
        std::fprintf(stderr, "load handler: %ls\n", registry.problem.c_str());
        return false;
    }
    const kana::lexicon::FileSet files(kana::versionDirectoryOf(*registry.values));
    const kana::LoadDecision load =
        kana::decideLoad(*registry.values, L"bench", kana::win32::existsByLookup(files.phrases()));
    const kana::BackupDecision backups =
        kana::decideBackups(kana::win32::readTimeStamp(files.initialTimeStamp()),
                            kana::win32::readTimeStamp(files.latestTimeStamp()));
    return !backups.initialBackupText.empty();
}

std::wstring queryString(HKEY key, const wchar_t* name) {
    wchar_t buffer[512] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    return buffer;
}

bool lookUp(const std::wstring& path) {
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    ::FindClose(find);
    return true;
}

// The floor: the two values in one plain registry read, and three look-ups.
bool runFloor() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\SogouInput", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring installDir = queryString(key, nullptr);
    const std::wstring version = queryString(key, L"Version");
    ::RegCloseKey(key);
    const std::wstring versionDir = installDir + L"\\" + version;
    bool found = lookUp(versionDir + L"\\phrases.ini");
    found = lookUp(versionDir + L"\\time000.ini") && found;
    found = lookUp(versionDir + L"\\time001.ini") && found;
    return found;
}

Row row(const char* what, const std::vector<double>& measured, const std::vector<double>& floor) {
    Row result;
    result.area = "5 Refresh";
    result.what = what;
    result.unit = "ms";
    result.measured = summarise(measured);
    result.floor = summarise(floor);
    result.target = "(none)";
    return result;
}

} // namespace

std::vector<Row> benchmarkRefresh(int runs) {
    // As in the program: a single-threaded apartment on the window's thread.
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    // The first run in a process loads the scripting object's library, as
    // the program's start-up does.
    double start = nowMs();
    runFloor();
    const double firstFloor = nowMs() - start;
    start = nowMs();
    if (!runLoadHandler()) {
        std::fprintf(stderr, "the load handler failed: the refresh measurement is not valid\n");
    }
    const double firstLoad = nowMs() - start;

    std::vector<double> loadMs;
    std::vector<double> floorMs;
    for (int run = 0; run < runs; ++run) {
        start = nowMs();
        runLoadHandler();
        loadMs.push_back(nowMs() - start);
        start = nowMs();
        runFloor();
        floorMs.push_back(nowMs() - start);
    }
    std::vector<Row> rows = {row("load handler, first run in the process", {firstLoad}, {firstFloor}),
                             row("load handler (refresh), later runs", loadMs, floorMs)};
    for (const Row& r : rows) {
        printRow(r);
    }
    ::CoUninitialize();
    return rows;
}

} // namespace bench

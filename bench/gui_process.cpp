#include "bench/gui_process.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <initializer_list>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_stats.h"

namespace bench {

namespace {

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ChildSearch*>(param);
    if (::GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND childWithId(HWND parent, int id) {
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(parent, &findChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string readWholeFile(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string bytes;
    char buffer[8192];
    DWORD read = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    ::CloseHandle(file);
    return bytes;
}

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    HWND first = nullptr;
    int count = 0;
};

BOOL CALLBACK visitWindow(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->pid || !::IsWindowVisible(hwnd)) {
        return TRUE;
    }
    wchar_t name[128] = {};
    ::GetClassNameW(hwnd, name, 128);
    if (std::wcscmp(name, search->className) == 0) {
        if (search->first == nullptr) {
            search->first = hwnd;
        }
        ++search->count;
    }
    return TRUE;
}

WindowSearch findWindows(DWORD pid, const std::wstring& className) {
    WindowSearch search{pid, className.c_str()};
    ::EnumWindows(&visitWindow, reinterpret_cast<LPARAM>(&search));
    return search;
}

std::string narrow(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

// The Linux process that runs the program: Wine gives it the Windows path of
// the exe as its command line, which is unique to the benchmark's folder.
std::wstring linuxProcessDir(const std::wstring& exe) {
    const std::string wanted = narrow(exe);
    std::wstring found;
    WIN32_FIND_DATAW entry{};
    HANDLE find = ::FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return {};
    }
    do {
        if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') {
            continue;
        }
        const std::wstring dir = std::wstring(L"Z:\\proc\\") + entry.cFileName;
        const std::string commandLine = readWholeFile(dir + L"\\cmdline");
        if (commandLine.compare(0, wanted.size(), wanted) == 0) {
            found = dir;
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    return found;
}

double smapsMiB(const std::string& text, std::initializer_list<const char*> keys) {
    double kib = 0;
    bool any = false;
    for (const char* key : keys) {
        const std::size_t at = text.find(key);
        if (at != std::string::npos) {
            kib += std::strtod(text.c_str() + at + std::strlen(key), nullptr);
            any = true;
        }
    }
    return any ? kib / 1024.0 : -1;
}

} // namespace

GuiProcess::GuiProcess(const std::wstring& exe, const std::wstring& currentDir,
                       const std::wstring& windowClass)
    : exe_(exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring commandLine = exe;
    const double start = nowMs();
    startedAtMs_ = start;
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentDir.c_str(), &startup, &info)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", exe.c_str(), ::GetLastError());
        return;
    }
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    ::CloseHandle(info.hThread);
    const double deadline = start + 30000;
    // The window first, then the idle state: the program is idle only once
    // its first message loop waits, which is after the window is shown.
    while (nowMs() < deadline && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        mainWindow_ = findWindows(pid_, windowClass).first;
        if (mainWindow_ != nullptr) {
            break;
        }
        ::Sleep(1);
    }
    if (mainWindow_ == nullptr) {
        std::fprintf(stderr, "%ls showed no window\n", exe.c_str());
        return;
    }
    windowShownMs_ = nowMs() - start;
    if (::WaitForInputIdle(process_, 30000) != 0) {
        std::fprintf(stderr, "%ls did not become idle\n", exe.c_str());
        return;
    }
    startupMs_ = nowMs() - start;
    ready_ = true;
}

GuiProcess::~GuiProcess() {
    if (process_ != nullptr) {
        if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_, 0);
            ::WaitForSingleObject(process_, 10000);
        }
        ::CloseHandle(process_);
    }
}

int GuiProcess::visibleWindows(const std::wstring& windowClass) const {
    return findWindows(pid_, windowClass).count;
}

MemoryUse GuiProcess::memory() const {
    MemoryUse use;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (::K32GetProcessMemoryInfo(process_, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                  sizeof counters)) {
        use.privateUsageMiB = static_cast<double>(counters.PrivateUsage) / (1024.0 * 1024.0);
    }
    const std::wstring dir = linuxProcessDir(exe_);
    if (!dir.empty()) {
        const std::string rollup = readWholeFile(dir + L"\\smaps_rollup");
        use.anonymousMiB = smapsMiB(rollup, {"Anonymous:"});
        use.linuxPrivateMiB = smapsMiB(rollup, {"Private_Clean:", "Private_Dirty:"});
    }
    return use;
}

} // namespace bench

namespace bench {

std::string GuiProcess::largestPrivateMappings(int count) const {
    const std::wstring dir = linuxProcessDir(exe_);
    if (dir.empty()) {
        return "(process not found in /proc)";
    }
    // smaps: a header line per mapping (address range ... path), then "Key: n kB" lines.
    std::istringstream lines(readWholeFile(dir + L"\\smaps"));
    std::map<std::string, double> kibByName;
    std::string line;
    std::string name;
    while (std::getline(lines, line)) {
        const std::size_t colon = line.find(':');
        const bool isHeader = colon == std::string::npos || line.find('-') < colon;
        if (isHeader && line.find(' ') != std::string::npos && line.find('-') < line.find(' ')) {
            std::istringstream fields(line);
            std::string field;
            name.clear();
            for (int i = 0; fields >> field; ++i) {
                if (i >= 5) {
                    name += (name.empty() ? "" : " ") + field;
                }
            }
            const std::size_t slash = name.rfind('/');
            if (slash != std::string::npos) {
                name = name.substr(slash + 1);
            }
            if (name.empty()) {
                name = "[anonymous]";
            }
            continue;
        }
        if (line.rfind("Anonymous:", 0) == 0) {
            kibByName[name] += std::strtod(line.c_str() + colon + 1, nullptr);
        }
    }
    std::vector<std::pair<std::string, double>> sorted(kibByName.begin(), kibByName.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    std::string text;
    for (int i = 0; i < count && i < static_cast<int>(sorted.size()); ++i) {
        char part[160];
        std::snprintf(part, sizeof part, "%s%s %.0f KiB", text.empty() ? "" : ", ", sorted[i].first.c_str(),
                      sorted[i].second);
        text += part;
    }
    return text;
}

} // namespace bench

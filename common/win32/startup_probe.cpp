#include "common/win32/startup_probe.h"

#if defined(KANAROUTE_STARTUP_PROBES)

#include <windows.h>

#include <string>

#include "common/startup_trace.h"
#include "common/win32/handles.h"

namespace kana::win32::startup_probe {

namespace {

constexpr wchar_t kTraceVariable[] = L"KANAROUTE_STARTUP_TRACE";

struct Recorder {
    std::wstring path; // empty: not asked for, or already written
    DWORD thread = 0;  // the thread that records: the program's first
    StartupTrace trace;
};

Recorder& recorder() {
    static Recorder instance = [] {
        Recorder made;
        made.thread = ::GetCurrentThreadId();
        const DWORD length = ::GetEnvironmentVariableW(kTraceVariable, nullptr, 0);
        if (length > 1) {
            made.path.assign(length, L'\0');
            made.path.resize(::GetEnvironmentVariableW(kTraceVariable, made.path.data(), length));
        }
        return made;
    }();
    return instance;
}

// Milliseconds of the performance counter, which every process reads alike.
double nowMs() {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER now{};
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace

bool active() {
    // Probes on other threads are left out: the record is not shared between threads.
    const Recorder& record = recorder();
    return !record.path.empty() && record.thread == ::GetCurrentThreadId();
}

void mark(const char* name) {
    if (active()) {
        recorder().trace.mark(name, nowMs());
    }
}

void finish() {
    if (!active()) {
        return;
    }
    Recorder& record = recorder();
    const std::string text = record.trace.text();
    const unique_hfile file(::CreateFileW(record.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) {
        ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    record.path.clear();
}

Span::Span(const char* name) : name_(name), startMs_(active() ? nowMs() : 0) {}

Span::~Span() {
    if (active()) {
        recorder().trace.addSpan(name_, nowMs() - startMs_);
    }
}

} // namespace kana::win32::startup_probe

#endif

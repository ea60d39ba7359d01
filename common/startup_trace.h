// A record of where the program's start-up spends its time, written only when
// asked for (see common/win32/startup_probe.h) and read back by the benchmark.
// Times are milliseconds of one clock that all processes share.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kana {

struct StartupTraceEntry {
    enum class Kind { Mark, Span };
    Kind kind = Kind::Mark;
    std::string name;
    double ms = 0; // Mark: the time point; Span: the summed duration
};

class StartupTrace {
  public:
    // The end of the phase called name (a phase runs from the previous mark).
    void mark(std::string_view name, double atMs);
    // Time spent in a part that is reached several times (creating fonts,
    // decoding pictures); spans of the same name add up.
    void addSpan(std::string_view name, double durationMs);

    const std::vector<StartupTraceEntry>& entries() const { return entries_; }
    // One "mark NAME MS" or "span NAME MS" line per entry, in order.
    std::string text() const;

  private:
    std::vector<StartupTraceEntry> entries_;
};

// Reads text() back; lines it does not understand are left out.
std::vector<StartupTraceEntry> parseStartupTrace(std::string_view text);

struct StartupPhase {
    std::string name;
    double ms = 0;
    bool isPart = false; // a span, which lies inside one of the phases
};

// The phases between consecutive marks, the first starting at startMs (when
// the process was created) and a last one, "until-idle", ending at idleMs;
// spans follow as parts. A mark earlier than the one before it (a clock that
// went back) gives a phase of 0, never a negative one.
std::vector<StartupPhase> startupPhases(const std::vector<StartupTraceEntry>& entries, double startMs,
                                        double idleMs);

} // namespace kana

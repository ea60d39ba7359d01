#include "common/startup_trace.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kana {

namespace {

// Names are single words: a blank would split the line when it is read back.
std::string wordOf(std::string_view name) {
    std::string word(name);
    std::replace_if(
        word.begin(), word.end(), [](char c) { return c == ' ' || c == '\n' || c == '\r'; }, '-');
    return word.empty() ? std::string("-") : word;
}

} // namespace

void StartupTrace::mark(std::string_view name, double atMs) {
    entries_.push_back({StartupTraceEntry::Kind::Mark, wordOf(name), atMs});
}

void StartupTrace::addSpan(std::string_view name, double durationMs) {
    const std::string word = wordOf(name);
    for (StartupTraceEntry& entry : entries_) {
        if (entry.kind == StartupTraceEntry::Kind::Span && entry.name == word) {
            entry.ms += durationMs;
            return;
        }
    }
    entries_.push_back({StartupTraceEntry::Kind::Span, word, durationMs});
}

std::string StartupTrace::text() const {
    std::string text;
    for (const StartupTraceEntry& entry : entries_) {
        // Whole microseconds: enough, and no floating-point formatting in the program.
        const auto micros = static_cast<long long>(std::llround(entry.ms * 1000.0));
        text += entry.kind == StartupTraceEntry::Kind::Mark ? "mark " : "span ";
        text += entry.name + " " + std::to_string(micros) + "\n";
    }
    return text;
}

std::vector<StartupTraceEntry> parseStartupTrace(std::string_view text) {
    std::vector<StartupTraceEntry> entries;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string line(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::size_t first = line.find(' ');
        const std::size_t second = first == std::string::npos ? first : line.find(' ', first + 1);
        if (second == std::string::npos) {
            continue;
        }
        const std::string kind = line.substr(0, first);
        const std::string name = line.substr(first + 1, second - first - 1);
        const char* number = line.c_str() + second + 1;
        const char* numberEnd = line.c_str() + line.size();
        long long micros = 0;
        const auto [numberStop, error] = std::from_chars(number, numberEnd, micros);
        if ((kind != "mark" && kind != "span") || name.empty() || number == numberEnd ||
            error != std::errc() || numberStop != numberEnd) {
            continue;
        }
        entries.push_back({kind == "mark" ? StartupTraceEntry::Kind::Mark : StartupTraceEntry::Kind::Span,
                           name, static_cast<double>(micros) / 1000.0});
    }
    return entries;
}

std::vector<StartupPhase> startupPhases(const std::vector<StartupTraceEntry>& entries, double startMs,
                                        double idleMs) {
    std::vector<StartupPhase> phases;
    double previous = startMs;
    for (const StartupTraceEntry& entry : entries) {
        if (entry.kind == StartupTraceEntry::Kind::Mark) {
            phases.push_back({entry.name, std::max(0.0, entry.ms - previous), false});
            previous = std::max(previous, entry.ms);
        }
    }
    phases.push_back({"until-idle", std::max(0.0, idleMs - previous), false});
    for (const StartupTraceEntry& entry : entries) {
        if (entry.kind == StartupTraceEntry::Kind::Span) {
            phases.push_back({entry.name, entry.ms, true});
        }
    }
    return phases;
}

} // namespace kana

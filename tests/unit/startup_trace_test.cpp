#include "common/startup_trace.h"

#include <gtest/gtest.h>

namespace kana {
namespace {

TEST(StartupTrace, RecordReadsBackWithRepeatedSpansAddedUp) {
    StartupTrace trace;
    trace.mark("process-start", 1000.25);
    trace.addSpan("fonts", 1.5);
    trace.mark("window creation", 1012.5); // a blank would split the line
    trace.addSpan("fonts", 2.25);
    trace.addSpan("picture-decoding", 4);

    const std::vector<StartupTraceEntry> read = parseStartupTrace(trace.text());
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].name, "process-start");
    EXPECT_EQ(read[0].kind, StartupTraceEntry::Kind::Mark);
    EXPECT_DOUBLE_EQ(read[0].ms, 1000.25);
    EXPECT_EQ(read[1].name, "fonts");
    EXPECT_EQ(read[1].kind, StartupTraceEntry::Kind::Span);
    EXPECT_DOUBLE_EQ(read[1].ms, 3.75);
    EXPECT_EQ(read[2].name, "window-creation");
    EXPECT_EQ(read[3].name, "picture-decoding");
}

TEST(StartupTrace, DamagedOrForeignLinesAreLeftOut) {
    const std::vector<StartupTraceEntry> read = parseStartupTrace(
        "mark a 1000\r\nmark b\nnote c 2\nspan d 2x\nspan g 2.5\n\nspan e 3500\nmark f 4000");
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[0].name, "a");
    EXPECT_EQ(read[1].name, "e");
    EXPECT_EQ(read[2].name, "f"); // the last line needs no line end
    EXPECT_DOUBLE_EQ(read[2].ms, 4);
    EXPECT_DOUBLE_EQ(read[1].ms, 3.5); // whole microseconds
}

TEST(StartupTrace, PhasesRunFromMarkToMarkAndOnToIdle) {
    StartupTrace trace;
    trace.mark("process-start", 110);
    trace.addSpan("fonts", 7);
    trace.mark("window-creation", 150);
    trace.mark("clock-went-back", 140);
    trace.mark("show", 170);

    const std::vector<StartupPhase> phases = startupPhases(trace.entries(), 100, 200);
    ASSERT_EQ(phases.size(), 6u);
    EXPECT_EQ(phases[0].name, "process-start");
    EXPECT_DOUBLE_EQ(phases[0].ms, 10);
    EXPECT_DOUBLE_EQ(phases[1].ms, 40);
    EXPECT_DOUBLE_EQ(phases[2].ms, 0);  // never negative
    EXPECT_DOUBLE_EQ(phases[3].ms, 20); // from the latest time point, not the one that went back
    EXPECT_EQ(phases[4].name, "until-idle");
    EXPECT_DOUBLE_EQ(phases[4].ms, 30);
    EXPECT_EQ(phases[5].name, "fonts");
    EXPECT_TRUE(phases[5].isPart);
    EXPECT_FALSE(phases[4].isPart);
}

} // namespace
} // namespace kana

// shell_test.cpp -- the frame clock and the stats line.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "app/pacing.h"

namespace {

using namespace std::chrono_literals;
using app::Clock;

TEST(Pacing, DeadlinesKeepTheirPhaseWhenPassesAreOnTime) {
    const Clock::time_point start{};
    Clock::time_point deadline = start;
    for (int pass = 1; pass <= 600; ++pass) {
        // Work of varying length, always finishing within the period, never shifts the grid.
        const Clock::time_point now = deadline + std::chrono::milliseconds(pass % 16);
        deadline = app::nextDeadline(deadline, now, app::kPassPeriod);
        ASSERT_EQ(deadline, start + pass * app::kPassPeriod) << pass;
    }
}

TEST(Pacing, ALatePassIsFollowedAtOnceAndTheGridIsKept) {
    const Clock::time_point start{};
    const Clock::duration period = app::kPassPeriod;
    // The pass due at `start` ends half a period after the next one was due: that one is due
    // already (it runs at once), and the one after it is back on the grid.
    Clock::time_point deadline = app::nextDeadline(start, start + period * 3 / 2, period);
    EXPECT_EQ(deadline, start + period);
    deadline = app::nextDeadline(deadline, start + period * 3 / 2 + 1ms, period);
    EXPECT_EQ(deadline, start + 2 * period);
    // Up to a whole period behind keeps the grid; any more starts it afresh.
    EXPECT_EQ(app::nextDeadline(start, start + 2 * period, period), start + period);
    const Clock::time_point further = start + 2 * period + Clock::duration(1);
    EXPECT_EQ(app::nextDeadline(start, further, period), further);
}

// The passes that start within `span` when pass n works for work(n) and then sleeps until its
// deadline, as the game's loop does.
template <typename Work>
int passesWithin(Clock::duration span, Work work) {
    const Clock::time_point start{};
    Clock::time_point now = start;
    Clock::time_point deadline = start;
    int passes = 0;
    while (now < start + span) {
        ++passes;
        now += work(passes);
        deadline = app::nextDeadline(deadline, now, app::kPassPeriod);
        now = std::max(now, deadline);
    }
    return passes;
}

TEST(Pacing, LatePassesCostNoSlots) {
    // Every seventh pass overruns its slot by two fifths of a period, pass 303 by nine tenths;
    // the rest take half a period. Ten seconds still hold 600 passes.
    const auto work = [](int pass) {
        if (pass == 303)
            return app::kPassPeriod * 19 / 10;
        if (pass % 7 == 0)
            return app::kPassPeriod * 7 / 5;
        return app::kPassPeriod / 2;
    };
    EXPECT_EQ(passesWithin(600 * app::kPassPeriod, work), 600);
}

TEST(Pacing, AStallStartsTheScheduleAfreshWithoutABurst) {
    // A 2 s stall in pass 60 (a stopped process): the passes after it come a period apart, so
    // 600 periods hold the 120 that the stall took fewer, and none are crowded in to catch up.
    const auto work = [](int pass) { return pass == 60 ? Clock::duration(2s) : 1ms; };
    EXPECT_EQ(passesWithin(600 * app::kPassPeriod, work), 481);

    const Clock::time_point resumed = Clock::time_point{} + 3s;
    Clock::time_point deadline =
        app::nextDeadline(Clock::time_point{} + 1s, resumed, app::kPassPeriod);
    EXPECT_EQ(deadline, resumed);
    for (int pass = 1; pass <= 10; ++pass) {
        const Clock::time_point next =
            app::nextDeadline(deadline, deadline + 2ms, app::kPassPeriod);
        EXPECT_EQ(next - deadline, app::kPassPeriod);
        deadline = next;
    }
}

// The passes that a display refreshing `hertz` times a second runs within `span`, its frames a
// little uneven (a quarter of a millisecond either way), when it stops calling back from
// `stopAt` for `stopFor` (a hidden page).
int passesAtFrames(double hertz, Clock::duration span, Clock::duration stopAt = Clock::duration(0),
                   Clock::duration stopFor = Clock::duration(0)) {
    const Clock::time_point start{};
    const auto interval =
        std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / hertz));
    Clock::time_point deadline = start;
    int passes = 0;
    for (long frame = 0;; ++frame) {
        const auto jitter = std::chrono::microseconds(frame % 3 == 0 ? 250 : -250);
        Clock::time_point now = start + frame * interval + jitter;
        if (stopFor > Clock::duration(0) && now >= start + stopAt) {
            now += stopFor;
        }
        if (now >= start + span + stopFor) {
            return passes;
        }
        if (app::takeDuePass(deadline, now)) {
            ++passes;
        }
    }
}

TEST(Pacing, ADisplaysFramesRunSixtyPassesASecondWhateverItsRate) {
    // Ten seconds: 600 passes (and the one due at the end) from a display of 60 Hz or more;
    // from a slower one, a pass at each of its frames (501 of them start within 10 s at 50 Hz).
    for (const double hertz : {60.0, 75.0, 90.0, 120.0, 144.0, 240.0}) {
        const int passes = passesAtFrames(hertz, 10s);
        EXPECT_GE(passes, 598) << hertz << " Hz";
        EXPECT_LE(passes, 601) << hertz << " Hz";
    }
    EXPECT_EQ(passesAtFrames(50.0, 10s), 501);
}

TEST(Pacing, FramesThatStoppedAreNotMadeUpFor) {
    // A 144 Hz display stops calling back for 3 s after 2 s (a hidden page), then goes on for
    // 5 s: the 7 s of frames hold 7 s of passes, not the 10 s of the whole span.
    const int passes = passesAtFrames(144.0, 7s, 2s, 3s);
    EXPECT_GE(passes, 418);
    EXPECT_LE(passes, 422);
}

TEST(Pacing, StatsLineReadsAsDocumented) {
    EXPECT_EQ(app::statsLine(360, 6.01), "Vantorix: 360 frames in 6.01 s (59.9 fps)");
    EXPECT_EQ(app::statsLine(0, 0.0), "Vantorix: 0 frames in 0.00 s (0.0 fps)");
}

}  // namespace

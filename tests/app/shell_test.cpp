// shell_test.cpp -- the frame clock and the stats line.
#include <gtest/gtest.h>

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

TEST(Pacing, ALatePassReanchorsInsteadOfBursting) {
    const Clock::time_point start{};
    const Clock::time_point stalledUntil = start + 1s;
    Clock::time_point deadline = app::nextDeadline(start, stalledUntil, app::kPassPeriod);
    EXPECT_EQ(deadline, stalledUntil);
    // From there on the passes are a full period apart again, not crowded to catch up.
    Clock::time_point now = stalledUntil;
    for (int pass = 1; pass <= 10; ++pass) {
        const Clock::time_point next = app::nextDeadline(deadline, now, app::kPassPeriod);
        EXPECT_EQ(next - deadline, app::kPassPeriod);
        deadline = next;
        now = deadline + 2ms;
    }
}

TEST(Pacing, StatsLineReadsAsDocumented) {
    EXPECT_EQ(app::statsLine(360, 6.01), "Vantorix: 360 frames in 6.01 s (59.9 fps)");
    EXPECT_EQ(app::statsLine(0, 0.0), "Vantorix: 0 frames in 0.00 s (0.0 fps)");
}

}  // namespace

// pacing.h -- the frame clock: passes at a fixed rate on a steady clock, and the stats line.
#pragma once

#include <chrono>
#include <string>

namespace app {

using Clock = std::chrono::steady_clock;

constexpr int kPassesPerSecond = 60;
constexpr Clock::duration kPassPeriod = std::chrono::duration_cast<Clock::duration>(
    std::chrono::duration<double>(1.0 / kPassesPerSecond));

// The deadline of the pass after the one that was due at `deadline`. Deadlines advance by whole
// periods, so the rate does not drift: a pass that ends after the next deadline is followed by
// the next one at once, and the schedule stays as it was. Only a loop that has fallen more than
// a period behind (a stopped process, a stalled machine) starts the schedule afresh at `now`,
// instead of racing through the passes it missed.
Clock::time_point nextDeadline(Clock::time_point deadline, Clock::time_point now,
                               Clock::duration period);

// "Vantorix: 360 frames in 6.01 s (59.9 fps)"; a run of no measurable length reports 0 fps.
std::string statsLine(long frames, double seconds);

}  // namespace app

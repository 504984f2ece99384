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
// periods so the rate does not drift; a pass that is more than a period late re-anchors the
// schedule at `now` instead of racing through the missed passes.
Clock::time_point nextDeadline(Clock::time_point deadline, Clock::time_point now,
                               Clock::duration period);

// "Vantorix: 360 frames in 6.01 s (59.9 fps)"; a run of no measurable length reports 0 fps.
std::string statsLine(long frames, double seconds);

}  // namespace app

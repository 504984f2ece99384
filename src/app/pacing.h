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

// How early a display's frame may run the pass that is due: frames come at slightly uneven
// times, and a pass put off to the frame after would be a whole frame late.
constexpr Clock::duration kFrameSlack = kPassPeriod / 4;

// For a platform that is called back at each of the display's frames instead of waiting: whether
// the pass due at `deadline` is to run at the frame that came `now`; if so, `deadline` moves on
// as nextDeadline moves it. A display faster than 60 Hz thus runs a pass only at some of its
// frames, keeping 60 a second on the same schedule, and frames that stopped for a while (a
// hidden page) are not made up for.
bool takeDuePass(Clock::time_point& deadline, Clock::time_point now);

// "Vantorix: 360 frames in 6.01 s (59.9 fps)"; a run of no measurable length reports 0 fps.
std::string statsLine(long frames, double seconds);

}  // namespace app

// pacing.cpp -- the frame clock and the stats line.
#include "app/pacing.h"

#include <cstdio>

namespace app {

Clock::time_point nextDeadline(Clock::time_point deadline, Clock::time_point now,
                               Clock::duration period) {
    const Clock::time_point next = deadline + period;
    if (now - next > period) {
        return now;
    }
    return next;
}

bool takeDuePass(Clock::time_point& deadline, Clock::time_point now) {
    if (now + kFrameSlack < deadline) {
        return false;
    }
    deadline = nextDeadline(deadline, now, kPassPeriod);
    return true;
}

std::string statsLine(long frames, double seconds) {
    const double fps = seconds > 0.0 ? static_cast<double>(frames) / seconds : 0.0;
    char line[96];
    std::snprintf(line, sizeof line, "Vantorix: %ld frames in %.2f s (%.1f fps)", frames, seconds,
                  fps);
    return line;
}

}  // namespace app

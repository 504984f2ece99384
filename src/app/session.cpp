// session.cpp -- start-up, pacing and the stats line, the same on every platform.
#include "app/session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "app/asset_root.h"
#include "app/pacing.h"
#include "assets/textures.h"
#include "game/state.h"
#include "render/scene.h"

// Where an install keeps the textures: the full path chosen at build time, and the same
// folder relative to the install prefix, for an install that was moved.
#ifndef VANTORIX_DATADIR
#define VANTORIX_DATADIR ""
#endif
#ifndef VANTORIX_DATA_SUBDIR
#define VANTORIX_DATA_SUBDIR ""
#endif

namespace app {
namespace {

constexpr const char* kStatsVariable = "VANTORIX_STATS";

struct Session {
    Clock::time_point deadline;  // when the current pass was due
    long frames = 0;
    Clock::time_point firstShown;  // when the first frame reached the screen
};

Session session;

bool statsWanted() {
    const char* value = std::getenv(kStatsVariable);
    return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

void startSession(const std::string& exeFolder) {
    game::state.quitRequested = false;
    const std::vector<std::string> candidates =
        assetRootCandidates(exeFolder, VANTORIX_DATADIR, VANTORIX_DATA_SUBDIR);
    assets::setAssetRoot(chooseAssetRoot(candidates, stderr));
    render::initScene();
    session = Session{};
    session.deadline = Clock::now();
}

void frameShown() {
    if (session.frames == 0) {
        session.firstShown = Clock::now();
    }
    ++session.frames;
}

void waitForNextPass() {
    session.deadline = nextDeadline(session.deadline, Clock::now(), kPassPeriod);
    std::this_thread::sleep_until(session.deadline);
}

bool passDueAtThisFrame() {
    return takeDuePass(session.deadline, Clock::now());
}

// The rate the loop keeps: the first frame, slowed by the GL driver's warm-up, only starts the
// clock, and the frames after it are counted.
bool gameIsOver() {
    return game::state.gameOver;
}

void endSession() {
    if (!statsWanted()) {
        return;
    }
    const long frames = std::max(0L, session.frames - 1);
    const double seconds =
        frames > 0 ? std::chrono::duration<double>(Clock::now() - session.firstShown).count() : 0.0;
    std::fprintf(stderr, "%s\n", statsLine(frames, seconds).c_str());
}

}  // namespace app

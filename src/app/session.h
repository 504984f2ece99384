// session.h -- what every platform runs once its window has a current GL context: start-up,
// the wait between passes and the stats line at the end.
#pragma once

#include <string>

namespace app {

// Clears quitRequested, chooses the folder the textures are read from (the working directory,
// `exeFolder`, then the install's data folder) and builds the scene. Starts the pass schedule.
void startSession(const std::string& exeFolder);

// Counts a frame that reached the screen; the first one starts the stats clock.
void frameShown();

// Waits until the next pass is due: 60 passes a second on a schedule that is kept.
void waitForNextPass();

// For a platform called back at each of the display's frames: whether a pass is due at this
// one (see pacing.h's takeDuePass), on the schedule startSession began.
bool passDueAtThisFrame();

// Whether the game is over for good, its last life gone: a platform may offer a new game.
bool gameIsOver();

// Ends the run: with VANTORIX_STATS=1 in the environment, prints the frames shown and the rate
// kept on stderr.
void endSession();

}  // namespace app

// loop.h -- the frame loop: per pass at most one message, exactly one tick, render before dispatch.
#pragma once

#include "app/message.h"

namespace app {

// What the loop needs from the window system, one routine for each step of a pass.
struct LoopPlatform {
    // Takes at most one pending message without waiting; false when none was waiting.
    bool (*poll)(Message* message);
    // Draws and presents one frame; drawing it runs the game tick.
    void (*renderFrame)();
    // Hands a message to its handler. Handling a close request gives up the drawing surface.
    void (*dispatch)(const Message& message);
    // Waits until the next pass is due (runLoop's wait between passes; runPass does not wait).
    void (*pace)();
    // Whether the window still has its GL context; a close request takes it away.
    bool (*canDraw)();
};

// The quit message's code when the window was closed: the exit status of a normal end.
constexpr int kQuitStatus = 0;

// What the passes so far have left for the next: the message that will decide the exit status.
struct LoopState {
    Message last;
};

// Runs one pass: takes at most one message; if it is the quit message, ends the loop without
// rendering. Otherwise renders one frame, then dispatches the message; the loop ends if a handler
// set quitRequested. Once the window has given up its context there is nothing to draw on: the
// passes that follow, until the quit message comes, still tick the game but draw nothing.
// Returns false when the loop has ended; loopExitStatus then tells the status. A platform whose
// display calls it back once a frame runs the loop this way, a pass at a time.
bool runPass(const LoopPlatform& platform, LoopState& loop);

// The exit status once the loop has ended: the quit message's code, or the code of the message
// whose handler set quitRequested (27 for Escape, the character for Q).
int loopExitStatus(const LoopState& loop);

// Runs passes, with the platform's wait between them, until the loop ends; returns the exit
// status.
int runLoop(const LoopPlatform& platform);

}  // namespace app

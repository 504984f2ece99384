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
    // Waits until the next pass is due.
    void (*pace)();
    // Whether the window still has its GL context; a close request takes it away.
    bool (*canDraw)();
};

// The quit message's code when the window was closed: the exit status of a normal end.
constexpr int kQuitStatus = 0;

// Runs passes until the quit message is taken (nothing is rendered in that pass; the status is
// the quit message's code) or a handler sets quitRequested (the status is the code of that
// pass's message: 27 for Escape, the character for Q). Every other pass renders one frame, then
// dispatches its message. Once the window has given up its context there is nothing to draw
// on: the passes that follow, until the quit message comes, still tick the game but draw
// nothing.
int runLoop(const LoopPlatform& platform);

}  // namespace app

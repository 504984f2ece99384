// loop.cpp -- the frame loop: poll, render, dispatch, and the exit status.
#include "app/loop.h"

#include "game/state.h"
#include "game/tick.h"

namespace app {
namespace {

// The one place the exit status is decided: the quit message's parameter is 0, a quit key's
// status is its own code.
int exitStatus(const Message& last) {
    return last.kind == MessageKind::Quit ? kQuitStatus : last.code;
}

}  // namespace

int runLoop(const LoopPlatform& platform) {
    Message last;
    bool canDraw = true;
    for (;;) {
        Message message;
        const bool took = platform.poll(&message);
        if (took) {
            last = message;
            if (message.kind == MessageKind::Quit) {
                game::state.quitRequested = true;
                break;
            }
        }
        // The frame comes first, so a message handled now shows from the next frame on, and two
        // handled turns are always at least one tick apart.
        if (canDraw) {
            platform.renderFrame();
        } else {
            game::advanceTick();
        }
        if (took) {
            platform.dispatch(message);
            canDraw = canDraw && message.kind != MessageKind::Close;
        }
        if (game::state.quitRequested) {
            break;
        }
        platform.pace();
    }
    return exitStatus(last);
}

}  // namespace app

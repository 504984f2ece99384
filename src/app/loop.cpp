// loop.cpp -- the frame loop: poll, render, dispatch, and the exit status.
#include "app/loop.h"

#include "game/state.h"
#include "game/tick.h"

namespace app {
namespace {

// The one place the exit status is decided: the code of the message that ended the loop, the
// quit message's parameter or a quit key's own code.
int exitStatus(const Message& last) {
    return last.code;
}

}  // namespace

int runLoop(const LoopPlatform& platform) {
    Message last;
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
        if (platform.canDraw()) {
            platform.renderFrame();
        } else {
            game::advanceTick();
        }
        if (took) {
            platform.dispatch(message);
        }
        if (game::state.quitRequested) {
            break;
        }
        platform.pace();
    }
    return exitStatus(last);
}

}  // namespace app

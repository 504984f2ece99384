// loop.cpp -- the frame loop: poll, render, dispatch, and the exit status.
#include "app/loop.h"

#include "game/state.h"
#include "game/tick.h"

namespace app {

bool runPass(const LoopPlatform& platform, LoopState& loop) {
    Message message;
    const bool took = platform.poll(&message);
    if (took) {
        loop.last = message;
        if (message.kind == MessageKind::Quit) {
            game::state.quitRequested = true;
            return false;
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
    return !game::state.quitRequested;
}

// The one place the exit status is decided: the code of the message that ended the loop, the
// quit message's parameter or a quit key's own code.
int loopExitStatus(const LoopState& loop) {
    return loop.last.code;
}

int runLoop(const LoopPlatform& platform) {
    LoopState loop;
    while (runPass(platform, loop)) {
        platform.pace();
    }
    return loopExitStatus(loop);
}

}  // namespace app

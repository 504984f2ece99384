// snapshot_scene.cpp -- a scripted run of the game from a seed, for snapshots and golden images.
#include "snapshot_scene.h"

#include <GL/gl.h>

#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"

namespace snapshot {

namespace {

void applyTurns(const Scene& scene, int frame) {
    for (const Turn& turn : scene.turns) {
        if (turn.tick == frame) {
            game::state.direction = turn.heading;
            game::state.glideMode = false;
        }
    }
}

}  // namespace

void renderScene(const Scene& scene) {
    game::resetState();
    render::resizeViewport(kWidth, kHeight);
    render::initSceneWithSeed(scene.seed);
    auto& state = game::state;
    state.viewFlags.fill(false);
    if (scene.view >= 1 && scene.view <= game::kViewModes) {
        state.viewFlags[static_cast<std::size_t>(scene.view - 1)] = true;
    } else {
        state.viewFlags[0] = true;
    }
    state.orbitRadius = scene.orbitRadius;
    state.orbitAngle = scene.orbitAngle;
    state.lives = scene.lives;
    state.gameOver = scene.gameOver;
    const int frames = scene.frames < 1 ? 1 : scene.frames;
    for (int frame = 0; frame < frames; ++frame) {
        applyTurns(scene, frame);
        render::renderFrame();
    }
    glFinish();
}

}  // namespace snapshot

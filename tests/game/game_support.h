// game_support.h -- small helpers that put the game state into known shapes for the tests.
#pragma once

#include "game/state.h"
#include "game/world.h"

namespace game_test {

// A freshly started game built from a fixed seed.
inline void freshWorld(unsigned seed) {
    game::resetState();
    game::setupWorldWithSeed(seed);
}

// A world with no obstacles, so that only the body and the walls can kill.
inline void emptyField() {
    freshWorld(1);
    game::state.obstacleCount = 0.0f;
    game::state.obstacleX.clear();
    game::state.obstacleZ.clear();
}

// The snake lies on X = headX from (headX, headZ) back along -Z, `spacing` apart, in every entry.
inline void layLine(float headX, float headZ, float spacing) {
    for (int i = 0; i < game::kSnakeCapacity; ++i) {
        game::state.snakeX[i] = headX;
        game::state.snakeZ[i] = headZ - spacing * static_cast<float>(i);
    }
}

// One obstacle at (x, z), the only one in the world.
inline void singleObstacle(float x, float z) {
    game::state.obstacleCount = 1.0f;
    game::state.obstacleX.assign(1, x);
    game::state.obstacleZ.assign(1, z);
}

}  // namespace game_test

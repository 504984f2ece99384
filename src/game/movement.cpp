// movement.cpp -- one tick of snake movement and the collision tests.
#include "game/movement.h"

#include "game/bands.h"
#include "game/state.h"

namespace game {

namespace {

constexpr double kBodyReach = 2.0;        // the head dies within this of a visible segment
constexpr double kObstacleMinusX = 5.0;   // an obstacle's zone reaches 5 toward -X,
constexpr double kObstaclePlusX = 16.0;   // 16 toward +X,
constexpr double kObstacleReachZ = 10.0;  // and 10 each way in Z

// Segment i is in use. The capacity check keeps a corrupted length from running off the arrays.
bool inUse(int i) {
    return i < state.snakeLength && i < kSnakeCapacity;
}

float shifted(float value, double by) {
    return static_cast<float>(static_cast<double>(value) + by);
}

void glide() {
    const double speed = state.glideSpeed;
    for (int i = 0; inUse(i); ++i) {
        switch (state.direction) {
            case kHeadingMinusZ:
                state.snakeZ[i] = shifted(state.snakeZ[i], -speed);
                break;
            case kHeadingPlusZ:
                state.snakeZ[i] = shifted(state.snakeZ[i], speed);
                break;
            case kHeadingPlusX:
                state.snakeX[i] = shifted(state.snakeX[i], speed);
                break;
            case kHeadingMinusX:
                state.snakeX[i] = shifted(state.snakeX[i], -speed);
                break;
            default:
                break;
        }
    }
}

// The head jumps by one step length; every other segment takes the place of the one ahead.
void step(int heading) {
    for (int i = 0; inUse(i); ++i) {
        state.prevSnakeX[i] = state.snakeX[i];
        state.prevSnakeZ[i] = state.snakeZ[i];
    }
    const double d = static_cast<double>(state.speedBonus) + state.segmentSpacing;
    switch (heading) {
        case kHeadingPlusZ:
            state.snakeZ[0] = shifted(state.snakeZ[0], d);
            break;
        case kHeadingMinusZ:
            state.snakeZ[0] = shifted(state.snakeZ[0], -d);
            break;
        case kHeadingPlusX:
            state.snakeX[0] = shifted(state.snakeX[0], d);
            break;
        default:
            state.snakeX[0] = shifted(state.snakeX[0], -d);
            break;
    }
    for (int i = 1; inUse(i); ++i) {
        state.snakeX[i] = state.prevSnakeX[i - 1];
        state.snakeZ[i] = state.prevSnakeZ[i - 1];
    }
    state.stepMoved = true;
}

// One step per tick, and none for a heading that is not one of the four.
void stepInHeading() {
    if (state.direction >= kHeadingMinusZ && state.direction <= kHeadingMinusX) {
        step(state.direction);
    }
}

// The hidden tail (the last five segments in use) is not tested.
void testBody() {
    const float headX = state.snakeX[0];
    const float headZ = state.snakeZ[0];
    for (int i = 1; i < state.snakeLength - kHiddenTail && i < kSnakeCapacity; ++i) {
        if (withinBand(headX, state.snakeX[i], kBodyReach) &&
            withinBand(headZ, state.snakeZ[i], kBodyReach)) {
            state.snakeDead = true;
        }
    }
}

void testObstacles() {
    const float headX = state.snakeX[0];
    const float headZ = state.snakeZ[0];
    const auto existing = static_cast<int>(state.obstacleX.size());
    for (int i = 0; i < state.obstacleCount && i < existing; ++i) {
        if (withinBand(headX, state.obstacleX[i], kObstacleMinusX, kObstaclePlusX) &&
            withinBand(headZ, state.obstacleZ[i], kObstacleReachZ)) {
            state.snakeDead = true;
        }
    }
}

void testWalls() {
    const float x = state.snakeX[0];
    const float z = state.snakeZ[0];
    if (x >= kWallHigh || x <= kWallLow || z >= kWallHigh || z <= kWallLow) {
        state.snakeDead = true;
    }
}

}  // namespace

void moveSnake() {
    if (!state.snakeDead) {
        if (state.glideMode) {
            glide();
        } else {
            stepInHeading();
        }
    }
    testBody();
    testObstacles();
    testWalls();
}

}  // namespace game

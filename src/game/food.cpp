// food.cpp -- eating, scoring, the next food item, speed-up and growth.
#include "game/food.h"

#include <algorithm>

#include "game/bands.h"
#include "game/state.h"
#include "game/world.h"

namespace game {

namespace {

constexpr double kEatReach = 5.0;           // the head eats within this of the item on both axes
constexpr double kSegmentKeepAway = 10.0;   // a new item is redrawn near a segment...
constexpr double kObstacleKeepAway = 25.0;  // ...only while also near the obstacle of that index
constexpr int kSpeedUpFirst = 40;
constexpr int kSpeedUpLast = 300;
constexpr int kSpeedUpWindow = 10;
constexpr float kSpeedUpStep = 0.01f;

bool headReaches(int item) {
    return withinBand(state.snakeX[0], state.foodX[item], kEatReach) &&
           withinBand(state.snakeZ[0], state.foodZ[item], kEatReach);
}

// Redraws one axis of the item while it lies near both the segment and the obstacle of the
// same index on that axis. The segment test comes first, so the obstacle is consulted only
// for an item near the segment.
void keepAwayOnAxis(float& item, float segment, float obstacle) {
    while (withinBand(item, segment, kSegmentKeepAway) &&
           withinBand(item, obstacle, kObstacleKeepAway)) {
        item = randomCoordinate();
    }
}

// Only segments that have an obstacle of the same index are paired; the snake is longer than
// the obstacle list, and the rest get no test.
bool pairedWithObstacle(int segment) {
    return segment < state.obstacleCount && segment < static_cast<int>(state.obstacleX.size());
}

void keepAway(int item) {
    for (int i = 0; i < state.snakeLength && i < kSnakeCapacity && pairedWithObstacle(i); ++i) {
        keepAwayOnAxis(state.foodX[item], state.snakeX[i], state.obstacleX[i]);
        keepAwayOnAxis(state.foodZ[item], state.snakeZ[i], state.obstacleZ[i]);
    }
}

// The list is used up after foodCount meals; play goes on from item 0 again.
int nextItem(int current) {
    const int next = current + 1;
    return next < state.foodCount ? next : 0;
}

void speedUp(float length) {
    for (int n = speedUpSteps(length); n > 0; --n) {
        state.speedBonus = state.speedBonus + kSpeedUpStep;
    }
}

// Growth only after a step move since the previous meal, and never past the arrays' capacity.
void grow(float length) {
    if (state.stepMoved) {
        state.snakeLength = std::min(length + kGrowth, static_cast<float>(kSnakeCapacity));
    }
    state.stepMoved = false;
}

}  // namespace

int speedUpSteps(float length) {
    int steps = 0;
    for (int k = kSpeedUpFirst; k <= kSpeedUpLast; ++k) {
        if (k < length && k + kSpeedUpWindow >= length) {
            ++steps;
        }
    }
    return steps;
}

void checkFood() {
    const int eaten = state.foodIndex;
    if (eaten < 0 || eaten >= state.foodCount || eaten >= static_cast<int>(state.foodX.size())) {
        return;  // no world yet
    }
    if (!headReaches(eaten)) {
        return;
    }
    state.score += state.foodPoints[eaten];
    const int next = nextItem(eaten);
    state.foodIndex = next;
    state.foodX[next] = randomCoordinate();
    state.foodZ[next] = randomCoordinate();
    keepAway(next);
    const float length = state.snakeLength;
    speedUp(length);
    grow(length);
}

}  // namespace game

// world.cpp -- world generation at start-up and the round restart after a death.
#include "game/world.h"

#include <cstdlib>
#include <ctime>

#include "game/bands.h"
#include "game/state.h"

namespace game {

namespace {

constexpr int kCoordinateSpan = 260;  // rand() % 260 - 130 gives -130..129
constexpr int kCoordinateOffset = 130;
constexpr double kObstacleBand = 15.0;  // obstacles keep this far from the head on each axis
constexpr int kObstacleBase = 5;        // 5, 6 or 7 obstacles
constexpr int kObstacleSpread = 3;
constexpr int kFoodBase = 980;  // 980 to 989 food items
constexpr int kFoodSpread = 10;
constexpr int kColourClasses = 10;
constexpr int kPointsBase = 100;  // each item is worth 100 to 129 points
constexpr int kPointsSpread = 30;
constexpr double kRestartSpacing = 2.8;  // the restart's spacing, taken in double precision

// Lays entries from..to-1 on the straight line back along -Z, each `spacing` behind the one
// ahead and stored as a float before the next, so rounding accumulates along the chain.
void layLine(int from, int to, double spacing) {
    for (int k = from; k < to; ++k) {
        state.snakeX[k] = state.snakeX[k - 1];
        state.snakeZ[k] = static_cast<float>(static_cast<double>(state.snakeZ[k - 1]) - spacing);
    }
}

void layOutSnake() {
    state.snakeX[0] = kStartCoordinate;
    state.snakeZ[0] = kStartCoordinate;
    // Entries 1..40: the 40 segments in use and the one behind the tail, spaced by the
    // float segmentSpacing so that rounding accumulates along the chain.
    const int laidOut = static_cast<int>(kStartLength);
    layLine(1, laidOut + 1, state.segmentSpacing);
    // The rest would otherwise be read by the step move before the trail reaches them after
    // a growth; give them the line a restart would lay.
    layLine(laidOut + 1, kSnakeCapacity, kRestartSpacing);
    state.prevSnakeX.fill(0.0f);
    state.prevSnakeZ.fill(0.0f);
}

void placeObstacles() {
    state.obstacleCount = static_cast<float>(std::rand() % kObstacleSpread + kObstacleBase);
    const auto count = static_cast<std::size_t>(state.obstacleCount);
    state.obstacleX.assign(count, 0.0f);
    state.obstacleZ.assign(count, 0.0f);
    for (int i = 0; i < state.obstacleCount; ++i) {
        state.obstacleX[i] = randomCoordinate();
        state.obstacleZ[i] = randomCoordinate();
        while (withinBand(state.obstacleX[i], state.snakeX[0], kObstacleBand)) {
            state.obstacleX[i] = randomCoordinate();
        }
        while (withinBand(state.obstacleZ[i], state.snakeZ[0], kObstacleBand)) {
            state.obstacleZ[i] = randomCoordinate();
        }
    }
}

void generateFood() {
    state.foodIndex = 0;
    state.foodCount = static_cast<float>(std::rand() % kFoodSpread + kFoodBase);
    const auto count = static_cast<std::size_t>(state.foodCount);
    // Positions of later items are drawn when they come onto the field; zero until then.
    state.foodX.assign(count, 0.0f);
    state.foodZ.assign(count, 0.0f);
    state.foodColour.assign(count, 0.0f);
    state.foodPoints.assign(count, 0);
    for (int i = 0; i < state.foodCount; ++i) {
        state.foodColour[i] = static_cast<float>(std::rand() % kColourClasses);
        state.foodPoints[i] = std::rand() % kPointsSpread + kPointsBase;
    }
    state.foodX[0] = randomCoordinate();
    state.foodZ[0] = randomCoordinate();
}

}  // namespace

float randomCoordinate() {
    return static_cast<float>(std::rand() % kCoordinateSpan - kCoordinateOffset);
}

void setupWorld() {
    setupWorldWithSeed(static_cast<unsigned>(std::time(nullptr)));
}

void setupWorldWithSeed(unsigned seed) {
    std::srand(seed);
    layOutSnake();
    placeObstacles();
    generateFood();
}

void restartRound() {
    if (state.lives < 1) {
        state.gameOver = true;
        return;
    }
    if (state.gameOver) {
        return;
    }
    state.snakeLength = kStartLength;
    state.direction = kHeadingPlusZ;
    state.speedBonus = 0.0f;
    state.snakeX[0] = kStartCoordinate;
    state.snakeZ[0] = kStartCoordinate;
    state.glideSpeed = 0.08f;
    layLine(1, kSnakeCapacity, kRestartSpacing);
    // Entry 0 of the previous positions keeps its value; nothing reads it before the next step.
    for (int k = 1; k < kSnakeCapacity; ++k) {
        state.prevSnakeX[k] = 0.0f;
        state.prevSnakeZ[k] = 0.0f;
    }
    state.snakeDead = false;
    state.glideMode = true;
}

}  // namespace game

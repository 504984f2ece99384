// frame_scene.cpp -- the late-game scene shared by the native and the browser frame benchmarks.
#include "frame_scene.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <numeric>

#include "game/state.h"

namespace frame_scene {
namespace {

using game::state;

constexpr float kFoodAway = -120.0f;
constexpr float kObstacleLane = 40.0f;
constexpr float kObstacleGap = 12.0f;
// The coil: a square spiral around the middle of the field (the walls are at -135 and 165),
// its sides 10, 10, 20, 20, ... 50 segments long, with the tail in the middle and the head on the
// outside heading -X, in open ground and away from the crates that clearThePath moved to X >= 40.
constexpr float kCoilCentre = 15.0f;
constexpr int kCoilSideStep = 10;
// The orbit of the golden pictures: the whole field at an angle.
constexpr float kOrbitAngle = 45.0f;
constexpr int kOrbitRadius = 300;

}  // namespace

void clearThePath() {
    for (std::size_t i = 0; i < state.obstacleX.size(); ++i) {
        state.obstacleX[i] = kObstacleLane + kObstacleGap * static_cast<float>(i);
    }
    state.foodX[static_cast<std::size_t>(state.foodIndex)] = kFoodAway;
    state.foodZ[static_cast<std::size_t>(state.foodIndex)] = kFoodAway;
}

// Walks out from the tail in the middle, turning left after each side: +Z, -X, -Z, +X, ...
void coilSnake() {
    constexpr std::array<int, 4> kTurns = {game::kHeadingPlusZ, game::kHeadingMinusX,
                                           game::kHeadingMinusZ, game::kHeadingPlusX};
    float x = kCoilCentre;
    float z = kCoilCentre;
    int segment = game::kSnakeCapacity - 1;
    state.snakeX[segment] = x;
    state.snakeZ[segment] = z;
    for (int side = 0; segment > 0; ++side) {
        const int heading = kTurns[static_cast<std::size_t>(side) % kTurns.size()];
        for (int n = 0; n < kCoilSideStep * (side / 2 + 1) && segment > 0; ++n) {
            x += heading == game::kHeadingPlusX    ? state.segmentSpacing
                 : heading == game::kHeadingMinusX ? -state.segmentSpacing
                                                   : 0.0f;
            z += heading == game::kHeadingPlusZ    ? state.segmentSpacing
                 : heading == game::kHeadingMinusZ ? -state.segmentSpacing
                                                   : 0.0f;
            --segment;
            state.snakeX[segment] = x;
            state.snakeZ[segment] = z;
        }
        state.direction = heading;
    }
    state.glideMode = false;
    state.snakeDead = false;
}

void useView(int view) {
    state.viewFlags.fill(false);
    state.viewFlags[static_cast<std::size_t>(view - 1)] = true;
    state.orbitAngle = kOrbitAngle;
    state.orbitRadius = kOrbitRadius;
}

void setUpCoil(int view) {
    clearThePath();
    state.snakeLength = static_cast<float>(game::kSnakeCapacity);
    coilSnake();
    useView(view);
}

bool coilIntact() {
    return !state.snakeDead && state.snakeLength == static_cast<float>(game::kSnakeCapacity);
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

double mean(const std::vector<double>& values) {
    return values.empty() ? 0.0
                          : std::accumulate(values.begin(), values.end(), 0.0) /
                                static_cast<double>(values.size());
}

}  // namespace frame_scene

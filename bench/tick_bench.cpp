// tick_bench.cpp -- the cost of one game tick (checkFood, then moveSnake) in step mode.
#include <benchmark/benchmark.h>

#include "game/food.h"
#include "game/movement.h"
#include "game/state.h"
#include "game/world.h"

namespace {

using game::state;

// The head starts near the -Z wall on X = 10 and steps toward +Z; at 2.8 per tick it is still
// short of the far wall after this many ticks, when the layout is put back (outside the timing).
constexpr int kTicksPerRun = 90;
constexpr float kStartX = 10.0f;
constexpr float kStartZ = -120.0f;
constexpr float kOutOfTheWay = -120.0f;  // obstacles and food far from the line X = 10

void layOutSnake() {
    for (int i = 0; i < game::kSnakeCapacity; ++i) {
        state.snakeX[i] = kStartX;
        state.snakeZ[i] = kStartZ - state.segmentSpacing * static_cast<float>(i);
    }
    state.direction = game::kHeadingPlusZ;
    state.snakeDead = false;
}

// A seeded world with a straight snake of `length` stepping along a clear line.
void prepare(float length) {
    game::resetState();
    game::setupWorldWithSeed(1);
    state.obstacleX.assign(state.obstacleX.size(), kOutOfTheWay);
    state.obstacleZ.assign(state.obstacleZ.size(), kOutOfTheWay);
    state.foodX[0] = kOutOfTheWay;
    state.foodZ[0] = kOutOfTheWay;
    state.snakeLength = length;
    state.glideMode = false;
    layOutSnake();
}

void tick(benchmark::State& bench) {
    prepare(static_cast<float>(bench.range(0)));
    bool died = false;
    int ticks = 0;
    for (auto _ : bench) {
        if (ticks == kTicksPerRun) {
            bench.PauseTiming();
            died |= state.snakeDead;
            layOutSnake();
            ticks = 0;
            bench.ResumeTiming();
        }
        game::checkFood();
        game::moveSnake();
        benchmark::ClobberMemory();
        ++ticks;
    }
    // A dead snake skips the move, which would make the tick look cheaper than it is.
    if (died || state.snakeDead || state.foodIndex != 0) {
        bench.SkipWithError("the snake died or ate during the measured ticks");
    }
}

}  // namespace

BENCHMARK(tick)->Arg(40)->Arg(300);

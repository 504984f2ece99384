// frame_bench.cpp -- the cost of one whole frame (clear, camera, world with its tick, HUD),
// drawn offscreen at 800 x 600 in the follow view.
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/textures.h"
#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

using game::state;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr unsigned kSeed = 7;
// The head steps from near the -Z wall toward +Z along X = 10; at 2.8 per tick it is still
// short of the far wall after this many ticks, when the snake is laid out again (untimed).
constexpr int kTicksPerRun = 90;
constexpr float kStartX = 10.0f;
constexpr float kStartZ = -120.0f;
constexpr float kFoodAway = -120.0f;

// Keeps every obstacle's zone off the line X = 10; they are still drawn, only elsewhere.
void clearThePath() {
    for (std::size_t i = 0; i < state.obstacleX.size(); ++i) {
        state.obstacleX[i] = 40.0f + 12.0f * static_cast<float>(i);
    }
    state.foodX[static_cast<std::size_t>(state.foodIndex)] = kFoodAway;
    state.foodZ[static_cast<std::size_t>(state.foodIndex)] = kFoodAway;
}

void layOutSnake() {
    for (int i = 0; i < game::kSnakeCapacity; ++i) {
        state.snakeX[i] = kStartX;
        state.snakeZ[i] = kStartZ - state.segmentSpacing * static_cast<float>(i);
    }
    state.direction = game::kHeadingPlusZ;
    state.glideMode = false;
    state.snakeDead = false;
}

void prepare(float length) {
    game::resetState();
    render::resizeViewport(kWidth, kHeight);
    render::initSceneWithSeed(kSeed);
    clearThePath();
    state.snakeLength = length;
    layOutSnake();
}

void BM_Frame(benchmark::State& bench) {
    const auto length = static_cast<float>(bench.range(0));
    prepare(length);
    int ticks = 0;
    for (auto _ : bench) {
        render::renderFrame();
        glFinish();  // the frame is done when the renderer's threads are
        if (++ticks == kTicksPerRun) {
            bench.PauseTiming();
            if (state.snakeDead || state.snakeLength != length) {
                bench.SkipWithError("the snake died or grew during the measurement");
                break;
            }
            layOutSnake();
            ticks = 0;
            bench.ResumeTiming();
        }
    }
    bench.counters["visible_segments"] = length - static_cast<float>(game::kHiddenTail);
}
// Real time: the software renderer draws on worker threads as well as this one.
BENCHMARK(BM_Frame)
    ->Arg(40)
    ->Arg(300)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

}  // namespace

int main(int argc, char** argv) {
    constexpr GLint kDepthBits = 16;
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, kDepthBits, 0, 0, nullptr);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
    if (context == nullptr ||
        OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, kWidth, kHeight) != GL_TRUE) {
        std::fprintf(stderr, "frame_bench: no offscreen GL context\n");
        return 1;
    }
    assets::setAssetRoot(VANTORIX_SOURCE_DIR);
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    benchmark::AddCustomContext("renderer", renderer != nullptr ? renderer : "unknown");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    glFinish();
    OSMesaDestroyContext(context);
    return 0;
}

// frame_bench_page.cpp -- the frame benchmark's late game in the browser: the same coiled snake
// as bench/frame_bench.cpp's BM_CoiledFrame, drawn with WebGL through the fixed-function layer
// at 800 x 600, in views 1, 2 and 3. Prints, for each view, the median over the repetitions of
// each repetition's median frame, the mean of their means and the fastest frame, as the native
// benchmark's table does. `make bench-web` runs both.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "app/web_context.h"
#include "assets/textures.h"
#include "frame_scene.h"
#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kRepetitions = 7;
constexpr int kFramesPerRepetition = 40;
constexpr int kWarmUpFrames = 3;
constexpr int kLastView = 3;
constexpr double kMillisecondsPerSecond = 1000.0;

game::GameState startState;

// Waits until the browser's GPU side has drawn everything asked of it. WebGL's finish returns at
// once in Chromium; reading a pixel back cannot, so it stands for the native benchmark's
// glFinish.
void waitForTheFrame() {
    std::array<GLubyte, 4> pixel{};
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
}

// One frame drawn to the end.
double timeFrame() {
    const auto start = Clock::now();
    render::renderFrame();
    waitForTheFrame();
    return std::chrono::duration<double>(Clock::now() - start).count() * kMillisecondsPerSecond;
}

struct ViewFigures {
    double medianMs = 0.0;
    double meanMs = 0.0;
    double bestMs = 0.0;
};

// The first frames compile the layer's shaders for the scene's state; they are not timed, and
// the world is put back as it was.
void warmUp() {
    const game::GameState before = game::state;
    for (int i = 0; i < kWarmUpFrames; ++i) {
        render::renderFrame();
        waitForTheFrame();
    }
    game::state = before;
}

ViewFigures measureView(int view) {
    game::state = startState;
    frame_scene::setUpCoil(view);
    warmUp();
    std::vector<double> medians;
    std::vector<double> means;
    double best = 0.0;
    for (int repetition = 0; repetition < kRepetitions; ++repetition) {
        std::vector<double> frames;
        int ticks = 0;
        for (int i = 0; i < kFramesPerRepetition; ++i) {
            frames.push_back(timeFrame());
            if (++ticks == frame_scene::kCoilTicksPerRun) {
                frame_scene::coilSnake();
                ticks = 0;
            }
        }
        medians.push_back(frame_scene::median(frames));
        means.push_back(frame_scene::mean(frames));
        const double fastest = *std::min_element(frames.begin(), frames.end());
        best = repetition == 0 ? fastest : std::min(best, fastest);
    }
    return {frame_scene::median(medians), frame_scene::mean(means), best};
}

}  // namespace

int main() {
    if (!app::createWebGLContext(app::kCanvasSelector)) {
        std::printf("frame_bench_page: no WebGL context\n");
        return 1;
    }
    render::resizeViewport(kWidth, kHeight);
    assets::setAssetRoot("");
    game::resetState();
    render::initSceneWithSeed(frame_scene::kSeed);
    startState = game::state;
    std::printf(
        "Whole frame at %dx%d in the browser, the late game: 300 segments coiled inside the "
        "walls.\n%d repetitions of %d frames: the median of their median frames, the mean of "
        "their\nmean frames, and the fastest frame seen.\n",
        kWidth, kHeight, kRepetitions, kFramesPerRepetition);
    std::printf("%-6s %10s %10s %10s\n", "view", "median ms", "mean ms", "best ms");
    for (int view = 1; view <= kLastView; ++view) {
        const ViewFigures figures = measureView(view);
        if (!frame_scene::coilIntact()) {
            std::printf("frame_bench_page: the snake died or grew during the measurement\n");
            return 1;
        }
        std::printf("%-6d %10.2f %10.2f %10.2f\n", view, figures.medianMs, figures.meanMs,
                    figures.bestMs);
    }
    return 0;
}

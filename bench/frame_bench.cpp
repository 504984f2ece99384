// frame_bench.cpp -- the cost of one whole frame (clear, camera, world with its tick, HUD), drawn
// offscreen, in two scenes:
// - a straight snake in the follow view, the compiled sphere against GLU tessellating every
//   sphere, side by side in one run, at several lengths and two picture sizes. The line runs
//   from near the -Z wall far past it, so at the longer lengths most spheres are clipped;
// - the late game: a full-length snake coiled inside the walls, every sphere on the field, in
//   views 1, 2 and 3 at 800 x 600, drawn as the game draws it (the compiled sphere).
// Instructions, which other work on the machine does not change, for one length and size (no
// renderer threads, so that all drawing is counted; the same again with '*newFrame*'):
//   LP_NUM_THREADS=0 valgrind --tool=callgrind --toggle-collect='*oldFrame*' frame_bench
//       --benchmark_filter=length:300/width:800/ --benchmark_repetitions=1
#include <GL/gl.h>
#include <GL/osmesa.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "assets/textures.h"
#include "frame_scene.h"
#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

using game::state;
using Clock = std::chrono::steady_clock;

constexpr int kSmallWidth = 800;
constexpr int kSmallHeight = 600;
constexpr int kLargeWidth = 1600;
constexpr int kLargeHeight = 1200;
// The head steps from near the -Z wall toward +Z along X = 10; at 2.8 per tick it is still
// short of the far wall after this many ticks, when the snake is laid out again (untimed).
constexpr int kTicksPerRun = 90;
constexpr float kStartX = 10.0f;
constexpr float kStartZ = -120.0f;
constexpr double kMillisecondsPerSecond = 1000.0;

OSMesaContext context = nullptr;
std::vector<unsigned char> pixels;
// The world as the start-up left it, and the sphere list it compiled.
game::GameState startState;
GLuint compiledSphere = 0;

bool useSize(int width, int height) {
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    if (OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, width, height) != GL_TRUE) {
        return false;
    }
    render::resizeViewport(width, height);
    return true;
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
    state = startState;
    frame_scene::clearThePath();
    state.snakeLength = length;
    layOutSnake();
}

// One frame drawn to the end, in seconds; the old way is what the game does when it has no
// compiled list. Two functions, so that a profile (callgrind) tells the ways apart.
double timeFrame() {
    const auto start = Clock::now();
    render::renderFrame();
    glFinish();  // the frame is done when the renderer's threads are
    return std::chrono::duration<double>(Clock::now() - start).count();
}
__attribute__((noinline)) double oldFrame() {
    render::sphereList = 0;
    return timeFrame();
}
__attribute__((noinline)) double newFrame() {
    render::sphereList = compiledSphere;
    return timeFrame();
}

// The first frames of each way compile the renderer's shaders for its state; they are drawn
// before the timing starts, and the world is put back as it was.
void warmUp() {
    const game::GameState before = state;
    for (const GLuint list : {GLuint{0}, compiledSphere}) {
        render::sphereList = list;
        render::renderFrame();
        glFinish();
        state = before;
    }
}

// Each iteration draws the same tick both ways, in alternating order so that neither way
// always finds the caches warmed by the other. The reported time is the compiled frame's.
// Other work on the machine only ever adds time: medians and minima of the frames are
// reported, the minima being the closest to a quiet machine.
void BM_OldAndNewFrame(benchmark::State& bench) {
    const auto length = static_cast<float>(bench.range(0));
    const bool large = bench.range(1) == kLargeWidth;
    if (!useSize(large ? kLargeWidth : kSmallWidth, large ? kLargeHeight : kSmallHeight)) {
        bench.SkipWithError("cannot draw at this size");
        return;
    }
    prepare(length);
    warmUp();
    std::vector<double> oldFrames;
    std::vector<double> newFrames;
    int ticks = 0;
    for (auto _ : bench) {
        const game::GameState before = state;
        double oldTime = 0.0;
        double newTime = 0.0;
        if (oldFrames.size() % 2 == 0) {
            oldTime = oldFrame();
            state = before;
            newTime = newFrame();
        } else {
            newTime = newFrame();
            state = before;
            oldTime = oldFrame();
        }
        oldFrames.push_back(oldTime);
        newFrames.push_back(newTime);
        bench.SetIterationTime(newTime);
        if (state.snakeDead || state.snakeLength != length) {
            bench.SkipWithError("the snake died or grew during the measurement");
            break;
        }
        if (++ticks == kTicksPerRun) {
            layOutSnake();
            ticks = 0;
        }
    }
    render::sphereList = compiledSphere;
    if (oldFrames.empty()) {
        return;
    }
    const double oldMedian = frame_scene::median(oldFrames);
    const double oldBest = *std::min_element(oldFrames.begin(), oldFrames.end());
    const double newBest = *std::min_element(newFrames.begin(), newFrames.end());
    bench.counters["old_ms"] = oldMedian * kMillisecondsPerSecond;
    bench.counters["new_ms"] = frame_scene::median(newFrames) * kMillisecondsPerSecond;
    bench.counters["new/old"] = frame_scene::median(newFrames) / oldMedian;
    bench.counters["best_old_ms"] = oldBest * kMillisecondsPerSecond;
    bench.counters["best_new_ms"] = newBest * kMillisecondsPerSecond;
    bench.counters["best_new/old"] = newBest / oldBest;
    bench.counters["spheres"] = length - static_cast<float>(game::kHiddenTail) + 1.0f;
}

// The late game in one view: 295 snake spheres on the field, the snake stepping one tick a frame.
void BM_CoiledFrame(benchmark::State& bench) {
    const int view = static_cast<int>(bench.range(0));
    if (!useSize(kSmallWidth, kSmallHeight)) {
        bench.SkipWithError("cannot draw at this size");
        return;
    }
    state = startState;
    frame_scene::setUpCoil(view);
    warmUp();
    std::vector<double> frames;
    int ticks = 0;
    for (auto _ : bench) {
        const double time = newFrame();
        frames.push_back(time);
        bench.SetIterationTime(time);
        if (!frame_scene::coilIntact()) {
            bench.SkipWithError("the snake died or grew during the measurement");
            break;
        }
        if (++ticks == frame_scene::kCoilTicksPerRun) {
            frame_scene::coilSnake();
            ticks = 0;
        }
    }
    if (frames.empty()) {
        return;
    }
    bench.counters["median_ms"] = frame_scene::median(frames) * kMillisecondsPerSecond;
    bench.counters["mean_ms"] = frame_scene::mean(frames) * kMillisecondsPerSecond;
    bench.counters["best_ms"] =
        *std::min_element(frames.begin(), frames.end()) * kMillisecondsPerSecond;
}

double smallest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}
double largest(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
}

// Manual time: the software renderer draws on worker threads as well as this one, so the
// frames are timed on the wall clock. Min and max show the spread of the ratio besides the
// usual mean, median and deviation.
BENCHMARK(BM_OldAndNewFrame)
    ->ArgNames({"length", "width"})
    ->ArgsProduct({{40, 100, 200, 300}, {kSmallWidth, kLargeWidth}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->ComputeStatistics("min", smallest)
    ->ComputeStatistics("max", largest)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_CoiledFrame)
    ->ArgName("view")
    ->DenseRange(1, 3)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->ComputeStatistics("min", smallest)
    ->ComputeStatistics("max", largest)
    ->ReportAggregatesOnly(true);

// The usual console output, and at the end one line per size and length.
class TableReporter : public benchmark::ConsoleReporter {
public:
    TableReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports) {
            // One repetition has no aggregates: its run stands for all of them.
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (run.error_occurred || (run.run_type != Run::RT_Aggregate && !single)) {
                continue;
            }
            const auto value = [&run](const char* name) {
                const auto found = run.counters.find(name);
                return found == run.counters.end() ? 0.0 : found->second.value;
            };
            if (run.run_name.function_name == "BM_CoiledFrame") {
                CoilRow& row = coilRows_[field(run.run_name.args, "view")];
                if (single || run.aggregate_name == "median") {
                    row.medianMs = value("median_ms");
                }
                if (single || run.aggregate_name == "mean") {
                    row.meanMs = value("mean_ms");
                }
                if (single || run.aggregate_name == "min") {
                    row.bestMs = value("best_ms");
                }
                continue;
            }
            Row& row =
                rows_[{field(run.run_name.args, "width"), field(run.run_name.args, "length")}];
            if (single || run.aggregate_name == "median") {
                row.oldMs = value("old_ms");
                row.newMs = value("new_ms");
                row.ratio = value("new/old");
            }
            if (single || run.aggregate_name == "min") {
                row.ratioLow = value("new/old");
                row.bestOldMs = value("best_old_ms");
                row.bestNewMs = value("best_new_ms");
            }
            if (single || run.aggregate_name == "max") {
                row.ratioHigh = value("new/old");
            }
        }
    }

    void printTable() const {
        std::printf(
            "\nWhole frame, straight snake from near the -Z wall outward (at the longer lengths "
            "most\nspheres are beyond the wall and clipped), follow view. old: GLU tessellates "
            "every sphere;\nnew: the compiled sphere. Both ways draw the same ticks in one run. "
            "Medians of the\nrepetitions (each the median frame of its run), the ratio's range "
            "over the repetitions,\nand the fastest frames seen.\n");
        std::printf("%-10s %6s %8s %8s %8s %14s %9s %9s %8s\n", "size", "length", "old ms",
                    "new ms", "new/old", "range", "best old", "best new", "best n/o");
        for (const auto& [key, row] : rows_) {
            const int width = key.first;
            const int height = width == kLargeWidth ? kLargeHeight : kSmallHeight;
            const std::string size = std::to_string(width) + "x" + std::to_string(height);
            const double bestRatio = row.bestOldMs > 0.0 ? row.bestNewMs / row.bestOldMs : 0.0;
            std::printf("%-10s %6d %8.2f %8.2f %8.3f   %5.3f..%5.3f %9.2f %9.2f %8.3f\n",
                        size.c_str(), key.second, row.oldMs, row.newMs, row.ratio, row.ratioLow,
                        row.ratioHigh, row.bestOldMs, row.bestNewMs, bestRatio);
        }
        if (coilRows_.empty()) {
            return;
        }
        std::printf(
            "\nWhole frame at 800x600, the late game: 300 segments coiled inside the walls, "
            "the compiled\nsphere. The median over the repetitions of each run's median frame, "
            "the mean of their\nmean frames, and the fastest frame seen.\n");
        std::printf("%-6s %10s %10s %10s\n", "view", "median ms", "mean ms", "best ms");
        for (const auto& [view, row] : coilRows_) {
            std::printf("%-6d %10.2f %10.2f %10.2f\n", view, row.medianMs, row.meanMs, row.bestMs);
        }
    }

private:
    struct Row {
        double oldMs = 0.0;
        double newMs = 0.0;
        double ratio = 0.0;
        double ratioLow = 0.0;
        double ratioHigh = 0.0;
        double bestOldMs = 0.0;
        double bestNewMs = 0.0;
    };

    // `args` reads "length:40/width:800".
    static int field(const std::string& args, const std::string& name) {
        const auto at = args.find(name + ":");
        return at == std::string::npos ? 0 : std::atoi(args.c_str() + at + name.size() + 1);
    }

    struct CoilRow {
        double medianMs = 0.0;
        double meanMs = 0.0;
        double bestMs = 0.0;
    };

    std::map<std::pair<int, int>, Row> rows_;  // by width, then length
    std::map<int, CoilRow> coilRows_;          // by view
};

}  // namespace

int main(int argc, char** argv) {
    constexpr GLint kDepthBits = 16;
    context = OSMesaCreateContextExt(OSMESA_RGBA, kDepthBits, 0, 0, nullptr);
    if (context == nullptr || !useSize(kSmallWidth, kSmallHeight)) {
        std::fprintf(stderr, "frame_bench: no offscreen GL context\n");
        return 1;
    }
    assets::setAssetRoot(VANTORIX_SOURCE_DIR);
    game::resetState();
    render::initSceneWithSeed(frame_scene::kSeed);
    startState = state;
    compiledSphere = render::sphereList;
    if (compiledSphere == 0) {
        std::fprintf(stderr, "frame_bench: the sphere could not be compiled\n");
        return 1;
    }
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    benchmark::AddCustomContext("renderer", renderer != nullptr ? renderer : "unknown");
    // Seven repetitions unless the command line asks for another number (a later flag wins).
    std::vector<char*> args(argv, argv + argc);
    std::string repetitions = "--benchmark_repetitions=7";
    args.insert(args.begin() + 1, repetitions.data());
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printTable();
    benchmark::Shutdown();
    glFinish();
    OSMesaDestroyContext(context);
    return 0;
}

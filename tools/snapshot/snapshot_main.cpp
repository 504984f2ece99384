// snapshot_main.cpp -- renders a seeded game offscreen at 800 x 600 and writes it as a PNG.
#include <GL/osmesa.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/textures.h"
#include "png_file.h"
#include "snapshot_scene.h"

namespace {

constexpr const char* kUsage =
    "usage: snapshot [--view 1..8] [--ticks N] [--lives L] [--game-over] [--seed S]\n"
    "                [--turn TICK:HEADING]... [--radius R] [--angle DEG] [--assets DIR]\n"
    "                --out FILE.png\n"
    "  --ticks N    frames to render, one game tick each; the last is written (default 60)\n"
    "  --turn T:H   before frame T, turn to heading H (0 -Z, 1 +Z, 2 +X, 3 -X)\n"
    "  --radius R, --angle DEG   the orbit of view 2 (default 300 and 45)\n"
    "  --assets DIR the folder holding textures/ (default: the working directory)\n";

struct Options {
    snapshot::Scene scene;
    std::string out;
    std::string assets;
};

bool parseInt(const char* text, long low, long high, int& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < low || parsed > high) {
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool parseTurn(const char* text, snapshot::Turn& turn) {
    const std::string argument(text);
    const auto colon = argument.find(':');
    if (colon == std::string::npos) {
        return false;
    }
    const std::string tick = argument.substr(0, colon);
    const std::string heading = argument.substr(colon + 1);
    return parseInt(tick.c_str(), 0, 1000000, turn.tick) &&
           parseInt(heading.c_str(), 0, 3, turn.heading);
}

// One option with its value; returns false on an unknown option or a bad value.
bool parseOption(const std::string& name, const char* value, Options& options) {
    auto& scene = options.scene;
    int number = 0;
    if (name == "--view") {
        return parseInt(value, 1, 8, scene.view);
    }
    if (name == "--ticks") {
        return parseInt(value, 1, 1000000, scene.frames);
    }
    if (name == "--lives") {
        return parseInt(value, -1000, 1000, scene.lives);
    }
    if (name == "--seed") {
        const bool ok = parseInt(value, 0, 2147483647L, number);
        scene.seed = static_cast<unsigned>(number);
        return ok;
    }
    if (name == "--radius") {
        return parseInt(value, 0, 600, scene.orbitRadius);
    }
    if (name == "--angle") {
        const bool ok = parseInt(value, -100000, 100000, number);
        scene.orbitAngle = static_cast<float>(number);
        return ok;
    }
    if (name == "--turn") {
        snapshot::Turn turn;
        const bool ok = parseTurn(value, turn);
        scene.turns.push_back(turn);
        return ok;
    }
    if (name == "--out") {
        options.out = value;
        return true;
    }
    if (name == "--assets") {
        options.assets = value;
        return true;
    }
    return false;
}

bool parseArguments(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--game-over") {
            options.scene.gameOver = true;
            continue;
        }
        if (i + 1 >= argc || !parseOption(name, argv[i + 1], options)) {
            std::fprintf(stderr, "snapshot: bad or incomplete option %s\n", name.c_str());
            return false;
        }
        ++i;
    }
    if (options.out.empty()) {
        std::fprintf(stderr, "snapshot: --out is required\n");
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    constexpr GLint kDepthBits = 16;
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, kDepthBits, 0, 0, nullptr);
    std::vector<unsigned char> pixels(static_cast<std::size_t>(snapshot::kWidth) *
                                      snapshot::kHeight * 4);
    if (context == nullptr || OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE,
                                                snapshot::kWidth, snapshot::kHeight) != GL_TRUE) {
        std::fprintf(stderr, "snapshot: no offscreen GL context\n");
        return 1;
    }
    assets::setAssetRoot(options.assets);
    snapshot::renderScene(options.scene);
    const bool written = png::writeRgba(options.out, pixels.data(), snapshot::kWidth,
                                        snapshot::kHeight, /*bottomUp=*/true);
    OSMesaDestroyContext(context);
    if (!written) {
        std::fprintf(stderr, "snapshot: cannot write %s\n", options.out.c_str());
        return 1;
    }
    std::printf("snapshot: wrote %s\n", options.out.c_str());
    return 0;
}

// make_textures.cpp -- writes the eight game textures into a folder: make-textures OUTDIR [--png]
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "assets/bmp.h"
#include "canvas.h"
#include "font_atlas.h"
#include "pictures.h"
#include "png_file.h"

namespace {

using textures_gen::Canvas;

struct Output {
    const char* file;
    bool opaque;  // false: pure black is meant to be see-through
    Canvas canvas;
};

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A PNG beside each BMP, enlarged to at least 512 texels a side for looking at; see-through
// black shows as dark purple.
bool writePreview(const std::string& path, const Canvas& canvas) {
    constexpr int kPreviewSide = 512;
    const int scale = std::max(1, kPreviewSide / canvas.width);
    const std::vector<std::uint8_t> rgb = textures_gen::toBottomUpRgb(canvas, false);
    const int width = canvas.width * scale;
    const int height = canvas.height * scale;
    std::vector<std::uint8_t> rgba;
    rgba.reserve(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i =
                (static_cast<std::size_t>(y / scale) * canvas.width + x / scale) * 3;
            const bool black = rgb[i] == 0 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
            if (black) {
                rgba.insert(rgba.end(), {60, 0, 60, 255});
            } else {
                rgba.insert(rgba.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
            }
        }
    }
    return png::writeRgba(path, rgba.data(), width, height, /*bottomUp=*/true);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make-textures OUTDIR [--png]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool previews = argc > 2 && std::strcmp(argv[2], "--png") == 0;

    Canvas atlas;
    std::string error;
    if (!textures_gen::paintFontAtlas(VANTORIX_FONT_MAIN, VANTORIX_FONT_SECOND, atlas, error)) {
        std::fprintf(stderr, "make-textures: %s\n", error.c_str());
        return 1;
    }
    const std::vector<Output> outputs = {
        {"sphTex.bmp", true, textures_gen::paintSphere()},
        {"bg.bmp", true, textures_gen::paintBackdrop()},
        {"box.bmp", true, textures_gen::paintCrate()},
        {"czcionka2.bmp", false, atlas},
        {"heart.bmp", false, textures_gen::paintHeart()},
        {"blueC.bmp", true, textures_gen::paintGrid()},
        {"face.bmp", true, textures_gen::paintFace()},
        {"body.bmp", true, textures_gen::paintSkin()},
    };
    for (const Output& output : outputs) {
        const std::string path = folder + "/" + output.file;
        const std::vector<std::uint8_t> bytes =
            assets::encodeBitmap(output.canvas.width, output.canvas.height,
                                 textures_gen::toBottomUpRgb(output.canvas, output.opaque));
        if (!writeFile(path, bytes) ||
            (previews && !writePreview(path.substr(0, path.size() - 4) + ".png", output.canvas))) {
            std::fprintf(stderr, "make-textures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

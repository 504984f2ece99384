// png_file.h -- PNG files in and out as 8-bit RGBA, over libpng: snapshots, icons, test
// artefacts and the golden pictures of the picture tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace png {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // top row first, four bytes per pixel
};

// Writes `width` x `height` RGBA pixels. With `bottomUp`, the first row in memory is the
// picture's bottom row, as GL reads it back. Returns false if the file cannot be written.
bool writeRgba(const std::string& path, const std::uint8_t* pixels, int width, int height,
               bool bottomUp);

// Reads any PNG that libpng reads (grey, palette, RGB, with or without alpha, 16-bit,
// interlaced) as 8-bit sRGB RGBA; like libpng, it takes a 16-bit file that names no gamma as
// linear. A missing or damaged file, or one cut short before its last pixel, gives false and
// leaves `image` empty.
bool readRgba(const std::string& path, Image& image);

}  // namespace png

// png_reader.h -- reads 8-bit RGB or RGBA PNG files (golden images for the picture tests).
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

// Reads a non-interlaced PNG of 8-bit RGB or RGBA pixels. Anything else (other depths,
// palettes, interlacing, a damaged or truncated file) gives false and leaves `image` empty.
bool readRgba(const std::string& path, Image& image);

}  // namespace png

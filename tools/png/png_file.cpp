// png_file.cpp -- reading and writing through libpng's simplified API.
#include "png_file.h"

#include <png.h>

#include <cstring>
#include <utility>

namespace png {

namespace {

// Beyond any picture we render; keeps a damaged header from asking for gigabytes.
constexpr png_uint_32 kMaxSide = 16384;

png_image rgbaImage() {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.format = PNG_FORMAT_RGBA;
    return image;
}

}  // namespace

bool writeRgba(const std::string& path, const std::uint8_t* pixels, int width, int height,
               bool bottomUp) {
    if (width <= 0 || height <= 0 || static_cast<png_uint_32>(width) > kMaxSide ||
        static_cast<png_uint_32>(height) > kMaxSide) {
        return false;
    }
    png_image image = rgbaImage();
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    // Screenshots are written while end-to-end tests wait on them: speed over size.
    image.flags = PNG_IMAGE_FLAG_FAST;
    // A negative stride tells libpng that the bottom row comes first in memory.
    const png_int_32 stride = (bottomUp ? -1 : 1) * width * 4;
    const int written = png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, nullptr);
    png_image_free(&image);
    return written != 0;
}

bool readRgba(const std::string& path, Image& image) {
    image = Image{};
    png_image file = rgbaImage();
    if (png_image_begin_read_from_file(&file, path.c_str()) == 0) {
        return false;  // libpng has already freed what it allocated
    }
    if (file.width == 0 || file.height == 0 || file.width > kMaxSide || file.height > kMaxSide) {
        png_image_free(&file);
        return false;
    }
    // The header gave the file's own format; ask for 8-bit RGBA, whatever it holds.
    file.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(file));
    if (png_image_finish_read(&file, nullptr, rgba.data(), 0, nullptr) == 0) {
        png_image_free(&file);
        return false;
    }
    image.width = static_cast<int>(file.width);
    image.height = static_cast<int>(file.height);
    image.rgba = std::move(rgba);
    return true;
}

}  // namespace png

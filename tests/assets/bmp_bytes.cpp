// bmp_bytes.cpp -- BMP byte strings for the loader tests.
#include "bmp_bytes.h"

#include <fstream>

#include "assets/bmp.h"

namespace bmp_bytes {

std::vector<std::uint8_t> picture(int width, int height, const std::vector<std::uint8_t>& bgr) {
    // encodeBitmap takes RGB and stores BGR; hand it the bytes swapped so the file holds `bgr`.
    std::vector<std::uint8_t> rgb = bgr;
    assets::swapBlueRed(rgb);
    return assets::encodeBitmap(width, height, rgb);
}

std::vector<std::uint8_t> numbered(int width, int height) {
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i) {
        bgr[i] = static_cast<std::uint8_t>(i % 250 + 1);
    }
    return picture(width, height, bgr);
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

void insertBeforePixels(std::vector<std::uint8_t>& bytes, std::size_t count) {
    const std::uint32_t offset = static_cast<std::uint32_t>(assets::kHeaderBytes);
    bytes.insert(bytes.begin() + offset, count, std::uint8_t{0xAB});
    put32(bytes, kPixelOffsetAt, offset + static_cast<std::uint32_t>(count));
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace bmp_bytes

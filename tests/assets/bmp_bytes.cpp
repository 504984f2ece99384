// bmp_bytes.cpp -- BMP byte strings for the loader tests.
#include "bmp_bytes.h"

#include <algorithm>
#include <fstream>

#include "assets/bmp.h"

namespace bmp_bytes {

namespace {

constexpr std::uint8_t kPaddingMark = 0xEE;

std::size_t paddedRow(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
}

}  // namespace

std::vector<std::uint8_t> picture(int width, int height, const std::vector<std::uint8_t>& bgr) {
    // encodeBitmap takes RGB and stores BGR; hand it the bytes swapped so the file holds `bgr`.
    std::vector<std::uint8_t> bytes = assets::encodeBitmap(width, height, rgbOf(bgr));
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t stride = paddedRow(width);
    for (int row = 0; row < height; ++row) {
        const auto padding = bytes.begin() + static_cast<std::ptrdiff_t>(assets::kHeaderBytes +
                                                                         row * stride + rowBytes);
        std::fill(padding, padding + static_cast<std::ptrdiff_t>(stride - rowBytes), kPaddingMark);
    }
    return bytes;
}

std::vector<std::uint8_t> numberedTexels(int width, int height) {
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < bgr.size(); ++i) {
        bgr[i] = static_cast<std::uint8_t>(i % 250 + 1);
    }
    return bgr;
}

std::vector<std::uint8_t> numbered(int width, int height) {
    return picture(width, height, numberedTexels(width, height));
}

std::vector<std::uint8_t> rgbOf(const std::vector<std::uint8_t>& bgr) {
    std::vector<std::uint8_t> rgb;
    for (std::size_t i = 0; i + 3 <= bgr.size(); i += 3) {
        rgb.insert(rgb.end(), {bgr[i + 2], bgr[i + 1], bgr[i]});
    }
    return rgb;
}

void storeTopDown(std::vector<std::uint8_t>& bytes) {
    const auto width = static_cast<std::int32_t>(get32(bytes, kWidthAt));
    const auto height = static_cast<std::int32_t>(get32(bytes, kHeightAt));
    const std::size_t stride = paddedRow(width);
    const std::size_t first = get32(bytes, kPixelOffsetAt);
    std::vector<std::uint8_t> flipped(bytes.begin(), bytes.begin() + first);
    for (std::int32_t row = height - 1; row >= 0; --row) {
        const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(first + row * stride);
        flipped.insert(flipped.end(), begin, begin + static_cast<std::ptrdiff_t>(stride));
    }
    flipped.insert(flipped.end(),
                   bytes.begin() + static_cast<std::ptrdiff_t>(first + height * stride),
                   bytes.end());
    put32(flipped, kHeightAt, static_cast<std::uint32_t>(-height));
    bytes = flipped;
}

void put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value) {
    bytes.at(offset) = static_cast<std::uint8_t>(value);
    bytes.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | bytes.at(offset + i);
    }
    return value;
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

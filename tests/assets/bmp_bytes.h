// bmp_bytes.h -- builds BMP byte strings for the loader tests, with any field overwritten.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace bmp_bytes {

// File offsets of the fields the tests tamper with.
constexpr std::size_t kPixelOffsetAt = 10;
constexpr std::size_t kHeaderSizeAt = 14;
constexpr std::size_t kWidthAt = 18;
constexpr std::size_t kHeightAt = 22;
constexpr std::size_t kImageSizeAt = 34;

// A valid width x height picture whose file bytes are `bgr` (blue, green, red per texel).
std::vector<std::uint8_t> picture(int width, int height, const std::vector<std::uint8_t>& bgr);

// A width x height picture whose pixel byte i is i % 250 + 1: every texel distinct-ish, none black.
std::vector<std::uint8_t> numbered(int width, int height);

void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);

// Inserts `count` bytes of filler before the pixel data and moves pixelOffset past them.
void insertBeforePixels(std::vector<std::uint8_t>& bytes, std::size_t count);

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace bmp_bytes

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
constexpr std::size_t kBitCountAt = 28;
constexpr std::size_t kCompressionAt = 30;
constexpr std::size_t kImageSizeAt = 34;

// A valid width x height picture whose texels are `bgr` (blue, green, red per texel, bottom row
// first, no padding); in the file each row is padded to 4 bytes with 0xEE, which no test
// picture holds elsewhere, so padding read as a texel shows.
std::vector<std::uint8_t> picture(int width, int height, const std::vector<std::uint8_t>& bgr);

// Texel bytes i % 250 + 1 for a width x height picture: every texel distinct-ish, none black,
// none symmetric (blue differs from red).
std::vector<std::uint8_t> numberedTexels(int width, int height);

// picture() of numberedTexels().
std::vector<std::uint8_t> numbered(int width, int height);

// The RGB triples a reader should give for file texels `bgr`, worked out here by hand.
std::vector<std::uint8_t> rgbOf(const std::vector<std::uint8_t>& bgr);

// Rewrites a bottom-up picture as the same picture stored top row first (negative height).
void storeTopDown(std::vector<std::uint8_t>& bytes);

void put16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void put32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
std::uint32_t get32(const std::vector<std::uint8_t>& bytes, std::size_t offset);

// Inserts `count` bytes of filler before the pixel data and moves pixelOffset past them.
void insertBeforePixels(std::vector<std::uint8_t>& bytes, std::size_t count);

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace bmp_bytes

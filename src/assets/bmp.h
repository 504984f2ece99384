// bmp.h -- the byte-level BMP reader (no GL): headers, validation, BGR->RGB, RGBA widening.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// The first 14 bytes of a BMP file.
struct BitmapFileHeader {
    std::uint16_t signature = 0;
    std::uint32_t fileSize = 0;
    std::uint16_t reserved1 = 0;
    std::uint16_t reserved2 = 0;
    std::uint32_t pixelOffset = 0;
};

// The 40 bytes that follow the file header.
struct BitmapInfoHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::int32_t xPixelsPerMeter = 0;
    std::int32_t yPixelsPerMeter = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;
};

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::size_t kInfoHeaderBytes = 40;
constexpr std::size_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
constexpr std::uint16_t kBmpSignature = 0x4D42;  // "BM" read little-endian
constexpr std::uint16_t kBitsPerTexel = 24;
// The game's own pictures are at most 256 texels a side; this keeps a hostile file's pixels
// to 16 MiB of RGBA.
constexpr std::int32_t kMaxBitmapSide = 2048;

// A decoded picture: `width` x `height` texels, bottom row first, three (RGB) or four (RGBA)
// bytes each. `info` holds the headers as read, except that `height` is the number of rows,
// positive also for a picture stored top row first. `error` is empty on success and otherwise
// says, in a few words, why the file was refused; `pixels` is then empty.
struct Bitmap {
    BitmapInfoHeader info;
    std::vector<std::uint8_t> pixels;
    std::string error;
};

BitmapFileHeader parseFileHeader(const std::uint8_t* bytes);
BitmapInfoHeader parseInfoHeader(const std::uint8_t* bytes);

// RGB triples from a BMP held in memory or read from a file. Only a regular file is opened
// for reading, and it is read row by row: a FIFO, a device or a folder is refused unread.
Bitmap loadBitmap(const std::uint8_t* data, std::size_t size);
Bitmap loadBitmap(const std::string& path);

// As loadBitmap, widened to RGBA as the rows are read: exact black (0,0,0) gets alpha 0, every
// other texel 255. The only other memory a file load holds is one row of file bytes.
Bitmap loadBitmapRgba(const std::uint8_t* data, std::size_t size);
Bitmap loadBitmapRgba(const std::string& path);

// Turns the first `count` bytes of BGR triples into RGB in place; the bytes of a last
// incomplete triple, if any, are left alone.
void swapBlueRed(std::uint8_t* bytes, std::size_t count);
void swapBlueRed(std::vector<std::uint8_t>& bytes);

// Encodes an uncompressed 24-bit bottom-up BMP from `width` x `height` RGB triples (bottom
// row first), each row padded to 4 bytes; a width that is a multiple of 4 needs no padding.
// Used by the texture generator and the tests; the game itself writes no files.
std::vector<std::uint8_t> encodeBitmap(int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace assets

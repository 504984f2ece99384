// bmp_test.cpp -- the byte-level reader: conversion rules and every way a file is refused.
#include "assets/bmp.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

#include "bmp_bytes.h"

namespace {

using assets::Bitmap;
using Bytes = std::vector<std::uint8_t>;

Bitmap load(const Bytes& bytes) {
    return assets::loadBitmap(bytes.data(), bytes.size());
}
Bitmap loadRgba(const Bytes& bytes) {
    return assets::loadBitmapRgba(bytes.data(), bytes.size());
}

std::filesystem::path scratchDir() {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("vantorix-bmp-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(BmpReader, SwapsBlueAndRedAndMakesOnlyExactBlackTransparent) {
    // File order is blue, green, red; rows stay bottom-up as stored.
    const Bytes bgr = {0x10, 0x20, 0x30, 0, 0, 0, 0, 0, 1, 1, 1, 1,   // bottom row
                       9,    8,    7,    0, 1, 0, 4, 5, 6, 0, 0, 0};  // top row
    const Bytes file = bmp_bytes::picture(4, 2, bgr);

    const Bitmap rgb = load(file);
    ASSERT_EQ(rgb.error, "");
    EXPECT_EQ(rgb.info.width, 4);
    EXPECT_EQ(rgb.info.height, 2);
    EXPECT_EQ(rgb.pixels, (Bytes{0x30, 0x20, 0x10, 0, 0, 0, 1, 0, 0, 1, 1, 1,  //
                                 7,    8,    9,    0, 1, 0, 6, 5, 4, 0, 0, 0}));

    const Bitmap rgba = loadRgba(file);
    ASSERT_EQ(rgba.error, "");
    EXPECT_EQ(rgba.pixels, (Bytes{0x30, 0x20, 0x10, 255, 0, 0, 0, 0,   1, 0, 0, 255, 1, 1, 1, 255,
                                  7,    8,    9,    255, 0, 1, 0, 255, 6, 5, 4, 255, 0, 0, 0, 0}));
}

TEST(BmpReader, SkipsWhateverLiesBetweenHeadersAndPixels) {
    const Bytes plain = bmp_bytes::numbered(8, 4);
    const Bitmap expected = load(plain);
    ASSERT_EQ(expected.error, "");

    Bytes withPalette = plain;
    bmp_bytes::insertBeforePixels(withPalette, 1024);
    const Bitmap palette = load(withPalette);
    ASSERT_EQ(palette.error, "");
    EXPECT_EQ(palette.pixels, expected.pixels);

    // A 124-byte header: only its first 40 bytes are read.
    Bytes largerHeader = plain;
    bmp_bytes::insertBeforePixels(largerHeader, 84);
    bmp_bytes::put32(largerHeader, bmp_bytes::kHeaderSizeAt, 124);
    const Bitmap larger = load(largerHeader);
    ASSERT_EQ(larger.error, "");
    EXPECT_EQ(larger.pixels, expected.pixels);
}

TEST(BmpReader, SurplusPixelDataLoadsAndOnlyThePictureIsKept) {
    Bytes file = bmp_bytes::numbered(4, 4);
    const Bitmap expected = load(file);
    file.insert(file.end(), {1, 2, 3, 4, 5, 6});
    bmp_bytes::put32(file, bmp_bytes::kImageSizeAt, 4 * 4 * 3 + 6);
    const Bitmap surplus = load(file);
    ASSERT_EQ(surplus.error, "");
    EXPECT_EQ(surplus.pixels, expected.pixels);
    EXPECT_EQ(loadRgba(file).pixels.size(), 4U * 4U * 4U);
}

TEST(BmpReader, LargestAcceptedSideIs8192) {
    const Bitmap wide = load(bmp_bytes::numbered(8192, 1));
    EXPECT_EQ(wide.error, "");
    EXPECT_EQ(wide.pixels.size(), 8192U * 3U);
    const Bitmap tall = load(bmp_bytes::numbered(4, 8192));
    EXPECT_EQ(tall.error, "");
}

struct Hostile {
    const char* name;
    Bytes bytes;
    const char* reason;
};

Bytes with32(std::size_t offset, std::uint32_t value) {
    Bytes bytes = bmp_bytes::numbered(4, 4);
    bmp_bytes::put32(bytes, offset, value);
    return bytes;
}

std::vector<Hostile> hostileFiles() {
    using bmp_bytes::kHeightAt;
    using bmp_bytes::kImageSizeAt;
    using bmp_bytes::kPixelOffsetAt;
    using bmp_bytes::kWidthAt;
    const Bytes valid = bmp_bytes::numbered(4, 4);
    const auto intMin = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::min());
    Bytes wrongSignature = valid;
    wrongSignature[0] = 'M';
    wrongSignature[1] = 'B';
    Bytes truncated = valid;
    truncated.pop_back();
    Bytes notMultipleOf3 = with32(kImageSizeAt, 4 * 4 * 3 + 1);
    notMultipleOf3.push_back(0);
    return {
        {"empty", {}, "file too short"},
        {"shorter than the headers", Bytes(valid.begin(), valid.begin() + 53), "file too short"},
        {"wrong signature", wrongSignature, "not a BMP file"},
        {"zero width", with32(kWidthAt, 0), "bad picture size 0x4"},
        {"negative width", with32(kWidthAt, static_cast<std::uint32_t>(-4)),
         "bad picture size -4x4"},
        {"INT32_MIN width", with32(kWidthAt, intMin), "bad picture size -2147483648x4"},
        {"width above 8192", with32(kWidthAt, 8193), "bad picture size 8193x4"},
        {"zero height", with32(kHeightAt, 0), "bad picture size 4x0"},
        {"negative (top-down) height", with32(kHeightAt, static_cast<std::uint32_t>(-4)),
         "bad picture size 4x-4"},
        {"INT32_MIN height", with32(kHeightAt, intMin), "bad picture size 4x-2147483648"},
        {"height above 8192", with32(kHeightAt, 65536), "bad picture size 4x65536"},
        {"imageSize not a multiple of 3", notMultipleOf3, "pixel data size is not a multiple of 3"},
        {"imageSize zero", with32(kImageSizeAt, 0), "pixel data too small for the picture size"},
        {"imageSize one texel short", with32(kImageSizeAt, 4 * 4 * 3 - 3),
         "pixel data too small for the picture size"},
        {"largest picture, tiny imageSize",
         [] {
             Bytes b = with32(kWidthAt, 8192);
             bmp_bytes::put32(b, kHeightAt, 8192);
             return b;
         }(),
         "pixel data too small for the picture size"},
        {"truncated pixel data", truncated, "pixel data runs past the end of the file"},
        {"pixelOffset past the end", with32(kPixelOffsetAt, 0xFFFFFFFFU),
         "pixel data runs past the end of the file"},
        {"imageSize past the end", with32(kImageSizeAt, 0xFFFFFFFFU),
         "pixel data runs past the end of the file"},
    };
}

TEST(BmpReader, RefusesHostileFilesWithAReason) {
    const auto dir = scratchDir();
    for (const Hostile& file : hostileFiles()) {
        SCOPED_TRACE(file.name);
        const Bitmap fromMemory = loadRgba(file.bytes);
        EXPECT_EQ(fromMemory.error, file.reason);
        EXPECT_TRUE(fromMemory.pixels.empty());

        const std::string path = (dir / "hostile.bmp").string();
        bmp_bytes::writeFile(path, file.bytes);
        const Bitmap fromFile = assets::loadBitmapRgba(path);
        EXPECT_EQ(fromFile.error, file.reason);
        EXPECT_TRUE(fromFile.pixels.empty());
    }
    std::filesystem::remove_all(dir);
}

TEST(BmpReader, ReadsFilesLikeMemoryAndNamesWhyAFileCannotBeOpened) {
    const auto dir = scratchDir();
    Bytes bytes = bmp_bytes::numbered(8, 8);
    bmp_bytes::insertBeforePixels(bytes, 100);
    const std::string path = (dir / "ok.bmp").string();
    bmp_bytes::writeFile(path, bytes);
    const Bitmap fromFile = assets::loadBitmapRgba(path);
    ASSERT_EQ(fromFile.error, "");
    EXPECT_EQ(fromFile.pixels, loadRgba(bytes).pixels);
    EXPECT_EQ(fromFile.info.imageSize, 8U * 8U * 3U);

    EXPECT_EQ(assets::loadBitmap((dir / "missing.bmp").string()).error, "no such file");
    EXPECT_EQ(assets::loadBitmap(path + "/below-a-file.bmp").error, "no such file");
    EXPECT_NE(assets::loadBitmap(dir.string()).error, "");  // a directory
    std::filesystem::remove_all(dir);
}

}  // namespace

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
    const Bytes bgr = {0x10, 0x20, 0x30, 0, 0, 0, 0, 0, 1, 1, 0, 0,   // bottom row
                       9,    8,    7,    0, 1, 0, 4, 5, 6, 0, 0, 0};  // top row
    const Bytes file = bmp_bytes::picture(4, 2, bgr);

    const Bitmap rgb = load(file);
    ASSERT_EQ(rgb.error, "");
    EXPECT_EQ(rgb.info.width, 4);
    EXPECT_EQ(rgb.info.height, 2);
    EXPECT_EQ(rgb.pixels, (Bytes{0x30, 0x20, 0x10, 0, 0, 0, 1, 0, 0, 0, 0, 1,  //
                                 7,    8,    9,    0, 1, 0, 6, 5, 4, 0, 0, 0}));

    const Bitmap rgba = loadRgba(file);
    ASSERT_EQ(rgba.error, "");
    EXPECT_EQ(rgba.pixels, (Bytes{0x30, 0x20, 0x10, 255, 0, 0, 0, 0,   1, 0, 0, 255, 0, 0, 1, 255,
                                  7,    8,    9,    255, 0, 1, 0, 255, 6, 5, 4, 255, 0, 0, 0, 0}));
}

// Layouts that hold the same 8x4 picture: each loads the same pixels, from memory and from a file.
TEST(BmpReader, FindsThePixelsWhereverTheHeadersSayAndKeepsOnlyThePicture) {
    const Bytes plain = bmp_bytes::numbered(8, 4);
    const Bitmap expected = load(plain);
    ASSERT_EQ(expected.error, "");
    struct Layout {
        const char* name;
        void (*edit)(Bytes&);
    };
    const Layout layouts[] = {
        {"a palette between headers and pixels",
         [](Bytes& b) { bmp_bytes::insertBeforePixels(b, 1024); }},
        {"a 124-byte header, of which only the first 40 bytes are read",
         [](Bytes& b) {
             bmp_bytes::insertBeforePixels(b, 84);
             bmp_bytes::put32(b, bmp_bytes::kHeaderSizeAt, 124);
         }},
        {"surplus pixel data after the picture",
         [](Bytes& b) {
             b.insert(b.end(), {1, 2, 3, 4, 5, 6});
             bmp_bytes::put32(b, bmp_bytes::kImageSizeAt, 8 * 4 * 3 + 6);
         }},
    };
    const auto dir = scratchDir();
    const std::string path = (dir / "layout.bmp").string();
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Bytes bytes = plain;
        layout.edit(bytes);
        bmp_bytes::writeFile(path, bytes);
        for (const Bitmap& loaded : {load(bytes), assets::loadBitmap(path)}) {
            ASSERT_EQ(loaded.error, "");
            EXPECT_EQ(loaded.pixels, expected.pixels);
        }
    }
    std::filesystem::remove_all(dir);
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

TEST(BmpReader, NamesWhyAFileCannotBeOpened) {
    const auto dir = scratchDir();
    const std::string file = (dir / "plain-file").string();
    bmp_bytes::writeFile(file, {1, 2, 3});
    EXPECT_EQ(assets::loadBitmap((dir / "missing.bmp").string()).error, "no such file");
    EXPECT_EQ(assets::loadBitmap(file + "/below-a-file.bmp").error, "no such file");
    EXPECT_NE(assets::loadBitmap(dir.string()).error, "");  // a directory
    std::filesystem::remove_all(dir);
}

}  // namespace

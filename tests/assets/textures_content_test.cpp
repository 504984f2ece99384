// textures_content_test.cpp -- the committed pictures: format, see-through rules, atlas layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/bmp.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes readCommitted(const std::string& name) {
    std::ifstream in(std::string(VANTORIX_SOURCE_DIR) + "/textures/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool isPowerOfTwo(int v) {
    return v > 0 && (v & (v - 1)) == 0;
}

struct Texel {
    std::uint8_t r, g, b;
};

// Texel (x, y) with y counted from the top of the picture; the file is stored bottom-up.
Texel texelAt(const assets::Bitmap& bitmap, int x, int y) {
    const std::size_t row = static_cast<std::size_t>(bitmap.info.height - 1 - y);
    const std::size_t i = (row * bitmap.info.width + x) * 3;
    return {bitmap.pixels[i], bitmap.pixels[i + 1], bitmap.pixels[i + 2]};
}

bool isBlack(Texel t) {
    return t.r == 0 && t.g == 0 && t.b == 0;
}
int brightest(Texel t) {
    return std::max({t.r, t.g, t.b});
}

assets::Bitmap loadCommitted(const std::string& name) {
    const Bytes bytes = readCommitted(name);
    return assets::loadBitmap(bytes.data(), bytes.size());
}

TEST(CommittedTextures, AreUncompressedBottomUp24BitWithPowerOfTwoSides) {
    for (const char* name : {"sphTex.bmp", "bg.bmp", "box.bmp", "czcionka2.bmp", "heart.bmp",
                             "blueC.bmp", "face.bmp", "body.bmp"}) {
        SCOPED_TRACE(name);
        const Bytes bytes = readCommitted(name);
        ASSERT_GE(bytes.size(), assets::kHeaderBytes);
        const assets::BitmapInfoHeader info =
            assets::parseInfoHeader(bytes.data() + assets::kFileHeaderBytes);
        EXPECT_EQ(info.bitCount, 24);
        EXPECT_EQ(info.compression, 0U);
        // A positive height also means rows are stored bottom-up.
        EXPECT_TRUE(isPowerOfTwo(info.width) && isPowerOfTwo(info.height));
        EXPECT_GE(info.width, 64);
        EXPECT_LE(info.width, 256);
        EXPECT_EQ(info.imageSize, static_cast<std::uint32_t>(info.width * info.height * 3));
        EXPECT_EQ(assets::loadBitmap(bytes.data(), bytes.size()).error, "");
    }
}

TEST(CommittedTextures, OpaquePicturesHaveNoSeeThroughBlack) {
    for (const char* name :
         {"sphTex.bmp", "bg.bmp", "box.bmp", "blueC.bmp", "face.bmp", "body.bmp"}) {
        SCOPED_TRACE(name);
        const assets::Bitmap bitmap = loadCommitted(name);
        ASSERT_EQ(bitmap.error, "");
        for (std::size_t i = 0; i < bitmap.pixels.size(); i += 3) {
            ASSERT_FALSE(bitmap.pixels[i] == 0 && bitmap.pixels[i + 1] == 0 &&
                         bitmap.pixels[i + 2] == 0)
                << "texel " << i / 3;
        }
    }
}

TEST(CommittedTextures, HeartIsRedOnSeeThroughBlackWithoutADarkRim) {
    const assets::Bitmap heart = loadCommitted("heart.bmp");
    ASSERT_EQ(heart.error, "");
    const int side = heart.info.width;
    for (const auto& [x, y] :
         {std::pair{0, 0}, {side - 1, 0}, {0, side - 1}, {side - 1, side - 1}, {side / 2, 2}}) {
        EXPECT_TRUE(isBlack(texelAt(heart, x, y))) << x << "," << y;
    }
    const Texel centre = texelAt(heart, side / 2, side / 2);
    EXPECT_GT(centre.r, 2 * centre.g);
    EXPECT_GT(centre.r, 2 * centre.b);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const Texel t = texelAt(heart, x, y);
            ASSERT_TRUE(isBlack(t) || brightest(t) >= 96) << x << "," << y;
        }
    }
}

constexpr int kCell = 16;
constexpr int kAdvance = 10;

// The lit texels of atlas cell k: their bounding rows and columns within the cell.
struct Ink {
    int count = 0;
    int top = kCell, bottom = -1, left = kCell, right = -1;
    int dimmest = 255;
};

Ink inkOf(const assets::Bitmap& atlas, int cell) {
    Ink ink;
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const Texel t = texelAt(atlas, (cell % 16) * kCell + x, (cell / 16) * kCell + y);
            if (isBlack(t)) {
                continue;
            }
            ++ink.count;
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.dimmest = std::min(ink.dimmest, brightest(t));
        }
    }
    return ink;
}

TEST(CommittedTextures, FontAtlasHoldsPrintableAsciiInCodeOrderLeftOfTheAdvance) {
    const assets::Bitmap atlas = loadCommitted("czcionka2.bmp");
    ASSERT_EQ(atlas.error, "");
    ASSERT_EQ(atlas.info.width, 256);
    ASSERT_EQ(atlas.info.height, 256);
    const auto cellOf = [](char c) { return static_cast<int>(c) - 32; };

    EXPECT_EQ(inkOf(atlas, cellOf(' ')).count, 0);
    for (int code = 33; code <= 126; ++code) {
        SCOPED_TRACE(static_cast<char>(code));
        const Ink ink = inkOf(atlas, code - 32);
        EXPECT_GT(ink.count, 0);
        EXPECT_LT(ink.right, kAdvance) << "glyph runs into the next character";
        // Filtering would bleed ink on a cell's top or bottom row into the glyph beside it.
        EXPECT_GT(ink.top, 0);
        EXPECT_LT(ink.bottom, kCell - 1);
        EXPECT_GE(ink.dimmest, 96) << "a faint edge texel would show as a dark opaque fringe";
    }
    // DEL and rows 6 and 7 (codes 127..159 of the first set) stay empty.
    for (int cell = 95; cell < 128; ++cell) {
        EXPECT_EQ(inkOf(atlas, cell).count, 0) << "cell " << cell;
    }
    // Shapes that give away a shifted table: a flat dash, a low underscore and dot, a tall bar.
    const Ink dash = inkOf(atlas, cellOf('-'));
    EXPECT_LE(dash.bottom - dash.top, 2);
    EXPECT_GE(dash.right - dash.left, 3);
    const Ink underscore = inkOf(atlas, cellOf('_'));
    EXPECT_GE(underscore.top, 12);
    EXPECT_GE(inkOf(atlas, cellOf('.')).top, 8);
    const Ink bar = inkOf(atlas, cellOf('|'));
    EXPECT_GE(bar.bottom - bar.top, 10);
    EXPECT_LE(bar.right - bar.left, 3);
    // Capital letters share the cap height and the baseline.
    const Ink a = inkOf(atlas, cellOf('A'));
    const Ink p = inkOf(atlas, cellOf('P'));
    EXPECT_EQ(a.top, p.top);
    EXPECT_EQ(a.bottom, p.bottom);
}

}  // namespace

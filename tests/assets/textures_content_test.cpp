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
        EXPECT_LE(info.width, 512);
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

constexpr int kAtlasSide = 512;
constexpr int kCell = 32;
constexpr int kAdvance = 20;
constexpr std::uint8_t kFull = 255;

bool isInk(Texel t) {
    return t.r == kFull && t.g == kFull && t.b == kFull;
}

Texel atlasTexel(const assets::Bitmap& atlas, int cell, int x, int y) {
    return texelAt(atlas, (cell % 16) * kCell + x, (cell / 16) * kCell + y);
}

// Where a cell's white ink lies, and where anything at all is drawn (ink and its outline).
struct Glyph {
    int ink = 0;
    int top = kCell, bottom = -1, left = kCell, right = -1;   // of the ink
    int drawnTop = kCell, drawnBottom = -1, drawnRight = -1;  // of ink and outline
};

Glyph glyphOf(const assets::Bitmap& atlas, int cell) {
    Glyph glyph;
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const Texel t = atlasTexel(atlas, cell, x, y);
            if (isBlack(t)) {
                continue;
            }
            glyph.drawnTop = std::min(glyph.drawnTop, y);
            glyph.drawnBottom = std::max(glyph.drawnBottom, y);
            glyph.drawnRight = std::max(glyph.drawnRight, x);
            if (isInk(t)) {
                ++glyph.ink;
                glyph.top = std::min(glyph.top, y);
                glyph.bottom = std::max(glyph.bottom, y);
                glyph.left = std::min(glyph.left, x);
                glyph.right = std::max(glyph.right, x);
            }
        }
    }
    return glyph;
}

TEST(CommittedTextures, FontAtlasHoldsPrintableAsciiInCodeOrderLeftOfTheAdvance) {
    const assets::Bitmap atlas = loadCommitted("czcionka2.bmp");
    ASSERT_EQ(atlas.error, "");
    ASSERT_EQ(atlas.info.width, kAtlasSide);
    ASSERT_EQ(atlas.info.height, kAtlasSide);
    const auto cellOf = [](char c) { return static_cast<int>(c) - 32; };

    EXPECT_EQ(glyphOf(atlas, cellOf(' ')).drawnBottom, -1);
    for (int code = 33; code <= 126; ++code) {
        SCOPED_TRACE(static_cast<char>(code));
        const Glyph glyph = glyphOf(atlas, code - 32);
        EXPECT_GT(glyph.ink, 0);
        EXPECT_LT(glyph.drawnRight, kAdvance) << "glyph runs into the next character";
        // Either mip level would bleed the top or bottom texel pair into the cell beside it.
        EXPECT_GT(glyph.drawnTop, 1);
        EXPECT_LT(glyph.drawnBottom, kCell - 2);
    }
    // DEL and rows 6 and 7 (codes 127..159 of the first set) stay empty.
    for (int cell = 95; cell < 128; ++cell) {
        EXPECT_EQ(glyphOf(atlas, cell).drawnBottom, -1) << "cell " << cell;
    }
    // Shapes that give away a shifted table: a flat dash, a low underscore and dot, a tall bar.
    const Glyph dash = glyphOf(atlas, cellOf('-'));
    EXPECT_LE(dash.bottom - dash.top, 4);
    EXPECT_GE(dash.right - dash.left, 6);
    EXPECT_GE(glyphOf(atlas, cellOf('_')).top, 24);
    EXPECT_GE(glyphOf(atlas, cellOf('.')).top, 16);
    const Glyph bar = glyphOf(atlas, cellOf('|'));
    EXPECT_GE(bar.bottom - bar.top, 20);
    EXPECT_LE(bar.right - bar.left, 6);
    // Capital letters share the cap height and the baseline.
    const Glyph a = glyphOf(atlas, cellOf('A'));
    const Glyph p = glyphOf(atlas, cellOf('P'));
    EXPECT_EQ(a.top, p.top);
    EXPECT_EQ(a.bottom, p.bottom);
}

// The HUD at 800 x 600 shows the atlas' half-size mip level, whose texels are the means of
// 2 x 2 texels. Drawn in whole 2 x 2 blocks, the glyphs come out there with no texel half
// ink. Their white ink is ringed by one dark tone, so that it shows over a pale crate; pure
// black, see-through, is only around that ring.
TEST(CommittedTextures, GlyphsAreWhiteInkInADarkRingDrawnInWholeTwoByTwoBlocks) {
    const assets::Bitmap atlas = loadCommitted("czcionka2.bmp");
    ASSERT_EQ(atlas.error, "");
    const Texel ring = atlasTexel(atlas, 'I' - 32, kAdvance / 2, 3);
    ASSERT_FALSE(isBlack(ring));
    ASSERT_FALSE(isInk(ring));
    EXPECT_LE(brightest(ring), 32) << "the ring is dark";
    for (int y = 0; y < kAtlasSide; y += 2) {
        for (int x = 0; x < kAtlasSide; x += 2) {
            const Texel t = texelAt(atlas, x, y);
            ASSERT_TRUE(isBlack(t) || isInk(t) || (t.r == ring.r && t.g == ring.g && t.b == ring.b))
                << x << "," << y;
            for (const auto& [dx, dy] : {std::pair{1, 0}, {0, 1}, {1, 1}}) {
                const Texel other = texelAt(atlas, x + dx, y + dy);
                ASSERT_TRUE(other.r == t.r && other.g == t.g && other.b == t.b)
                    << "block at " << x << "," << y << " is not whole";
            }
            if (!isInk(t)) {
                continue;
            }
            for (const auto& [dx, dy] : {std::pair{-2, 0}, {2, 0}, {0, -2}, {0, 2}}) {
                ASSERT_FALSE(isBlack(texelAt(atlas, x + dx, y + dy)))
                    << "ink at " << x << "," << y << " meets see-through black";
            }
        }
    }
}

}  // namespace

// font_gl_test.cpp -- text drawn through the glyph lists, checked on the pixels it covers.
#include "assets/font.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "assets/bmp.h"
#include "assets/textures.h"
#include "bmp_bytes.h"
#include "offscreen_gl.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr std::uint8_t kTopHalf = 200;
constexpr std::uint8_t kBottomHalf = 100;

// A test atlas in which every texel names its cell: red is the cell number, green tells the
// top half of the cell from the bottom half. Nothing is black, so everything is drawn.
std::vector<std::uint8_t> numberedAtlas() {
    constexpr int kSide = 256;
    std::vector<std::uint8_t> rgb;
    for (int row = 0; row < kSide; ++row) {  // bottom row first
        const int fromTop = kSide - 1 - row;
        for (int column = 0; column < kSide; ++column) {
            rgb.push_back(static_cast<std::uint8_t>((fromTop / 16) * 16 + column / 16));
            rgb.push_back(fromTop % 16 < 8 ? kTopHalf : kBottomHalf);
            rgb.push_back(50);
        }
    }
    return assets::encodeBitmap(kSide, kSide, rgb);
}

// The pixel under text-space point (x, y): one text unit is 1.25 pixels on 800 x 600.
testing_gl::Rgba textPixel(double x, double y) {
    return testing_gl::pixelAt(static_cast<int>(x * kWidth / 640.0),
                               static_cast<int>(y * kHeight / 480.0));
}

class FontGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::makeOffscreenContext(kWidth, kHeight));
        root = fs::temp_directory_path() / ("vantorix-font-" + std::to_string(::getpid()));
        fs::create_directories(root / "textures");
        bmp_bytes::writeFile((root / "textures" / "czcionka2.bmp").string(), numberedAtlas());
        assets::setAssetRoot(root.string());
        assets::buildFont();
        assets::createTexture("textures/czcionka2.bmp", &assets::textures.texFont);
        glBindTexture(GL_TEXTURE_2D, 0);
        glViewport(0, 0, kWidth, kHeight);
        glEnable(GL_TEXTURE_2D);
        glColor3f(1, 1, 1);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void TearDown() override {
        if (HasFailure()) {
            testing_gl::writePng(
                (fs::temp_directory_path() / "vantorix-font-failure.png").string());
        }
        assets::setAssetRoot("");
        fs::remove_all(root);
        testing_gl::destroyOffscreenContext();
    }
    std::vector<std::uint8_t> drawn(const char* text, int set) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        assets::drawText(10, 460, text, set);
        return testing_gl::colourBuffer();
    }
    fs::path root;
};

void expectCell(double x, double y, int cell, std::uint8_t half) {
    const testing_gl::Rgba pixel = textPixel(x, y);
    EXPECT_EQ(pixel[0], cell) << "at text (" << x << ", " << y << ")";
    EXPECT_EQ(pixel[1], half) << "at text (" << x << ", " << y << ")";
}

void expectDrawn(double x, double y) {
    EXPECT_EQ(textPixel(x, y)[3], 255) << "at text (" << x << ", " << y << ")";
}

void expectEmpty(double x, double y) {
    const testing_gl::Rgba pixel = textPixel(x, y);
    EXPECT_EQ(pixel, (testing_gl::Rgba{0, 0, 0, 0})) << "at text (" << x << ", " << y << ")";
}

TEST_F(FontGl, TwoLettersCoverTheirSquaresTenUnitsApart) {
    assets::drawText(10, 460, "AB", 0);
    // A (cell 33) spans x 10..26, B (cell 34) 20..36 and is drawn over A's right part. Away
    // from the squares' edges every pixel shows its own cell; at the edges, filtering mixes in
    // the neighbouring cell, so there only coverage is checked.
    expectCell(12, 472, 33, kTopHalf);
    expectCell(18, 462, 33, kBottomHalf);
    expectCell(22, 474, 34, kTopHalf);
    expectCell(34, 462, 34, kBottomHalf);
    for (const auto& [x, y] :
         {std::pair{10.6, 460.6}, {10.6, 475.4}, {35.4, 460.6}, {35.4, 475.4}}) {
        expectDrawn(x, y);
    }
    // Just outside both squares.
    expectEmpty(9.4, 468);
    expectEmpty(36.6, 468);
    expectEmpty(15, 459.4);
    expectEmpty(30, 476.6);
}

TEST_F(FontGl, CodesMapToTheAtlasCellsOfTheirSet) {
    assets::drawText(10, 460, " 0P~", 0);
    expectCell(15, 465, 0, kBottomHalf);  // the space is cell 0, shown by the test atlas
    expectCell(25, 465, 16, kBottomHalf);
    expectCell(35, 465, 48, kBottomHalf);
    expectCell(45, 471, 94, kTopHalf);

    glClear(GL_COLOR_BUFFER_BIT);
    assets::drawText(10, 300, "A\x01", 1);  // the second face: code + 96
    expectCell(15, 305, 65 + 96, kBottomHalf);
    expectCell(25, 305, 1 + 96, kBottomHalf);
}

TEST_F(FontGl, CodesWithoutAGlyphDrawAndAdvanceNothing) {
    // Control codes of the first set, and codes past the atlas' last cell in the second.
    EXPECT_EQ(drawn("\x01"
                    "A\x1f\x10"
                    "B",
                    0),
              drawn("AB", 0));
    EXPECT_EQ(drawn("\xA0\xFF"
                    "A\xC8",
                    1),
              drawn("A", 1));

    const std::vector<std::uint8_t> nothing = drawn("", 0);
    ASSERT_TRUE(std::all_of(nothing.begin(), nothing.end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(drawn("AB", 7), nothing) << "an unknown set draws nothing";
}

TEST_F(FontGl, RestoresMatricesAndLeavesDepthTestingOn) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 5, 6000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslated(3, 4, -50);
    std::array<GLdouble, 16> modelBefore{};
    std::array<GLdouble, 16> projectionBefore{};
    glGetDoublev(GL_MODELVIEW_MATRIX, modelBefore.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projectionBefore.data());

    // Drawn text, and the calls that draw nothing: each must leave the same state behind.
    const std::array<std::pair<const char*, int>, 4> calls = {
        {{"POINTS:", 0}, {"", 0}, {nullptr, 0}, {"AB", 7}}};
    for (const auto& [text, set] : calls) {
        SCOPED_TRACE(text);
        SCOPED_TRACE(set);
        glDisable(GL_DEPTH_TEST);
        assets::drawText(10, 460, text, set);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));

        std::array<GLdouble, 16> model{};
        std::array<GLdouble, 16> projection{};
        glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
        glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
        EXPECT_EQ(model, modelBefore);
        EXPECT_EQ(projection, projectionBefore);

        GLint mode = 0;
        GLint bound = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(mode, GL_MODELVIEW);
        EXPECT_EQ(bound, static_cast<GLint>(assets::textures.texFont));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

// GL creates an empty display list for every name glGenLists hands out, so the names that
// exist after buildFont show what it reserved: exactly the 512 from fontListBase on. A name
// below fontListBase (where control codes of the first set land) is no list, so nothing is
// drawn for them when the font is the context's first user of display lists, as in the game.
TEST(FontLists, ReservesExactly512NamesStartingAtFontListBase) {
    ASSERT_TRUE(testing_gl::makeOffscreenContext(64, 64));
    assets::buildFont();
    for (GLuint k = 0; k < 512; ++k) {
        ASSERT_TRUE(glIsList(assets::fontListBase + k)) << "name + " << k;
    }
    EXPECT_FALSE(glIsList(assets::fontListBase + 512));
    for (GLuint k = 1; k <= 31; ++k) {
        EXPECT_FALSE(glIsList(assets::fontListBase - k)) << "name - " << k;
    }
    testing_gl::destroyOffscreenContext();
}

}  // namespace

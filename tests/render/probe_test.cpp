// probe_test.cpp -- drawing rules read straight off a frame, so they stay checked when the
// golden pictures are made again: the HUD's colour, the snake's texture, the floor's place and
// the food's height.
#include <GL/gl.h>
#include <GL/glu.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/bmp.h"
#include "game/state.h"
#include "look_measures.h"
#include "render/camera.h"
#include "render/frame.h"
#include "render_fixture.h"

namespace render_test {
namespace {

namespace fs = std::filesystem;

using look::Picture;
using look::Region;

constexpr float kOutOfSight = 100000.0f;

Picture frame() {
    render::renderFrame();
    return {kWidth, kHeight, testing_gl::colourBuffer()};
}

// Nothing but the floor and the HUD: no crates, no visible snake, the food out of sight.
void clearTheField() {
    auto& state = game::state;
    state.snakeDead = true;
    state.obstacleCount = 0.0f;
    state.snakeLength = static_cast<float>(game::kHiddenTail);
    state.foodX[static_cast<std::size_t>(state.foodIndex)] = kOutOfSight;
}

struct Texel {
    std::uint8_t r, g, b;
};

// Every picture in one flat colour of its own, none black, so that a pixel's colour tells
// which texture was bound and what colour it was drawn in.
constexpr Texel kFontColour{200, 120, 40};
constexpr Texel kHeartColour{40, 200, 120};
constexpr Texel kBodyColour{0, 255, 0};
constexpr Texel kBoxColour{255, 0, 0};

class FlatTextureTest : public RenderTest {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("vantorix-flat-" + std::to_string(::getpid()));
        fs::create_directories(root / "textures");
        const std::array<std::pair<const char*, Texel>, 8> pictures{{
            {"sphTex.bmp", {90, 90, 90}},
            {"bg.bmp", {255, 0, 255}},
            {"box.bmp", kBoxColour},
            {"czcionka2.bmp", kFontColour},
            {"heart.bmp", kHeartColour},
            {"blueC.bmp", {0, 0, 255}},
            {"face.bmp", {90, 90, 90}},
            {"body.bmp", kBodyColour},
        }};
        for (const auto& [name, colour] : pictures) {
            writeFlat((root / "textures" / name).string(), colour);
        }
        startUp(root.string());
    }
    void TearDown() override {
        RenderTest::TearDown();
        fs::remove_all(root);
    }
    static void writeFlat(const std::string& path, Texel colour) {
        constexpr int kSide = 8;
        std::vector<std::uint8_t> rgb;
        for (int i = 0; i < kSide * kSide; ++i) {
            rgb.insert(rgb.end(), {colour.r, colour.g, colour.b});
        }
        const std::vector<std::uint8_t> bytes = assets::encodeBitmap(kSide, kSide, rgb);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    fs::path root;
};

void expectColour(const testing_gl::Rgba& seen, Texel want, const char* what) {
    EXPECT_EQ(seen[0], want.r) << what;
    EXPECT_EQ(seen[1], want.g) << what;
    EXPECT_EQ(seen[2], want.b) << what;
}

// The HUD's colour (255, 50, 50) is clamped to white with lighting off, so texts and hearts
// show their pictures' own colours, not a red tint of them.
TEST_F(FlatTextureTest, TextAndHeartsShowTheirPicturesOwnColours) {
    selectView(4);  // the upper half of the picture holds only the HUD
    clearTheField();
    game::state.gameOver = true;
    render::renderFrame();
    // Text space is 640 x 480 over 800 x 600: the middles of the first glyph of each text.
    expectColour(testing_gl::pixelAt(static_cast<int>(18 * 1.25), static_cast<int>(468 * 1.25)),
                 kFontColour, "\"POINTS:\"");
    expectColour(testing_gl::pixelAt(static_cast<int>(258 * 1.25), static_cast<int>(258 * 1.25)),
                 kFontColour, "\"GAME OVER!!!\"");
    // The first heart's front face spans 300..360 by 350..410 of the HUD camera's frame.
    glLoadIdentity();
    gluLookAt(0, 0, 800, 0, 0, 0, 0, 1, 0);
    const auto middle = projectToPixel(330.0, 380.0, 0.6);
    expectColour(testing_gl::pixelAt(static_cast<int>(middle[0]), static_cast<int>(middle[1])),
                 kHeartColour, "heart");
}

// The snake wears the skin: every pixel it covers is drawn from the green body picture alone,
// never from the crate picture the obstacles and the food use.
TEST_F(FlatTextureTest, TheSnakeIsDrawnWithTheBodyTexture) {
    auto& state = game::state;
    for (int view : {1, 3}) {
        SCOPED_TRACE(view);
        selectView(view);
        state.snakeDead = true;
        const float length = state.snakeLength;
        state.snakeLength = static_cast<float>(game::kHiddenTail);
        const Picture without = frame();
        state.snakeLength = length;
        const Picture with = frame();
        const Region snake = look::differing(with, without);
        ASSERT_GT(snake.size(), 1000U);
        int green = 0;
        for (std::size_t p : snake) {
            const std::uint8_t* pixel = &with.rgba[p * 4];
            // Red and blue come only from a trace of specular light on a green texel.
            if (pixel[0] <= 4 && pixel[2] <= 4 && pixel[1] > 40) {
                ++green;
            }
        }
        EXPECT_EQ(green, static_cast<int>(snake.size())) << "snake pixels not from the skin";
    }
}

// The floor is moved to (-400, -100, -400) and then scaled by 35 a cell: its lines lie at
// -400 + 35 i world units on X and Z, at height -100, and no line lies beyond -400. Scaling
// first would move it by 35 times as much, out of sight.
TEST_F(RenderTest, FloorLinesLieWhereTheFloorsTransformPutsThem) {
    selectView(3);  // straight down on the head at (10, 10)
    clearTheField();
    render::renderFrame();
    glLoadIdentity();
    render::applyCamera();
    // A blue line within a pixel of where a world point lands, or none there.
    const auto lineAt = [](double x, double z) {
        const auto pixel = projectToPixel(x, -100.0, z);
        return countLitPixels(squareAround(pixel, 1), 60) > 0;
    };
    // The view spans world X from about -350 to 370 up the picture and Z from about -470 to
    // 490 across it; the points between lines sit half a cell from both neighbours.
    const double between = 10.0 + 17.5;
    for (int i : {2, 5, 11, 12, 20}) {
        const double line = -400.0 + 35.0 * i;
        EXPECT_TRUE(lineAt(line, between)) << "no line along Z at x = " << line;
        EXPECT_FALSE(lineAt(line + 17.5, between)) << "a line at x = " << line + 17.5;
    }
    for (int i : {0, 5, 11, 12, 25}) {
        const double line = -400.0 + 35.0 * i;
        EXPECT_TRUE(lineAt(between, line)) << "no line along X at z = " << line;
        EXPECT_FALSE(lineAt(between, line + 17.5)) << "a line at z = " << line + 17.5;
    }
    EXPECT_FALSE(lineAt(between, -420.0)) << "a line beyond the floor's edge";
}

// The food is centred 30 game units below the origin: 90 world units with the scale of 3.
// Seen head-on from the origin (view 4), its picture is centred where that point lands.
TEST_F(RenderTest, FoodIsDrawnAtHeightMinus30) {
    selectView(4);
    clearTheField();
    auto& state = game::state;
    const auto item = static_cast<std::size_t>(state.foodIndex);
    const Picture without = frame();
    state.foodX[item] = 0.0f;
    state.foodZ[item] = -120.0f;
    const Picture with = frame();
    ASSERT_EQ(state.foodIndex, static_cast<int>(item));
    const Region food = look::differing(with, without);
    ASSERT_GT(food.size(), 500U);
    double rows = 0;
    double columns = 0;
    for (std::size_t p : food) {
        columns += static_cast<double>(p % kWidth) + 0.5;
        rows += static_cast<double>(p / kWidth) + 0.5;
    }
    glLoadIdentity();
    const auto centre = projectToPixel(0.0, -90.0, -360.0);
    const auto size = static_cast<double>(food.size());
    EXPECT_NEAR(columns / size, centre[0], 1.5);
    // A sphere seen below the line of sight lands a little off its centre's projection.
    EXPECT_NEAR(rows / size, centre[1], 2.5);
}

}  // namespace
}  // namespace render_test

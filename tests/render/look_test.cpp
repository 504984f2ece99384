// look_test.cpp -- how the scene reads with the real textures: food colours, contrast, crates.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "assets/textures.h"
#include "game/state.h"
#include "look_measures.h"
#include "render/frame.h"
#include "render/hud.h"
#include "render/scene.h"
#include "render_fixture.h"

namespace render_test {
namespace {

using look::Picture;
using look::Region;
using look::Rgb;

constexpr float kOutOfSight = 100000.0f;  // a game coordinate no camera sees

// The frames are built from the seeded world with the real textures. The snake is frozen
// (a dead snake does not move), so two frames differ only in what the test changed.
class LookTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        game::state.snakeDead = true;
    }

    static Picture frame() {
        render::renderFrame();
        return {kWidth, kHeight, testing_gl::colourBuffer()};
    }

    // The pixels the current food item covers: the frame with it against the frame without.
    static Region foodPixels(float x, float z, Picture& withFood) {
        auto& state = game::state;
        const auto item = static_cast<std::size_t>(state.foodIndex);
        state.foodX[item] = kOutOfSight;
        state.foodZ[item] = kOutOfSight;
        const Picture without = frame();
        state.foodX[item] = x;
        state.foodZ[item] = z;
        withFood = frame();
        return look::differing(withFood, without);
    }
};

// Ahead of the head (10, 10) on +X, off the body that trails along -Z and far enough not to
// be eaten; in sight in both views.
constexpr float kFoodX = 40.0f;
constexpr float kFoodZ = 10.0f;

// The thresholds a food colour must reach on screen, as mean 0..255 channel values.
void expectClassShows(int colourClass, const Rgb& mean) {
    const double r = mean[0];
    const double g = mean[1];
    const double b = mean[2];
    if (colourClass < 3) {
        EXPECT_GE(r, 150.0);
        EXPECT_GE(r, 1.8 * g);
        EXPECT_GE(r, 1.8 * b);
    } else if (colourClass < 6) {
        EXPECT_GE(b, 150.0);
        EXPECT_GE(b, 1.8 * r);
        EXPECT_GE(b, 1.8 * g);
    } else if (colourClass < 9) {
        EXPECT_GE(r, 150.0);
        EXPECT_GE(g, 150.0);
        EXPECT_LE(b, 0.5 * std::min(r, g));
    } else {
        EXPECT_GE(r, 150.0);
        EXPECT_GE(g, 150.0);
        EXPECT_GE(b, 150.0);
    }
}

// Each class, in the follow view and the top view, shows its own colour in the mean of the
// pixels the food covers, and stands out from the black and from the floor around it.
TEST_F(LookTest, EveryFoodClassShowsItsColourAndStandsOut) {
    auto& state = game::state;
    for (int view : {1, 3}) {
        selectView(view);
        for (int colourClass = 0; colourClass <= 9; ++colourClass) {
            SCOPED_TRACE(testing::Message() << "view " << view << " class " << colourClass);
            state.foodColour[static_cast<std::size_t>(state.foodIndex)] =
                static_cast<float>(colourClass);
            Picture withFood;
            const Region food = foodPixels(kFoodX, kFoodZ, withFood);
            ASSERT_EQ(state.foodIndex, 0) << "the food was eaten";
            // A sphere of radius 12 world units some 700 to 800 units away: a disc of about
            // 15 to 20 pixels across.
            ASSERT_GT(food.size(), 120U) << dumpPicture("food_hidden");
            ASSERT_LT(food.size(), 600U);
            const Rgb mean = look::meanColour(withFood, food);
            const double againstBlack = look::contrastRatio(mean, {0, 0, 0});
            const Rgb lines = look::floorLineColour(withFood, food, 12);
            const double fromLines = look::colourDifference(mean, lines);
            std::printf(
                "[look] view %d food class %d: mean (%.0f, %.0f, %.0f) over %zu px, "
                "contrast %.2f to black, colour difference %.0f to the floor lines "
                "(%.0f, %.0f, %.0f)\n",
                view, colourClass, mean[0], mean[1], mean[2], food.size(), againstBlack, fromLines,
                lines[0], lines[1], lines[2]);
            expectClassShows(colourClass, mean);
            // Blue is the weakest: blue light counts little towards brightness, and the red and
            // green of blue food reach at most 0.37 of the crate's. Even a white crate would
            // give it no more than 3.9.
            EXPECT_GE(againstBlack, 2.5);
            // 20 and more is plainly another colour; blue food on blue lines is the closest.
            EXPECT_GE(fromLines, 20.0) << "the food looks like the floor lines";
        }
    }
}

// The visible snake against the frame without it: bright enough to stand out from the black
// floor and its lines.
TEST_F(LookTest, TheSnakeStandsOut) {
    auto& state = game::state;
    for (int view : {1, 3}) {
        SCOPED_TRACE(view);
        selectView(view);
        state.foodX[static_cast<std::size_t>(state.foodIndex)] = kOutOfSight;
        const float length = state.snakeLength;
        state.snakeLength = static_cast<float>(game::kHiddenTail);  // nothing to draw
        const Picture without = frame();
        state.snakeLength = length;
        const Picture with = frame();
        const Region snake = look::differing(with, without);
        ASSERT_GT(snake.size(), 1000U);
        const Rgb mean = look::meanColour(with, snake);
        const Rgb lines = look::floorLineColour(with, snake, 12);
        const double againstBlack = look::contrastRatio(mean, {0, 0, 0});
        const double fromLines = look::colourDifference(mean, lines);
        std::printf(
            "[look] view %d snake: mean (%.0f, %.0f, %.0f) over %zu px, contrast %.2f "
            "to black, colour difference %.0f to the floor lines\n",
            view, mean[0], mean[1], mean[2], snake.size(), againstBlack, fromLines);
        EXPECT_GE(againstBlack, 3.0);
        EXPECT_GE(fromLines, 30.0);
    }
}

// Obstacles are drawn white, so they show the crate picture as it is: warm wood, with a
// darker frame and seams that keep it from being a flat blob.
TEST_F(LookTest, CratesStillReadAsCrates) {
    auto& state = game::state;
    selectView(3);
    ASSERT_GE(state.obstacleCount, 1.0f);
    const Picture with = frame();
    const float count = state.obstacleCount;
    state.obstacleCount = 0.0f;
    const Picture without = frame();
    state.obstacleCount = count;
    const Region crates = look::differing(with, without);
    ASSERT_GT(crates.size(), 1000U);
    const Rgb mean = look::meanColour(with, crates);
    const look::Spread spread = look::lumaSpread(with, crates);
    std::printf("[look] crates: mean (%.0f, %.0f, %.0f), luma 10th..90th percentile %.0f..%.0f\n",
                mean[0], mean[1], mean[2], spread.low, spread.high);
    EXPECT_GT(mean[0], mean[1]) << "wood is warm: red over green";
    EXPECT_GT(mean[1], mean[2]) << "wood is warm: green over blue";
    EXPECT_GE(spread.high - spread.low, 20.0) << "no frame or seams to be seen";
    EXPECT_LE(spread.low, 0.85 * spread.high);
}

// The HUD at 800 x 600 and at twice that size, with the seeded world's textures.
class TextLook : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::makeOffscreenContext(width(), height()));
        game::resetState();
        assets::setAssetRoot(VANTORIX_SOURCE_DIR);
        render::resizeViewport(width(), height());
        render::initSceneWithSeed(kSeed);
    }
    void TearDown() override {
        glFinish();
        testing_gl::destroyOffscreenContext();
    }
    static int width() { return kWidth * GetParam(); }
    static int height() { return kHeight * GetParam(); }

    // The mean colour of the crates in a frame of the seeded world.
    static Rgb crateColour() {
        auto& state = game::state;
        render::renderFrame();
        const Picture with{width(), height(), testing_gl::colourBuffer()};
        const float count = state.obstacleCount;
        state.obstacleCount = 0.0f;
        render::renderFrame();
        state.obstacleCount = count;
        const Picture without{width(), height(), testing_gl::colourBuffer()};
        return look::meanColour(with, look::differing(with, without));
    }

    static std::string dumpText(const Rgb& ground) {
        const std::string path = std::string(VANTORIX_TEST_OUTPUT_DIR) + "/text_" +
                                 std::to_string(width()) + "_" +
                                 std::to_string(static_cast<int>(ground[0])) + ".png";
        testing_gl::writePng(path);
        return path;
    }

    // The square of `glyphs` characters drawn from text-space (x, y), in pixels.
    static look::Rect textRect(int x, int y, int glyphs) {
        const double scale = width() / 640.0;
        const int extent = 10 * (glyphs - 1) + 16;
        return {static_cast<int>(x * scale), static_cast<int>(y * scale),
                static_cast<int>((x + extent) * scale), static_cast<int>((y + 16) * scale)};
    }
};

// The HUD drawn over black, and over the crates' colour as a frame shows them: the two grounds
// its text most often stands on. Text that does not stand out from its ground has soft edges
// by this measure too, since its steps are small against the full step from black to white.
TEST_P(TextLook, TextEdgesAreSharpOverBlackAndOverACrate) {
    auto& state = game::state;
    state.snakeDead = true;
    selectView(3);
    const Rgb crate = crateColour();
    state.gameOver = true;
    state.score = 127581;
    for (const Rgb& ground : {Rgb{0, 0, 0}, crate}) {
        SCOPED_TRACE(testing::Message()
                     << "ground " << ground[0] << ", " << ground[1] << ", " << ground[2]);
        glClearColor(static_cast<GLfloat>(ground[0] / 255), static_cast<GLfloat>(ground[1] / 255),
                     static_cast<GLfloat>(ground[2] / 255), 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        render::drawHud();
        const Picture picture{width(), height(), testing_gl::colourBuffer()};
        const double edge = look::edgeWidth(
            picture, {textRect(10, 460, 7), textRect(100, 460, 6), textRect(250, 250, 12)});
        std::printf("[look] text at %d x %d over (%.0f, %.0f, %.0f): mean edge width %.2f px\n",
                    width(), height(), ground[0], ground[1], ground[2], edge);
        EXPECT_LE(edge, 2.5) << dumpText(ground);
    }
}

INSTANTIATE_TEST_SUITE_P(AtOneAndTwiceTheSize, TextLook, ::testing::Values(1, 2));

}  // namespace
}  // namespace render_test

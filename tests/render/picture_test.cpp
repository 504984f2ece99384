// picture_test.cpp -- what a frame shows: hearts, texts, food colours, the snake and the tick.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "game/state.h"
#include "render/frame.h"
#include "render/hud.h"
#include "render/world.h"
#include "render_fixture.h"

namespace render_test {
namespace {

// Text space is 640 x 480 stretched over the 800 x 600 buffer.
constexpr double kTextScale = 1.25;

PixelRect textRect(int x, int y, int glyphs) {
    const int width = 10 * (glyphs - 1) + 16;
    return {static_cast<int>(x * kTextScale), static_cast<int>(y * kTextScale),
            static_cast<int>((x + width) * kTextScale), static_cast<int>((y + 16) * kTextScale)};
}

// The front face of heart i, seen by the HUD camera, shrunk by a margin against edge blur.
PixelRect heartRect(int i) {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    gluLookAt(0, 0, 800, 0, 0, 0, 0, 1, 0);
    const double left = 300.0 + 80.0 * i;
    const auto low = projectToPixel(left, 350.0, 0.6);
    const auto high = projectToPixel(left + 60.0, 410.0, 0.6);
    glPopMatrix();
    constexpr int kMargin = 3;
    return {static_cast<int>(low[0]) + kMargin, static_cast<int>(low[1]) + kMargin,
            static_cast<int>(high[0]) - kMargin, static_cast<int>(high[1]) - kMargin};
}

int area(const PixelRect& rect) {
    return (rect.right - rect.left) * (rect.top - rect.bottom);
}

// Freezes the snake so that frames can be compared: a dead snake does not move.
void freezeSnake() {
    game::state.snakeDead = true;
}

using HudTest = RenderTest;

// View 4 has no camera: the whole world lies below the eye, the upper half is HUD only.
TEST_F(HudTest, OneHeartPerLifeAtItsPlace) {
    selectView(4);
    freezeSnake();
    for (int lives : {3, 2, 1, 0}) {
        SCOPED_TRACE(lives);
        game::state.lives = lives;
        render::renderFrame();
        for (int i = 0; i < 4; ++i) {
            const PixelRect heart = heartRect(i);
            const int lit = countLitPixels(heart);
            if (i < lives) {
                EXPECT_GT(lit, area(heart) / 4) << "heart " << i << " missing";
                // Centred where expected, looking a little to each side of it.
                const PixelRect wider{heart.left - 12, heart.bottom, heart.right + 12, heart.top};
                EXPECT_NEAR(litCentreX(wider), (heart.left + heart.right) / 2.0, 4.0)
                    << "heart " << i;
            } else {
                EXPECT_EQ(lit, 0) << "heart " << i << " should not be drawn";
            }
        }
        // Nothing of a heart spills outside the row the hearts stand in.
        EXPECT_EQ(countLitPixels({560, 400, 800, 540}), 0);
    }
}

TEST_F(HudTest, PointsAndScoreOfAnyWidth) {
    selectView(4);
    freezeSnake();
    const PixelRect label = textRect(10, 460, 7);
    const PixelRect firstDigit = textRect(100, 460, 1);
    const PixelRect sixthDigit = textRect(150, 460, 1);
    game::state.score = 0;
    render::renderFrame();
    EXPECT_GT(countLitPixels(label), 100) << dumpPicture("points_0");
    EXPECT_GT(countLitPixels(firstDigit), 10);
    EXPECT_EQ(countLitPixels(sixthDigit), 0);

    // The largest score the food list allows has six digits; the sixth shares its cell with
    // the overlap of the fifth, so compare with the five-digit score that lacks it.
    game::state.score = 12758;
    render::renderFrame();
    const int fiveDigits = countLitPixels(sixthDigit);
    game::state.score = 127581;
    render::renderFrame();
    EXPECT_GT(countLitPixels(sixthDigit), fiveDigits + 10) << dumpPicture("points_127581");
}

TEST_F(HudTest, GameOverShowsOnlyOnceOverAndFromTheFrameOfTheLatch) {
    selectView(4);
    freezeSnake();
    const PixelRect message = textRect(250, 250, 12);
    render::renderFrame();
    EXPECT_EQ(countLitPixels(message), 0);

    // No life left: the world latches game over before the HUD of the same frame.
    game::state.lives = 0;
    game::state.gameOver = false;
    render::renderFrame();
    EXPECT_TRUE(game::state.gameOver);
    EXPECT_GT(countLitPixels(message), 200) << dumpPicture("game_over");
}

// Texts ignore the depth the world left; hearts are tested against it.
TEST_F(HudTest, TextIsDrawnOverNearGeometryButHeartsAreHiddenByIt) {
    game::state.gameOver = true;
    glClearDepth(0.0);  // as if the world were nearer than anything everywhere
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glLoadIdentity();
    render::drawHud();
    EXPECT_GT(countLitPixels(textRect(250, 250, 12)), 200);
    EXPECT_GT(countLitPixels(textRect(10, 460, 7)), 100);
    EXPECT_EQ(countLitPixels(heartRect(0)), 0);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    render::drawHud();
    EXPECT_GT(countLitPixels(heartRect(0)), area(heartRect(0)) / 4);
}

// Food colours are checked under plain white textures, so that only colour and light show.
class FoodColourTest : public RenderTest {
protected:
    void SetUp() override {
        const auto empty = std::filesystem::temp_directory_path() / "vantorix-no-textures";
        std::filesystem::create_directories(empty);
        startUp(empty.string());
    }
};

TEST_F(FoodColourTest, FoodColourFollowsItsClass) {
    selectView(3);
    freezeSnake();
    auto& state = game::state;
    state.obstacleCount = 0.0f;
    state.foodX[0] = 40.0f;  // well away from the head at (10, 10): not eaten
    state.foodZ[0] = 40.0f;
    for (int colourClass = 0; colourClass <= 9; ++colourClass) {
        SCOPED_TRACE(colourClass);
        state.foodColour[0] = static_cast<float>(colourClass);
        render::renderFrame();
        ASSERT_EQ(state.foodIndex, 0);
        // The centre of the sphere faces the viewer; only the sphere is within 4 pixels of it.
        const auto centre = projectToPixel(3.0 * 40.0, -90.0, 3.0 * 40.0);
        const auto [red, green, blue] = meanLitColour(squareAround(centre, 4));
        if (colourClass < 3) {
            EXPECT_GT(red, 240.0);
            EXPECT_LT(green, 150.0);
            EXPECT_NEAR(green, blue, 4.0);
        } else if (colourClass < 6) {
            EXPECT_GT(blue, 240.0);
            EXPECT_LT(red, 150.0);
            EXPECT_NEAR(red, green, 4.0);
        } else if (colourClass < 9) {
            EXPECT_GT(red, 240.0);
            EXPECT_GT(green, 240.0);
            EXPECT_LT(blue, 30.0);
        } else {
            // No colour of its own: the obstacles' white stays current.
            EXPECT_GT(red, 240.0);
            EXPECT_GT(green, 240.0);
            EXPECT_GT(blue, 240.0);
        }
    }
}

// Views 2 and 4..8 ignore the head, so a frame's picture depends only on what is drawn.
void useFixedOrbit() {
    selectView(2);
    game::state.orbitRadius = 200;
    game::state.orbitAngle = 0.0f;
}

// The snake's pictures are compared with each other: a change that is not drawn leaves the
// picture exactly as it was.
using SnakePictureTest = RenderTest;

void placeSegments(int from, int to, float x, float z) {
    for (int j = from; j < to; ++j) {
        game::state.snakeX[j] = x;
        game::state.snakeZ[j] = z;
    }
}

TEST_F(SnakePictureTest, HiddenTailIsNotDrawn) {
    useFixedOrbit();  // the picture must not follow the head
    freezeSnake();
    auto& state = game::state;
    placeSegments(0, game::kSnakeCapacity, 10.0f, 10.0f);

    state.snakeLength = 40.0f;
    placeSegments(34, 35, 10.0f, -20.0f);
    const auto withLastVisible = renderPicture();
    placeSegments(35, 40, 10.0f, -40.0f);
    EXPECT_EQ(renderPicture(), withLastVisible) << "segments 35..39 of 40 are drawn";
    placeSegments(34, 35, 10.0f, 10.0f);
    EXPECT_NE(renderPicture(), withLastVisible) << "segment 34 of 40 is not drawn";

    const auto shortTail = renderPicture();
    state.snakeLength = 45.0f;
    const auto longer = renderPicture();
    EXPECT_NE(longer, shortTail) << "segments 35..39 of 45 are not drawn";
    placeSegments(40, 45, 10.0f, -60.0f);
    EXPECT_EQ(renderPicture(), longer) << "segments 40..44 of 45 are drawn";

    state.snakeLength = 5.0f;
    const auto none = renderPicture();
    placeSegments(0, 5, -60.0f, 60.0f);
    EXPECT_EQ(renderPicture(), none) << "a snake of 5 shows a segment";
}

TEST_F(SnakePictureTest, PositionsAreTruncatedTowardZero) {
    selectView(3);
    freezeSnake();
    placeSegments(0, game::kSnakeCapacity, 10.0f, 10.0f);
    for (float whole : {-2.0f, 2.0f}) {
        SCOPED_TRACE(whole);
        const float sign = whole < 0.0f ? -1.0f : 1.0f;
        placeSegments(20, 21, whole, -20.0f);
        const auto atWhole = renderPicture();
        placeSegments(20, 21, whole + sign * 0.9f, -20.9f);
        EXPECT_EQ(renderPicture(), atWhole);
        placeSegments(20, 21, whole + sign * 1.0f, -20.0f);
        EXPECT_NE(renderPicture(), atWhole);
    }
}

TEST_F(SnakePictureTest, TheMoveOfTheTickShowsInTheSameFrame) {
    useFixedOrbit();
    auto& state = game::state;
    state.foodX[0] = -100.0f;  // out of the snake's way
    state.foodZ[0] = -100.0f;
    state.glideMode = false;
    state.direction = game::kHeadingPlusX;
    const game::GameState before = state;

    const auto moving = renderPicture();
    ASSERT_FALSE(state.snakeDead);
    ASSERT_GT(state.snakeX[0], before.snakeX[0]);
    freezeSnake();
    EXPECT_EQ(renderPicture(), moving) << "the frame showed the snake before its move";

    state = before;
    freezeSnake();
    EXPECT_NE(renderPicture(), moving);
}

TEST_F(SnakePictureTest, FoodEatenInAFrameIsReplacedInThatFrame) {
    useFixedOrbit();
    freezeSnake();  // a dead snake still eats
    auto& state = game::state;
    state.foodX[0] = 14.0f;  // within 5 of the head at (10, 10)
    state.foodZ[0] = 14.0f;
    const auto eaten = renderPicture();
    ASSERT_EQ(state.foodIndex, 1);
    ASSERT_TRUE(std::abs(state.foodX[1] - 14.0f) > 8.0f || std::abs(state.foodZ[1] - 14.0f) > 8.0f)
        << "the next item lands where the old one was; pick another seed";
    EXPECT_EQ(renderPicture(), eaten) << "the frame showed the eaten item";
}

// Drawing a box or a sphere leaves the matrix as it was, so no object shifts the next.
TEST_F(SnakePictureTest, PrimitivesRestoreTheMatrix) {
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, 3.0f);
    std::array<GLfloat, 16> before{};
    std::array<GLfloat, 16> after{};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    render::drawBox(5.0f, 6.0f, 7.0f, 1.0f, 1.0f);
    render::drawSphere(4, -26, 9);
    render::drawGrid();
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, before);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

struct Vec {
    double x, y, z;
};

Vec along(const Vec& origin, const Vec& u, double a, const Vec& v, double b) {
    return {origin.x + a * u.x + b * v.x, origin.y + a * u.y + b * v.y,
            origin.z + a * u.z + b * v.z};
}

// A face of the box in its own frame: the corner with texture (0, 0), the directions in
// which s and t grow, and the outward normal.
struct BoxFace {
    Vec origin, sAxis, tAxis, normal;
};

// A 2 x 2 texture with one colour per quadrant: red at (0,0), green at (1,0), blue at (0,1),
// yellow at (1,1), so that a sampled colour tells which way s and t run on the screen.
GLuint makeQuadrantTexture() {
    const std::array<GLubyte, 16> texels{255, 0, 0,   255, 0,   255, 0, 255,
                                         0,   0, 255, 255, 255, 255, 0, 255};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return name;
}

using BoxTest = RenderTest;

// Each face is seen from outside (so it must be a front face to show at all) and sampled in its
// four quadrants. The x = 0 face runs t up and s toward -Z, mirrored against the x = 1 face.
TEST_F(BoxTest, EveryFaceFacesOutwardWithItsTextureTheRightWayRound) {
    const std::array<BoxFace, 6> faces{{
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
        {{0, 1, 0}, {1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
        {{0, 0, 0}, {0, 0, -1}, {0, 1, 0}, {-1, 0, 0}},
        {{1, 0, -1}, {-1, 0, 0}, {0, 1, 0}, {0, 0, -1}},
        {{1, 0, 0}, {-1, 0, 0}, {0, 0, -1}, {0, -1, 0}},
    }};
    const std::array<testing_gl::Rgba, 4> quadrantColour{
        {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}}};
    glDisable(GL_LIGHTING);
    makeQuadrantTexture();
    glColor3f(1.0f, 1.0f, 1.0f);
    constexpr double kShift = 0.6;  // the box spans -0.4..0.6 on Z
    for (std::size_t f = 0; f < faces.size(); ++f) {
        SCOPED_TRACE("face " + std::to_string(f + 1));
        const BoxFace& face = faces[f];
        Vec centre = along(face.origin, face.sAxis, 0.5, face.tAxis, 0.5);
        centre.z += kShift;
        const bool vertical = face.normal.y != 0.0;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        constexpr double kDistance = 8.0;  // beyond the near plane at 5
        gluLookAt(centre.x + kDistance * face.normal.x, centre.y + kDistance * face.normal.y,
                  centre.z + kDistance * face.normal.z, centre.x, centre.y, centre.z, 0.0,
                  vertical ? 0.0 : 1.0, vertical ? -1.0 : 0.0);
        render::drawBox(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
        for (int q = 0; q < 4; ++q) {
            const double a = q % 2 == 0 ? 0.25 : 0.75;
            const double b = q < 2 ? 0.25 : 0.75;
            Vec point = along(face.origin, face.sAxis, a, face.tAxis, b);
            point.z += kShift;
            const auto pixel = projectToPixel(point.x, point.y, point.z);
            const auto seen =
                testing_gl::pixelAt(static_cast<int>(pixel[0]), static_cast<int>(pixel[1]));
            EXPECT_EQ(seen, quadrantColour[static_cast<std::size_t>(q)]) << "quadrant " << q;
        }
    }
}

}  // namespace
}  // namespace render_test

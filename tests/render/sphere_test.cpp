// sphere_test.cpp -- the sphere compiled at start-up draws the very pixels that GLU drew for
// every sphere: whole seeded games are rendered both ways and compared pixel for pixel.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/textures.h"
#include "game/state.h"
#include "offscreen_gl.h"
#include "render/frame.h"
#include "render/scene.h"
#include "render/world.h"
#include "render_fixture.h"

namespace render_test {
namespace {

using Picture = std::vector<std::uint8_t>;

// Pixels (four bytes each) that differ in any byte.
int differingPixels(const Picture& a, const Picture& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    int count = 0;
    for (std::size_t at = 0; at + 3 < a.size(); at += 4) {
        if (a[at] != b[at] || a[at + 1] != b[at + 1] || a[at + 2] != b[at + 2] ||
            a[at + 3] != b[at + 3]) {
            ++count;
        }
    }
    return count;
}

struct Game {
    int view = 1;
    float length = 40.0f;
    int width = kWidth;
    int height = kHeight;
    int frames = 30;
};

std::string nameOf(const ::testing::TestParamInfo<Game>& info) {
    const Game& game = info.param;
    return "View" + std::to_string(game.view) + "Length" +
           std::to_string(static_cast<int>(game.length)) + "At" + std::to_string(game.width) + "x" +
           std::to_string(game.height);
}

// Fresh context and start-up for each way of drawing, so that neither inherits GL state
// (current normal, texture coordinate, colour) from the other.
void startUp(const Game& game) {
    ASSERT_TRUE(testing_gl::makeOffscreenContext(game.width, game.height));
    game::resetState();
    assets::setAssetRoot(VANTORIX_SOURCE_DIR);
    render::resizeViewport(game.width, game.height);
    render::initSceneWithSeed(kSeed);
    ASSERT_NE(render::sphereList, 0u) << "the start-up compiled no sphere";
    selectView(game.view);
    auto& state = game::state;
    state.orbitRadius = 300;
    state.orbitAngle = 45.0f;
    // Longer than the start: the segments behind the 40th lie on the line a restart lays.
    state.snakeLength = game.length;
}

// Glides first, then steps: a turn to +X before frame 10, to -Z before frame 20. Nothing in
// the way at either length, so the snake lives and every frame moves it.
void turnBefore(int frame) {
    auto& state = game::state;
    if (frame == 10 || frame == 20) {
        state.direction = frame == 10 ? game::kHeadingPlusX : game::kHeadingMinusZ;
        state.glideMode = false;
    }
}

std::vector<Picture> playWith(const Game& game, bool compiled) {
    startUp(game);
    if (::testing::Test::HasFatalFailure()) {
        return {};
    }
    if (!compiled) {
        render::sphereList = 0;  // as if no list could be made: GLU tessellates every sphere
    }
    std::vector<Picture> pictures;
    for (int frame = 0; frame < game.frames; ++frame) {
        turnBefore(frame);
        render::renderFrame();
        pictures.push_back(testing_gl::colourBuffer());
    }
    return pictures;
}

class SphereIdentityTest : public ::testing::TestWithParam<Game> {
protected:
    void TearDown() override {
        glFinish();
        testing_gl::destroyOffscreenContext();
    }
};

TEST_P(SphereIdentityTest, EveryFrameIsTheSameWithTheCompiledSphere) {
    const Game& game = GetParam();
    const std::vector<Picture> compiled = playWith(game, true);
    const std::vector<Picture> tessellated = playWith(game, false);
    ASSERT_EQ(compiled.size(), tessellated.size());
    ASSERT_FALSE(tessellated.empty());
    ASSERT_FALSE(game::state.snakeDead) << "the game must keep moving to the last frame";
    ASSERT_EQ(game::state.snakeLength, game.length);
    for (int frame = 0; frame < game.frames; ++frame) {
        const auto at = static_cast<std::size_t>(frame);
        EXPECT_EQ(differingPixels(compiled[at], tessellated[at]), 0) << "frame " << frame;
    }
    // The spheres are in the picture: without them the last frame looks different.
    const Picture& last = tessellated.back();
    EXPECT_NE(last, compiled.front()) << "the frames do not change";
    GLUquadric* const quadric = render::sphereQuadric;
    render::sphereQuadric = nullptr;  // no list and no quadric: no sphere
    game::state.snakeDead = true;     // the tick moves nothing: the same frame again
    render::renderFrame();
    render::sphereQuadric = quadric;
    EXPECT_GT(differingPixels(testing_gl::colourBuffer(), last), 100) << "no sphere shows";
}

// Views 1 to 4, a snake as it starts and one at the full 300, and the larger picture.
INSTANTIATE_TEST_SUITE_P(Games, SphereIdentityTest,
                         ::testing::Values(Game{1, 40.0f}, Game{2, 40.0f}, Game{3, 40.0f},
                                           Game{4, 40.0f}, Game{1, 300.0f}, Game{2, 300.0f},
                                           Game{3, 300.0f}, Game{4, 300.0f},
                                           Game{1, 300.0f, 1600, 1200, 8},
                                           Game{3, 300.0f, 1600, 1200, 8}),
                         nameOf);

using SphereTest = RenderTest;

// One sphere against the call the game used to make for each: same pixels from every side,
// lit and textured, with whole-number offsets in any direction.
TEST_F(SphereTest, OneSphereIsWhatGluSphereDrawsThere) {
    const std::array<std::array<int, 3>, 4> offsets{
        {{0, 0, 0}, {3, -2, 1}, {-5, 4, -7}, {2, 2, 9}}};
    const std::array<std::array<double, 3>, 3> eyes{{{0, 0, 30}, {25, 15, -10}, {-8, -20, 12}}};
    glBindTexture(GL_TEXTURE_2D, assets::textures.texBody);
    glColor3f(0.8f, 0.8f, 0.8f);
    for (const auto& eye : eyes) {
        for (const auto& [x, y, z] : offsets) {
            SCOPED_TRACE(testing::Message() << "eye " << eye[0] << " " << eye[1] << " " << eye[2]
                                            << ", offset " << x << " " << y << " " << z);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glLoadIdentity();
            gluLookAt(eye[0], eye[1], eye[2], 0, 0, 0, 0, 1, 0);
            glPushMatrix();
            glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
            gluSphere(render::sphereQuadric, 4.0, 20, 20);
            glPopMatrix();
            const Picture fromGlu = testing_gl::colourBuffer();
            ASSERT_GT(countLitPixels({0, 0, kWidth, kHeight}), 1000) << "the sphere is not seen";

            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            render::drawSphere(x, y, z);
            EXPECT_EQ(differingPixels(testing_gl::colourBuffer(), fromGlu), 0);
        }
    }
}

// Compiling draws nothing and leaves GL as the rest of the start-up set it: no list is left
// open, and the current normal and texture coordinate are still GL's own.
TEST_F(SphereTest, CompilingTheSphereLeavesNoTrace) {
    EXPECT_EQ(glIsList(render::sphereList), GL_TRUE);
    GLint open = -1;
    glGetIntegerv(GL_LIST_INDEX, &open);
    EXPECT_EQ(open, 0);
    std::array<GLfloat, 3> normal{};
    std::array<GLfloat, 4> texture{};
    glGetFloatv(GL_CURRENT_NORMAL, normal.data());
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, texture.data());
    EXPECT_EQ(normal, (std::array<GLfloat, 3>{0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(texture, (std::array<GLfloat, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
}

// With neither a list nor a quadric (out of memory at start-up), a sphere is skipped and the
// matrix is left as it was.
TEST_F(SphereTest, WithNothingToDrawFromASphereIsSkipped) {
    GLUquadric* const quadric = render::sphereQuadric;
    render::sphereList = 0;
    render::sphereQuadric = nullptr;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0, 0, 30, 0, 0, 0, 0, 1, 0);
    std::array<GLfloat, 16> before{};
    std::array<GLfloat, 16> after{};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    render::drawSphere(1, 2, 3);
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    render::sphereQuadric = quadric;
    EXPECT_EQ(after, before);
    EXPECT_EQ(countLitPixels({0, 0, kWidth, kHeight}, 0), 0);
}

}  // namespace
}  // namespace render_test

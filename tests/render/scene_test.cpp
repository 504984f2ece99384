// scene_test.cpp -- the render state that the start-up leaves, read back from GL.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <utility>

#include "assets/font.h"
#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"
#include "render_fixture.h"

namespace render_test {
namespace {

GLint integerOf(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

GLfloat floatOf(GLenum name) {
    GLfloat value = -1.0f;
    glGetFloatv(name, &value);
    return value;
}

using Rgba = std::array<GLfloat, 4>;
using SceneTest = RenderTest;

// Only state the start-up sets, or must not disturb, is read; GL defaults it never touches
// are left out.
TEST_F(SceneTest, StartUpLeavesTheRenderState) {
    const std::pair<GLenum, bool> capabilities[] = {
        {GL_DEPTH_TEST, true},     {GL_CULL_FACE, true},    {GL_POLYGON_SMOOTH, true},
        {GL_LINE_SMOOTH, true},    {GL_POINT_SMOOTH, true}, {GL_BLEND, true},
        {GL_ALPHA_TEST, false},    {GL_LIGHTING, true},     {GL_LIGHT0, true},
        {GL_COLOR_MATERIAL, true}, {GL_TEXTURE_2D, true},   {GL_FOG, true}};
    for (const auto& [capability, enabled] : capabilities) {
        EXPECT_EQ(glIsEnabled(capability) == GL_TRUE, enabled)
            << "capability 0x" << std::hex << capability;
    }
    const std::pair<GLenum, GLint> integers[] = {
        {GL_SHADE_MODEL, GL_SMOOTH},
        {GL_FRONT_FACE, GL_CCW},
        {GL_BLEND_SRC, GL_SRC_ALPHA},
        {GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {GL_ALPHA_TEST_FUNC, GL_GREATER},
        {GL_LIGHT_MODEL_LOCAL_VIEWER, 1},
        {GL_LIGHT_MODEL_TWO_SIDE, 1},
        {GL_COLOR_MATERIAL_FACE, GL_FRONT},
        {GL_COLOR_MATERIAL_PARAMETER, GL_AMBIENT_AND_DIFFUSE},
        {GL_FOG_MODE, GL_EXP2},
        {GL_MATRIX_MODE, GL_MODELVIEW}};  // the size handler's matrices are left alone
    for (const auto& [name, value] : integers) {
        EXPECT_EQ(integerOf(name), value) << "state 0x" << std::hex << name;
    }
    EXPECT_EQ(floatOf(GL_ALPHA_TEST_REF), 0.0f);
    // Exponential-squared fog of density 0 changes no colour.
    EXPECT_EQ(floatOf(GL_FOG_DENSITY), 0.0f);
    Rgba clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (Rgba{0.0f, 0.0f, 0.0f, 1.0f}));
    std::array<GLfloat, 16> model{};
    glGetFloatv(GL_MODELVIEW_MATRIX, model.data());
    EXPECT_EQ(model, (std::array<GLfloat, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_NE(render::sphereQuadric, nullptr);
    // Nothing makes display lists before the font: the names that control codes reach below
    // its base are no lists, so they draw nothing.
    for (GLuint k = 1; k <= 31; ++k) {
        EXPECT_FALSE(glIsList(assets::fontListBase - k)) << "name - " << k;
    }
}

TEST_F(SceneTest, LightZeroIsAPlainDirectionalLightAlongTheLineOfSight) {
    GLfloat cutoff = 0.0f;
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_EQ(cutoff, 180.0f);  // 190 is refused, so it is no spotlight
    Rgba ambient{};
    Rgba diffuse{};
    Rgba position{};
    Rgba specular{};
    GLfloat shininess = 0.0f;
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient.data());
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse.data());
    glGetLightfv(GL_LIGHT0, GL_POSITION, position.data());
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(ambient, (Rgba{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(diffuse, (Rgba{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(position, (Rgba{0.0f, 0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(specular, (Rgba{0.01f, 0.01f, 0.01f, 1.0f}));
    EXPECT_EQ(shininess, 10.0f);
}

// Rebuilt from one seed the world is the same; from another it differs, so the clock is not used.
TEST_F(SceneTest, TheWorldComesFromTheSeed) {
    const game::GameState first = game::state;
    game::resetState();
    render::initSceneWithSeed(kSeed + 1);
    EXPECT_NE(game::state.obstacleX, first.obstacleX);
    game::resetState();
    render::initSceneWithSeed(kSeed);
    EXPECT_EQ(game::state.obstacleX, first.obstacleX);
    EXPECT_EQ(game::state.obstacleZ, first.obstacleZ);
    EXPECT_EQ(game::state.foodX, first.foodX);
    EXPECT_EQ(game::state.foodZ, first.foodZ);
    EXPECT_EQ(game::state.snakeZ, first.snakeZ);
}

// A frame switches depth, lighting and the alpha test off and on again; it must hand the
// next frame the same state it found.
TEST_F(SceneTest, AFrameLeavesTheStateItFound) {
    // The refused spot cutoff is the start-up's one error.
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    render::renderFrame();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integerOf(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_EQ(integerOf(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(integerOf(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "after the first frame";
}

TEST_F(SceneTest, ResizeSetsViewportAndPerspectiveAndCopesWithZeroHeight) {
    render::resizeViewport(640, 0);
    EXPECT_EQ(integerOf(GL_MATRIX_MODE), GL_MODELVIEW);
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 640, 1}));
    std::array<GLdouble, 16> projection{};
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(55.0, 640.0, 5.0, 6000.0);
    std::array<GLdouble, 16> expected{};
    glGetDoublev(GL_PROJECTION_MATRIX, expected.data());
    glMatrixMode(GL_MODELVIEW);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(projection[i], expected[i], 1e-9) << "element " << i;
    }
}

}  // namespace
}  // namespace render_test

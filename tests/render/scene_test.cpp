// scene_test.cpp -- the render state that the start-up leaves, read back from GL.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>

#include "assets/textures.h"
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

using SceneTest = RenderTest;

TEST_F(SceneTest, LightZeroIsAPlainDirectionalLightAndTheOnlyOne) {
    GLfloat cutoff = 0.0f;
    glGetLightfv(GL_LIGHT0, GL_SPOT_CUTOFF, &cutoff);
    EXPECT_EQ(cutoff, 180.0f);  // 190 is refused, so it is no spotlight
    std::array<GLfloat, 4> ambient{};
    std::array<GLfloat, 4> diffuse{};
    std::array<GLfloat, 4> position{};
    glGetLightfv(GL_LIGHT0, GL_AMBIENT, ambient.data());
    glGetLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse.data());
    glGetLightfv(GL_LIGHT0, GL_POSITION, position.data());
    EXPECT_EQ(ambient, (std::array<GLfloat, 4>{0.2f, 0.2f, 0.2f, 1.0f}));
    EXPECT_EQ(diffuse, (std::array<GLfloat, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(position, (std::array<GLfloat, 4>{0.0f, 0.0f, 1.0f, 0.0f}));

    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    for (GLenum light : {GL_LIGHT1, GL_LIGHT2, GL_LIGHT3, GL_LIGHT4}) {
        EXPECT_FALSE(glIsEnabled(light)) << "light " << light - GL_LIGHT0;
    }
    EXPECT_EQ(integerOf(GL_LIGHT_MODEL_LOCAL_VIEWER), 1);
    EXPECT_EQ(integerOf(GL_LIGHT_MODEL_TWO_SIDE), 1);

    EXPECT_TRUE(glIsEnabled(GL_COLOR_MATERIAL));
    EXPECT_EQ(integerOf(GL_COLOR_MATERIAL_FACE), GL_FRONT);
    EXPECT_EQ(integerOf(GL_COLOR_MATERIAL_PARAMETER), GL_AMBIENT_AND_DIFFUSE);
    std::array<GLfloat, 4> specular{};
    GLfloat shininess = 0.0f;
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(specular, (std::array<GLfloat, 4>{0.01f, 0.01f, 0.01f, 1.0f}));
    EXPECT_EQ(shininess, 10.0f);
}

TEST_F(SceneTest, FogIsOnButExponentialWithNoDensity) {
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_EQ(integerOf(GL_FOG_MODE), GL_EXP2);
    EXPECT_EQ(floatOf(GL_FOG_DENSITY), 0.0f);
    EXPECT_EQ(floatOf(GL_FOG_START), 10.0f);
    EXPECT_EQ(floatOf(GL_FOG_END), 1000.0f);
    std::array<GLfloat, 4> colour{};
    glGetFloatv(GL_FOG_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<GLfloat, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(SceneTest, RasterStateBlendingAndTexturing) {
    std::array<GLfloat, 4> clear{};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear.data());
    EXPECT_EQ(clear, (std::array<GLfloat, 4>{0.0f, 0.0f, 0.0f, 1.0f}));
    EXPECT_EQ(integerOf(GL_SHADE_MODEL), GL_SMOOTH);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integerOf(GL_DEPTH_FUNC), GL_LESS);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_EQ(integerOf(GL_CULL_FACE_MODE), GL_BACK);
    EXPECT_EQ(integerOf(GL_FRONT_FACE), GL_CCW);
    EXPECT_TRUE(glIsEnabled(GL_POLYGON_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_LINE_SMOOTH));
    EXPECT_TRUE(glIsEnabled(GL_POINT_SMOOTH));

    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integerOf(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integerOf(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_EQ(integerOf(GL_ALPHA_TEST_FUNC), GL_GREATER);
    EXPECT_EQ(floatOf(GL_ALPHA_TEST_REF), 0.0f);

    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_TEXTURE_BINDING_2D)), assets::textures.texBody);
    EXPECT_NE(assets::textures.texBody, 0u);
    EXPECT_NE(render::sphereQuadric, nullptr);
    // The start-up leaves the size handler's matrices alone.
    EXPECT_EQ(integerOf(GL_MATRIX_MODE), GL_MODELVIEW);
    std::array<GLfloat, 16> model{};
    glGetFloatv(GL_MODELVIEW_MATRIX, model.data());
    EXPECT_EQ(model, (std::array<GLfloat, 16>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

TEST_F(SceneTest, TheWorldComesFromTheSeed) {
    const game::GameState first = game::state;
    game::resetState();
    render::initSceneWithSeed(kSeed);
    EXPECT_EQ(game::state.obstacleX, first.obstacleX);
    EXPECT_EQ(game::state.obstacleZ, first.obstacleZ);
    EXPECT_EQ(game::state.foodX[0], first.foodX[0]);
    EXPECT_EQ(game::state.foodZ[0], first.foodZ[0]);
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
    EXPECT_EQ(integerOf(GL_MATRIX_MODE), GL_MODELVIEW);
}

}  // namespace
}  // namespace render_test

// camera_test.cpp -- the model-view matrix each view mode leaves, against the look-at it means.
#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>

#include "game/state.h"
#include "offscreen_gl.h"
#include "render/camera.h"
#include "render_fixture.h"

namespace render_test {
namespace {

using Matrix = std::array<GLdouble, 16>;

struct Eye {
    double x, y, z;
};

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::makeOffscreenContext(64, 64));
        game::resetState();
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override {
        glFinish();
        testing_gl::destroyOffscreenContext();
    }

    static Matrix cameraMatrix() {
        glLoadIdentity();
        render::applyCamera();
        return current();
    }

    static Matrix lookAt(const Eye& eye, const Eye& centre) {
        glLoadIdentity();
        gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
        return current();
    }

    static Matrix current() {
        Matrix matrix{};
        glGetDoublev(GL_MODELVIEW_MATRIX, matrix.data());
        return matrix;
    }
};

// Rotation entries are compared closely; translations (hundreds of units) relatively.
void expectSameMatrix(const Matrix& actual, const Matrix& expected, double tolerance = 1e-5) {
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_FALSE(std::isnan(actual[i])) << "element " << i;
        const double scale = std::max(1.0, std::abs(expected[i]));
        EXPECT_NEAR(actual[i], expected[i], tolerance * scale) << "element " << i;
    }
}

TEST_F(CameraTest, FollowAndTopViewsAimAtTheHeadInGameUnits) {
    game::state.snakeX[0] = 22.5f;
    game::state.snakeZ[0] = -37.25f;
    selectView(1);
    expectSameMatrix(cameraMatrix(), lookAt({-377.5, 600, -37.25}, {22.5, -300, -37.25}));
    selectView(3);
    expectSameMatrix(cameraMatrix(), lookAt({21.5, 600, -37.25}, {22.5, -300, -37.25}));

    // Ten game units of head movement move the follow camera by ten world units, not thirty.
    selectView(1);
    const Matrix before = cameraMatrix();
    game::state.snakeX[0] += 10.0f;
    const Matrix after = cameraMatrix();
    const Eye shifted{-367.5, 600, -37.25};
    expectSameMatrix(after, lookAt(shifted, {32.5, -300, -37.25}));
    // Only the translation column changes.
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_NEAR(after[i], before[i], 1e-9) << "element " << i;
    }
}

TEST_F(CameraTest, OrbitTravelsAnEllipseAroundMinus600) {
    game::state.snakeX[0] = 99.0f;  // the orbit never looks at the snake
    selectView(2);
    game::state.orbitRadius = 100;
    const std::array<std::pair<float, Eye>, 4> stops{{{0.0f, {-700, 100, 0.0006}},
                                                      {90.0f, {-600, 100, 500}},
                                                      {180.0f, {-500, 100, 0.0006}},
                                                      {270.0f, {-600, 100, -500}}}};
    for (const auto& [angle, eye] : stops) {
        SCOPED_TRACE(angle);
        game::state.orbitAngle = angle;
        expectSameMatrix(cameraMatrix(), lookAt(eye, {0, 0, 0}), 1e-4);
    }
}

TEST_F(CameraTest, OrbitBeforeThePointerMovedIsLevelWithTheOrigin) {
    selectView(2);
    game::state.orbitRadius = 0;
    game::state.orbitAngle = 37.0f;
    expectSameMatrix(cameraMatrix(), lookAt({-600, 0, 0}, {0, 0, 0}));
}

// Nearly straight above the origin: the rough pi keeps the eye a few thousandths on the +Z
// side, which decides which way the picture is turned. A closer pi would put it on -Z.
TEST_F(CameraTest, OrbitFromAboveStaysDefinedAndOnThePlusZSide) {
    selectView(2);
    game::state.orbitRadius = 600;
    game::state.orbitAngle = 180.0f;
    const Matrix matrix = cameraMatrix();
    expectSameMatrix(matrix, lookAt({0, 600, 0.0038}, {0, 0, 0}), 1e-3);
    // World +X maps to eye +X, so the side vector did not flip.
    EXPECT_GT(matrix[0], 0.99);
}

TEST_F(CameraTest, ViewsFourToEightApplyNoCamera) {
    game::state.snakeX[0] = 55.0f;
    game::state.orbitRadius = 300;
    const Matrix identity = lookAt({0, 0, 0}, {0, 0, -1});
    for (int mode = 4; mode <= 8; ++mode) {
        SCOPED_TRACE(mode);
        selectView(mode);
        expectSameMatrix(cameraMatrix(), identity);
    }
}

}  // namespace
}  // namespace render_test

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

// The head is not scaled to the world: at x = 22.5 the follow eye stands at -377.5, not at
// 3 * 22.5 - 400.
TEST_F(CameraTest, FollowAndTopViewsAimAtTheHeadInGameUnits) {
    game::state.snakeX[0] = 22.5f;
    game::state.snakeZ[0] = -37.25f;
    selectView(1);
    expectSameMatrix(cameraMatrix(), lookAt({-377.5, 600, -37.25}, {22.5, -300, -37.25}));
    selectView(3);
    expectSameMatrix(cameraMatrix(), lookAt({21.5, 600, -37.25}, {22.5, -300, -37.25}));
}

struct OrbitStop {
    int radius;
    float angle;
    Eye eye;
    double tolerance;
};

// The orbit is an ellipse around (-600, 0, 0) that never looks at the snake. Before the pointer
// moves (radius 0) the eye is level with the origin. Nearly straight above it (angle 180) the
// rough pi keeps the eye a few thousandths on the +Z side, which decides which way the picture
// is turned; a closer pi would put it on -Z and flip the side vector.
TEST_F(CameraTest, OrbitTravelsAnEllipseAroundMinus600) {
    game::state.snakeX[0] = 99.0f;
    selectView(2);
    const std::array<OrbitStop, 6> stops{{{100, 0.0f, {-700, 100, 0.0006}, 1e-4},
                                          {100, 90.0f, {-600, 100, 500}, 1e-4},
                                          {100, 180.0f, {-500, 100, 0.0006}, 1e-4},
                                          {100, 270.0f, {-600, 100, -500}, 1e-4},
                                          {0, 37.0f, {-600, 0, 0}, 1e-5},
                                          {600, 180.0f, {0, 600, 0.0038}, 1e-3}}};
    for (const auto& stop : stops) {
        SCOPED_TRACE(testing::Message() << "radius " << stop.radius << " angle " << stop.angle);
        game::state.orbitRadius = stop.radius;
        game::state.orbitAngle = stop.angle;
        expectSameMatrix(cameraMatrix(), lookAt(stop.eye, {0, 0, 0}), stop.tolerance);
    }
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

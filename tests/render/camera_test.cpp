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

// The orbit's eye as the camera must work it out: the angle, its sine and cosine and each
// part of the eye stored as a float, the 600 taken off in double precision.
Eye orbitEyeInFloats(float orbitAngle, int orbitRadius) {
    const auto angle =
        static_cast<float>((static_cast<double>(orbitAngle) - 90.0) * 3.14159 / 180.0);
    const auto radius = static_cast<float>(orbitRadius);
    const auto s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const auto c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float x = s * radius;
    const float z = c * radius * 5.0f;
    return {static_cast<double>(x) - 600.0, radius, z};
}

// The same worked out in double precision throughout.
Eye orbitEyeInDoubles(float orbitAngle, int orbitRadius) {
    const double angle = (static_cast<double>(orbitAngle) - 90.0) * 3.14159 / 180.0;
    return {std::sin(angle) * orbitRadius - 600.0, static_cast<double>(orbitRadius),
            std::cos(angle) * orbitRadius * 5.0};
}

// Equal up to the last bits of a float, whatever order the products are formed in.
bool nearlyEqual(const Matrix& a, const Matrix& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(a[i] - b[i]) > 1e-9 + 1e-7 * std::abs(b[i])) {
            return false;
        }
    }
    return true;
}

// Rounding the angle, the sine and the cosine to floats moves the eye measurably where the
// angle is large (a float angle of a few thousand radians is off by up to 0.0001) and where
// the eye is nearly straight above the origin (the cosine is tiny there, and its rounding
// turns the picture a little). In both cases the double-precision eye gives another matrix.
TEST_F(CameraTest, OrbitWorksInSinglePrecision) {
    selectView(2);
    const struct {
        int radius;
        float angle;
    } cases[] = {{600, 180.0f}, {600, 100037.0f}, {333, -54321.0f}, {450, 7777.0f}};
    for (const auto& stop : cases) {
        SCOPED_TRACE(testing::Message() << "radius " << stop.radius << " angle " << stop.angle);
        game::state.orbitRadius = stop.radius;
        game::state.orbitAngle = stop.angle;
        const Matrix inFloats = lookAt(orbitEyeInFloats(stop.angle, stop.radius), {0, 0, 0});
        const Matrix inDoubles = lookAt(orbitEyeInDoubles(stop.angle, stop.radius), {0, 0, 0});
        ASSERT_FALSE(nearlyEqual(inDoubles, inFloats))
            << "this case does not tell float from double";
        EXPECT_TRUE(nearlyEqual(cameraMatrix(), inFloats));
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

// glu_matrices.h -- the matrices of GLU's gluPerspective and gluLookAt, as libGLU forms them.
//
// No GL here, so that they can be compared exactly with what libGLU hands to GL.
#pragma once

#include <array>

namespace fixedgl {

// What gluPerspective multiplies onto the current matrix (in double, column-major); false,
// with nothing to multiply, when libGLU refuses the arguments.
bool perspectiveMatrix(double fovy, double aspect, double zNear, double zFar,
                       std::array<double, 16>& m);

// gluLookAt multiplies by a rotation (in float) and then translates by -eye (in double).
struct LookAt {
    std::array<float, 16> rotation{};
    std::array<double, 3> translation{};
};
LookAt lookAtMatrix(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                    double centreZ, double upX, double upY, double upZ);

}  // namespace fixedgl

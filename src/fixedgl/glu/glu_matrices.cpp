// glu_matrices.cpp -- libGLU's arithmetic: the perspective in double, the look-at's axes in float.
#include "glu_matrices.h"

#include <cmath>

namespace fixedgl {

namespace {

constexpr double kPi = 3.14159265358979323846;

using Axis = std::array<float, 3>;

void normalise(Axis& v) {
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) {
        return;
    }
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

Axis cross(const Axis& a, const Axis& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

}  // namespace

bool perspectiveMatrix(double fovy, double aspect, double zNear, double zFar,
                       std::array<double, 16>& m) {
    const double radians = fovy / 2 * kPi / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) {
        return false;
    }
    const double cotangent = std::cos(radians) / sine;
    m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    return true;
}

LookAt lookAtMatrix(double eyeX, double eyeY, double eyeZ, double centreX, double centreY,
                    double centreZ, double upX, double upY, double upZ) {
    Axis forward{static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                 static_cast<float>(centreZ - eyeZ)};
    Axis up{static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    normalise(forward);
    Axis side = cross(forward, up);
    normalise(side);
    up = cross(side, forward);
    LookAt look;
    look.rotation = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 3; ++i) {
        look.rotation[static_cast<std::size_t>(i) * 4] = side[static_cast<std::size_t>(i)];
        look.rotation[static_cast<std::size_t>(i) * 4 + 1] = up[static_cast<std::size_t>(i)];
        look.rotation[static_cast<std::size_t>(i) * 4 + 2] = -forward[static_cast<std::size_t>(i)];
    }
    look.translation = {-eyeX, -eyeY, -eyeZ};
    return look;
}

}  // namespace fixedgl

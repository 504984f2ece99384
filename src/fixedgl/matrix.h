// matrix.h -- 4 x 4 matrices in GL's column-major order, with Mesa's float arithmetic.
#pragma once

#include <array>

namespace fixedgl {

using Matrix = std::array<float, 16>;
using Normals = std::array<float, 9>;  // a 3 x 3 matrix, column-major

Matrix identityMatrix();
// a * b: b is applied first.
Matrix multiply(const Matrix& a, const Matrix& b);
Matrix translation(float x, float y, float z);
Matrix scaling(float x, float y, float z);
Matrix rotation(float degrees, float x, float y, float z);
Matrix orthographic(float left, float right, float bottom, float top, float zNear, float zFar);
// The inverse transpose of the upper 3 x 3, which carries normals to eye space; zero when the
// matrix has no inverse.
Normals normalMatrix(const Matrix& m);
std::array<float, 4> transform(const Matrix& m, const std::array<float, 4>& v);
std::array<float, 3> transformDirection(const Matrix& m, const std::array<float, 3>& v);

}  // namespace fixedgl

// matrix.cpp -- the matrix maths of Mesa's glTranslate, glScale, glRotate, and glOrtho.
#include "matrix.h"

#include <cmath>
#include <cstddef>

namespace fixedgl {

namespace {

constexpr float kDegreesToRadians = 3.14159265358979323846f / 180.0f;

void set(Matrix& m, int row, int column, float value) {
    m[column * 4 + row] = value;
}

}  // namespace

Matrix identityMatrix() {
    return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (std::size_t column = 0; column < 4; ++column) {
        for (std::size_t row = 0; row < 4; ++row) {
            product[column * 4 + row] = a[row] * b[column * 4] + a[4 + row] * b[column * 4 + 1] +
                                        a[8 + row] * b[column * 4 + 2] +
                                        a[12 + row] * b[column * 4 + 3];
        }
    }
    return product;
}

Matrix translation(float x, float y, float z) {
    Matrix m = identityMatrix();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix scaling(float x, float y, float z) {
    Matrix m = identityMatrix();
    m[0] = x;
    m[5] = y;
    m[10] = z;
    return m;
}

Matrix rotation(float degrees, float x, float y, float z) {
    Matrix m = identityMatrix();
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0f) {
        return m;
    }
    x /= length;
    y /= length;
    z /= length;
    const float s = std::sin(degrees * kDegreesToRadians);
    const float c = std::cos(degrees * kDegreesToRadians);
    const float k = 1.0f - c;
    set(m, 0, 0, x * x * k + c);
    set(m, 0, 1, x * y * k - z * s);
    set(m, 0, 2, x * z * k + y * s);
    set(m, 1, 0, y * x * k + z * s);
    set(m, 1, 1, y * y * k + c);
    set(m, 1, 2, y * z * k - x * s);
    set(m, 2, 0, z * x * k - y * s);
    set(m, 2, 1, z * y * k + x * s);
    set(m, 2, 2, z * z * k + c);
    return m;
}

Matrix orthographic(float left, float right, float bottom, float top, float zNear, float zFar) {
    Matrix m = identityMatrix();
    set(m, 0, 0, 2.0f / (right - left));
    set(m, 0, 3, -(right + left) / (right - left));
    set(m, 1, 1, 2.0f / (top - bottom));
    set(m, 1, 3, -(top + bottom) / (top - bottom));
    set(m, 2, 2, -2.0f / (zFar - zNear));
    set(m, 2, 3, -(zFar + zNear) / (zFar - zNear));
    return m;
}

Normals normalMatrix(const Matrix& m) {
    // Upper 3 x 3, a[row][column].
    const float a00 = m[0], a01 = m[4], a02 = m[8];
    const float a10 = m[1], a11 = m[5], a12 = m[9];
    const float a20 = m[2], a21 = m[6], a22 = m[10];
    const float c00 = a11 * a22 - a12 * a21;
    const float c01 = a12 * a20 - a10 * a22;
    const float c02 = a10 * a21 - a11 * a20;
    const float determinant = a00 * c00 + a01 * c01 + a02 * c02;
    if (determinant == 0.0f) {
        return {};
    }
    const float r = 1.0f / determinant;
    // The inverse's transpose is the cofactor matrix over the determinant; column-major.
    return {c00 * r, (a02 * a21 - a01 * a22) * r, (a01 * a12 - a02 * a11) * r,
            c01 * r, (a00 * a22 - a02 * a20) * r, (a02 * a10 - a00 * a12) * r,
            c02 * r, (a01 * a20 - a00 * a21) * r, (a00 * a11 - a01 * a10) * r};
}

std::array<float, 4> transform(const Matrix& m, const std::array<float, 4>& v) {
    std::array<float, 4> out{};
    for (int row = 0; row < 4; ++row) {
        out[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2] + m[12 + row] * v[3];
    }
    return out;
}

std::array<float, 3> transformDirection(const Matrix& m, const std::array<float, 3>& v) {
    std::array<float, 3> out{};
    for (int row = 0; row < 3; ++row) {
        out[row] = m[row] * v[0] + m[4 + row] * v[1] + m[8 + row] * v[2];
    }
    return out;
}

}  // namespace fixedgl

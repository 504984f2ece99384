// calls_matrix.cpp -- the three matrix stacks, and GLU's perspective and look-at.
#include <cmath>

#include "state.h"

using fixedgl::Matrix;
using fixedgl::setError;
using fixedgl::state;

namespace {

std::vector<Matrix>& currentStack() {
    auto& s = state();
    switch (s.matrixMode) {
        case GL_PROJECTION:
            return s.projection;
        case GL_TEXTURE:
            return s.textureMatrix;
        default:
            return s.modelView;
    }
}

std::size_t stackDepth() {
    switch (state().matrixMode) {
        case GL_MODELVIEW:
            return fixedgl::kModelViewDepth;
        default:
            return fixedgl::kProjectionDepth;
    }
}

// Mesa multiplies on the right in float, whatever precision the call came in.
void multiplyCurrent(const Matrix& m) {
    fixedgl::flushPending();
    Matrix& top = currentStack().back();
    top = fixedgl::multiply(top, m);
}

Matrix fromDoubles(const GLdouble* m) {
    Matrix out{};
    for (int i = 0; i < 16; ++i) {
        out[i] = static_cast<float>(m[i]);
    }
    return out;
}

Matrix fromFloats(const GLfloat* m) {
    Matrix out{};
    for (int i = 0; i < 16; ++i) {
        out[i] = m[i];
    }
    return out;
}

void normalise(float v[3]) {
    const float r = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) {
        return;
    }
    v[0] /= r;
    v[1] /= r;
    v[2] /= r;
}

void cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

}  // namespace

extern "C" {

void glMatrixMode(GLenum mode) {
    if (fixedgl::recordInList([mode] { glMatrixMode(mode); })) {
        return;
    }
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION && mode != GL_TEXTURE) {
        setError(GL_INVALID_ENUM);
        return;
    }
    state().matrixMode = mode;
}

void glLoadIdentity(void) {
    if (fixedgl::recordInList([] { glLoadIdentity(); })) {
        return;
    }
    fixedgl::flushPending();
    currentStack().back() = fixedgl::identityMatrix();
}

void glPushMatrix(void) {
    if (fixedgl::recordInList([] { glPushMatrix(); })) {
        return;
    }
    auto& stack = currentStack();
    if (stack.size() >= stackDepth()) {
        setError(GL_STACK_OVERFLOW);
        return;
    }
    stack.push_back(stack.back());
}

void glPopMatrix(void) {
    if (fixedgl::recordInList([] { glPopMatrix(); })) {
        return;
    }
    auto& stack = currentStack();
    if (stack.size() <= 1) {
        setError(GL_STACK_UNDERFLOW);
        return;
    }
    fixedgl::flushPending();
    stack.pop_back();
}

void glLoadMatrixf(const GLfloat* m) {
    const Matrix copy = fromFloats(m);
    if (fixedgl::recordInList([copy] { glLoadMatrixf(copy.data()); })) {
        return;
    }
    fixedgl::flushPending();
    currentStack().back() = copy;
}

void glLoadMatrixd(const GLdouble* m) {
    const Matrix copy = fromDoubles(m);
    glLoadMatrixf(copy.data());
}

void glMultMatrixf(const GLfloat* m) {
    const Matrix copy = fromFloats(m);
    if (fixedgl::recordInList([copy] { glMultMatrixf(copy.data()); })) {
        return;
    }
    multiplyCurrent(copy);
}

void glMultMatrixd(const GLdouble* m) {
    const Matrix copy = fromDoubles(m);
    glMultMatrixf(copy.data());
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    glMultMatrixf(fixedgl::translation(x, y, z).data());
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    glMultMatrixf(fixedgl::scaling(x, y, z).data());
}

void glScaled(GLdouble x, GLdouble y, GLdouble z) {
    glScalef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    glMultMatrixf(fixedgl::rotation(angle, x, y, z).data());
}

void glRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z) {
    glRotatef(static_cast<float>(angle), static_cast<float>(x), static_cast<float>(y),
              static_cast<float>(z));
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    if (left == right || bottom == top || zNear == zFar) {
        setError(GL_INVALID_VALUE);
        return;
    }
    glMultMatrixf(fixedgl::orthographic(static_cast<float>(left), static_cast<float>(right),
                                        static_cast<float>(bottom), static_cast<float>(top),
                                        static_cast<float>(zNear), static_cast<float>(zFar))
                      .data());
}

void glFrustum(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar) {
    if (zNear <= 0 || zFar <= 0 || left == right || bottom == top || zNear == zFar) {
        setError(GL_INVALID_VALUE);
        return;
    }
    glMultMatrixf(fixedgl::frustum(static_cast<float>(left), static_cast<float>(right),
                                   static_cast<float>(bottom), static_cast<float>(top),
                                   static_cast<float>(zNear), static_cast<float>(zFar))
                      .data());
}

// libGLU's arithmetic: the matrix in double, handed over as doubles.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * 3.14159265358979323846 / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) {
        return;
    }
    const double cotangent = std::cos(radians) / sine;
    GLdouble m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(zFar + zNear) / deltaZ;
    m[11] = -1;
    m[14] = -2 * zNear * zFar / deltaZ;
    m[15] = 0;
    glMultMatrixd(m);
}

// libGLU's arithmetic: the axes in float, then the eye's translation in double.
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    float forward[3] = {static_cast<float>(centreX - eyeX), static_cast<float>(centreY - eyeY),
                        static_cast<float>(centreZ - eyeZ)};
    float up[3] = {static_cast<float>(upX), static_cast<float>(upY), static_cast<float>(upZ)};
    float side[3];
    normalise(forward);
    cross(forward, up, side);
    normalise(side);
    cross(side, forward, up);
    GLfloat m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    m[0] = side[0];
    m[4] = side[1];
    m[8] = side[2];
    m[1] = up[0];
    m[5] = up[1];
    m[9] = up[2];
    m[2] = -forward[0];
    m[6] = -forward[1];
    m[10] = -forward[2];
    glMultMatrixf(m);
    glTranslated(-eyeX, -eyeY, -eyeZ);
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    glOrtho(left, right, bottom, top, -1, 1);
}

}  // extern "C"

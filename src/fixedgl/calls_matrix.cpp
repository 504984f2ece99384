// calls_matrix.cpp -- the three matrix stacks, and GLU's perspective and look-at.
#include <array>

#include "glu_matrices.h"
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

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    std::array<double, 16> m{};
    if (fixedgl::perspectiveMatrix(fovy, aspect, zNear, zFar, m)) {
        glMultMatrixd(m.data());
    }
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    const fixedgl::LookAt look =
        fixedgl::lookAtMatrix(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
    glMultMatrixf(look.rotation.data());
    glTranslated(look.translation[0], look.translation[1], look.translation[2]);
}

void gluOrtho2D(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top) {
    glOrtho(left, right, bottom, top, -1, 1);
}

}  // extern "C"

// gl_matrix.cpp -- the model-view and projection stacks, and GLU's perspective and look-at.
//
// Changing a matrix draws nothing and sends nothing: each draw takes the matrices as they stand,
// and the batch decides what one WebGL draw can hold.
#include <array>

#include "glu/glu_matrices.h"
#include "state.h"

using fixedgl::Matrix;
using fixedgl::recordOrRun;
using fixedgl::setError;
using fixedgl::state;

namespace {

std::vector<Matrix>& currentStack() {
    return state().matrixMode == GL_PROJECTION ? state().projection : state().modelView;
}

std::size_t stackDepth() {
    return state().matrixMode == GL_PROJECTION ? fixedgl::kProjectionDepth
                                               : fixedgl::kModelViewDepth;
}

// Mesa multiplies on the right in float, whatever precision the call came in.
void multiplyCurrent(const Matrix& m) {
    recordOrRun([m] {
        Matrix& top = currentStack().back();
        top = fixedgl::multiply(top, m);
    });
}

Matrix fromDoubles(const std::array<double, 16>& m) {
    Matrix out{};
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[i] = static_cast<float>(m[i]);
    }
    return out;
}

}  // namespace

extern "C" {

// The texture matrix is not kept: the layer's texture coordinates are drawn as given.
void glMatrixMode(GLenum mode) {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) {
        setError(GL_INVALID_ENUM);
        return;
    }
    recordOrRun([mode] { state().matrixMode = mode; });
}

void glLoadIdentity(void) {
    recordOrRun([] { currentStack().back() = fixedgl::identityMatrix(); });
}

void glPushMatrix(void) {
    recordOrRun([] {
        auto& stack = currentStack();
        if (stack.size() >= stackDepth()) {
            setError(GL_STACK_OVERFLOW);
            return;
        }
        stack.push_back(stack.back());
    });
}

void glPopMatrix(void) {
    recordOrRun([] {
        auto& stack = currentStack();
        if (stack.size() <= 1) {
            setError(GL_STACK_UNDERFLOW);
            return;
        }
        stack.pop_back();
    });
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    multiplyCurrent(fixedgl::translation(x, y, z));
}

void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    glTranslatef(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    multiplyCurrent(fixedgl::scaling(x, y, z));
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    multiplyCurrent(fixedgl::rotation(angle, x, y, z));
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar) {
    if (left == right || bottom == top || zNear == zFar) {
        setError(GL_INVALID_VALUE);
        return;
    }
    multiplyCurrent(fixedgl::orthographic(static_cast<float>(left), static_cast<float>(right),
                                          static_cast<float>(bottom), static_cast<float>(top),
                                          static_cast<float>(zNear), static_cast<float>(zFar)));
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    std::array<double, 16> m{};
    if (fixedgl::perspectiveMatrix(fovy, aspect, zNear, zFar, m)) {
        multiplyCurrent(fromDoubles(m));
    }
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    const fixedgl::LookAt look =
        fixedgl::lookAtMatrix(eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
    multiplyCurrent(look.rotation);
    glTranslated(look.translation[0], look.translation[1], look.translation[2]);
}

}  // extern "C"

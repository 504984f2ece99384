// gl_draw.cpp -- immediate mode: primitives and the attributes of their vertices.
//
// Each primitive is split into triangles or line segments as Mesa splits them and goes into the
// list being compiled, or into the batch, which draws runs of them under one state at once.
#include "assemble.h"
#include "state.h"

using fixedgl::setError;
using fixedgl::state;
using fixedgl::Vertex;

namespace {

void addVertex(float x, float y, float z) {
    auto& s = state();
    if (!s.inBegin) {
        return;  // a vertex outside glBegin/glEnd has no effect
    }
    const fixedgl::Attributes& a = fixedgl::vertexAttributes();
    Vertex v;
    v.position = {x, y, z};
    v.normal = a.normal;
    v.colour = a.colour;
    v.texCoord = a.texCoord;
    s.primitiveVertices.push_back(v);
}

void setColour(const fixedgl::Vec4& colour) {
    fixedgl::setAttribute(&fixedgl::Compiling::setColour,
                          [&colour](fixedgl::Attributes& a) { a.colour = colour; });
    if (!fixedgl::recording()) {
        fixedgl::trackColour(colour);
    }
}

}  // namespace

extern "C" {

// Points are not drawn: GL_POINTS is refused.
void glBegin(GLenum mode) {
    auto& s = state();
    if (s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    if (mode == GL_POINTS || mode > GL_POLYGON) {
        setError(GL_INVALID_ENUM);
        return;
    }
    s.inBegin = true;
    s.beginMode = mode;
    s.primitiveVertices.clear();
}

void glEnd(void) {
    auto& s = state();
    if (!s.inBegin) {
        setError(GL_INVALID_OPERATION);
        return;
    }
    s.inBegin = false;
    static std::vector<Vertex> triangles;
    static std::vector<Vertex> lines;
    triangles.clear();
    lines.clear();
    fixedgl::assemble(s.beginMode, s.primitiveVertices, triangles, lines);
    if (fixedgl::recording()) {
        fixedgl::compilePrimitive(*s.lists.compiling, triangles, lines);
        return;
    }
    const auto& modelView = s.modelView.back();
    if (!triangles.empty()) {
        fixedgl::addVertices(s.batch, fixedgl::backend::Primitive::Triangles, fixedgl::drawState(),
                             modelView, triangles);
    }
    if (!lines.empty()) {
        const auto primitive = s.enables.lineSmooth ? fixedgl::backend::Primitive::SmoothLines
                                                    : fixedgl::backend::Primitive::Lines;
        fixedgl::addVertices(s.batch, primitive, fixedgl::drawState(), modelView, lines);
    }
}

void glVertex2i(GLint x, GLint y) {
    addVertex(static_cast<float>(x), static_cast<float>(y), 0.0f);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    addVertex(x, y, z);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    fixedgl::setAttribute(&fixedgl::Compiling::setNormal, [=](fixedgl::Attributes& a) {
        a.normal = {x, y, z};
    });
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    setColour({red, green, blue, alpha});
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    glColor4f(red, green, blue, 1.0f);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    fixedgl::setAttribute(&fixedgl::Compiling::setTexCoord, [=](fixedgl::Attributes& a) {
        a.texCoord = {s, t};
    });
}

void glTexCoord2d(GLdouble s, GLdouble t) {
    glTexCoord2f(static_cast<float>(s), static_cast<float>(t));
}

}  // extern "C"

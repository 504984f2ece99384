// gl_quadric.cpp -- GLU's quadric object and its sphere, sent as libGLU sends it.
#include "glu/sphere.h"
#include "state.h"

struct GLUquadric {
    GLenum drawStyle = GLU_FILL;
    GLenum normals = GLU_SMOOTH;
    bool textureCoords = false;
};

namespace {

void sendVertex(const fixedgl::SphereVertex& v) {
    if (v.hasNormal) {
        glNormal3f(v.normal[0], v.normal[1], v.normal[2]);
    }
    if (v.hasTexCoord) {
        glTexCoord2f(v.texCoord[0], v.texCoord[1]);
    }
    glVertex3f(v.position[0], v.position[1], v.position[2]);
}

}  // namespace

extern "C" {

GLUquadric* gluNewQuadric(void) {
    return new GLUquadric;
}

void gluDeleteQuadric(GLUquadric* quadric) {
    delete quadric;
}

void gluQuadricDrawStyle(GLUquadric* quadric, GLenum style) {
    if (quadric != nullptr) {
        quadric->drawStyle = style;
    }
}

void gluQuadricNormals(GLUquadric* quadric, GLenum normals) {
    if (quadric != nullptr) {
        quadric->normals = normals;
    }
}

void gluQuadricTexture(GLUquadric* quadric, GLboolean textureCoords) {
    if (quadric != nullptr) {
        quadric->textureCoords = textureCoords != GL_FALSE;
    }
}

// Filled spheres with smooth or no normals; the outline styles and flat normals are not
// drawn.
void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
    if (quadric == nullptr || quadric->drawStyle != GLU_FILL || quadric->normals == GLU_FLAT) {
        return;
    }
    fixedgl::SphereStyle style;
    style.smoothNormals = quadric->normals == GLU_SMOOTH;
    style.textureCoords = quadric->textureCoords;
    for (const auto& primitive : fixedgl::sphereStream(radius, slices, stacks, style)) {
        if (primitive.hasLeadingNormal) {
            const auto& n = primitive.leadingNormal;
            glNormal3f(n[0], n[1], n[2]);
        }
        glBegin(primitive.kind == fixedgl::SphereStrip::QuadStrip ? GL_QUAD_STRIP
                                                                  : GL_TRIANGLE_FAN);
        for (const auto& vertex : primitive.vertices) {
            sendVertex(vertex);
        }
        glEnd();
    }
}

}  // extern "C"

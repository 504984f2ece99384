// glu_match_test.cpp -- the layer's GLU sphere, matrices and mipmap levels against the
// desktop's libGLU.
//
// libGLU is linked as it is; this program defines the immediate-mode and matrix calls that
// gluSphere, gluPerspective and gluLookAt make, so libGLU's calls land here and are recorded. The
// mipmap levels are read back from OSMesa after libGLU built them.
#include <GL/glu.h>
#include <GL/osmesa.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "fixedgl/glu/glu_matrices.h"
#include "fixedgl/glu/mipmap.h"
#include "fixedgl/glu/sphere.h"

namespace {

struct Recorded {
    std::vector<GLenum> begins;
    std::vector<std::vector<fixedgl::SphereVertex>> strips;
    std::vector<bool> leadingNormal;
    fixedgl::SphereVertex current;
    bool inside = false;
    bool normalSinceEnd = false;
};

Recorded recorded;

struct RecordedMatrices {
    std::vector<std::array<double, 16>> doubles;
    std::vector<std::array<float, 16>> floats;
    std::vector<std::array<double, 3>> translations;
};

RecordedMatrices matrices;

}  // namespace

extern "C" {

void glBegin(GLenum mode) {
    recorded.begins.push_back(mode);
    recorded.strips.emplace_back();
    recorded.leadingNormal.push_back(recorded.normalSinceEnd);
    recorded.inside = true;
}
void glEnd() {
    recorded.inside = false;
    recorded.normalSinceEnd = false;
}
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    recorded.current.hasNormal = true;
    recorded.current.normal = {x, y, z};
    if (!recorded.inside) {
        recorded.normalSinceEnd = true;
    }
}
void glTexCoord2f(GLfloat s, GLfloat t) {
    recorded.current.hasTexCoord = true;
    recorded.current.texCoord = {s, t};
}
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    recorded.current.position = {x, y, z};
    recorded.strips.back().push_back(recorded.current);
}
void glMultMatrixd(const GLdouble* m) {
    std::array<double, 16> copy{};
    std::copy(m, m + 16, copy.begin());
    matrices.doubles.push_back(copy);
}
void glMultMatrixf(const GLfloat* m) {
    std::array<float, 16> copy{};
    std::copy(m, m + 16, copy.begin());
    matrices.floats.push_back(copy);
}
void glTranslated(GLdouble x, GLdouble y, GLdouble z) {
    matrices.translations.push_back({x, y, z});
}

}  // extern "C"

namespace {

struct SphereCase {
    GLenum normals;
    bool texture;
    GLenum orientation;
    double radius;
    int slices;
    int stacks;
};

Recorded recordGluSphere(const SphereCase& c) {
    recorded = Recorded{};
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricDrawStyle(quadric, GLU_FILL);
    gluQuadricNormals(quadric, c.normals);
    gluQuadricTexture(quadric, c.texture ? GL_TRUE : GL_FALSE);
    gluQuadricOrientation(quadric, c.orientation);
    gluSphere(quadric, c.radius, c.slices, c.stacks);
    gluDeleteQuadric(quadric);
    return recorded;
}

// The game's sphere (smooth, textured, 20 x 20), the untextured one with its pole fans, the
// inside-out one and a coarse one: every branch of the stream, compared bit for bit.
TEST(GluMatch, SphereStreamIsLibGlusOwn) {
    const std::vector<SphereCase> cases = {
        {GLU_SMOOTH, true, GLU_OUTSIDE, 4.0, 20, 20},
        {GLU_SMOOTH, false, GLU_OUTSIDE, 4.0, 20, 20},
        {GLU_SMOOTH, true, GLU_INSIDE, 2.5, 7, 5},
        {GLU_NONE, false, GLU_INSIDE, 1.0, 3, 2},
    };
    for (const SphereCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "slices " << c.slices << " stacks " << c.stacks
                                        << " texture " << c.texture);
        const Recorded glu = recordGluSphere(c);
        fixedgl::SphereStyle style;
        style.smoothNormals = c.normals == GLU_SMOOTH;
        style.textureCoords = c.texture;
        style.outside = c.orientation == GLU_OUTSIDE;
        const auto ours = fixedgl::sphereStream(c.radius, c.slices, c.stacks, style);
        ASSERT_EQ(ours.size(), glu.strips.size());
        for (std::size_t p = 0; p < ours.size(); ++p) {
            const GLenum kind =
                ours[p].kind == fixedgl::SphereStrip::QuadStrip ? GL_QUAD_STRIP : GL_TRIANGLE_FAN;
            ASSERT_EQ(kind, glu.begins[p]) << "primitive " << p;
            ASSERT_EQ(ours[p].hasLeadingNormal, glu.leadingNormal[p]) << "primitive " << p;
            ASSERT_EQ(ours[p].vertices.size(), glu.strips[p].size()) << "primitive " << p;
            // The first vertex of a fan takes the leading normal; later ones their own.
            for (std::size_t v = 0; v < ours[p].vertices.size(); ++v) {
                const auto& a = ours[p].vertices[v];
                const auto& b = glu.strips[p][v];
                EXPECT_EQ(a.position, b.position) << "primitive " << p << " vertex " << v;
                if (a.hasNormal) {
                    EXPECT_EQ(a.normal, b.normal) << "primitive " << p << " vertex " << v;
                } else if (v == 0 && ours[p].hasLeadingNormal) {
                    EXPECT_EQ(ours[p].leadingNormal, b.normal) << "primitive " << p;
                }
                EXPECT_EQ(a.hasTexCoord, c.texture);
                if (a.hasTexCoord) {
                    EXPECT_EQ(a.texCoord, b.texCoord) << "primitive " << p << " vertex " << v;
                }
            }
        }
    }
}

// The game's projection and its cameras (follow, orbit, top, heads-up), and a tilted one with
// an up vector that is not upright: the same doubles and floats libGLU hands to GL.
TEST(GluMatch, PerspectiveAndLookAtAreLibGlusOwn) {
    matrices = RecordedMatrices{};
    gluPerspective(55.0, 800.0 / 600.0, 5.0, 6000.0);
    std::array<double, 16> perspective{};
    ASSERT_TRUE(fixedgl::perspectiveMatrix(55.0, 800.0 / 600.0, 5.0, 6000.0, perspective));
    ASSERT_EQ(matrices.doubles.size(), 1u);
    EXPECT_EQ(matrices.doubles[0], perspective);
    EXPECT_FALSE(fixedgl::perspectiveMatrix(55.0, 0.0, 5.0, 6000.0, perspective));

    const std::vector<std::array<double, 9>> cameras = {
        {-417.0, 600, 12.6, -17.0, -300, 12.6, 0, 1, 0},
        {-600.0 + 212.13, 300, 1060.66, 0, 0, 0, 0, 1, 0},
        {-18.0, 600, 12.6, -17.0, -300, 12.6, 0, 1, 0},
        {0, 0, 800, 0, 0, 0, 0, 1, 0},
        {3.5, -2.25, 7.125, 1, 9, -4, 0.3, 0.8, 0.1},
    };
    for (const auto& c : cameras) {
        matrices = RecordedMatrices{};
        gluLookAt(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        const fixedgl::LookAt ours =
            fixedgl::lookAtMatrix(c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], c[8]);
        ASSERT_EQ(matrices.floats.size(), 1u);
        ASSERT_EQ(matrices.translations.size(), 1u);
        EXPECT_EQ(matrices.floats[0], ours.rotation) << "eye " << c[0] << ", " << c[1];
        EXPECT_EQ(matrices.translations[0], ours.translation) << "eye " << c[0] << ", " << c[1];
    }
}

// A picture with no pattern a box filter could hide: every byte a different mix of x, y and
// channel, alpha included.
fixedgl::ImageLevel noisyPicture(int width, int height) {
    fixedgl::ImageLevel base{width, height, {}};
    std::uint32_t seed = 12345;
    for (int i = 0; i < width * height * 4; ++i) {
        seed = seed * 1103515245u + 12345u;
        base.rgba.push_back(static_cast<std::uint8_t>(seed >> 16));
    }
    return base;
}

// Square, wide and tall pictures: the 2 x 2 means and the 1-wide tails of the chain; and
// pictures whose sides are not powers of two, scaled up or down to the nearest ones first.
TEST(GluMatch, MipmapLevelsAreLibGlusOwn) {
    std::vector<std::uint8_t> frame(std::size_t{16} * 16 * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 16, 0, 0, nullptr);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(OSMesaMakeCurrent(context, frame.data(), GL_UNSIGNED_BYTE, 16, 16));
    for (const auto& [width, height] : std::vector<std::pair<int, int>>{{64, 64},
                                                                        {32, 4},
                                                                        {2, 16},
                                                                        {48, 20},
                                                                        {100, 60},
                                                                        {5, 3},
                                                                        {24, 40},
                                                                        {12, 3},
                                                                        {44, 44},
                                                                        {88, 22}}) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        const fixedgl::ImageLevel base = noisyPicture(width, height);
        GLuint texture = 0;
        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        ASSERT_EQ(gluBuild2DMipmaps(GL_TEXTURE_2D, 4, width, height, GL_RGBA, GL_UNSIGNED_BYTE,
                                    base.rgba.data()),
                  0);
        const auto ours = fixedgl::buildMipmapLevels(base);
        for (std::size_t level = 0; level < ours.size(); ++level) {
            GLint w = 0;
            GLint h = 0;
            glGetTexLevelParameteriv(GL_TEXTURE_2D, static_cast<GLint>(level), GL_TEXTURE_WIDTH,
                                     &w);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, static_cast<GLint>(level), GL_TEXTURE_HEIGHT,
                                     &h);
            ASSERT_EQ(w, ours[level].width) << "level " << level;
            ASSERT_EQ(h, ours[level].height) << "level " << level;
            std::vector<std::uint8_t> theirs(static_cast<std::size_t>(w) * h * 4);
            glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA, GL_UNSIGNED_BYTE,
                          theirs.data());
            EXPECT_EQ(theirs, ours[level].rgba) << "level " << level;
        }
        GLint beyond = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, static_cast<GLint>(ours.size()), GL_TEXTURE_WIDTH,
                                 &beyond);
        EXPECT_EQ(beyond, 0) << "libGLU made more levels than ours";
        glDeleteTextures(1, &texture);
    }
    glFinish();
    OSMesaDestroyContext(context);
}

}  // namespace

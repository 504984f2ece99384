// core_test.cpp -- the layer's core natively: assembling, list recording, the batch's choices and
// the modes it refuses, through the gl* calls and a backend that records what it is asked.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

#include "fixedgl/assemble.h"
#include "fixedgl/state.h"
#include "recording_backend.h"

namespace {

using fixedgl::Vertex;
using fixedgl::backend::Primitive;
using recording::record;

std::vector<Vertex> numbered(int count) {
    std::vector<Vertex> vertices(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        vertices[static_cast<std::size_t>(i)].position = {static_cast<float>(i), 0, 0};
    }
    return vertices;
}

std::vector<int> numbersOf(const std::vector<Vertex>& vertices) {
    std::vector<int> numbers;
    for (const Vertex& v : vertices) {
        numbers.push_back(static_cast<int>(v.position[0]));
    }
    return numbers;
}

struct AssembleCase {
    GLenum mode;
    int count;
    std::vector<int> triangles, lines;
};

// Mesa's splits: fans from the first vertex, quad strips across the first-to-last diagonal, odd
// strip triangles turned round, and what is left over dropped.
TEST(FixedglCore, AssemblesAsMesaSplits) {
    const std::vector<AssembleCase> cases = {
        {GL_TRIANGLES, 7, {0, 1, 2, 3, 4, 5}, {}},
        {GL_TRIANGLE_STRIP, 5, {0, 1, 2, 2, 1, 3, 2, 3, 4}, {}},
        {GL_TRIANGLE_FAN, 5, {0, 1, 2, 0, 2, 3, 0, 3, 4}, {}},
        {GL_POLYGON, 4, {0, 1, 2, 0, 2, 3}, {}},
        {GL_QUADS, 9, {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}, {}},
        {GL_QUAD_STRIP, 6, {0, 1, 3, 0, 3, 2, 2, 3, 5, 2, 5, 4}, {}},
        {GL_LINES, 5, {}, {0, 1, 2, 3}},
        {GL_LINE_STRIP, 3, {}, {0, 1, 1, 2}},
        {GL_LINE_LOOP, 3, {}, {0, 1, 1, 2, 2, 0}},
        {GL_LINE_LOOP, 2, {}, {0, 1}},
    };
    for (const AssembleCase& c : cases) {
        std::vector<Vertex> triangles, lines;
        fixedgl::assemble(c.mode, numbered(c.count), triangles, lines);
        EXPECT_EQ(numbersOf(triangles), c.triangles) << "mode " << c.mode;
        EXPECT_EQ(numbersOf(lines), c.lines) << "mode " << c.mode;
    }
}

void square(float size) {
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glVertex3f(0, 0, 0);
    glVertex3f(size, 0, 0);
    glVertex3f(size, size, 0);
    glVertex3f(0, size, 0);
    glEnd();
}

// A list big enough to be drawn from its own buffers, as the sphere is.
GLuint sphereList() {
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricTexture(quadric, GL_TRUE);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    gluSphere(quadric, 4, 20, 20);
    glEndList();
    gluDeleteQuadric(quadric);
    return list;
}

class FixedglBatch : public ::testing::Test {
protected:
    void SetUp() override { recording::start(); }
};

TEST_F(FixedglBatch, PrimitivesUnderOneMatrixStayInObjectSpace) {
    glTranslatef(5, 0, 0);
    square(1);
    square(2);
    glFlush();
    ASSERT_EQ(record().draws.size(), 1u);
    const auto& draw = record().draws[0];
    EXPECT_EQ(draw.vertices.size(), 12u);
    EXPECT_EQ(draw.draw.modelView[12], 5.0f);
    EXPECT_EQ(draw.vertices[1].position[0], 1.0f);
}

// The second square under a scale of 3 joins the first: both go to eye space, the normal by
// the inverse's transpose and left unnormalised, as GL_NORMALIZE off leaves it.
TEST_F(FixedglBatch, PrimitivesUnderManyMatricesGoToEyeSpace) {
    glTranslatef(5, 0, 0);
    square(1);
    glScalef(3, 3, 3);
    square(1);
    glFlush();
    ASSERT_EQ(record().draws.size(), 1u);
    const auto& draw = record().draws[0];
    EXPECT_EQ(draw.draw.modelView, fixedgl::identityMatrix());
    ASSERT_EQ(draw.vertices.size(), 12u);
    EXPECT_FLOAT_EQ(draw.vertices[1].position[0], 6.0f);
    EXPECT_FLOAT_EQ(draw.vertices[7].position[0], 8.0f);
    EXPECT_FLOAT_EQ(draw.vertices[7].normal[2], 1.0f / 3.0f);
}

struct Interruption {
    const char* what;
    void (*between)();
    std::size_t draws;
};

// What keeps two squares apart, and what does not.
TEST_F(FixedglBatch, StateChangesSplitAndMatricesDoNot) {
    const std::vector<Interruption> cases = {
        {"a translation", [] { glTranslatef(1, 2, 3); }, 1},
        {"a push and pop",
         [] {
             glPushMatrix();
             glRotatef(30, 0, 0, 1);
             glPopMatrix();
         },
         1},
        {"a texture", [] { glBindTexture(GL_TEXTURE_2D, 7); }, 2},
        {"lighting", [] { glEnable(GL_LIGHTING); }, 2},
        {"culling", [] { glEnable(GL_CULL_FACE); }, 2},
        {"a projection",
         [] {
             glMatrixMode(GL_PROJECTION);
             glOrtho(0, 1, 0, 1, -1, 1);
         },
         2},
        {"lines between",
         [] {
             glBegin(GL_LINES);
             glVertex3f(0, 0, 0);
             glVertex3f(1, 1, 1);
             glEnd();
         },
         3},
        {"a clear", [] { glClear(GL_COLOR_BUFFER_BIT); }, 2},
        {"a projective model-view", [] { gluPerspective(55, 1, 1, 10); }, 2},
    };
    for (const Interruption& c : cases) {
        recording::start();
        glEnable(GL_TEXTURE_2D);
        const std::uint8_t white[4] = {255, 255, 255, 255};
        for (GLuint name : {0u, 7u}) {
            glBindTexture(GL_TEXTURE_2D, name);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, white);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        square(1);
        c.between();
        square(1);
        glFlush();
        EXPECT_EQ(record().draws.size(), c.draws) << c.what;
    }
}

// One list under many matrices is one instanced draw; each instance takes the current colour
// (the sphere sets none) and the rows of its model-view. Colour material leaves the state alike.
TEST_F(FixedglBatch, OneListUnderManyMatricesIsOneInstancedDraw) {
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    const GLuint sphere = sphereList();
    glScalef(3, 3, 3);
    auto drawSnake = [sphere] {
        for (int i = 0; i < 5; ++i) {
            glPushMatrix();
            glTranslatef(static_cast<float>(i) * 10, 0, 0);
            glColor3f(i == 4 ? 1.0f : 0.5f, 0.5f, 0.5f);
            glCallList(sphere);
            glPopMatrix();
        }
        glFlush();
    };
    drawSnake();
    const int made = record().buffersMade;
    EXPECT_EQ(made, 2);  // the list's vertices and indices, on its first call
    drawSnake();
    EXPECT_EQ(record().buffersMade, made);
    ASSERT_EQ(record().draws.size(), 2u);
    const auto& draw = record().draws[1];
    EXPECT_EQ(draw.draw.source.count, 20 * 20 * 6);  // 20 bands of 20 quads, indexed
    EXPECT_NE(draw.draw.source.indexBuffer, 0u);
    EXPECT_FALSE(draw.draw.source.hasColour);
    ASSERT_EQ(draw.instances.size(), 5u);
    EXPECT_EQ(draw.instances[3].rows[0][3], 90.0f);  // 3 x (3 x 10) along X
    EXPECT_EQ(draw.instances[3].rows[0][0], 3.0f);
    EXPECT_EQ(draw.instances[4].colour[0], 1.0f);
    EXPECT_EQ(draw.instances[3].colour[0], 0.5f);
}

// A list stretch as small as a glyph joins the vertices around it; a list that sets a colour
// leaves it current, and one that sets none draws in the current one.
TEST_F(FixedglBatch, SmallListsJoinTheVertices) {
    const GLuint base = glGenLists(2);
    glNewList(base, GL_COMPILE);
    square(1);
    glTranslatef(10, 0, 0);
    glEndList();
    glNewList(base + 1, GL_COMPILE);
    glColor3f(0, 0, 1);
    square(1);
    glEndList();
    glColor3f(1, 0, 0);
    const GLubyte calls[] = {0, 0, 1, 0};
    glListBase(base);
    glCallLists(4, GL_UNSIGNED_BYTE, calls);
    glFlush();
    ASSERT_EQ(record().draws.size(), 1u);
    const auto& v = record().draws[0].vertices;
    ASSERT_EQ(v.size(), 24u);
    EXPECT_EQ(v[0].colour, (fixedgl::Vec4{1, 0, 0, 1}));
    EXPECT_EQ(v[12].colour, (fixedgl::Vec4{0, 0, 1, 1}));
    EXPECT_EQ(v[18].colour, (fixedgl::Vec4{0, 0, 1, 1}));
    EXPECT_FLOAT_EQ(v[18].position[0], 20.0f);  // after two steps of 10
}

// Compiling draws nothing; GL_COMPILE_AND_EXECUTE draws the list once it is complete, and a
// list that calls another runs it with the base at the time it runs.
TEST_F(FixedglBatch, ListsRecordAndRunWhenCalled) {
    const GLuint list = glGenLists(2);
    glNewList(list, GL_COMPILE);
    square(1);
    glEndList();
    glFlush();
    EXPECT_TRUE(record().draws.empty());
    glNewList(list + 1, GL_COMPILE_AND_EXECUTE);
    glBindTexture(GL_TEXTURE_2D, 3);
    glCallList(list);
    EXPECT_TRUE(record().draws.empty());
    glEndList();
    glFlush();
    ASSERT_EQ(record().draws.size(), 1u);
    EXPECT_EQ(record().draws[0].vertices.size(), 6u);
    EXPECT_EQ(fixedgl::state().boundTexture, 3u);
}

struct Refusal {
    const char* call;
    void (*make)();
    GLenum error;
};

// Modes the layer does not draw are refused rather than ignored; switches that change nothing
// it draws, and the off state of those it cannot draw, are accepted.
TEST_F(FixedglBatch, RefusesWhatItDoesNotDraw) {
    const std::vector<Refusal> cases = {
        {"glBegin(GL_POINTS)", [] { glBegin(GL_POINTS); }, GL_INVALID_ENUM},
        {"glShadeModel(GL_FLAT)", [] { glShadeModel(GL_FLAT); }, GL_INVALID_ENUM},
        {"glEnable(GL_NORMALIZE)", [] { glEnable(GL_NORMALIZE); }, GL_INVALID_ENUM},
        {"glEnable(GL_LIGHT1)", [] { glEnable(GL_LIGHT1); }, GL_INVALID_ENUM},
        {"glLightf(GL_LIGHT1, ...)", [] { glLightf(GL_LIGHT1, GL_SPOT_EXPONENT, 1); },
         GL_INVALID_ENUM},
        {"glMatrixMode(GL_TEXTURE)", [] { glMatrixMode(0x1702); }, GL_INVALID_ENUM},
        {"a spot cutoff of 190", [] { glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 190); },
         GL_INVALID_VALUE},
        {"glShadeModel(GL_SMOOTH)", [] { glShadeModel(GL_SMOOTH); }, GL_NO_ERROR},
        {"glDisable(GL_NORMALIZE)", [] { glDisable(GL_NORMALIZE); }, GL_NO_ERROR},
        {"glEnable(GL_POLYGON_SMOOTH)", [] { glEnable(GL_POLYGON_SMOOTH); }, GL_NO_ERROR},
        {"glEnable(GL_POINT_SMOOTH)", [] { glEnable(GL_POINT_SMOOTH); }, GL_NO_ERROR},
    };
    for (const Refusal& c : cases) {
        c.make();
        EXPECT_EQ(glGetError(), c.error) << c.call;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << c.call;
    }
    EXPECT_EQ(fixedgl::state().light.spotCutoff, 180.0f);
}

}  // namespace

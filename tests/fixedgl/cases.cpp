// cases.cpp -- small scenes in plain GL 1.x and GLU, drawn by OSMesa and by the WebGL layer.
//
// Each case aims at one way the layer could part from the desktop's GL; the comparison script
// says which case differs and by how much.
#include "cases.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>

#include "assets/font.h"
#include "assets/textures.h"

namespace cases {

namespace {

struct Loaded {
    GLuint body = 0, heart = 0, grid = 0, box = 0;
};
Loaded loaded;

// Every case starts from the same state, whatever the one before it left.
void freshState(int width, int height) {
    glViewport(0, 0, width, height);
    glClearColor(0.1f, 0.15f, 0.2f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_COLOR_MATERIAL, GL_TEXTURE_2D, GL_FOG,
                       GL_ALPHA_TEST, GL_BLEND, GL_CULL_FACE, GL_LINE_SMOOTH}) {
        glDisable(cap);
    }
    glEnable(GL_DEPTH_TEST);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(55.0, static_cast<double>(width) / height, 5.0, 6000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
}

GLUquadric* sphereQuadric(bool textured) {
    static GLUquadric* plain = nullptr;
    static GLUquadric* withTexture = nullptr;
    GLUquadric*& q = textured ? withTexture : plain;
    if (q == nullptr) {
        q = gluNewQuadric();
        gluQuadricDrawStyle(q, GLU_FILL);
        gluQuadricNormals(q, GLU_SMOOTH);
        gluQuadricTexture(q, textured ? GL_TRUE : GL_FALSE);
    }
    return q;
}

void quad(float x0, float y0, float x1, float y1, float z) {
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    glTexCoord2f(0, 0);
    glVertex3f(x0, y0, z);
    glTexCoord2f(1, 0);
    glVertex3f(x1, y0, z);
    glTexCoord2f(1, 1);
    glVertex3f(x1, y1, z);
    glTexCoord2f(0, 1);
    glVertex3f(x0, y1, z);
    glEnd();
}

// A positional spotlight with attenuation and a bright, tight highlight seen by a local
// viewer: the spot's edge, the fall-off and the half vector are all in view. The cutoff of
// 190 that follows the real one is rejected and must leave 30 in place.
void positionalSpot() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const std::array<GLfloat, 4> position{40, 60, -120, 1};
    const std::array<GLfloat, 3> direction{-0.3f, -0.5f, -1};
    const std::array<GLfloat, 4> white{1, 1, 1, 1};
    const std::array<GLfloat, 4> dim{0.1f, 0.1f, 0.1f, 1};
    const std::array<GLfloat, 4> shine{0.8f, 0.8f, 0.8f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position.data());
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction.data());
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 30);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 190);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 6);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0.004f);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white.data());
    glLightfv(GL_LIGHT0, GL_AMBIENT, dim.data());
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glMaterialfv(GL_FRONT, GL_SPECULAR, shine.data());
    glMaterialf(GL_FRONT, GL_SHININESS, 20);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glColor3f(0.9f, 0.6f, 0.3f);
    // A wall of fine quads behind, so that the spot's circle shows in it.
    glBegin(GL_QUADS);
    glNormal3f(0, 0, 1);
    for (int y = -80; y < 80; y += 4) {
        for (int x = -120; x < 120; x += 4) {
            glVertex3f(x, y, -220);
            glVertex3f(x + 4, y, -220);
            glVertex3f(x + 4, y + 4, -220);
            glVertex3f(x, y + 4, -220);
        }
    }
    glEnd();
    // A sphere on the spot's axis, its highlight and its rim in the cone.
    glTranslatef(22, 30, -180);
    glColor3f(0.4f, 0.8f, 1.0f);
    gluSphere(sphereQuadric(false), 20, 24, 16);
}

// The game's own light: default position, rejected cutoff, local viewer, two sides, colour
// material and the faint specular; spheres under a scale of 3 without GL_NORMALIZE, from a
// display list (one instanced draw in the layer), textured and coloured 255.
void gameLight() {
    glEnable(GL_LIGHTING);
    const std::array<GLfloat, 4> ambient{0.2f, 0.2f, 0.2f, 1};
    const std::array<GLfloat, 4> diffuse{1, 1, 1, 1};
    const std::array<GLfloat, 3> direction{0, 0, -1};
    const std::array<GLfloat, 4> specular{0.01f, 0.01f, 0.01f, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient.data());
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse.data());
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 190);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 1);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction.data());
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular.data());
    glMaterialf(GL_FRONT, GL_SHININESS, 10);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    static GLuint sphere = 0;
    if (sphere == 0) {
        sphere = glGenLists(1);
        glNewList(sphere, GL_COMPILE);
        gluSphere(sphereQuadric(true), 4, 20, 20);
        glEndList();
    }
    glBindTexture(GL_TEXTURE_2D, loaded.body);
    glTranslatef(0, 0, -150);
    glScalef(3, 3, 3);
    const std::array<std::array<float, 3>, 4> colours{
        {{0.8f, 0.8f, 0.8f}, {255, 0.5f, 0.5f}, {0.5f, 0.5f, 255}, {255, 255, 0}}};
    for (int i = 0; i < 4; ++i) {
        glPushMatrix();
        glTranslatef(-15.0f + 10.0f * i, (i % 2) * 6.0f - 3.0f, 0);
        glColor3f(colours[i][0], colours[i][1], colours[i][2]);
        glCallList(sphere);
        glPopMatrix();
    }
    // Mirrored, the sphere's near faces wind clockwise and are culled: its inside shows, in a
    // colour bright enough to tell from the background.
    glTranslatef(0, -12, 0);
    glScalef(-1, 1, 1);
    glColor3f(255, 255, 255);
    glCallList(sphere);
}

// One list turned and stretched differently each time, lit head-on in white: each drawing's
// normals go by another inverse transpose, unnormalised (so the stretches stay near 1), and the
// layer draws them all at once.
void turnedLists() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const std::array<GLfloat, 4> headOn{0, 0, 1, 0};
    const std::array<GLfloat, 4> white{1, 1, 1, 1};
    const std::array<GLfloat, 4> dim{0.1f, 0.1f, 0.1f, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, headOn.data());
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white.data());
    glLightfv(GL_LIGHT0, GL_AMBIENT, dim.data());
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_CULL_FACE);
    static GLuint sphere = 0;
    if (sphere == 0) {
        sphere = glGenLists(1);
        glNewList(sphere, GL_COMPILE);
        gluSphere(sphereQuadric(false), 11, 24, 16);
        glEndList();
    }
    glTranslatef(0, 0, -150);
    for (int i = 0; i < 6; ++i) {
        glPushMatrix();
        glTranslatef(-50.0f + 20.0f * i, i % 2 == 0 ? 18.0f : -18.0f, 0);
        glRotatef(35.0f * i, 1, i % 2 == 0 ? 1.0f : -1.0f, 0.5f);
        glScalef(1, 1.0f - 0.12f * i, 0.8f + 0.1f * i);
        glColor3f(0.6f + 0.07f * i, 0.8f, 1.0f - 0.1f * i);
        glCallList(sphere);
        glPopMatrix();
    }
}

// An open band seen from inside and out with culling off: the back faces take the default
// back material, lit from the reversed normal, while colour material serves the front only.
void twoSided() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const std::array<GLfloat, 4> position{0, 0, 1, 0};
    glLightfv(GL_LIGHT0, GL_POSITION, position.data());
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    const std::array<GLfloat, 4> backDiffuse{0.2f, 0.9f, 0.3f, 1};
    glMaterialfv(GL_BACK, GL_DIFFUSE, backDiffuse.data());
    glColor3f(0.9f, 0.3f, 0.3f);
    glTranslatef(0, 10, -160);
    glRotatef(35, 1, 0, 0);
    glRotatef(20, 0, 1, 0);
    glBegin(GL_QUAD_STRIP);
    constexpr int kSteps = 24;
    for (int i = 0; i <= kSteps; ++i) {
        const float a = 3.14159265f * 1.5f * i / kSteps;
        const float x = 50 * std::cos(a);
        const float z = 50 * std::sin(a);
        glNormal3f(x / 50, 0, z / 50);
        glVertex3f(x, 30, z);
        glVertex3f(x, -30, z);
    }
    glEnd();
}

// Linear fog over a receding textured floor, exponential fog on a second strip, the
// squared exponential on a third.
void fog() {
    glEnable(GL_FOG);
    const std::array<GLfloat, 4> colour{0.7f, 0.75f, 0.8f, 1};
    glFogfv(GL_FOG_COLOR, colour.data());
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, loaded.box);
    const std::array<GLenum, 3> modes{GL_LINEAR, GL_EXP, GL_EXP2};
    for (int m = 0; m < 3; ++m) {
        glFogf(GL_FOG_MODE, static_cast<GLfloat>(modes[m]));
        glFogf(GL_FOG_START, 50);
        glFogf(GL_FOG_END, 900);
        glFogf(GL_FOG_DENSITY, m == 1 ? 0.004f : 0.003f);
        glBegin(GL_QUADS);
        for (int z = 0; z < 10; ++z) {
            const float x0 = -90.0f + 60.0f * m;
            const float near = -20.0f - 90.0f * z;
            glTexCoord2f(0, 0);
            glVertex3f(x0, -40, near);
            glTexCoord2f(1, 0);
            glVertex3f(x0 + 55, -40, near);
            glTexCoord2f(1, 1);
            glVertex3f(x0 + 55, -40, near - 90);
            glTexCoord2f(0, 1);
            glVertex3f(x0, -40, near - 90);
        }
        glEnd();
    }
}

// The heart's black surround fails GL_GREATER 0 and leaves what is behind; a translucent
// square blends over it; a gradient cut at alpha 0.5 by GL_LESS.
void alphaTest() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glColor3f(0.2f, 0.6f, 0.2f);
    quad(0, 0, 320, 120, -0.5f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    glBindTexture(GL_TEXTURE_2D, loaded.heart);
    glColor3f(255, 50, 50);  // clamped to white
    quad(20, 40, 140, 160, 0);
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.9f, 0.9f, 0.1f, 0.5f);
    quad(100, 20, 200, 120, 0.2f);
    glAlphaFunc(GL_LESS, 0.5f);
    glBegin(GL_QUADS);
    glColor4f(1, 0.3f, 0.8f, 0);
    glVertex3f(210, 30, 0);
    glColor4f(1, 0.3f, 0.8f, 1);
    glVertex3f(310, 30, 0);
    glVertex3f(310, 210, 0);
    glColor4f(1, 0.3f, 0.8f, 0);
    glVertex3f(210, 210, 0);
    glEnd();
}

// Lists within lists through glCallLists and a base, each moving the matrix; a list that sets
// no colour draws in the current one, and one that sets a colour leaves it current.
void lists() {
    static GLuint base = 0;
    if (base == 0) {
        base = glGenLists(4);
        glNewList(base, GL_COMPILE);  // a square in whatever colour is current, then a step
        glBegin(GL_POLYGON);
        glVertex2i(0, 0);
        glVertex2i(20, 0);
        glVertex2i(20, 20);
        glVertex2i(0, 20);
        glEnd();
        glTranslated(30, 0, 0);
        glEndList();
        glNewList(base + 1, GL_COMPILE);  // sets a colour, draws a triangle, steps up
        glColor3f(0.2f, 0.4f, 1.0f);
        glBegin(GL_TRIANGLES);
        glVertex2i(0, 0);
        glVertex2i(20, 0);
        glVertex2i(10, 20);
        glEnd();
        glTranslatef(0, 25, 0);
        glEndList();
        glNewList(base + 2, GL_COMPILE);  // both, through glCallList inside a list
        glCallList(base);
        glCallList(base + 1);
        glEndList();
    }
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(10, 10, 0);
    glColor3f(1, 0.5f, 0);
    glListBase(base);
    const std::array<GLubyte, 6> calls{0, 0, 2, 1, 0, 3};  // 3 holds nothing
    glCallLists(static_cast<GLsizei>(calls.size()), GL_UNSIGNED_BYTE, calls.data());
    glCallList(base);  // after list 1, the current colour is its blue
    glLoadIdentity();
    glTranslatef(10, 150, 0);
    glColor3f(0.9f, 0.9f, 0.9f);
    glCallList(base + 2);
    glCallList(base + 2);
}

// The game's floor: smooth lines, textured from the current texture coordinate, lit, in
// perspective, some crossing the near plane.
void smoothLines() {
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, loaded.grid);
    glNormal3f(0, -1, 0);
    glTexCoord2f(0, 1);
    gluLookAt(-60, 40, 10, 30, -40, 0, 0, 1, 0);
    glTranslatef(-400, -100, -400);
    glColor3f(0, 0, 255);
    glScalef(35, 10, 35);
    for (int i = 0; i <= 26; ++i) {
        glBegin(GL_LINES);
        glVertex3f(i, 0, 0);
        glVertex3f(i, 0, 26);
        glEnd();
        glBegin(GL_LINES);
        glVertex3f(0, 0, i);
        glVertex3f(26, 0, i);
        glEnd();
    }
}

// The HUD's text through the font's lists, with its state: culling on, under glOrtho.
void font() {
    glColor3f(0.5f, 0.3f, 0.1f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    quad(0, 0, 320, 240, -0.5f);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(55.0, 320.0 / 240.0, 5.0, 6000.0);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0);
    glEnable(GL_CULL_FACE);
    glColor3f(255, 50, 50);
    assets::drawText(10, 440, "POINTS:", 0);
    assets::drawText(100, 440, "127581", 0);
    assets::drawText(200, 250, "GAME OVER!!!", 0);
    assets::drawText(20, 100, "Vantorix 0123456789", 0);
}

constexpr std::array<Case, 9> kCases = {{
    {"positional_spot", positionalSpot},
    {"game_light", gameLight},
    {"turned_lists", turnedLists},
    {"two_sided", twoSided},
    {"fog", fog},
    {"alpha_test", alphaTest},
    {"lists", lists},
    {"smooth_lines", smoothLines},
    {"font", font},
}};

}  // namespace

void prepare() {
    assets::buildFont();
    assets::createTexture("textures/body.bmp", &loaded.body);
    assets::createTexture("textures/heart.bmp", &loaded.heart);
    assets::createTexture("textures/blueC.bmp", &loaded.grid);
    assets::createTexture("textures/box.bmp", &loaded.box);
    assets::createTexture("textures/czcionka2.bmp", &assets::textures.texFont);
}

int count() {
    return static_cast<int>(kCases.size());
}

const Case& at(int index) {
    return kCases[static_cast<std::size_t>(index)];
}

void draw(int index) {
    freshState(kWidth, kHeight);
    kCases[static_cast<std::size_t>(index)].draw();
    glFinish();
}

}  // namespace cases

// scene.cpp -- the fixed-function render state, set once before the first frame.
#include "render/scene.h"

#include <GL/gl.h>

#include <array>

#include "assets/font.h"
#include "assets/textures.h"
#include "game/world.h"

namespace render {

GLUquadric* sphereQuadric = nullptr;
GLuint sphereList = 0;

namespace {

// Outside the accepted range (0..90 and 180): GL rejects it and light 0 stays a plain
// directional light with cutoff 180. Kept so that the call sequence stays as designed.
constexpr GLfloat kRejectedSpotCutoff = 190.0f;
// With exponential-squared fog, a density of 0 gives a fog factor of 1 everywhere: fog is
// on but changes no colour.
constexpr GLfloat kFogDensity = 0.0f;
constexpr GLfloat kFogStart = 10.0f;
constexpr GLfloat kFogEnd = 1000.0f;
constexpr GLfloat kShininess = 10.0f;

constexpr std::array<GLfloat, 4> kLightAmbient{0.2f, 0.2f, 0.2f, 1.0f};
constexpr std::array<GLfloat, 4> kLightDiffuse{1.0f, 1.0f, 1.0f, 1.0f};
constexpr std::array<GLfloat, 3> kSpotDirection{0.0f, 0.0f, -1.0f};
constexpr std::array<GLfloat, 4> kMaterialSpecular{0.01f, 0.01f, 0.01f, 1.0f};
constexpr std::array<GLfloat, 4> kFogColour{1.0f, 1.0f, 1.0f, 1.0f};

void setFixedState() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CCW);
    glEnable(GL_POLYGON_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_POINT_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    // Only the HUD switches the alpha test on; the function is set once here.
    glAlphaFunc(GL_GREATER, 0.0f);
    glEnable(GL_LIGHTING);
}

void setLightAndMaterial() {
    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient.data());
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse.data());
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, kRejectedSpotCutoff);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 1.0f);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, kSpotDirection.data());
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, 1);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    // Light 0 keeps its default position (0, 0, 1, 0): it shines along the line of sight
    // of whatever camera is in use.
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kMaterialSpecular.data());
    glMaterialf(GL_FRONT, GL_SHININESS, kShininess);
}

void setFog() {
    glEnable(GL_FOG);
    glFogfv(GL_FOG_COLOR, kFogColour.data());
    glFogf(GL_FOG_MODE, static_cast<GLfloat>(GL_EXP2));
    glFogf(GL_FOG_START, kFogStart);
    glFogf(GL_FOG_END, kFogEnd);
    glFogf(GL_FOG_DENSITY, kFogDensity);
}

void createSphereQuadric() {
    // The game starts up once; a second start-up in the same process (tests, tools) reuses
    // the slot instead of losing the previous quadric.
    if (sphereQuadric != nullptr) {
        gluDeleteQuadric(sphereQuadric);
    }
    sphereQuadric = gluNewQuadric();
    if (sphereQuadric == nullptr) {
        return;  // out of memory: spheres are skipped, see drawSphere
    }
    gluQuadricDrawStyle(sphereQuadric, GLU_FILL);
    gluQuadricNormals(sphereQuadric, GLU_SMOOTH);
    gluQuadricTexture(sphereQuadric, GL_TRUE);
}

// GLU's own sphere, recorded once: every sphere drawn later is the same vertices, normals and
// texture coordinates in the same strips, without GLU's sines and cosines and its 2,560 GL calls
// for each. Compiling draws nothing and leaves the current normal and texture coordinate alone.
// A second start-up (tests, tools) records a new list and leaves the old name be: it may belong
// to an earlier context, and deleting it in this one could delete another part's list.
void compileSphere() {
    sphereList = 0;
    if (sphereQuadric == nullptr) {
        return;
    }
    const GLuint list = glGenLists(1);
    if (list == 0) {
        return;  // no list to be had: drawSphere asks GLU for every sphere
    }
    glNewList(list, GL_COMPILE);
    gluSphere(sphereQuadric, kSphereRadius, kSphereSlices, kSphereStacks);
    glEndList();
    sphereList = list;
}

template <typename SetupWorld>
void runStartUp(SetupWorld setupWorld) {
    setFixedState();
    assets::buildFont();
    setupWorld();
    setLightAndMaterial();
    glEnable(GL_TEXTURE_2D);
    assets::loadTextures();
    setFog();
    createSphereQuadric();
    compileSphere();
}

}  // namespace

void initScene() {
    runStartUp([] { game::setupWorld(); });
}

void initSceneWithSeed(unsigned seed) {
    runStartUp([seed] { game::setupWorldWithSeed(seed); });
}

}  // namespace render

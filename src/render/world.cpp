// world.cpp -- the 3D scene of one frame, with the game tick run between floor and objects.
#include "render/world.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "assets/textures.h"
#include "game/state.h"
#include "game/tick.h"
#include "render/scene.h"

namespace render {

namespace {

// Obstacles, food and snake are drawn at three world units per game unit.
constexpr GLfloat kWorldScale = 3.0f;
// Colours go to GL as the game has always passed them: 255 saturates after clamping.
constexpr GLfloat kFull = 255.0f;
constexpr GLfloat kHalf = 0.5f;
constexpr GLfloat kSnakeGrey = 0.8f;

constexpr GLfloat kFloorCorner = -400.0f;
constexpr GLfloat kFloorHeight = -100.0f;
constexpr GLfloat kFloorCell = 35.0f;
constexpr GLfloat kFloorCellHeight = 10.0f;
constexpr int kGridCells = 26;

constexpr GLfloat kObstacleBase = -33.0f;
constexpr GLfloat kObstacleSize = 13.0f;
constexpr GLfloat kFoodHeight = -30.0f;
constexpr float kSnakeDrawDrop = 30.0f;  // drawn height = snakeYOffset - this

constexpr GLfloat kBackdropX = 2000.0f;
constexpr GLfloat kBackdropY = -2000.0f;
constexpr GLfloat kBackdropZ = -100.0f;
constexpr GLfloat kBackdropSize = 0.1f;

// Food colour classes: three bands of three, and class 9 keeps the current colour.
constexpr float kClassBandRed = 3.0f;
constexpr float kClassBandBlue = 6.0f;
constexpr float kClassBandYellow = 9.0f;

void drawFloor() {
    glPushMatrix();
    glTranslatef(kFloorCorner, kFloorHeight, kFloorCorner);
    glColor3f(0.0f, 0.0f, kFull);
    glBindTexture(GL_TEXTURE_2D, assets::textures.texGrid);
    glScalef(kFloorCell, kFloorCellHeight, kFloorCell);
    drawGrid();
    glPopMatrix();
}

void drawObstacles() {
    const auto& state = game::state;
    glColor3f(kFull, kFull, kFull);
    glBindTexture(GL_TEXTURE_2D, assets::textures.texBox);
    // The count is a float; the arrays' own size bounds the loop as well.
    const int stored = static_cast<int>(std::min(state.obstacleX.size(), state.obstacleZ.size()));
    for (int i = 0; static_cast<float>(i) < state.obstacleCount && i < stored; ++i) {
        glPushMatrix();
        glScalef(kWorldScale, kWorldScale, kWorldScale);
        glTranslatef(state.obstacleX[i], kObstacleBase, state.obstacleZ[i]);
        glScalef(kObstacleSize, kObstacleSize, kObstacleSize);
        drawBox(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
        glPopMatrix();
    }
}

// The three bands are tested separately; a class outside them sets no colour at all.
void setFoodColour(float colourClass) {
    if (colourClass >= 0.0f && colourClass < kClassBandRed) {
        glColor3f(kFull, kHalf, kHalf);
    }
    if (colourClass >= kClassBandRed && colourClass < kClassBandBlue) {
        glColor3f(kHalf, kHalf, kFull);
    }
    if (colourClass >= kClassBandBlue && colourClass < kClassBandYellow) {
        glColor3f(kFull, kFull, 0.0f);
    }
}

// No texture is bound here: the food wears the crate texture left by the obstacles.
void drawFood() {
    const auto& state = game::state;
    const auto item = static_cast<std::size_t>(state.foodIndex);
    // Past the end of the food list there is no item to show (and none to read).
    if (state.foodIndex < 0 || item >= state.foodX.size() || item >= state.foodZ.size() ||
        item >= state.foodColour.size()) {
        return;
    }
    glPushMatrix();
    setFoodColour(state.foodColour[item]);
    glScalef(kWorldScale, kWorldScale, kWorldScale);
    glTranslatef(state.foodX[item], kFoodHeight, state.foodZ[item]);
    glScalef(1.0f, 1.0f, 1.0f);
    drawSphere(0, 0, 0);
    glPopMatrix();
}

// The hidden tail is neither drawn nor tested; positions snap toward zero to whole units.
void drawSnake() {
    const auto& state = game::state;
    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, assets::textures.texBody);
    glScalef(kWorldScale, kWorldScale, kWorldScale);
    glColor3f(kSnakeGrey, kSnakeGrey, kSnakeGrey);
    const int y = static_cast<int>(state.snakeYOffset - kSnakeDrawDrop);
    const float visible = state.snakeLength - static_cast<float>(game::kHiddenTail);
    for (int j = 0; static_cast<float>(j) < visible && j < game::kSnakeCapacity; ++j) {
        drawSphere(static_cast<int>(state.snakeX[j]), y, static_cast<int>(state.snakeZ[j]));
    }
    glPopMatrix();
}

void drawBackdrop() {
    glPushMatrix();
    glColor3f(kFull, kFull, kFull);
    glBindTexture(GL_TEXTURE_2D, assets::textures.texBackdrop);
    glTranslatef(kBackdropX, kBackdropY, kBackdropZ);
    glScalef(kBackdropSize, kBackdropSize, kBackdropSize);
    if (game::state.showBackdrop) {
        drawBox(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
    }
    glPopMatrix();
}

struct FaceVertex {
    GLfloat x, y, z;
    GLfloat sShare, tShare;  // the texture coordinate is (sShare * s, tShare * t)
};

struct Face {
    GLfloat nx, ny, nz;
    FaceVertex v[4];
};

// Every face winds counter-clockwise seen from outside. The x = 0 face walks its corners
// the other way round the texture, so there t runs along +Y and s along -Z.
// clang-format off
constexpr Face kBoxFaces[6] = {
    {0, 0, 1,  {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {1, 1, 0, 1, 1}, {0, 1, 0, 0, 1}}},
    {1, 0, 0,  {{1, 0, 0, 0, 0}, {1, 0, -1, 1, 0}, {1, 1, -1, 1, 1}, {1, 1, 0, 0, 1}}},
    {0, 1, 0,  {{0, 1, 0, 0, 0}, {1, 1, 0, 1, 0}, {1, 1, -1, 1, 1}, {0, 1, -1, 0, 1}}},
    {-1, 0, 0, {{0, 0, 0, 0, 0}, {0, 1, 0, 0, 1}, {0, 1, -1, 1, 1}, {0, 0, -1, 1, 0}}},
    {0, 0, -1, {{1, 0, -1, 0, 0}, {0, 0, -1, 1, 0}, {0, 1, -1, 1, 1}, {1, 1, -1, 0, 1}}},
    {0, -1, 0, {{1, 0, 0, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, -1, 1, 1}, {1, 0, -1, 0, 1}}},
};
// clang-format on

constexpr GLfloat kBoxFrontShift = 0.6f;

}  // namespace

void drawWorld() {
    drawFloor();
    game::advanceTick();
    drawObstacles();
    drawFood();
    drawSnake();
    drawBackdrop();
}

void drawBox(float x, float y, float z, float s, float t) {
    glPushMatrix();
    glTranslatef(x, y, z);
    glTranslatef(0.0f, 0.0f, kBoxFrontShift);
    for (const Face& face : kBoxFaces) {
        glBegin(GL_POLYGON);
        glNormal3f(face.nx, face.ny, face.nz);
        for (const FaceVertex& v : face.v) {
            glTexCoord2f(v.sShare * s, v.tShare * t);
            glVertex3f(v.x, v.y, v.z);
        }
        glEnd();
    }
    glPopMatrix();
}

void drawGrid() {
    const auto far = static_cast<GLfloat>(kGridCells);
    for (int i = 0; i <= kGridCells; ++i) {
        const auto at = static_cast<GLfloat>(i);
        glBegin(GL_LINES);
        glVertex3f(at, 0.0f, 0.0f);
        glVertex3f(at, 0.0f, far);
        glEnd();
        glBegin(GL_LINES);
        glVertex3f(0.0f, 0.0f, at);
        glVertex3f(far, 0.0f, at);
        glEnd();
    }
}

// The sphere compiled at start-up; without it, GLU tessellates the same sphere each time.
// Without a quadric either there is nothing to draw.
void drawSphere(int x, int y, int z) {
    if (sphereList == 0 && sphereQuadric == nullptr) {
        return;
    }
    glPushMatrix();
    glTranslatef(static_cast<GLfloat>(x), static_cast<GLfloat>(y), static_cast<GLfloat>(z));
    if (sphereList != 0) {
        glCallList(sphereList);
    } else {
        gluSphere(sphereQuadric, kSphereRadius, kSphereSlices, kSphereStacks);
    }
    glPopMatrix();
}

}  // namespace render

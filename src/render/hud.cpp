// hud.cpp -- points, the game-over message and one heart per life, over the world.
#include "render/hud.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cstdio>

#include "assets/font.h"
#include "assets/textures.h"
#include "game/state.h"
#include "render/world.h"

namespace render {

namespace {

constexpr int kTextSet = 0;
constexpr int kLabelX = 10;
constexpr int kLineY = 460;
constexpr int kScoreX = 100;
constexpr int kGameOverX = 250;
constexpr int kGameOverY = 250;

constexpr GLdouble kHudEyeZ = 800.0;
constexpr GLfloat kHeartLeft = 300.0f;
constexpr GLfloat kHeartPitch = 80.0f;
constexpr GLfloat kHeartBottom = 350.0f;
constexpr GLfloat kHeartSize = 60.0f;

// With lighting off GL clamps this to white, so the textures keep their own colours.
constexpr GLfloat kTextRed = 255.0f;
constexpr GLfloat kTextGreenBlue = 50.0f;

// Room for any int, sign and terminator included, so no score can overrun it.
std::array<char, 16> scoreText{};

void drawHearts() {
    const int lives = game::state.lives;
    for (int i = 0; i < lives; ++i) {
        glPushMatrix();
        glTranslatef(kHeartLeft + kHeartPitch * static_cast<GLfloat>(i), kHeartBottom, 0.0f);
        glScalef(kHeartSize, kHeartSize, 1.0f);
        glBindTexture(GL_TEXTURE_2D, assets::textures.texHeart);
        drawBox(0.0f, 0.0f, 0.0f, 1.0f, 1.0f);
        glPopMatrix();
    }
}

}  // namespace

void drawHud() {
    const auto& state = game::state;
    glEnable(GL_CULL_FACE);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glDisable(GL_LIGHTING);
    gluLookAt(0.0, 0.0, kHudEyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // Black texels have alpha 0: the glyph and heart surrounds are dropped.
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    glEdgeFlag(GL_FALSE);
    glColor3f(kTextRed, kTextGreenBlue, kTextGreenBlue);

    // drawText leaves depth testing on: the texts ignore the world's depth, the hearts do not.
    assets::drawText(kLabelX, kLineY, "POINTS:", kTextSet);
    std::snprintf(scoreText.data(), scoreText.size(), "%d", state.score);
    assets::drawText(kScoreX, kLineY, scoreText.data(), kTextSet);
    if (state.gameOver) {
        assets::drawText(kGameOverX, kGameOverY, "GAME OVER!!!", kTextSet);
    }
    drawHearts();

    glDisable(GL_ALPHA_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}

}  // namespace render

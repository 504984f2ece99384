// frame.cpp -- one frame (camera, world with its tick, HUD) and the projection for a window size.
#include "render/frame.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "render/camera.h"
#include "render/hud.h"
#include "render/world.h"

namespace render {

namespace {

constexpr GLdouble kFieldOfViewY = 55.0;
constexpr GLdouble kNearPlane = 5.0;
constexpr GLdouble kFarPlane = 6000.0;

}  // namespace

void resizeViewport(int width, int height) {
    // A minimised window reports height 0; the aspect ratio needs a non-zero divisor.
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfViewY, static_cast<GLdouble>(width) / static_cast<GLdouble>(height),
                   kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void renderFrame() {
    glEnable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glCullFace(GL_BACK);
    // The camera sees the head where the previous frame's tick left it.
    applyCamera();
    glPushMatrix();
    drawWorld();
    glPopMatrix();
    glPushMatrix();
    drawHud();
    glPopMatrix();
}

}  // namespace render

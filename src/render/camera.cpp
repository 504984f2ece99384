// camera.cpp -- the follow, orbit and top-down cameras; modes 4 to 8 keep the identity view.
#include "render/camera.h"

#include <GL/glu.h>

#include <cmath>

#include "game/state.h"

namespace render {

namespace {

constexpr double kEyeHeight = 600.0;
constexpr double kAimHeight = -300.0;
constexpr double kFollowBack = 400.0;  // mode 1: eye distance behind the head along -X
constexpr double kTopBack = 1.0;       // mode 3: keeps the line of sight off the up vector
constexpr double kOrbitCentreX = -600.0;
constexpr double kOrbitStretchZ = 5.0;
// The orbit works with this value rather than a closer pi; at angle 180 it decides on which
// side of straight-down the eye sits, so it is part of the look of the orbit.
constexpr double kOrbitPi = 3.14159;

// Looks along +X and down at the head's game position (not scaled to the world).
void lookAtHead(double back) {
    const auto& state = game::state;
    const double hx = state.snakeX[0];
    const double hz = state.snakeZ[0];
    gluLookAt(hx - back, kEyeHeight, hz, hx, kAimHeight, hz, 0.0, 1.0, 0.0);
}

// Every intermediate is a float, as the orbit has always been computed.
void lookFromOrbit() {
    const auto& state = game::state;
    const float angle =
        static_cast<float>((static_cast<double>(state.orbitAngle) - 90.0) * kOrbitPi / 180.0);
    const float radius = static_cast<float>(state.orbitRadius);
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float eyeX = s * radius;
    const float eyeY = radius;
    const float eyeZ = c * radius * static_cast<float>(kOrbitStretchZ);
    gluLookAt(static_cast<double>(eyeX) + kOrbitCentreX, eyeY, eyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

}  // namespace

void applyCamera() {
    const auto& flags = game::state.viewFlags;
    // Each flag is tested on its own; only one is ever set.
    if (flags[0]) {
        lookAtHead(kFollowBack);
    }
    if (flags[1]) {
        lookFromOrbit();
    }
    if (flags[2]) {
        lookAtHead(kTopBack);
    }
}

}  // namespace render

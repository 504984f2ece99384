// input.cpp -- keyboard and pointer handlers over the game state.
#include "app/input.h"

#include <algorithm>
#include <cctype>
#include <climits>

#include "game/state.h"
#include "game/world.h"

namespace app {
namespace {

constexpr int kOrbitRadiusMin = 5;
constexpr int kOrbitRadiusMax = 600;
constexpr int kFirstViewKey = '1';
constexpr float kOrbitStepDegrees = 1.0f;

// toupper() is only defined for unsigned-char values (and EOF); any other code passes through
// unchanged so that a stray key or a wide character can never reach it.
int upperCase(int code) {
    if (code < 0 || code > UCHAR_MAX) {
        return code;
    }
    return std::toupper(code);
}

// An arrow key turns the snake unless it points straight back along the heading. The current
// heading is accepted too: that ends the start-of-life glide without a turn.
void turn(int heading, int refused) {
    if (game::state.direction == refused) {
        return;
    }
    game::state.glideMode = false;
    game::state.direction = heading;
}

void continueAfterDeath() {
    if (!game::state.snakeDead || game::state.gameOver) {
        return;
    }
    game::state.lives -= 1;
    game::restartRound();
}

void selectView(int mode) {
    for (int i = 0; i < game::kViewModes; ++i) {
        game::state.viewFlags[i] = (i + 1 == mode);
    }
}

}  // namespace

void onKeyDown(int keyCode) {
    switch (upperCase(keyCode)) {
        case kKeyEscape:
            game::state.quitRequested = true;
            break;
        case kKeySpace:
            continueAfterDeath();
            break;
        case kKeyLeft:
            turn(game::kHeadingMinusZ, game::kHeadingPlusZ);
            break;
        case kKeyUp:
            turn(game::kHeadingPlusX, game::kHeadingMinusX);
            break;
        case kKeyRight:
            turn(game::kHeadingPlusZ, game::kHeadingMinusZ);
            break;
        case kKeyDown:
            turn(game::kHeadingMinusX, game::kHeadingPlusX);
            break;
        default:
            break;
    }
}

void onChar(int character) {
    const int upper = upperCase(character);
    if (upper >= kFirstViewKey && upper < kFirstViewKey + game::kViewModes) {
        selectView(upper - kFirstViewKey + 1);
    } else if (upper == 'Q') {
        game::state.quitRequested = true;
    }
}

void onMouseMove(std::uint16_t x, std::uint16_t y) {
    game::state.orbitRadius = std::clamp(static_cast<int>(y), kOrbitRadiusMin, kOrbitRadiusMax);
    const int pointerX = x;
    if (pointerX > game::state.lastMouseX) {
        game::state.orbitAngle += kOrbitStepDegrees;
    } else if (pointerX < game::state.lastMouseX) {
        game::state.orbitAngle -= kOrbitStepDegrees;
    }
    game::state.lastMouseX = pointerX;
}

}  // namespace app

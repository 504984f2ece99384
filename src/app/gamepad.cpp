// gamepad.cpp -- a pad's presses, sticks and chord turned into key-downs, digits and pointer moves.
#include "app/gamepad.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "game/state.h"

namespace app {
namespace {

constexpr int kFirstViewDigit = '1';
constexpr std::uint16_t kChord = kPadStart | kPadSelect;
// A fully deflected right stick moves the pointer this far a pass.
constexpr float kPointerStepX = 1.0f;
constexpr float kPointerStepY = 6.0f;
// The pointer handler's ranges: any 16-bit x, and the heights that the orbit radius keeps.
constexpr int kPointerMaxX = std::numeric_limits<std::uint16_t>::max();
constexpr int kPointerMiddleX = kPointerMaxX / 2 + 1;
constexpr int kPointerMinY = 5;
constexpr int kPointerMaxY = 600;

struct ButtonArrow {
    std::uint16_t button;
    int arrow;
};

constexpr ButtonArrow kDpad[] = {
    {kPadUp, kKeyUp}, {kPadDown, kKeyDown}, {kPadLeft, kKeyLeft}, {kPadRight, kKeyRight}};

Message keyDown(int code) {
    Message message;
    message.kind = MessageKind::KeyDown;
    message.code = code;
    return message;
}

Message viewDigit(int view) {
    Message message;
    message.kind = MessageKind::Char;
    message.code = kFirstViewDigit + view - 1;
    return message;
}

// How far the left stick is pushed towards an arrow's direction.
float towards(int arrow, float x, float y) {
    switch (arrow) {
        case kKeyUp:
            return -y;
        case kKeyDown:
            return y;
        case kKeyLeft:
            return -x;
        case kKeyRight:
            return x;
        default:
            return 0.0f;
    }
}

// The arrow the left stick holds: the one it held while it stays pushed that way beyond the
// release level, else the direction it is pushed furthest once that is past half-way.
int heldArrow(int held, float x, float y) {
    if (held != kKeyUnbound && towards(held, x, y) >= kStickRelease) {
        return held;
    }
    if (std::max(std::fabs(x), std::fabs(y)) <= kStickPress) {
        return kKeyUnbound;
    }
    if (std::fabs(x) > std::fabs(y)) {
        return x > 0.0f ? kKeyRight : kKeyLeft;
    }
    return y > 0.0f ? kKeyDown : kKeyUp;
}

bool pressed(const PadState& before, const PadState& now, std::uint16_t buttons) {
    return (now.buttons & buttons) == buttons && (before.buttons & buttons) != buttons;
}

int nextView(int view) {
    return view % game::kViewModes + 1;
}

int previousView(int view) {
    return (view + game::kViewModes - 2) % game::kViewModes + 1;
}

int shownView() {
    for (int i = 0; i < game::kViewModes; ++i) {
        if (game::state.viewFlags[i]) {
            return i + 1;
        }
    }
    return 1;
}

// The whole-pixel part of a carried motion, which leaves the carry.
int takeWholePixels(float& carry) {
    const float whole = std::trunc(carry);
    carry -= whole;
    return static_cast<int>(whole);
}

}  // namespace

PadContext currentPadContext() {
    PadContext context;
    context.view = shownView();
    context.pointerX = game::state.lastMouseX;
    context.pointerY = game::state.orbitRadius;
    return context;
}

void padChanged(Pad& pad, const PadState& now, const PadContext& context, PadQueue& out) {
    if (!now.connected) {
        pad = Pad{};
        return;
    }
    const int arrow = heldArrow(pad.stickArrow, now.leftX, now.leftY);
    if (pad.last.connected) {
        const PadState& before = pad.last;
        for (const ButtonArrow& dpad : kDpad) {
            if (pressed(before, now, dpad.button)) {
                out.push_back(keyDown(dpad.arrow));
            }
        }
        if (arrow != kKeyUnbound && arrow != pad.stickArrow) {
            out.push_back(keyDown(arrow));
        }
        if (pressed(before, now, kPadSouth)) {
            out.push_back(keyDown(kKeySpace));
        }
        if (pressed(before, now, kPadR1)) {
            out.push_back(viewDigit(nextView(context.view)));
        }
        if (pressed(before, now, kPadL1)) {
            out.push_back(viewDigit(previousView(context.view)));
        }
        if (pressed(before, now, kChord)) {
            out.push_back(keyDown(kKeyEscape));
        }
    }
    pad.last = now;
    pad.stickArrow = arrow;
}

Stick rightStick(const PadState& pad) {
    const float length = std::hypot(pad.rightX, pad.rightY);
    if (!pad.connected || length <= kStickDeadZone) {
        return Stick{};
    }
    const float scale =
        std::min(1.0f, (length - kStickDeadZone) / (1.0f - kStickDeadZone)) / length;
    return Stick{pad.rightX * scale, pad.rightY * scale};
}

bool steerPointer(PadPointer& pointer, const Stick& held, const PadContext& context,
                  Message* message) {
    const float x = std::clamp(held.x, -1.0f, 1.0f);
    const float y = std::clamp(held.y, -1.0f, 1.0f);
    if (x == 0.0f && y == 0.0f) {
        pointer = PadPointer{};
        return false;
    }
    pointer.carryX += x * kPointerStepX;
    pointer.carryY += y * kPointerStepY;
    int pointerX = context.pointerX + takeWholePixels(pointer.carryX);
    if (pointerX < 0 || pointerX > kPointerMaxX) {
        pointerX = kPointerMiddleX;
    }
    const int height = std::clamp(context.pointerY, kPointerMinY, kPointerMaxY);
    const int pointerY =
        std::clamp(height + takeWholePixels(pointer.carryY), kPointerMinY, kPointerMaxY);
    if (pointerX == context.pointerX && pointerY == context.pointerY) {
        return false;
    }
    message->kind = MessageKind::MouseMove;
    message->code = 0;
    message->x = static_cast<std::uint16_t>(pointerX);
    message->y = static_cast<std::uint16_t>(pointerY);
    return true;
}

}  // namespace app

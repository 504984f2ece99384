// gamepad.h -- a gamepad's state, from one pass to the next, turned into the game's messages: the
// one translation that every platform's pads go through.
#pragma once

#include <cstdint>
#include <deque>

#include "app/input.h"
#include "app/message.h"

namespace app {

// The buttons the game binds, as bits of PadState::buttons, named by their places in the W3C
// standard mapping; SDL's game controllers and XInput name the same places.
constexpr std::uint16_t kPadSouth = 1U << 0;   // A, Cross
constexpr std::uint16_t kPadL1 = 1U << 1;      // left shoulder
constexpr std::uint16_t kPadR1 = 1U << 2;      // right shoulder
constexpr std::uint16_t kPadSelect = 1U << 3;  // Select, Back, View, Share
constexpr std::uint16_t kPadStart = 1U << 4;   // Start, Menu, Options
constexpr std::uint16_t kPadUp = 1U << 5;      // the d-pad
constexpr std::uint16_t kPadDown = 1U << 6;
constexpr std::uint16_t kPadLeft = 1U << 7;
constexpr std::uint16_t kPadRight = 1U << 8;

// One pad as a platform reads it at one pass. Each stick's axes run from -1 to 1, right and
// down positive.
struct PadState {
    bool connected = false;
    std::uint16_t buttons = 0;
    float leftX = 0.0f;
    float leftY = 0.0f;
    float rightX = 0.0f;
    float rightY = 0.0f;
};

// How far a stick must be pushed in one of the four directions to count as that arrow's press,
// and how far it must come back before the press is over: the gap keeps a stick resting near
// half-way from pressing again and again.
constexpr float kStickPress = 0.5f;
constexpr float kStickRelease = 0.35f;
// Right-stick deflections within this radius are the stick's rest, not a motion.
constexpr float kStickDeadZone = 0.25f;

// What the translation remembers of one pad from one pass to the next.
struct Pad {
    PadState last;                 // the pad as it was at the last pass
    int stickArrow = kKeyUnbound;  // the arrow the left stick holds down, if any
};

// What a pad's messages depend on in the game: the view shown (1 to 8), for the shoulders'
// next and previous view, and the pointer as the pointer handler last saw it, for the right
// stick's pointer: its x, and its height as the orbit's radius keeps it.
struct PadContext {
    int view = 1;
    int pointerX = 0;
    int pointerY = 0;
};

// The context as the game state has it now.
PadContext currentPadContext();

// Messages made by the pads, waiting to be handed out one per pass.
using PadQueue = std::deque<Message>;

// Appends the messages of one pad's change since the last pass to `out`; `now` becomes its last
// state. A press is its edge only, so nothing held repeats: each d-pad button's press, and each
// push of the left stick past half-way towards one of the four directions (the one it is pushed
// furthest), is that arrow's key-down; the south button is Space; R1 and L1 type the digit of
// the next and the previous view, 8 wrapping to 1; pressing Start and Select until both are held
// is Escape, and either alone is nothing. A pad that connects starts from what it holds then,
// without a press; one that disconnects is forgotten, so it holds nothing.
void padChanged(Pad& pad, const PadState& now, const PadContext& context, PadQueue& out);

// A stick's deflection past its dead zone, scaled back to run from 0 at the dead zone's edge to
// 1 at full deflection, in each axis's direction.
struct Stick {
    float x = 0.0f;
    float y = 0.0f;
};

// One pad's right stick, or none while it rests within its dead zone.
Stick rightStick(const PadState& pad);

// The right sticks move a pointer, a fraction of a pixel at a time, that the pointer handler
// sees as the mouse's: the part of a step not yet taken, in pixels.
struct PadPointer {
    float carryX = 0.0f;
    float carryY = 0.0f;
};

// One pass of the pointer under the sticks held (their sum): a pointer move from where the game
// last saw the pointer, or false when the pointer moved less than a pixel. A fully deflected
// stick moves it a pixel sideways a pass, which turns the orbit a degree, and 6 pixels up or
// down, within the orbit radius's range of 5 to 600. At the 16-bit end of its sideways range
// the pointer goes back to the middle, turning the orbit one degree the other way.
bool steerPointer(PadPointer& pointer, const Stick& held, const PadContext& context,
                  Message* message);

}  // namespace app

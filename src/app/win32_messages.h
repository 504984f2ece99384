// win32_messages.h -- Win32 window messages and XInput's pads turned into the game's messages.
// Needs no windows.h, so the translation builds and is tested on every platform.
#pragma once

#include <array>
#include <cstdint>

#include "app/gamepad.h"
#include "app/message.h"

namespace app {

// The window messages the game handles, by their Win32 numbers.
constexpr unsigned kWmCreate = 0x0001;
constexpr unsigned kWmSize = 0x0005;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmQuit = 0x0012;
constexpr unsigned kWmKeyDown = 0x0100;
constexpr unsigned kWmChar = 0x0102;
constexpr unsigned kWmMouseMove = 0x0200;

// Turns one window message into a message: a key-down's code is its virtual-key code (the
// kKey* codes are those numbers), a character's is the character, the quit message's is its
// exit status; a size carries the client width and height, a pointer move the client position,
// both as the unsigned low and high 16 bits of `lParam`. Every other message is MessageKind::None.
Message translateWindowMessage(unsigned code, std::uintptr_t wParam, std::intptr_t lParam);

// XInput's report of a pad, laid out as its XINPUT_STATE (win32_main.cpp checks the layout and
// the button bits against the system's). The thumbsticks' y grows upward.
struct XInputGamepad {
    std::uint16_t buttons;
    std::uint8_t leftTrigger;
    std::uint8_t rightTrigger;
    std::int16_t thumbLX;
    std::int16_t thumbLY;
    std::int16_t thumbRX;
    std::int16_t thumbRY;
};

struct XInputState {
    std::uint32_t packetNumber;
    XInputGamepad gamepad;
};

constexpr std::uint16_t kXInputDpadUp = 0x0001;
constexpr std::uint16_t kXInputDpadDown = 0x0002;
constexpr std::uint16_t kXInputDpadLeft = 0x0004;
constexpr std::uint16_t kXInputDpadRight = 0x0008;
constexpr std::uint16_t kXInputStart = 0x0010;
constexpr std::uint16_t kXInputBack = 0x0020;
constexpr std::uint16_t kXInputLeftShoulder = 0x0100;
constexpr std::uint16_t kXInputRightShoulder = 0x0200;
constexpr std::uint16_t kXInputA = 0x1000;

// XInput's user slots, 0 to 3.
constexpr unsigned kXInputSlots = 4;
// A slot with no pad is looked at again only after this many passes; XInput is slow to find a
// slot empty, and a pad plugged in is still found within a second.
constexpr unsigned kEmptySlotPasses = 60;

// Reads the pad in one slot; false when there is none.
using XInputRead = bool (*)(unsigned slot, XInputState* state);

// What the layer keeps of XInput's pads from one pass to the next.
struct XInputPads {
    std::array<Pad, kXInputSlots> pads{};
    unsigned pass = 0;
    PadQueue messages;
    PadPointer pointer;
    bool heeded = true;  // the game's window was in front at this pass's look
};

// The pad's state in the shared translation's terms (gamepad.h).
PadState padFromXInput(const XInputGamepad& gamepad);

// This pass's look at the pads: every slot with a pad is read, and one empty slot in turn every
// kEmptySlotPasses / kXInputSlots passes; the messages of their changes are queued. XInput
// reports the pads whichever window is in front, so while the game's is not (`heeded` false)
// their changes are followed but make no messages, and what is held when the window comes back
// to the front is no press.
void pollXInput(XInputPads& pads, XInputRead read, const PadContext& context, bool heeded);

// Takes the oldest message the pads' changes queued; false when none is waiting.
bool takeXInputMessage(XInputPads& pads, Message* message);

// A pass with no other message: the right sticks' pointer move, if they moved it.
bool steerWithXInputSticks(XInputPads& pads, const PadContext& context, Message* message);

}  // namespace app

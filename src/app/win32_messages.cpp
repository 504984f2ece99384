// win32_messages.cpp -- the translation of Win32 window messages.
#include "app/win32_messages.h"

#include <algorithm>
#include <iterator>

namespace app {
namespace {

constexpr float kThumbFullScale = 32767.0f;
constexpr unsigned kEmptySlotEvery = kEmptySlotPasses / kXInputSlots;

struct XInputButton {
    std::uint16_t xinput;
    std::uint16_t pad;
};

constexpr XInputButton kXInputButtons[] = {
    {kXInputA, kPadSouth},       {kXInputLeftShoulder, kPadL1}, {kXInputRightShoulder, kPadR1},
    {kXInputBack, kPadSelect},   {kXInputStart, kPadStart},     {kXInputDpadUp, kPadUp},
    {kXInputDpadDown, kPadDown}, {kXInputDpadLeft, kPadLeft},   {kXInputDpadRight, kPadRight},
};

float thumb(std::int16_t value) {
    return std::clamp(value / kThumbFullScale, -1.0f, 1.0f);
}

std::uint16_t lowWord(std::intptr_t value) {
    return static_cast<std::uint16_t>(static_cast<std::uintptr_t>(value) & 0xFFFF);
}

std::uint16_t highWord(std::intptr_t value) {
    return static_cast<std::uint16_t>((static_cast<std::uintptr_t>(value) >> 16) & 0xFFFF);
}

Message withCode(MessageKind kind, std::uintptr_t wParam) {
    Message message;
    message.kind = kind;
    message.code = static_cast<int>(wParam);
    return message;
}

Message withPoint(MessageKind kind, std::intptr_t lParam) {
    Message message;
    message.kind = kind;
    message.x = lowWord(lParam);
    message.y = highWord(lParam);
    return message;
}

}  // namespace

Message translateWindowMessage(unsigned code, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (code) {
        case kWmSize:
            return withPoint(MessageKind::Resize, lParam);
        case kWmClose:
            return withCode(MessageKind::Close, 0);
        case kWmQuit:
            return withCode(MessageKind::Quit, wParam);
        case kWmKeyDown:
            return withCode(MessageKind::KeyDown, wParam);
        case kWmChar:
            return withCode(MessageKind::Char, wParam);
        case kWmMouseMove:
            return withPoint(MessageKind::MouseMove, lParam);
        default:
            return Message{};
    }
}

PadState padFromXInput(const XInputGamepad& gamepad) {
    PadState state;
    state.connected = true;
    for (const XInputButton& button : kXInputButtons) {
        if ((gamepad.buttons & button.xinput) != 0) {
            state.buttons |= button.pad;
        }
    }
    state.leftX = thumb(gamepad.thumbLX);
    state.leftY = -thumb(gamepad.thumbLY);
    state.rightX = thumb(gamepad.thumbRX);
    state.rightY = -thumb(gamepad.thumbRY);
    return state;
}

void pollXInput(XInputPads& pads, XInputRead read, const PadContext& context, bool heeded) {
    const unsigned emptySlotDue = pads.pass % kEmptySlotEvery == 0
                                      ? pads.pass / kEmptySlotEvery % kXInputSlots
                                      : kXInputSlots;
    ++pads.pass;
    for (unsigned slot = 0; slot < kXInputSlots; ++slot) {
        Pad& pad = pads.pads[slot];
        if (!pad.last.connected && slot != emptySlotDue) {
            continue;
        }
        XInputState state{};
        const PadState now = read(slot, &state) ? padFromXInput(state.gamepad) : PadState{};
        padChanged(pad, now, context, pads.messages);
    }
    pads.heeded = heeded;
    if (!heeded) {
        pads.messages.clear();
    }
}

bool takeXInputMessage(XInputPads& pads, Message* message) {
    if (pads.messages.empty()) {
        return false;
    }
    *message = pads.messages.front();
    pads.messages.pop_front();
    return true;
}

bool steerWithXInputSticks(XInputPads& pads, const PadContext& context, Message* message) {
    // Unheeded, the sticks count as at rest.
    Stick held;
    for (const Pad& pad : pads.pads) {
        const Stick stick = pads.heeded ? rightStick(pad.last) : Stick{};
        held.x += stick.x;
        held.y += stick.y;
    }
    return steerPointer(pads.pointer, held, context, message);
}

}  // namespace app

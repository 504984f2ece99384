// sdl_events.cpp -- SDL events turned into the game's messages.
#include "app/sdl_events.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>

#include "app/input.h"

namespace app {
namespace {

constexpr int kReplacementCharacter = 0xFFFD;
constexpr float kAxisFullScale = 32767.0f;

struct ControllerButton {
    SDL_GameControllerButton button;
    std::uint16_t padButton;
};

constexpr ControllerButton kControllerButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, kPadSouth},          {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, kPadL1},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, kPadR1}, {SDL_CONTROLLER_BUTTON_BACK, kPadSelect},
    {SDL_CONTROLLER_BUTTON_START, kPadStart},      {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDown},   {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRight},
};

// The number of continuation bytes that follow a UTF-8 lead byte, or -1 if it is no lead byte.
int continuationBytes(unsigned char lead) {
    if (lead < 0x80)
        return 0;
    if ((lead & 0xE0) == 0xC0)
        return 1;
    if ((lead & 0xF0) == 0xE0)
        return 2;
    if ((lead & 0xF8) == 0xF0)
        return 3;
    return -1;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

std::uint16_t clientCoordinate(int value) {
    return static_cast<std::uint16_t>(
        std::clamp(value, 0, static_cast<int>(std::numeric_limits<std::uint16_t>::max())));
}

Message windowMessage(const SDL_WindowEvent& window) {
    Message message;
    if (window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        message.kind = MessageKind::Resize;
        message.x = clientCoordinate(window.data1);
        message.y = clientCoordinate(window.data2);
    } else if (window.event == SDL_WINDOWEVENT_CLOSE) {
        message.kind = MessageKind::Close;
    } else if (window.event == SDL_WINDOWEVENT_SHOWN || window.event == SDL_WINDOWEVENT_MOVED) {
        message.kind = MessageKind::Placed;
    }
    return message;
}

// The joystick layer beneath the controllers repeats each of their events in its own terms, and
// a touchpad streams its touches; the game takes nothing from either, and they must not cost a
// pass each.
bool passedOver(Uint32 type) {
    return (type >= SDL_JOYAXISMOTION && type < SDL_CONTROLLERAXISMOTION) ||
           (type >= SDL_CONTROLLERTOUCHPADDOWN && type <= SDL_CONTROLLERSENSORUPDATE);
}

bool isPadEvent(Uint32 type) {
    return type >= SDL_CONTROLLERAXISMOTION && type <= SDL_CONTROLLERDEVICEREMAPPED;
}

// The head of SDL's queue, once the events passed over in front of it are dropped.
bool peekTaken(SDL_Event* next) {
    while (SDL_PeepEvents(next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        if (!passedOver(next->type)) {
            return true;
        }
        SDL_PeepEvents(next, 1, SDL_GETEVENT, next->type, next->type);
    }
    return false;
}

// Folds every motion event queued straight behind a taken one into it: the pointer's latest
// position wins. The window system the game was made for holds at most one pending pointer
// move, so a moving mouse can never build a queue that keys would wait behind.
void mergeQueuedMotion(Message& motion) {
    SDL_Event next;
    while (peekTaken(&next) && next.type == SDL_MOUSEMOTION &&
           SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION) == 1) {
        motion.x = clientCoordinate(next.motion.x);
        motion.y = clientCoordinate(next.motion.y);
    }
}

Message takeCharacter(TextQueue& pending) {
    Message message;
    message.kind = MessageKind::Char;
    message.code = pending.front();
    pending.pop_front();
    return message;
}

Message takePadMessage(PadQueue& queue) {
    Message message = queue.front();
    queue.pop_front();
    return message;
}

std::uint16_t padButton(Uint8 button) {
    const auto bound =
        std::find_if(std::begin(kControllerButtons), std::end(kControllerButtons),
                     [button](const ControllerButton& b) { return b.button == button; });
    return bound == std::end(kControllerButtons) ? 0 : bound->padButton;
}

float axisValue(Sint16 value) {
    return std::max(-1.0f, value / kAxisFullScale);
}

// Sets one axis of a pad's state; the triggers are not bound.
void setAxis(PadState& state, Uint8 axis, Sint16 value) {
    switch (axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
            state.leftX = axisValue(value);
            break;
        case SDL_CONTROLLER_AXIS_LEFTY:
            state.leftY = axisValue(value);
            break;
        case SDL_CONTROLLER_AXIS_RIGHTX:
            state.rightX = axisValue(value);
            break;
        case SDL_CONTROLLER_AXIS_RIGHTY:
            state.rightY = axisValue(value);
            break;
        default:
            break;
    }
}

// What an opened controller holds now.
PadState controllerState(SDL_GameController* controller) {
    PadState state;
    state.connected = true;
    for (const ControllerButton& bound : kControllerButtons) {
        if (SDL_GameControllerGetButton(controller, bound.button) != 0) {
            state.buttons |= bound.padButton;
        }
    }
    const SDL_GameControllerAxis axes[] = {SDL_CONTROLLER_AXIS_LEFTX, SDL_CONTROLLER_AXIS_LEFTY,
                                           SDL_CONTROLLER_AXIS_RIGHTX, SDL_CONTROLLER_AXIS_RIGHTY};
    for (const SDL_GameControllerAxis axis : axes) {
        setAxis(state, static_cast<Uint8>(axis), SDL_GameControllerGetAxis(controller, axis));
    }
    return state;
}

SdlPad* findPad(std::vector<SdlPad>& pads, SDL_JoystickID id) {
    const auto pad =
        std::find_if(pads.begin(), pads.end(), [id](const SdlPad& open) { return open.id == id; });
    return pad == pads.end() ? nullptr : &*pad;
}

// SDL tells of a controller plugged in before start-up as well as after, and may tell of one
// twice; each is opened and followed once.
void addController(int deviceIndex, SdlInput& input) {
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) {
        return;
    }
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
    if (findPad(input.pads, id) != nullptr) {
        SDL_GameControllerClose(controller);
        return;
    }
    input.pads.push_back(SdlPad{id, Pad{}});
    padChanged(input.pads.back().pad, controllerState(controller), currentPadContext(),
               input.padMessages);
}

void removeController(SDL_JoystickID id, SdlInput& input) {
    const auto pad = std::find_if(input.pads.begin(), input.pads.end(),
                                  [id](const SdlPad& open) { return open.id == id; });
    if (pad == input.pads.end()) {
        return;
    }
    input.pads.erase(pad);
    SDL_GameControllerClose(SDL_GameControllerFromInstanceID(id));
}

// A controller given a new mapping is followed afresh from what it holds under it.
void remapController(SDL_JoystickID id, SdlInput& input) {
    SdlPad* pad = findPad(input.pads, id);
    SDL_GameController* controller = SDL_GameControllerFromInstanceID(id);
    if (pad == nullptr || controller == nullptr) {
        return;
    }
    padChanged(pad->pad, PadState{}, currentPadContext(), input.padMessages);
    padChanged(pad->pad, controllerState(controller), currentPadContext(), input.padMessages);
}

void changeButton(const SDL_ControllerButtonEvent& event, SdlInput& input) {
    SdlPad* pad = findPad(input.pads, event.which);
    const std::uint16_t button = padButton(event.button);
    if (pad == nullptr || button == 0) {
        return;
    }
    PadState now = pad->pad.last;
    if (event.state == SDL_PRESSED) {
        now.buttons |= button;
    } else {
        now.buttons &= static_cast<std::uint16_t>(~button);
    }
    padChanged(pad->pad, now, currentPadContext(), input.padMessages);
}

void changeAxis(const SDL_ControllerAxisEvent& event, SdlInput& input) {
    SdlPad* pad = findPad(input.pads, event.which);
    if (pad == nullptr) {
        return;
    }
    PadState now = pad->pad.last;
    setAxis(now, event.axis, event.value);
    padChanged(pad->pad, now, currentPadContext(), input.padMessages);
}

// Like the pointer's moves, a stick's motion streams in far faster than the passes: every axis
// motion queued straight behind a taken one changes its pad's state now. The messages it makes
// (a left stick pushed past half-way) are queued.
void mergeQueuedAxisMotion(SdlInput& input) {
    SDL_Event next;
    while (peekTaken(&next) && next.type == SDL_CONTROLLERAXISMOTION &&
           SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_CONTROLLERAXISMOTION,
                          SDL_CONTROLLERAXISMOTION) == 1) {
        changeAxis(next.caxis, input);
    }
}

// The right sticks of every open controller, summed, as this pass's pointer move.
bool steerWithSticks(SdlInput& input, Message* message) {
    Stick held;
    for (const SdlPad& pad : input.pads) {
        const Stick stick = rightStick(pad.pad.last);
        held.x += stick.x;
        held.y += stick.y;
    }
    return steerPointer(input.pointer, held, currentPadContext(), message);
}

Message padEventMessage(const SDL_Event& event, SdlInput& input) {
    switch (event.type) {
        case SDL_CONTROLLERDEVICEADDED:
            addController(event.cdevice.which, input);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            removeController(event.cdevice.which, input);
            break;
        case SDL_CONTROLLERDEVICEREMAPPED:
            remapController(event.cdevice.which, input);
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            changeButton(event.cbutton, input);
            break;
        case SDL_CONTROLLERAXISMOTION:
            changeAxis(event.caxis, input);
            break;
        default:
            break;
    }
    return input.padMessages.empty() ? Message{} : takePadMessage(input.padMessages);
}

}  // namespace

void configureEventQueue() {
    // By default SDL gathers new events only once its queue has been emptied down to a marker
    // it leaves behind, so the poll after a taken message often comes back empty although a
    // key is waiting, and that key is handled a pass late.
    SDL_SetHint(SDL_HINT_POLL_SENTINEL, "0");
}

void queueUtf8(const char* text, TextQueue& queue) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    while (*bytes != 0) {
        const int extra = continuationBytes(*bytes);
        if (extra < 0) {
            queue.push_back(kReplacementCharacter);
            ++bytes;
            continue;
        }
        int codePoint = extra == 0 ? *bytes : (*bytes & (0x3F >> extra));
        int taken = 1;
        while (taken <= extra && isContinuation(bytes[taken])) {
            codePoint = (codePoint << 6) | (bytes[taken] & 0x3F);
            ++taken;
        }
        // A sequence cut short by a non-continuation byte (or the terminator) is malformed;
        // the byte that cut it starts the next character.
        queue.push_back(taken == extra + 1 ? codePoint : kReplacementCharacter);
        bytes += taken;
    }
}

int keyCodeFor(int sdlKey) {
    switch (sdlKey) {
        case SDLK_ESCAPE:
            return kKeyEscape;
        case SDLK_SPACE:
            return kKeySpace;
        case SDLK_LEFT:
            return kKeyLeft;
        case SDLK_UP:
            return kKeyUp;
        case SDLK_RIGHT:
            return kKeyRight;
        case SDLK_DOWN:
            return kKeyDown;
        default:
            return kKeyUnbound;
    }
}

Message translateEvent(const SDL_Event& event, SdlInput& input) {
    if (isPadEvent(event.type)) {
        return padEventMessage(event, input);
    }
    Message message;
    switch (event.type) {
        case SDL_QUIT:
            message.kind = MessageKind::Quit;
            break;
        case SDL_KEYDOWN:
            message.kind = MessageKind::KeyDown;
            message.code = keyCodeFor(event.key.keysym.sym);
            break;
        case SDL_TEXTINPUT:
            queueUtf8(event.text.text, input.text);
            if (!input.text.empty()) {
                message = takeCharacter(input.text);
            }
            break;
        case SDL_MOUSEMOTION:
            message.kind = MessageKind::MouseMove;
            message.x = clientCoordinate(event.motion.x);
            message.y = clientCoordinate(event.motion.y);
            break;
        case SDL_WINDOWEVENT:
            message = windowMessage(event.window);
            break;
        default:
            break;
    }
    return message;
}

bool pollMessage(SdlInput& input, Message* message) {
    if (!input.text.empty()) {
        *message = takeCharacter(input.text);
        return true;
    }
    if (!input.padMessages.empty()) {
        *message = takePadMessage(input.padMessages);
        return true;
    }
    SDL_Event event;
    do {
        if (SDL_PollEvent(&event) == 0) {
            return steerWithSticks(input, message);
        }
    } while (passedOver(event.type));
    *message = translateEvent(event, input);
    if (message->kind == MessageKind::MouseMove) {
        mergeQueuedMotion(*message);
    } else if (event.type == SDL_CONTROLLERAXISMOTION) {
        mergeQueuedAxisMotion(input);
        if (message->kind == MessageKind::None && !input.padMessages.empty()) {
            *message = takePadMessage(input.padMessages);
        }
    }
    // A controller's event that made no message leaves the pass to the right sticks, which
    // would otherwise stand still for as long as their own motion streams in.
    if (message->kind == MessageKind::None && isPadEvent(event.type)) {
        steerWithSticks(input, message);
    }
    return true;
}

}  // namespace app

// web_events.cpp -- the page's events turned into the game's messages.
#include "app/web_events.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "app/input.h"

namespace app {
namespace {

constexpr int kFirstPrintable = 0x20;
constexpr int kDelete = 0x7F;
// The key of view 2, the view the orbit shows in.
constexpr const char* kOrbitViewKey = "2";
constexpr const char* kStandardMapping = "standard";

// Where the W3C standard mapping puts the buttons the game binds, in Gamepad.buttons.
struct StandardButton {
    std::size_t index;
    std::uint16_t padButton;
};

constexpr StandardButton kStandardButtons[] = {
    {0, kPadSouth}, {4, kPadL1},    {5, kPadR1},    {8, kPadSelect}, {9, kPadStart},
    {12, kPadUp},   {13, kPadDown}, {14, kPadLeft}, {15, kPadRight},
};

// And the sticks, in Gamepad.axes: x then y of each, right and down positive, as in PadState.
constexpr std::size_t kLeftStickX = 0;
constexpr std::size_t kLeftStickY = 1;
constexpr std::size_t kRightStickX = 2;
constexpr std::size_t kRightStickY = 3;

struct NamedKey {
    const char* name;
    int code;
};

// The keys the key-down handler binds, by their KeyboardEvent.key values.
constexpr NamedKey kBoundKeys[] = {
    {"Escape", kKeyEscape}, {" ", kKeySpace},          {"ArrowLeft", kKeyLeft},
    {"ArrowUp", kKeyUp},    {"ArrowRight", kKeyRight}, {"ArrowDown", kKeyDown},
};

std::uint16_t clientCoordinate(long value) {
    return static_cast<std::uint16_t>(
        std::clamp(value, 0L, static_cast<long>(std::numeric_limits<std::uint16_t>::max())));
}

// The code point of a key value that is one character, 0 for a named key ("Shift", "F5", ...)
// or anything that is not one well-formed UTF-8 character.
int singleCharacter(const char* key) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(key);
    const std::size_t length = std::strlen(key);
    if (length == 1) {
        return bytes[0] < 0x80 ? bytes[0] : 0;
    }
    int extra = 0;
    int codePoint = 0;
    if ((bytes[0] & 0xE0) == 0xC0) {
        extra = 1;
        codePoint = bytes[0] & 0x1F;
    } else if ((bytes[0] & 0xF0) == 0xE0) {
        extra = 2;
        codePoint = bytes[0] & 0x0F;
    } else if ((bytes[0] & 0xF8) == 0xF0) {
        extra = 3;
        codePoint = bytes[0] & 0x07;
    }
    if (extra == 0 || length != static_cast<std::size_t>(extra) + 1) {
        return 0;
    }
    for (int i = 1; i <= extra; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) {
            return 0;
        }
        codePoint = (codePoint << 6) | (bytes[i] & 0x3F);
    }
    return codePoint;
}

Message keyDown(int code) {
    Message message;
    message.kind = MessageKind::KeyDown;
    message.code = code;
    return message;
}

// The arrow a swipe from (0, 0) to (dx, dy) in page coordinates (y grows downward) stands for:
// the way it went furthest.
int swipeArrow(double dx, double dy) {
    if (std::fabs(dx) > std::fabs(dy)) {
        return dx > 0.0 ? kKeyRight : kKeyLeft;
    }
    return dy > 0.0 ? kKeyDown : kKeyUp;
}

double distanceFromStart(const Touch& touch, double x, double y) {
    return std::hypot(x - touch.startX, y - touch.startY);
}

// An axis the browser reports out of its range, or as no number, is held to it or at rest.
float axisValue(double value) {
    return std::isfinite(value) ? static_cast<float>(std::clamp(value, -1.0, 1.0)) : 0.0f;
}

}  // namespace

Message translateKey(const WebKey& key) {
    for (const NamedKey& bound : kBoundKeys) {
        if (std::strcmp(key.key, bound.name) == 0) {
            return keyDown(bound.code);
        }
    }
    Message message;
    const int character = singleCharacter(key.key);
    if (key.withCommandModifier || character < kFirstPrintable || character == kDelete) {
        return message;
    }
    message.kind = MessageKind::Char;
    message.code = character;
    return message;
}

bool browserKeepsKey(const Message& message) {
    return message.kind == MessageKind::None;
}

Message pointerMessage(long x, long y) {
    Message message;
    message.kind = MessageKind::MouseMove;
    message.x = clientCoordinate(x);
    message.y = clientCoordinate(y);
    return message;
}

Message resizeMessage(int width, int height) {
    Message message;
    message.kind = MessageKind::Resize;
    message.x = clientCoordinate(width);
    message.y = clientCoordinate(height);
    return message;
}

void touchStarted(Touch& touch, long id, double x, double y) {
    if (touch.down) {
        return;
    }
    touch = Touch{true, id, x, y, false};
}

Message touchMoved(Touch& touch, long id, double x, double y) {
    if (!touch.down || touch.id != id || touch.swiped ||
        distanceFromStart(touch, x, y) < kSwipeDistance) {
        return Message{};
    }
    touch.swiped = true;
    return keyDown(swipeArrow(x - touch.startX, y - touch.startY));
}

Message touchEnded(Touch& touch, long id, double x, double y) {
    if (!touch.down || touch.id != id) {
        return Message{};
    }
    Message message = touchMoved(touch, id, x, y);
    if (message.kind == MessageKind::None && !touch.swiped) {
        message = keyDown(kKeySpace);
    }
    touch = Touch{};
    return message;
}

void touchCancelled(Touch& touch) {
    touch = Touch{};
}

Message controlMessage(const PageControl& control) {
    return translateKey(WebKey{control.key, false});
}

Message orbitPadStarted(OrbitPad& pad, long id) {
    if (pad.down) {
        return Message{};
    }
    pad = OrbitPad{true, id};
    return translateKey(WebKey{kOrbitViewKey, false});
}

Message orbitPadMoved(const OrbitPad& pad, long id, double x, double y, double height) {
    if (!pad.down || pad.id != id || !(height > 0.0)) {
        return Message{};
    }
    const double share = std::clamp(y / height, 0.0, 1.0);
    return pointerMessage(std::lround(x), std::lround(share * kOrbitPadSpan));
}

void orbitPadEnded(OrbitPad& pad, long id) {
    if (pad.down && pad.id == id) {
        pad = OrbitPad{};
    }
}

void queueMessage(WebQueue& queue, const Message& message) {
    if (message.kind == MessageKind::None) {
        return;
    }
    const bool onlyTheLatestCounts =
        message.kind == MessageKind::MouseMove || message.kind == MessageKind::Resize;
    if (onlyTheLatestCounts && !queue.empty() && queue.back().kind == message.kind) {
        queue.back() = message;
        return;
    }
    queue.push_back(message);
}

bool takeMessage(WebQueue& queue, Message* message) {
    if (queue.empty()) {
        return false;
    }
    *message = queue.front();
    queue.pop_front();
    return true;
}

PadState padFromWeb(const WebGamepad& gamepad) {
    PadState state;
    if (!gamepad.connected || gamepad.mapping != kStandardMapping) {
        return state;
    }
    state.connected = true;
    for (const StandardButton& button : kStandardButtons) {
        if (gamepad.pressed[button.index]) {
            state.buttons |= button.padButton;
        }
    }
    state.leftX = axisValue(gamepad.axes[kLeftStickX]);
    state.leftY = axisValue(gamepad.axes[kLeftStickY]);
    state.rightX = axisValue(gamepad.axes[kRightStickX]);
    state.rightY = axisValue(gamepad.axes[kRightStickY]);
    return state;
}

void padsSampled(WebPads& pads, const std::vector<WebGamepad>& sampled, const PadContext& context,
                 WebQueue& queue) {
    pads.pads.resize(std::max(pads.pads.size(), sampled.size()));
    PadQueue made;
    for (std::size_t i = 0; i < pads.pads.size(); ++i) {
        Pad& pad = pads.pads[i];
        const PadState now = i < sampled.size() ? padFromWeb(sampled[i]) : PadState{};
        if (now.connected && !pad.last.connected && pads.looked) {
            PadState rest;
            rest.connected = true;
            padChanged(pad, rest, context, made);
        }
        padChanged(pad, now, context, made);
        pads.seen = pads.seen || now.connected;
    }
    pads.looked = true;
    pads.used = pads.used || !made.empty();
    for (const Message& message : made) {
        queueMessage(queue, message);
    }
}

bool takePassMessage(WebQueue& queue, WebPads& pads, const PadContext& context, Message* message) {
    if (takeMessage(queue, message)) {
        return true;
    }
    Stick held;
    for (const Pad& pad : pads.pads) {
        const Stick stick = rightStick(pad.last);
        held.x += stick.x;
        held.y += stick.y;
    }
    if (!steerPointer(pads.pointer, held, context, message)) {
        return false;
    }
    pads.used = true;
    return true;
}

}  // namespace app

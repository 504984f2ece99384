// web_events.h -- the page's keyboard, pointer and touch events and its gamepads turned into the
// game's messages, and the queue that hands them out one per pass. Needs no Emscripten header, so
// the translation builds and is tested on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "app/gamepad.h"
#include "app/message.h"

namespace app {

// A key press as the page sees it: KeyboardEvent.key (the key's value for the layout in use:
// "ArrowUp", "Escape", " ", "q", "Q", "3", ...) and whether Ctrl, Alt or Meta was held.
struct WebKey {
    const char* key = "";
    bool withCommandModifier = false;
};

// The message of a key press: a key-down for Escape, Space and the arrows (their virtual-key
// codes), the typed character for any other key that types one (digits, letters, ...), and
// MessageKind::None for the rest. A key held with Ctrl, Alt or Meta types nothing: it is the
// browser's (reload, tab switch, ...).
Message translateKey(const WebKey& key);

// Whether the page keeps the browser's default action for a key press: it does for every key
// the game takes nothing from, so that the browser's own keys keep working, and never for the
// arrows and Space, which would scroll.
bool browserKeepsKey(const Message& message);

// A pointer position in the canvas, in CSS pixels, as a pointer-move message.
Message pointerMessage(long x, long y);

// A resize of the canvas to width x height device pixels.
Message resizeMessage(int width, int height);

// One finger on the canvas, from where it came down. A swipe turns the snake the way of the
// swipe, as that arrow key would (the picture's up is Up); a tap, which hardly moves, is Space.
struct Touch {
    bool down = false;
    long id = 0;
    double startX = 0.0;
    double startY = 0.0;
    bool swiped = false;  // this touch has turned the snake already
};

// How far, in CSS pixels, a finger moves before its touch counts as a swipe.
constexpr double kSwipeDistance = 24.0;

// A finger came down; a second finger while one is down is ignored.
void touchStarted(Touch& touch, long id, double x, double y);
// The finger moved: the key-down of the swipe's arrow the first time it has gone kSwipeDistance
// from where it came down, MessageKind::None otherwise.
Message touchMoved(Touch& touch, long id, double x, double y);
// The finger was lifted: Space for a tap, the swipe's arrow for a swipe that no move reported,
// MessageKind::None otherwise.
Message touchEnded(Touch& touch, long id, double x, double y);
// The browser took the touch away (a system gesture): nothing happens.
void touchCancelled(Touch& touch);

// The page's buttons that stand for a key (web/index.html): each reaches the game as that key's
// own message, through the keyboard's translation and the same queue.
struct PageControl {
    const char* selector;  // the button, as the html5 API names an element
    const char* key;       // KeyboardEvent.key of the key it stands for
};

// The eight views, and the end of the game: the button that confirms it, so that a stray touch
// on the first ends nothing.
constexpr std::array<PageControl, 9> kPageControls{{
    {"#view-1", "1"},
    {"#view-2", "2"},
    {"#view-3", "3"},
    {"#view-4", "4"},
    {"#view-5", "5"},
    {"#view-6", "6"},
    {"#view-7", "7"},
    {"#view-8", "8"},
    {"#end-confirm", "Escape"},
}};

// The message of a press on one of the page's buttons.
Message controlMessage(const PageControl& control);

// A finger on the orbit pad steers view 2 as the pointer does over the picture: moving sideways
// turns the orbit, and the finger's height in the pad sets the radius over its whole range (the
// top nearest, the bottom farthest), so the swipe on the picture keeps its turn. Only the first
// finger counts.
struct OrbitPad {
    bool down = false;
    long id = 0;
};

// The pointer's height, in client pixels, that gives the orbit its farthest radius.
constexpr int kOrbitPadSpan = 600;

// A finger came down on the pad: the orbit shows in view 2 only, so the pad selects it (as "2"
// does); MessageKind::None for a second finger.
Message orbitPadStarted(OrbitPad& pad, long id);
// The finger is at (x, y) in a pad `height` CSS pixels high: a pointer move.
Message orbitPadMoved(const OrbitPad& pad, long id, double x, double y, double height);
// The finger was lifted or the browser took it away.
void orbitPadEnded(OrbitPad& pad, long id);

// The page's events wait here between passes. Pointer moves that arrive back to back count as
// one, carrying the last position, so that keys never wait behind the mouse; so do the resizes
// of a window being dragged to a new size, carrying the last size.
using WebQueue = std::deque<Message>;

// Queues a message; MessageKind::None is dropped.
void queueMessage(WebQueue& queue, const Message& message);

// Takes this pass's message; false when none is waiting.
bool takeMessage(WebQueue& queue, Message* message);

// A pad as the page's Gamepad API shows it at one look (Gamepad.connected, .mapping,
// .buttons[i].pressed, .axes): its first buttons and axes, among which the standard mapping puts
// every control the game binds.
constexpr std::size_t kWebPadButtons = 16;
constexpr std::size_t kWebPadAxes = 4;
struct WebGamepad {
    bool connected = false;
    std::string mapping;
    std::array<bool, kWebPadButtons> pressed{};
    std::array<double, kWebPadAxes> axes{};
};

// The pad's state in the shared translation's terms (gamepad.h). Only the mapping "standard"
// says where each button and stick is: a pad in any other (the browser's "" for a pad it does
// not know) counts as no pad rather than as one misread.
PadState padFromWeb(const WebGamepad& gamepad);

// What the page keeps of its pads from one pass to the next, by their index in
// navigator.getGamepads().
struct WebPads {
    std::vector<Pad> pads;
    PadPointer pointer;
    bool looked = false;  // the pads have been looked at once
    bool seen = false;    // a pad in the standard mapping has been connected
    bool used = false;    // a pad has made a message
};

// This pass's look at the pads, `sampled[i]` being the pad at index i (an index past the end is
// no pad): the messages of their changes (gamepad.h) are queued, behind the page's events that
// came before the look. A pad there at the first look starts from what it holds, as on the
// desktop; one that appears later starts from rest, because a browser shows a pad to the page
// only once it is used, and the press that shows it is the player's.
void padsSampled(WebPads& pads, const std::vector<WebGamepad>& sampled, const PadContext& context,
                 WebQueue& queue);

// Takes this pass's message: the oldest waiting, or else, as on the desktop, the right sticks'
// pointer move; false when there is neither. A stick's motion never waits in the queue: each
// look sees only where the sticks are, and they move the pointer only when no other message is
// waiting.
bool takePassMessage(WebQueue& queue, WebPads& pads, const PadContext& context, Message* message);

}  // namespace app

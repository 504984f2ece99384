// sdl_events.h -- SDL events turned into the game's messages, one message per pass: the keyboard,
// the pointer, the window, and SDL's game controllers.
#pragma once

#include <deque>
#include <vector>

#include "app/gamepad.h"
#include "app/message.h"

union SDL_Event;

namespace app {

// Characters of a text event that are still to be handed out, one per pass.
using TextQueue = std::deque<int>;

// A game controller the layer has opened, by its joystick instance id.
struct SdlPad {
    int id = 0;
    Pad pad;
};

// What the layer keeps between passes beside SDL's own queue: characters and pad messages still
// to be handed out, the open controllers, and the right sticks' pointer.
struct SdlInput {
    TextQueue text;
    PadQueue padMessages;
    std::vector<SdlPad> pads;
    PadPointer pointer;
};

// Appends the code points of a UTF-8 string; a malformed sequence counts as U+FFFD.
void queueUtf8(const char* text, TextQueue& queue);

// The key code of an SDL key; every key the game does not bind maps to kKeyUnbound.
int keyCodeFor(int sdlKey);

// Turns one SDL event into a message. A text event queues all its characters and yields the
// first of them (or no message at all when the text is empty). A controller that is added is
// opened and followed from what it holds then; one that is removed is closed and forgotten; a
// button or an axis of one is a change of its state, whose messages (gamepad.h) are queued and
// the first of them yielded.
Message translateEvent(const SDL_Event& event, SdlInput& input);

// Sets up SDL's event queue before SDL_Init: every poll gathers what has arrived from the
// window system, so a message that is waiting is taken by the very next pass.
void configureEventQueue();

// Takes this pass's message without waiting: a character left from an earlier text event, or a
// pad's message left from an earlier event, first; otherwise at most one SDL event. A pointer
// move takes with it every move queued directly behind it and carries the last one's position;
// a controller's axis motion likewise takes every axis motion behind it. SDL's joystick-level
// events, which repeat the controllers' own, are passed over. When no event is waiting, or a
// controller's event made no message, a right stick held out of its dead zone moves the pointer.
// Returns false when nothing was waiting.
bool pollMessage(SdlInput& input, Message* message);

}  // namespace app

// sdl_events.h -- SDL events turned into the game's messages, one message per pass.
#pragma once

#include <deque>

#include "app/message.h"

union SDL_Event;

namespace app {

// Characters of a text event that are still to be handed out, one per pass.
using TextQueue = std::deque<int>;

// Appends the code points of a UTF-8 string; a malformed sequence counts as U+FFFD.
void queueUtf8(const char* text, TextQueue& queue);

// The key code of an SDL key; every key the game does not bind maps to kKeyUnbound.
int keyCodeFor(int sdlKey);

// Turns one SDL event into a message. A text event queues all its characters and yields the
// first of them (or no message at all when the text is empty).
Message translateEvent(const SDL_Event& event, TextQueue& pending);

// Sets up SDL's event queue before SDL_Init: every poll gathers what has arrived from the
// window system, so a message that is waiting is taken by the very next pass.
void configureEventQueue();

// Takes this pass's message without waiting: a character left from an earlier text event
// first, otherwise at most one SDL event. A pointer move takes with it every move queued
// directly behind it and carries the last one's position. Returns false when nothing was
// waiting.
bool pollMessage(TextQueue& pending, Message* message);

}  // namespace app

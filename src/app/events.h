// events.h -- SDL events turned into the game's messages, one message per pass.
#pragma once

#include <cstdint>
#include <deque>

union SDL_Event;

namespace app {

enum class MessageKind {
    None,       // an event the game does not handle (key-up, focus, ...)
    Quit,       // ends the loop; `code` is the exit status
    KeyDown,    // `code` is one of the kKey* codes of input.h
    Char,       // `code` is the typed character (a Unicode code point)
    MouseMove,  // `x`, `y` in client coordinates
    Resize,     // the window's size changed; the drawable size is asked for when handled
    Close,      // the window manager asked the window to close
    Placed,     // the window was shown or moved: its frame may have become known
};

struct Message {
    MessageKind kind = MessageKind::None;
    int code = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
};

// Characters of a text event that are still to be handed out, one per pass.
using TextQueue = std::deque<int>;

// Appends the code points of a UTF-8 string; a malformed sequence counts as U+FFFD.
void queueUtf8(const char* text, TextQueue& queue);

// The key code of an SDL key; every key the game does not bind maps to kKeyUnbound.
int keyCodeFor(int sdlKey);

// Turns one SDL event into a message. A text event queues all its characters and yields the
// first of them (or no message at all when the text is empty).
Message translateEvent(const SDL_Event& event, TextQueue& pending);

// Takes this pass's message without waiting: a character left from an earlier text event
// first, otherwise at most one SDL event. A pointer move takes with it every move queued
// directly behind it and carries the last one's position. Returns false when nothing was
// waiting.
bool pollMessage(TextQueue& pending, Message* message);

}  // namespace app

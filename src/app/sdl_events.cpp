// sdl_events.cpp -- SDL events turned into the game's messages.
#include "app/sdl_events.h"

#include <SDL.h>

#include <algorithm>
#include <limits>

#include "app/input.h"

namespace app {
namespace {

constexpr int kReplacementCharacter = 0xFFFD;

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

// Folds every motion event queued straight behind a taken one into it: the pointer's latest
// position wins. The window system the game was made for holds at most one pending pointer
// move, so a moving mouse can never build a queue that keys would wait behind.
void mergeQueuedMotion(Message& motion) {
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
           next.type == SDL_MOUSEMOTION &&
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

Message translateEvent(const SDL_Event& event, TextQueue& pending) {
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
            queueUtf8(event.text.text, pending);
            if (!pending.empty()) {
                message = takeCharacter(pending);
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

bool pollMessage(TextQueue& pending, Message* message) {
    if (!pending.empty()) {
        *message = takeCharacter(pending);
        return true;
    }
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        return false;
    }
    *message = translateEvent(event, pending);
    if (message->kind == MessageKind::MouseMove) {
        mergeQueuedMotion(*message);
    }
    return true;
}

}  // namespace app

// dispatch.h -- hands each message to its handler: the game's input, or the platform's window.
#pragma once

#include "app/message.h"

namespace app {

// What a platform layer does with the messages about its window. A null routine means the
// platform has nothing to do for that message.
struct WindowHandlers {
    void (*resize)(const Message& message);
    void (*close)();
    void (*placed)();
};

// Key-downs, characters and pointer moves go to the input handlers, the window's messages to
// `window`; the quit message and unhandled events go nowhere.
void dispatchMessage(const Message& message, const WindowHandlers& window);

}  // namespace app

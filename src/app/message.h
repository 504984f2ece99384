// message.h -- the game's window messages: what every platform layer turns its events into.
#pragma once

#include <cstdint>

namespace app {

enum class MessageKind {
    None,       // an event the game does not handle (key-up, focus, ...)
    Quit,       // ends the loop; `code` is the exit status
    KeyDown,    // `code` is one of the kKey* codes of input.h
    Char,       // `code` is the typed character (a Unicode code point)
    MouseMove,  // `x`, `y` in client coordinates
    Resize,     // the client area's size changed; `x`, `y` are its new width and height
    Close,      // the window manager asked the window to close
    Placed,     // the window was shown or moved: its frame may have become known
};

struct Message {
    MessageKind kind = MessageKind::None;
    int code = 0;
    std::uint16_t x = 0;
    std::uint16_t y = 0;
};

}  // namespace app

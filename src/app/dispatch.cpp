// dispatch.cpp -- the one mapping from a message to its handler.
#include "app/dispatch.h"

#include "app/input.h"

namespace app {

void dispatchMessage(const Message& message, const WindowHandlers& window) {
    switch (message.kind) {
        case MessageKind::KeyDown:
            onKeyDown(message.code);
            break;
        case MessageKind::Char:
            onChar(message.code);
            break;
        case MessageKind::MouseMove:
            onMouseMove(message.x, message.y);
            break;
        case MessageKind::Resize:
            if (window.resize != nullptr) {
                window.resize(message);
            }
            break;
        case MessageKind::Close:
            if (window.close != nullptr) {
                window.close();
            }
            break;
        case MessageKind::Placed:
            if (window.placed != nullptr) {
                window.placed();
            }
            break;
        case MessageKind::Quit:
        case MessageKind::None:
            break;
    }
}

}  // namespace app

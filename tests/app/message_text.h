// message_text.h -- a message as a short line of text, so that tables of expected messages read
// as the messages themselves: "M x,y" a pointer move, "K code" a key-down, "C code" a character.
#pragma once

#include <string>
#include <vector>

#include "app/message.h"

namespace app_test {

inline std::string describe(const app::Message& message) {
    using app::MessageKind;
    switch (message.kind) {
        case MessageKind::MouseMove:
            return "M " + std::to_string(message.x) + "," + std::to_string(message.y);
        case MessageKind::KeyDown:
            return "K " + std::to_string(message.code);
        case MessageKind::Char:
            return "C " + std::to_string(message.code);
        case MessageKind::Quit:
            return "quit";
        case MessageKind::Close:
            return "close";
        case MessageKind::None:
            return "none";
        default:
            return "other";
    }
}

inline std::vector<std::string> describe(const std::vector<app::Message>& messages) {
    std::vector<std::string> described;
    for (const app::Message& message : messages) {
        described.push_back(describe(message));
    }
    return described;
}

using Described = std::vector<std::string>;

}  // namespace app_test

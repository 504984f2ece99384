// win32_messages.cpp -- the translation of Win32 window messages.
#include "app/win32_messages.h"

namespace app {
namespace {

std::uint16_t lowWord(std::intptr_t value) {
    return static_cast<std::uint16_t>(static_cast<std::uintptr_t>(value) & 0xFFFF);
}

std::uint16_t highWord(std::intptr_t value) {
    return static_cast<std::uint16_t>((static_cast<std::uintptr_t>(value) >> 16) & 0xFFFF);
}

Message withCode(MessageKind kind, std::uintptr_t wParam) {
    Message message;
    message.kind = kind;
    message.code = static_cast<int>(wParam);
    return message;
}

Message withPoint(MessageKind kind, std::intptr_t lParam) {
    Message message;
    message.kind = kind;
    message.x = lowWord(lParam);
    message.y = highWord(lParam);
    return message;
}

}  // namespace

Message translateWindowMessage(unsigned code, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (code) {
        case kWmSize:
            return withPoint(MessageKind::Resize, lParam);
        case kWmClose:
            return withCode(MessageKind::Close, 0);
        case kWmQuit:
            return withCode(MessageKind::Quit, wParam);
        case kWmKeyDown:
            return withCode(MessageKind::KeyDown, wParam);
        case kWmChar:
            return withCode(MessageKind::Char, wParam);
        case kWmMouseMove:
            return withPoint(MessageKind::MouseMove, lParam);
        default:
            return Message{};
    }
}

}  // namespace app

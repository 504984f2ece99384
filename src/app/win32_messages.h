// win32_messages.h -- Win32 window messages turned into the game's messages. Needs no windows.h,
// so the translation builds and is tested on every platform.
#pragma once

#include <cstdint>

#include "app/message.h"

namespace app {

// The window messages the game handles, by their Win32 numbers.
constexpr unsigned kWmCreate = 0x0001;
constexpr unsigned kWmSize = 0x0005;
constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmQuit = 0x0012;
constexpr unsigned kWmKeyDown = 0x0100;
constexpr unsigned kWmChar = 0x0102;
constexpr unsigned kWmMouseMove = 0x0200;

// Turns one window message into a message: a key-down's code is its virtual-key code (the
// kKey* codes are those numbers), a character's is the character, the quit message's is its
// exit status; a size carries the client width and height, a pointer move the client position,
// both as the unsigned low and high 16 bits of `lParam`. Every other message is MessageKind::None.
Message translateWindowMessage(unsigned code, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace app

// win32_messages_test.cpp -- Win32 window messages to the game's messages, as a table.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/dispatch.h"
#include "app/input.h"
#include "app/win32_messages.h"
#include "game/state.h"
#include "game/world.h"

namespace {

using app::MessageKind;

struct Row {
    unsigned code;
    std::uintptr_t wParam;
    std::intptr_t lParam;
    MessageKind kind;
    int messageCode;
    int x, y;
};

// lParam packs two 16-bit values, x (or the width) low; on 64 bits the upper half is noise.
constexpr std::intptr_t pack(unsigned low, unsigned high) {
    return static_cast<std::intptr_t>((high << 16) | low);
}

const Row kRows[] = {
    // Virtual-key codes are the game's key codes; the character is the typed character.
    {app::kWmKeyDown, 27, 0x00010001, MessageKind::KeyDown, app::kKeyEscape, 0, 0},
    {app::kWmKeyDown, 0x26, 0x01480001, MessageKind::KeyDown, app::kKeyUp, 0, 0},
    {app::kWmKeyDown, 'Q', 0x00100001, MessageKind::KeyDown, 'Q', 0, 0},
    {app::kWmChar, 'q', 0x00100001, MessageKind::Char, 'q', 0, 0},
    {app::kWmChar, 0xE9, 1, MessageKind::Char, 0xE9, 0, 0},
    // The quit message's parameter is the exit status.
    {app::kWmQuit, 0, 0, MessageKind::Quit, 0, 0, 0},
    {app::kWmQuit, 3, 0, MessageKind::Quit, 3, 0, 0},
    {app::kWmClose, 0, 0, MessageKind::Close, 0, 0, 0},
    // Sizes and positions: both halves unsigned, never sign-extended.
    {app::kWmSize, 0, pack(784, 561), MessageKind::Resize, 0, 784, 561},
    {app::kWmSize, 1, pack(0, 0), MessageKind::Resize, 0, 0, 0},
    {app::kWmMouseMove, 0, pack(0xFFFD, 0x8001), MessageKind::MouseMove, 0, 0xFFFD, 0x8001},
    {app::kWmMouseMove, 0, -1, MessageKind::MouseMove, 0, 0xFFFF, 0xFFFF},
    // What the game does not handle, or what the platform layer handles itself.
    {app::kWmCreate, 0, 0, MessageKind::None, 0, 0, 0},
    {0x0101 /* WM_KEYUP */, 27, 0, MessageKind::None, 0, 0, 0},
    {0x0104 /* WM_SYSKEYDOWN */, 0x26, 0, MessageKind::None, 0, 0, 0},
    {0x0112 /* WM_SYSCOMMAND */, 0xF060, 0, MessageKind::None, 0, 0, 0},
    {0x000F /* WM_PAINT */, 0, 0, MessageKind::None, 0, 0, 0},
};

TEST(Win32Messages, TranslatesEachMessageTheGameHandles) {
    for (const Row& row : kRows) {
        const app::Message message = app::translateWindowMessage(row.code, row.wParam, row.lParam);
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << row.code << " wParam 0x"
                                        << row.wParam << " lParam 0x" << row.lParam);
        EXPECT_EQ(message.kind, row.kind);
        EXPECT_EQ(message.code, row.messageCode);
        EXPECT_EQ(message.x, row.x);
        EXPECT_EQ(message.y, row.y);
    }
}

// The arrows' and Escape's virtual-key codes, passed on as they come, steer and quit the game.
TEST(Win32Messages, VirtualKeysReachTheInputHandlers) {
    game::resetState();
    game::state.direction = game::kHeadingPlusZ;
    game::state.glideMode = true;
    const app::WindowHandlers none{nullptr, nullptr, nullptr};
    app::dispatchMessage(app::translateWindowMessage(app::kWmKeyDown, 0x26, 0), none);  // VK_UP
    EXPECT_EQ(game::state.direction, game::kHeadingPlusX);
    EXPECT_FALSE(game::state.glideMode);
    app::dispatchMessage(app::translateWindowMessage(app::kWmChar, '3', 0), none);
    EXPECT_TRUE(game::state.viewFlags[2]);
    EXPECT_FALSE(game::state.quitRequested);
    app::dispatchMessage(app::translateWindowMessage(app::kWmKeyDown, 0x1B, 0), none);
    EXPECT_TRUE(game::state.quitRequested);
}

}  // namespace

// win32_messages_test.cpp -- Win32 window messages, and XInput's reports pass by pass, to the
// game's messages, as tables.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/input.h"
#include "app/win32_messages.h"
#include "game/state.h"
#include "game/world.h"
#include "message_text.h"

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

// What XInput reports for one slot from a pass on, until the next report for that slot: a pad
// (its buttons and thumbsticks, y growing upward) or, with `there` false, none.
struct Report {
    unsigned pass;
    unsigned slot;
    bool there;
    std::uint16_t buttons;
    std::int16_t lx, ly, rx, ry;
};

// An Xbox pad at rest reads a few hundred off the centre on each thumbstick.
constexpr std::int16_t kRestLX = -1200, kRestLY = 800, kRestRX = 300, kRestRY = -900;

const std::vector<Report> kRecording = {
    {0, 0, true, 0, kRestLX, kRestLY, kRestRX, kRestRY},
    // Slot 1's pad is there from the start, holding A; it is found only at pass 15.
    {0, 1, true, app::kXInputA, kRestLX, kRestLY, kRestRX, kRestRY},
    {1, 0, true, app::kXInputA, kRestLX, kRestLY, kRestRX, kRestRY},
    {3, 0, true, app::kXInputDpadRight, kRestLX, kRestLY, kRestRX, kRestRY},
    {4, 0, true, 0, kRestLX, 20000, kRestRX, kRestRY},
    {5, 0, true, 0, kRestLX, 12000, kRestRX, kRestRY},
    {6, 0, true, app::kXInputRightShoulder, kRestLX, kRestLY, kRestRX, kRestRY},
    {7, 0, true, app::kXInputRightShoulder | app::kXInputLeftShoulder, 0, 0, 0, 0},
    {8, 0, true, app::kXInputBack, 0, 0, 0, 0},
    {9, 0, true, app::kXInputBack | app::kXInputStart, 0, 0, 0, 0},
    {10, 0, true, 0, 0, 0, 32767, 0},
    {13, 0, true, 0, 0, 0, 0, -32768},
    {15, 0, true, 0, 0, 0, 32767, 0},
    // Pulled out with its right stick held; plugged in again holding A, found at pass 60.
    {16, 0, false, 0, 0, 0, 0, 0},
    {20, 0, true, app::kXInputA, 0, 0, 0, 0},
    {18, 1, true, app::kXInputDpadDown, kRestLX, kRestLY, kRestRX, kRestRY},
    {62, 0, true, 0, 0, 0, 0, 0},
    {63, 0, true, app::kXInputA, -32768, 0, 0, 0},
    // With another window in front (passes 70 to 79), presses and the right stick do nothing;
    // back in front, what is held then is no press.
    {72, 1, true, app::kXInputDpadUp, kRestLX, kRestLY, kRestRX, kRestRY},
    {74, 0, true, app::kXInputStart | app::kXInputBack, 0, 0, 32767, 0},
    {76, 1, true, 0, kRestLX, kRestLY, kRestRX, kRestRY},
    {77, 1, true, app::kXInputA, kRestLX, kRestLY, kRestRX, kRestRY},
    {82, 0, true, 0, 0, 0, 0, 0},
    {84, 1, true, app::kXInputA | app::kXInputDpadUp, kRestLX, kRestLY, kRestRX, kRestRY},
};

constexpr unsigned kBehindFrom = 70;
constexpr unsigned kBehindUntil = 80;

// The message of each pass that has one.
const std::map<unsigned, std::string> kExpected = {
    {1, "K 32"},   {3, "K 39"},   {4, "K 38"},   {6, "C 50"},    {7, "C 49"},    {9, "K 27"},
    {10, "M 1,5"}, {11, "M 2,5"}, {12, "M 3,5"}, {13, "M 3,11"}, {14, "M 3,17"}, {15, "M 4,17"},
    {18, "K 40"},  {63, "K 37"},  {64, "K 32"},  {80, "M 5,17"}, {81, "M 6,17"}, {84, "K 38"},
};

unsigned playingPass = 0;
std::array<int, app::kXInputSlots> reads{};

bool playBack(unsigned slot, app::XInputState* state) {
    ++reads[slot];
    const Report* latest = nullptr;
    for (const Report& report : kRecording) {
        if (report.slot == slot && report.pass <= playingPass &&
            (latest == nullptr || report.pass >= latest->pass)) {
            latest = &report;
        }
    }
    if (latest == nullptr || !latest->there) {
        return false;
    }
    state->packetNumber = latest->pass;
    state->gamepad =
        app::XInputGamepad{latest->buttons, 0, 0, latest->lx, latest->ly, latest->rx, latest->ry};
    return true;
}

// Each pass as the Win32 layer runs it, with no window message waiting: the pads are read, a
// press they queued is the pass's message, else the right sticks' move; the game handles it.
TEST(XInputPads, RecordedReportsPassByPassGiveTheirMessages) {
    game::resetState();
    game::setupWorldWithSeed(7);
    const app::WindowHandlers none{nullptr, nullptr, nullptr};
    app::XInputPads pads;
    reads = {};
    for (playingPass = 0; playingPass < 120; ++playingPass) {
        const app::PadContext context = app::currentPadContext();
        const bool inFront = playingPass < kBehindFrom || playingPass >= kBehindUntil;
        app::pollXInput(pads, playBack, context, inFront);
        app::Message message;
        std::string taken;
        if (app::takeXInputMessage(pads, &message) ||
            app::steerWithXInputSticks(pads, context, &message)) {
            taken = app_test::describe(message);
            app::dispatchMessage(message, none);
        }
        const auto expected = kExpected.find(playingPass);
        EXPECT_EQ(taken, expected == kExpected.end() ? "" : expected->second)
            << "pass " << playingPass;
    }
    EXPECT_TRUE(game::state.quitRequested);
    EXPECT_TRUE(game::state.viewFlags[0]);
    // Empty slots are looked at once a second, not at every pass.
    EXPECT_EQ(reads[2], 2);
    EXPECT_EQ(reads[3], 2);
}

// A thumbstick's full range, y turned to grow downward; the buttons the game does not bind
// (B, X, Y, the thumbs' clicks) are no part of the pad's state.
TEST(XInputPads, ReportsTurnIntoThePadsState) {
    const app::PadState full = app::padFromXInput(
        app::XInputGamepad{0xF0C0 | app::kXInputA, 255, 255, -32768, 32767, 32767, -32768});
    EXPECT_TRUE(full.connected);
    EXPECT_EQ(full.buttons, app::kPadSouth);
    EXPECT_EQ(full.leftX, -1.0f);
    EXPECT_EQ(full.leftY, -1.0f);
    EXPECT_EQ(full.rightX, 1.0f);
    EXPECT_EQ(full.rightY, 1.0f);
    const app::PadState all = app::padFromXInput(app::XInputGamepad{0xFFFF, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(all.buttons, app::kPadSouth | app::kPadL1 | app::kPadR1 | app::kPadSelect |
                               app::kPadStart | app::kPadUp | app::kPadDown | app::kPadLeft |
                               app::kPadRight);
}

}  // namespace

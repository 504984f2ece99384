// gamepad_test.cpp -- a pad's states pass by pass and the messages they give, as tables: edges,
// the stick's half-way and dead zone, no repeat, the Start+Select chord, (dis)connection, the
// views' wrap, and the right stick's pointer.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/gamepad.h"
#include "game/state.h"
#include "game/world.h"
#include "message_text.h"

namespace {

using app::PadState;

PadState pad(std::uint16_t buttons, float leftX = 0.0f, float leftY = 0.0f) {
    PadState state;
    state.connected = true;
    state.buttons = buttons;
    state.leftX = leftX;
    state.leftY = leftY;
    return state;
}

const PadState kRest = pad(0);
const PadState kGone{};

constexpr std::uint16_t kStart = app::kPadStart;
constexpr std::uint16_t kSelect = app::kPadSelect;
constexpr std::uint16_t kSouth = app::kPadSouth;

// One pass: the pad as read then, the view shown, and the messages that pass gives, as
// message_text.h writes them, joined by "; ".
struct Pass {
    PadState pad;
    const char* messages;
    int view = 1;
};

struct Sequence {
    const char* name;
    std::vector<Pass> passes;
};

const Sequence kSequences[] = {
    {"each d-pad press is its arrow once, however long it is held",
     {{kRest, ""},
      {pad(app::kPadUp), "K 38"},
      {pad(app::kPadUp), ""},
      {pad(app::kPadUp | app::kPadRight), "K 39"},
      {pad(app::kPadRight), ""},
      {kRest, ""},
      {pad(app::kPadRight), "K 39"},
      {pad(app::kPadLeft | app::kPadDown), "K 40; K 37"}}},
    {"the left stick presses its arrow past half-way, again only once it has come back",
     {{kRest, ""},
      {pad(0, 0.0f, -0.45f), ""},
      {pad(0, 0.0f, -0.55f), "K 38"},
      {pad(0, 0.1f, -1.0f), ""},
      {pad(0, 0.0f, -0.4f), ""},
      {pad(0, 0.0f, -0.55f), ""},
      {pad(0, 0.0f, -0.3f), ""},
      {pad(0, 0.0f, -0.55f), "K 38"},
      {pad(0, 0.0f, 0.7f), "K 40"},
      {pad(0, -0.8f, 0.0f), "K 37"}}},
    {"exactly half-way, or diagonally short of it, is no press",
     {{kRest, ""}, {pad(0, 0.5f, 0.0f), ""}, {pad(0, -0.49f, 0.49f), ""}, {kRest, ""}}},
    {"swept round its rim, the stick presses the next arrow once, without flicking back",
     {{kRest, ""},
      {pad(0, 0.0f, -1.0f), "K 38"},
      {pad(0, 0.6f, -0.6f), ""},
      {pad(0, 0.93f, -0.3f), "K 39"},
      {pad(0, 0.6f, -0.62f), ""},
      {pad(0, 0.0f, 1.0f), "K 40"}}},
    {"the south button is Space, once a press",
     {{kRest, ""}, {pad(kSouth), "K 32"}, {pad(kSouth), ""}, {kRest, ""}, {pad(kSouth), "K 32"}}},
    {"R1 and L1 type the next and the previous view's digit, round from 8 to 1 and back",
     {{kRest, "", 1},
      {pad(app::kPadR1), "C 50", 1},
      {kRest, "", 2},
      {pad(app::kPadR1), "C 49", 8},
      {pad(app::kPadR1 | app::kPadL1), "C 56", 1},
      {pad(app::kPadR1), "", 8},
      {kRest, "", 8},
      {pad(app::kPadL1), "C 55", 8},
      {kRest, "", 7},
      {pad(app::kPadL1), "C 56", 1}}},
    {"Start and Select are Escape once both are held, whichever came first; alone, nothing",
     {{kRest, ""},
      {pad(kStart), ""},
      {kRest, ""},
      {pad(kSelect), ""},
      {pad(kSelect | kStart), "K 27"},
      {pad(kSelect | kStart), ""},
      {pad(kStart), ""},
      {pad(kStart | kSelect), "K 27"},
      {kRest, ""},
      {pad(kStart | kSelect), "K 27"}}},
    {"a pad that connects starts from what it holds, without a press",
     {{pad(kSouth | app::kPadUp | kStart | kSelect, 0.0f, 0.9f), ""},
      {pad(kSouth | app::kPadUp | kStart | kSelect, 0.0f, 0.9f), ""},
      {pad(app::kPadUp, 0.0f, 0.9f), ""},
      {pad(app::kPadUp | kSouth, 0.0f, 0.9f), "K 32"}}},
    {"a pad that disconnects holds nothing, and comes back from what it holds then",
     {{kRest, ""},
      {pad(kStart, 0.0f, -0.9f), "K 38"},
      {kGone, ""},
      {kGone, ""},
      {pad(kSelect, 0.0f, -0.9f), ""},
      {pad(kSelect | kStart, 0.0f, -0.9f), "K 27"},
      {kGone, ""},
      {pad(app::kPadDown), ""},
      {kRest, ""},
      {pad(app::kPadDown), "K 40"}}},
    {"every press of one pass, in order: arrows, Space, views, Escape",
     {{pad(kStart), ""},
      {pad(kStart | kSelect | kSouth | app::kPadR1 | app::kPadUp, 0.9f, 0.0f),
       "K 38; K 39; K 32; C 51; K 27", 2}}},
};

std::string joined(const app::PadQueue& queue) {
    std::string text;
    for (const app::Message& message : queue) {
        text += (text.empty() ? "" : "; ") + app_test::describe(message);
    }
    return text;
}

TEST(Gamepad, PadStatesPassByPassGiveTheirMessages) {
    for (const Sequence& sequence : kSequences) {
        SCOPED_TRACE(sequence.name);
        app::Pad tracked;
        for (std::size_t i = 0; i < sequence.passes.size(); ++i) {
            const Pass& pass = sequence.passes[i];
            app::PadContext context;
            context.view = pass.view;
            app::PadQueue out;
            app::padChanged(tracked, pass.pad, context, out);
            EXPECT_EQ(joined(out), pass.messages) << "pass " << i;
        }
    }
}

TEST(Gamepad, TheRightStickRestsInItsDeadZoneAndIsScaledBeyondIt) {
    struct Row {
        float x, y;
        float expectX, expectY;
    };
    const Row rows[] = {
        {0.0f, 0.0f, 0.0f, 0.0f},       {0.2f, -0.15f, 0.0f, 0.0f}, {0.25f, 0.0f, 0.0f, 0.0f},
        {0.625f, 0.0f, 0.5f, 0.0f},     {0.0f, -1.0f, 0.0f, -1.0f}, {-1.0f, 0.0f, -1.0f, 0.0f},
        {0.6f, 0.8f, 0.6f, 0.8f},        // full deflection along a diagonal keeps its direction
        {1.0f, 1.0f, 0.7071f, 0.7071f},  // a square stick's corner is no faster than its edge
    };
    for (const Row& row : rows) {
        PadState state = kRest;
        state.rightX = row.x;
        state.rightY = row.y;
        const app::Stick stick = app::rightStick(state);
        EXPECT_NEAR(stick.x, row.expectX, 1e-4) << row.x << "," << row.y;
        EXPECT_NEAR(stick.y, row.expectY, 1e-4) << row.x << "," << row.y;
    }
    PadState gone = kGone;
    gone.rightX = 1.0f;
    EXPECT_EQ(app::rightStick(gone).x, 0.0f);
}

// The sticks held at each pass, from a pointer first at (x, y), and the moves they give, the
// pointer then being where the game saw the last move.
struct Steering {
    const char* name;
    int x, y;
    std::vector<app::Stick> held;
    std::vector<std::string> moves;  // one a pass; "" for none
};

const Steering kSteering[] = {
    {"fully right, a pixel a pass",
     100,
     300,
     {{1, 0}, {1, 0}, {1, 0}},
     {"M 101,300", "M 102,300", "M 103,300"}},
    {"half way, a pixel every other pass",
     100,
     300,
     {{0.5f, 0}, {0.5f, 0}, {0.5f, 0}, {0.5f, 0}},
     {"", "M 101,300", "", "M 102,300"}},
    {"up and down, 6 pixels a pass, held within 5 to 600",
     100,
     14,
     {{0, -1}, {0, -1}, {0, -1}, {0, 1}, {0, 0.5f}},
     {"M 100,8", "M 100,5", "", "M 100,11", "M 100,14"}},
    {"down to the far end", 7, 597, {{0, 1}, {0, 1}, {-1, 1}}, {"M 7,600", "", "M 6,600"}},
    {"a pointer never moved (radius 0) takes the nearest height first", 0, 0, {{1, 0}}, {"M 1,5"}},
    {"from x 0 leftward the pointer jumps to the middle, then goes left",
     0,
     300,
     {{-1, 0}, {-1, 0}},
     {"M 32768,300", "M 32767,300"}},
    {"past the right end too", 65535, 300, {{1, 0}, {1, 0}}, {"M 32768,300", "M 32769,300"}},
    {"a stick let go forgets the part of a step it had made",
     100,
     300,
     {{0.5f, 0}, {0, 0}, {0.5f, 0}, {0.5f, 0}},
     {"", "", "", "M 101,300"}},
};

TEST(Gamepad, RightSticksSteerThePointer) {
    for (const Steering& row : kSteering) {
        SCOPED_TRACE(row.name);
        app::PadPointer pointer;
        app::PadContext context;
        context.pointerX = row.x;
        context.pointerY = row.y;
        for (std::size_t i = 0; i < row.held.size(); ++i) {
            app::Message message;
            std::string move;
            if (app::steerPointer(pointer, row.held[i], context, &message)) {
                move = app_test::describe(message);
                context.pointerX = message.x;
                context.pointerY = message.y;
            }
            EXPECT_EQ(move, row.moves[i]) << "pass " << i;
        }
    }
}

// Through the game's own handlers: the shoulders go round the eight views, the right stick
// turns the orbit and sets its radius, and the chord quits.
TEST(Gamepad, PadMessagesDriveTheGame) {
    game::resetState();
    game::setupWorldWithSeed(7);
    const app::WindowHandlers none{nullptr, nullptr, nullptr};
    app::Pad tracked;
    auto pass = [&](const PadState& now) {
        app::PadQueue out;
        app::padChanged(tracked, now, app::currentPadContext(), out);
        for (const app::Message& message : out) {
            app::dispatchMessage(message, none);
        }
    };
    auto shown = [] { return app::currentPadContext().view; };
    pass(kRest);
    std::vector<int> views;
    for (int i = 0; i < 9; ++i) {
        pass(pad(app::kPadR1));
        views.push_back(shown());
        pass(kRest);
    }
    EXPECT_EQ(views, (std::vector<int>{2, 3, 4, 5, 6, 7, 8, 1, 2}));
    pass(pad(app::kPadL1));
    pass(kRest);
    pass(pad(app::kPadL1));
    EXPECT_EQ(shown(), 8);

    app::PadPointer pointer;
    const app::Stick rightAndUp{1.0f, -0.5f};
    for (int i = 0; i < 10; ++i) {
        app::Message message;
        ASSERT_TRUE(app::steerPointer(pointer, rightAndUp, app::currentPadContext(), &message));
        app::dispatchMessage(message, none);
    }
    EXPECT_EQ(game::state.orbitAngle, 10.0f);
    EXPECT_EQ(game::state.orbitRadius, 5);  // held at 5, however far up the stick pushes it
    for (int i = 0; i < 10; ++i) {
        app::Message message;
        ASSERT_TRUE(app::steerPointer(pointer, app::Stick{-1.0f, 1.0f}, app::currentPadContext(),
                                      &message));
        app::dispatchMessage(message, none);
    }
    EXPECT_EQ(game::state.orbitAngle, 0.0f);
    EXPECT_EQ(game::state.orbitRadius, 65);

    pass(pad(kSelect));
    EXPECT_FALSE(game::state.quitRequested);
    pass(pad(kSelect | kStart));
    EXPECT_TRUE(game::state.quitRequested);
}

}  // namespace

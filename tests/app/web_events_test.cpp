// web_events_test.cpp -- the page's keys, touches, buttons, orbit pad, pointer moves and gamepads
// as the game's messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/input.h"
#include "app/web_events.h"
#include "message_text.h"

namespace {

using app::Message;
using app::MessageKind;

struct KeyCase {
    const char* key;
    bool command;
    MessageKind kind;
    int code;
};

TEST(WebEventsTest, KeysAreVirtualKeyCodesOrTypedCharacters) {
    const KeyCase cases[] = {
        {"ArrowLeft", false, MessageKind::KeyDown, app::kKeyLeft},
        {"ArrowUp", false, MessageKind::KeyDown, app::kKeyUp},
        {"ArrowRight", false, MessageKind::KeyDown, app::kKeyRight},
        {"ArrowDown", false, MessageKind::KeyDown, app::kKeyDown},
        {" ", false, MessageKind::KeyDown, app::kKeySpace},
        {"Escape", false, MessageKind::KeyDown, app::kKeyEscape},
        // A held Ctrl does not stop a turn, as on the desktop.
        {"ArrowUp", true, MessageKind::KeyDown, app::kKeyUp},
        {"3", false, MessageKind::Char, '3'},
        {"q", false, MessageKind::Char, 'q'},
        {"Q", false, MessageKind::Char, 'Q'},
        {"\xc3\xa9", false, MessageKind::Char, 0xE9},             // é, two bytes
        {"\xe2\x82\xac", false, MessageKind::Char, 0x20AC},       // €, three bytes
        {"\xf0\x9f\x90\x8d", false, MessageKind::Char, 0x1F40D},  // a snake, four bytes
        // The browser's own: Ctrl+Q, Alt+1, named keys, dead keys, broken text.
        {"q", true, MessageKind::None, 0},
        {"1", true, MessageKind::None, 0},
        {"Shift", false, MessageKind::None, 0},
        {"F5", false, MessageKind::None, 0},
        {"Dead", false, MessageKind::None, 0},
        {"Enter", false, MessageKind::None, 0},
        {"", false, MessageKind::None, 0},
        {"\x7f", false, MessageKind::None, 0},
        {"\xc3", false, MessageKind::None, 0},
        {"\xc3\xa9z", false, MessageKind::None, 0},
    };
    for (const KeyCase& c : cases) {
        const Message message = app::translateKey(app::WebKey{c.key, c.command});
        EXPECT_EQ(message.kind, c.kind) << '"' << c.key << "\" command " << c.command;
        EXPECT_EQ(message.code, c.code) << '"' << c.key << "\" command " << c.command;
        // The browser keeps its default exactly for the keys the game takes nothing from, so
        // that arrows and Space never scroll and its own keys keep working.
        EXPECT_EQ(app::browserKeepsKey(message), c.kind == MessageKind::None) << c.key;
    }
}

Message swipe(double dx, double dy) {
    app::Touch touch;
    app::touchStarted(touch, 7, 100.0, 100.0);
    Message turn = app::touchMoved(touch, 7, 100.0 + dx, 100.0 + dy);
    // Moving on in the same touch turns no more, nor does lifting the finger.
    EXPECT_EQ(app::touchMoved(touch, 7, 100.0 + 3 * dx, 100.0 + 3 * dy).kind, MessageKind::None);
    EXPECT_EQ(app::touchEnded(touch, 7, 100.0 + 3 * dx, 100.0 + 3 * dy).kind, MessageKind::None);
    return turn;
}

TEST(WebEventsTest, ASwipeIsTheArrowOfItsWayAndATapIsSpace) {
    const double far = app::kSwipeDistance;
    EXPECT_EQ(swipe(0, -far).code, app::kKeyUp);
    EXPECT_EQ(swipe(0, far).code, app::kKeyDown);
    EXPECT_EQ(swipe(-far, 0).code, app::kKeyLeft);
    EXPECT_EQ(swipe(far, 0).code, app::kKeyRight);
    EXPECT_EQ(swipe(0.6 * far, -0.8 * far).code, app::kKeyUp);  // the way it went furthest
    EXPECT_EQ(swipe(0.8 * far, 0.6 * far).code, app::kKeyRight);
    EXPECT_EQ(swipe(0, -far).kind, MessageKind::KeyDown);

    // Short of the swipe's distance the move is no swipe; lifted there, the touch is a tap.
    app::Touch touch;
    app::touchStarted(touch, 1, 50.0, 50.0);
    EXPECT_EQ(app::touchMoved(touch, 1, 50.0, 50.0 - (far - 1)).kind, MessageKind::None);
    const Message tap = app::touchEnded(touch, 1, 52.0, 49.0);
    EXPECT_EQ(tap.kind, MessageKind::KeyDown);
    EXPECT_EQ(tap.code, app::kKeySpace);

    // A swipe whose moves were not reported is still a swipe when the finger is lifted.
    app::touchStarted(touch, 2, 50.0, 50.0);
    EXPECT_EQ(app::touchEnded(touch, 2, 50.0 - 2 * far, 50.0).code, app::kKeyLeft);
}

TEST(WebEventsTest, OnlyTheFirstFingerCountsAndACancelledTouchDoesNothing) {
    app::Touch touch;
    app::touchStarted(touch, 1, 50.0, 50.0);
    app::touchStarted(touch, 2, 300.0, 300.0);
    EXPECT_EQ(app::touchMoved(touch, 2, 300.0, 200.0).kind, MessageKind::None);
    EXPECT_EQ(app::touchEnded(touch, 2, 300.0, 300.0).kind, MessageKind::None);
    EXPECT_EQ(app::touchMoved(touch, 1, 50.0, 150.0).code, app::kKeyDown);

    app::Touch cancelled;
    app::touchStarted(cancelled, 3, 50.0, 50.0);
    app::touchCancelled(cancelled);
    EXPECT_EQ(app::touchEnded(cancelled, 3, 50.0, 50.0).kind, MessageKind::None);
    // The next touch starts afresh.
    app::touchStarted(cancelled, 4, 10.0, 10.0);
    EXPECT_EQ(app::touchEnded(cancelled, 4, 10.0, 10.0).code, app::kKeySpace);
}

// The buttons reach the game exactly as their keys do: the digits' characters (which choose the
// view) and Escape's key-down (which ends the game with the status 27).
TEST(WebEventsTest, EachButtonIsItsKeysOwnMessage) {
    struct Expected {
        const char* selector;
        MessageKind kind;
        int code;
    };
    const Expected expected[] = {
        {"#view-1", MessageKind::Char, '1'},
        {"#view-2", MessageKind::Char, '2'},
        {"#view-3", MessageKind::Char, '3'},
        {"#view-4", MessageKind::Char, '4'},
        {"#view-5", MessageKind::Char, '5'},
        {"#view-6", MessageKind::Char, '6'},
        {"#view-7", MessageKind::Char, '7'},
        {"#view-8", MessageKind::Char, '8'},
        {"#end-confirm", MessageKind::KeyDown, app::kKeyEscape},
    };
    ASSERT_EQ(app::kPageControls.size(), std::size(expected));
    std::set<std::string> selectors;
    for (const Expected& e : expected) {
        const auto control = std::find_if(
            app::kPageControls.begin(), app::kPageControls.end(),
            [&](const app::PageControl& c) { return std::strcmp(c.selector, e.selector) == 0; });
        ASSERT_NE(control, app::kPageControls.end()) << e.selector;
        const Message message = app::controlMessage(*control);
        EXPECT_EQ(message.kind, e.kind) << e.selector;
        EXPECT_EQ(message.code, e.code) << e.selector;
        selectors.insert(control->selector);
    }
    EXPECT_EQ(selectors.size(), std::size(expected));
}

// The orbit pad: the first finger selects view 2 and then moves the pointer, its height in the
// pad spread over the orbit's whole radius; nothing it does turns the snake or is Space.
TEST(WebEventsTest, TheOrbitPadSelectsView2AndMovesThePointerOverTheWholeRadius) {
    constexpr double kHeight = 120.0;
    app::OrbitPad pad;
    EXPECT_EQ(app::orbitPadMoved(pad, 1, 10.0, 10.0, kHeight).kind, MessageKind::None);
    const Message view = app::orbitPadStarted(pad, 1);
    EXPECT_EQ(view.kind, MessageKind::Char);
    EXPECT_EQ(view.code, '2');
    EXPECT_EQ(app::orbitPadStarted(pad, 2).kind, MessageKind::None);  // a second finger

    struct Move {
        long id;
        double x, y;
        MessageKind kind;
        int pointerX, pointerY;
    };
    const Move moves[] = {
        {1, 10.4, 0.0, MessageKind::MouseMove, 10, 0},
        {1, 10.6, 60.0, MessageKind::MouseMove, 11, app::kOrbitPadSpan / 2},
        {1, 50.0, kHeight, MessageKind::MouseMove, 50, app::kOrbitPadSpan},
        // A finger that slides off the pad keeps to its edges.
        {1, -5.0, -30.0, MessageKind::MouseMove, 0, 0},
        {1, 70.0, 2 * kHeight, MessageKind::MouseMove, 70, app::kOrbitPadSpan},
        {2, 70.0, 60.0, MessageKind::None, 0, 0},  // the second finger
    };
    for (const Move& m : moves) {
        const Message message = app::orbitPadMoved(pad, m.id, m.x, m.y, kHeight);
        EXPECT_EQ(message.kind, m.kind) << m.x << ", " << m.y;
        EXPECT_EQ(message.x, m.pointerX) << m.x << ", " << m.y;
        EXPECT_EQ(message.y, m.pointerY) << m.x << ", " << m.y;
    }
    // A pad not laid out (no height) moves nothing.
    EXPECT_EQ(app::orbitPadMoved(pad, 1, 5.0, 5.0, 0.0).kind, MessageKind::None);

    app::orbitPadEnded(pad, 2);  // not the pad's finger
    EXPECT_EQ(app::orbitPadMoved(pad, 1, 5.0, 5.0, kHeight).kind, MessageKind::MouseMove);
    app::orbitPadEnded(pad, 1);
    EXPECT_EQ(app::orbitPadMoved(pad, 1, 5.0, 5.0, kHeight).kind, MessageKind::None);
    EXPECT_EQ(app::orbitPadStarted(pad, 3).code, '2');  // the next finger starts afresh
}

TEST(WebEventsTest, MovesOrResizesBackToBackAreOneAndKeysKeepTheirTurn) {
    app::WebQueue queue;
    app::queueMessage(queue, app::pointerMessage(10, 20));
    app::queueMessage(queue, app::pointerMessage(-5, 70000));  // clamped to the client range
    app::queueMessage(queue, Message{});                       // nothing for the game: dropped
    app::queueMessage(queue, app::translateKey(app::WebKey{"ArrowUp", false}));
    app::queueMessage(queue, app::pointerMessage(30, 40));
    app::queueMessage(queue, app::resizeMessage(1000, 700));
    app::queueMessage(queue, app::resizeMessage(1600, 1200));

    Message message;
    ASSERT_TRUE(app::takeMessage(queue, &message));
    EXPECT_EQ(message.kind, MessageKind::MouseMove);
    EXPECT_EQ(message.x, 0);
    EXPECT_EQ(message.y, 65535);
    ASSERT_TRUE(app::takeMessage(queue, &message));
    EXPECT_EQ(message.code, app::kKeyUp);
    ASSERT_TRUE(app::takeMessage(queue, &message));
    EXPECT_EQ(message.x, 30);
    ASSERT_TRUE(app::takeMessage(queue, &message));
    EXPECT_EQ(message.kind, MessageKind::Resize);
    EXPECT_EQ(message.x, 1600);
    EXPECT_EQ(message.y, 1200);
    EXPECT_FALSE(app::takeMessage(queue, &message));
}

// A pad as the Gamepad API shows it: the buttons pressed, by index, and the four axes.
app::WebGamepad gamepad(const char* mapping, std::initializer_list<std::size_t> pressed,
                        std::array<double, app::kWebPadAxes> axes = {}) {
    app::WebGamepad pad;
    pad.connected = true;
    pad.mapping = mapping;
    for (const std::size_t index : pressed) {
        pad.pressed[index] = true;
    }
    pad.axes = axes;
    return pad;
}

app::WebGamepad standard(std::initializer_list<std::size_t> pressed,
                         std::array<double, app::kWebPadAxes> axes = {}) {
    return gamepad("standard", pressed, axes);
}

const app::WebGamepad kUnplugged{};

// One look at the pads, by index, and the messages it queues (message_text.h, "; " between).
struct Look {
    std::vector<app::WebGamepad> pads;
    const char* messages;
};

struct Looks {
    const char* name;
    std::vector<Look> looks;
};

const Looks kLooks[] = {
    {"the standard mapping's places: 12-15 the arrows, 0 Space, 5 and 4 the next and previous "
     "view, 9 and 8 together Escape",
     {{{standard({})}, ""},
      {{standard({12})}, "K 38"},
      {{standard({13})}, "K 40"},
      {{standard({14})}, "K 37"},
      {{standard({15})}, "K 39"},
      {{standard({0})}, "K 32"},
      {{standard({5})}, "C 50"},
      {{standard({4})}, "C 56"},
      {{standard({9})}, ""},
      {{standard({9, 8})}, "K 27"},
      {{standard({1, 2, 3, 6, 7, 10, 11})}, ""}}},
    {"axes 0 and 1 are the left stick, right and down positive; 2 and 3 turn nothing",
     {{{standard({})}, ""},
      {{standard({}, {0.0, -0.9})}, "K 38"},
      {{standard({}, {0.0, 0.9})}, "K 40"},
      {{standard({}, {-0.9, 0.0})}, "K 37"},
      {{standard({}, {0.9, 0.0})}, "K 39"},
      {{standard({}, {0.0, 0.0, 1.0, -1.0})}, ""},
      {{standard({}, {0.0, 0.0, -1.0, 1.0})}, ""}}},
    {"a pad in another mapping is no pad: nothing it presses counts",
     {{{gamepad("", {})}, ""},
      {{gamepad("", {12})}, ""},
      {{gamepad("", {0, 5}, {0.0, -1.0})}, ""},
      {{gamepad("xr-standard", {9, 8})}, ""}}},
    {"a pad there at the first look starts from what it holds; pulled out, it holds nothing",
     {{{standard({9, 12, 0}, {0.0, 0.9})}, ""},
      {{standard({9, 12, 0}, {0.0, 0.9})}, ""},
      {{kUnplugged}, ""},
      {{}, ""},
      {{standard({12})}, "K 38"},
      {{standard({12, 8})}, ""},
      {{standard({8, 9})}, "K 27"}}},
    {"a pad that appears later starts from rest: the press that shows it counts",
     {{{}, ""},
      {{standard({12})}, "K 38"},
      {{kUnplugged, standard({0}, {0.9, 0.0})}, "K 39; K 32"},
      {{gamepad("", {0}), standard({0}, {0.9, 0.0})}, ""},
      {{standard({0}), standard({0})}, "K 32"}}},
    {"each pad has its own presses: Start on one and Select on another are no chord",
     {{{standard({}), standard({})}, ""},
      {{standard({9}), standard({12})}, "K 38"},
      {{standard({9}), standard({8, 12})}, ""},
      {{standard({9, 15}), standard({8, 13})}, "K 39; K 40"}}},
};

TEST(WebEventsTest, LooksAtThePadsQueueTheirMessages) {
    for (const Looks& sequence : kLooks) {
        SCOPED_TRACE(sequence.name);
        app::WebPads pads;
        for (std::size_t i = 0; i < sequence.looks.size(); ++i) {
            app::WebQueue queue;
            app::padsSampled(pads, sequence.looks[i].pads, app::PadContext{}, queue);
            std::string text;
            for (const Message& message : queue) {
                text += (text.empty() ? "" : "; ") + app_test::describe(message);
            }
            EXPECT_EQ(text, sequence.looks[i].messages) << "look " << i;
        }
    }
}

// The page's events and the pads share the one queue: what came first is taken first, one
// message a pass, and the right sticks move the pointer only in a pass that has nothing else.
TEST(WebEventsTest, ThePadsTakeTheirTurnInThePagesQueueAndTheSticksWaitForAQuietPass) {
    app::WebPads pads;
    app::WebQueue queue;
    app::PadContext context;
    context.pointerX = 100;
    context.pointerY = 300;
    std::vector<std::string> taken;
    auto pass = [&](const std::vector<app::WebGamepad>& look, int times = 1) {
        for (int i = 0; i < times; ++i) {
            app::padsSampled(pads, look, context, queue);
            Message message;
            const bool took = app::takePassMessage(queue, pads, context, &message);
            taken.push_back(took ? app_test::describe(message) : "");
            if (took && message.kind == MessageKind::MouseMove) {
                context.pointerX = message.x;
                context.pointerY = message.y;
            }
        }
    };
    const std::array<double, app::kWebPadAxes> rightAndDown{0.0, 0.0, 1.0, 1.0};
    const std::array<double, app::kWebPadAxes> halfRight{0.0, 0.0, 0.625, 0.0};

    pass({gamepad("", {}, rightAndDown)});
    EXPECT_FALSE(pads.seen);
    pass({standard({})});
    EXPECT_TRUE(pads.seen);
    EXPECT_FALSE(pads.used);
    app::queueMessage(queue, app::translateKey(app::WebKey{"ArrowUp", false}));
    app::queueMessage(queue, app::pointerMessage(100, 300));
    pass({standard({5, 0}, rightAndDown)}, 6);
    EXPECT_TRUE(pads.used);
    pass({standard({})});
    // Two pads' sticks add up: each half-way out of its dead zone, a pixel a pass together.
    pass({standard({}, halfRight), standard({}, halfRight)}, 2);
    // Pulled out with its stick held, a pad steers no more: the other, alone, every other pass.
    pass({kUnplugged, standard({}, halfRight)}, 2);
    pass({kUnplugged, kUnplugged});
    EXPECT_EQ(taken, (app_test::Described{"", "", "K 38", "M 100,300", "K 32", "C 50", "M 100,304",
                                          "M 101,308", "", "M 102,308", "M 103,308", "",
                                          "M 104,308", ""}));
}

}  // namespace

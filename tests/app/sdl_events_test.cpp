// sdl_events_test.cpp -- SDL events to messages: key codes, text one character per pass, pointer
// moves merged, key repeat.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "app/input.h"
#include "app/sdl_events.h"
#include "game/state.h"
#include "game/world.h"
#include "message_text.h"

namespace {

std::vector<int> decode(const char* text) {
    app::TextQueue queue;
    app::queueUtf8(text, queue);
    return {queue.begin(), queue.end()};
}

SDL_Event textEvent(const char* text) {
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, text, sizeof event.text.text - 1);
    return event;
}

SDL_Event keyEvent(Uint32 type, SDL_Keycode key, bool repeat = false) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = key;
    event.key.repeat = repeat ? 1 : 0;
    return event;
}

SDL_Event motionEvent(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    return event;
}

SDL_Event windowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    return event;
}

TEST(Utf8, DecodesEveryLengthAndReplacesMalformedBytes) {
    EXPECT_EQ(decode("qQ3"), (std::vector<int>{'q', 'Q', '3'}));
    EXPECT_EQ(decode("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (std::vector<int>{0xE9, 0x20AC, 0x1F600}));
    // A cut-short sequence is one replacement; the byte that cut it is read afresh.
    EXPECT_EQ(decode("\xC3q"), (std::vector<int>{0xFFFD, 'q'}));
    EXPECT_EQ(decode("\xE2\x82"), (std::vector<int>{0xFFFD}));
    EXPECT_EQ(decode("\x80\xFFq"), (std::vector<int>{0xFFFD, 0xFFFD, 'q'}));
    EXPECT_TRUE(decode("").empty());
}

TEST(KeyCodes, OnlyTheBoundKeysHaveCodes) {
    // Letters and digits arrive as typed characters; SDL's own codes for them must not alias
    // the arrows (SDLK_QUOTE is 39, for instance). 0 is kKeyUnbound.
    const std::pair<SDL_Keycode, int> cases[] = {
        {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},    {SDLK_LEFT, 37},     {SDLK_UP, 38},
        {SDLK_RIGHT, 39},  {SDLK_DOWN, 40},     {SDLK_q, 0},         {SDLK_3, 0},
        {SDLK_QUOTE, 0},   {SDLK_AMPERSAND, 0}, {SDLK_LEFTPAREN, 0}, {SDLK_KP_4, 0},
        {SDLK_RETURN, 0},  {SDLK_F1, 0},
    };
    for (const auto& [key, code] : cases) {
        EXPECT_EQ(app::keyCodeFor(key), code) << key;
    }
}

TEST(TranslateEvent, MapsEachKindOfEvent) {
    app::SdlInput input;
    app::Message message = app::translateEvent(keyEvent(SDL_KEYDOWN, SDLK_UP), input);
    EXPECT_EQ(message.kind, app::MessageKind::KeyDown);
    EXPECT_EQ(message.code, app::kKeyUp);

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    message = app::translateEvent(quit, input);
    EXPECT_EQ(message.kind, app::MessageKind::Quit);
    EXPECT_EQ(message.code, 0);

    using app::MessageKind;
    const std::pair<SDL_Event, MessageKind> cases[] = {
        {keyEvent(SDL_KEYUP, SDLK_UP), MessageKind::None},
        {windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED), MessageKind::Resize},
        {windowEvent(SDL_WINDOWEVENT_CLOSE), MessageKind::Close},
        {windowEvent(SDL_WINDOWEVENT_SHOWN), MessageKind::Placed},
        {windowEvent(SDL_WINDOWEVENT_MOVED), MessageKind::Placed},
        {windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), MessageKind::None},
        {textEvent(""), MessageKind::None},
    };
    for (const auto& [event, kind] : cases) {
        EXPECT_EQ(app::translateEvent(event, input).kind, kind)
            << "event " << event.type << "/" << int{event.window.event};
    }
    EXPECT_TRUE(input.text.empty());
}

TEST(TranslateEvent, PointerCoordinatesStayInsideSixteenBits) {
    app::SdlInput input;
    app::Message message = app::translateEvent(motionEvent(799, 599), input);
    EXPECT_EQ(message.kind, app::MessageKind::MouseMove);
    EXPECT_EQ(message.x, 799);
    EXPECT_EQ(message.y, 599);
    // Outside the client area (a grabbed pointer) the values are held at the edges rather
    // than wrapped into huge unsigned ones.
    message = app::translateEvent(motionEvent(-3, 70000), input);
    EXPECT_EQ(message.x, 0);
    EXPECT_EQ(message.y, 65535);
}

class PollTest : public ::testing::Test {
protected:
    void SetUp() override {
        app::configureEventQueue();
        ASSERT_EQ(SDL_Init(SDL_INIT_EVENTS), 0) << SDL_GetError();
    }
    void TearDown() override { SDL_Quit(); }

    void push(std::initializer_list<SDL_Event> events) {
        for (SDL_Event event : events) {
            ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
        }
    }

    // Every message the queue yields, one poll per pass, until a poll finds nothing.
    std::vector<app::Message> drain() {
        std::vector<app::Message> taken;
        app::Message message;
        while (app::pollMessage(input, &message)) {
            taken.push_back(message);
            if (taken.size() > 1000) {
                ADD_FAILURE() << "the queue does not drain";
                break;
            }
        }
        return taken;
    }

    app::SdlInput input;
};

using app_test::describe;
using app_test::Described;

// Messages that arrive between passes, one or two at a time, after passes that took a message
// or found none: each is taken by the very next pass, never a pass late.
TEST_F(PollTest, AMessageThatHasArrivedIsTakenByTheNextPass) {
    const int arrivals[] = {1, 0, 1, 1, 2, 0, 0, 1, 2, 1, 0, 1};
    // The arrows in the order of their codes, 37 to 40.
    const SDL_Keycode arrows[] = {SDLK_LEFT, SDLK_UP, SDLK_RIGHT, SDLK_DOWN};
    int sent = 0;
    int taken = 0;
    for (int pass = 0; pass < static_cast<int>(std::size(arrivals)); ++pass) {
        for (int i = 0; i < arrivals[pass]; ++i) {
            push({keyEvent(SDL_KEYDOWN, arrows[sent % 4])});
            ++sent;
        }
        app::Message message;
        const bool took = app::pollMessage(input, &message);
        EXPECT_EQ(took, taken < sent) << "pass " << pass;
        if (took) {
            EXPECT_EQ(describe(message), "K " + std::to_string(37 + taken % 4)) << "pass " << pass;
            ++taken;
        }
    }
    EXPECT_EQ(taken, sent);
}

TEST_F(PollTest, QueuedMovesAreOneMessageAtTheLatestPosition) {
    push({motionEvent(10, 20), motionEvent(30, 40), motionEvent(-5, 700)});
    EXPECT_EQ(describe(drain()), (Described{"M 0,700"}));
}

TEST_F(PollTest, MovesMergeOnlyUpToTheNextEventOfAnotherKind) {
    push({motionEvent(1, 1), motionEvent(2, 2), keyEvent(SDL_KEYDOWN, SDLK_UP), motionEvent(3, 3),
          keyEvent(SDL_KEYUP, SDLK_UP), motionEvent(4, 4), motionEvent(5, 5),
          windowEvent(SDL_WINDOWEVENT_CLOSE), motionEvent(6, 6)});
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    push({quit, motionEvent(7, 7)});
    EXPECT_EQ(describe(drain()), (Described{"M 2,2", "K 38", "M 3,3", "none", "M 5,5", "close",
                                            "M 6,6", "quit", "M 7,7"}));
}

TEST_F(PollTest, CharactersOfATextEventComeOutBeforeTheMovesBehindIt) {
    push({motionEvent(8, 8), textEvent("q1"), motionEvent(9, 9), motionEvent(11, 12)});
    EXPECT_EQ(describe(drain()), (Described{"M 8,8", "C 113", "C 49", "M 11,12"}));
}

// A burst of moves costs the keys behind it one pass, and turns the orbit by a single degree.
TEST_F(PollTest, ABurstOfSixHundredMovesIsOnePassAndOneDegree) {
    for (int i = 1; i <= 600; ++i) {
        push({motionEvent(100 + i % 600, 100 + i % 400)});
    }
    push({keyEvent(SDL_KEYDOWN, SDLK_ESCAPE)});
    const std::vector<app::Message> taken = drain();
    ASSERT_EQ(describe(taken), (Described{"M 100,300", "K 27"}));
    game::resetState();
    app::onMouseMove(taken[0].x, taken[0].y);
    EXPECT_EQ(game::state.orbitAngle, 1.0f);
    EXPECT_EQ(game::state.orbitRadius, 300);
}

// A held key repeats its key-down; each repeat is a message of its own, handled like the first.
TEST_F(PollTest, RepeatedKeyDownsReachTheKeyDownHandler) {
    game::resetState();
    game::setupWorldWithSeed(7);
    push({keyEvent(SDL_KEYDOWN, SDLK_UP), keyEvent(SDL_KEYDOWN, SDLK_UP, true),
          keyEvent(SDL_KEYDOWN, SDLK_LEFT, true), keyEvent(SDL_KEYDOWN, SDLK_LEFT, true)});
    const std::vector<app::Message> taken = drain();
    ASSERT_EQ(describe(taken), (Described{"K 38", "K 38", "K 37", "K 37"}));
    // A stream of accepted turns: Up leaves the glide, the held Left turns from +X to -Z.
    for (const app::Message& message : taken) {
        app::onKeyDown(message.code);
    }
    EXPECT_FALSE(game::state.glideMode);
    EXPECT_EQ(game::state.direction, game::kHeadingMinusZ);

    // Space held through a death: the repeats before it do nothing, the first one after it
    // continues at once.
    push({keyEvent(SDL_KEYDOWN, SDLK_SPACE), keyEvent(SDL_KEYDOWN, SDLK_SPACE, true)});
    app::Message message;
    ASSERT_TRUE(app::pollMessage(input, &message));
    app::onKeyDown(message.code);
    EXPECT_EQ(game::state.lives, 3);
    game::state.snakeDead = true;
    ASSERT_TRUE(app::pollMessage(input, &message));
    EXPECT_EQ(describe(message), "K 32");
    app::onKeyDown(message.code);
    EXPECT_EQ(game::state.lives, 2);
    EXPECT_FALSE(game::state.snakeDead);
}

TEST_F(PollTest, TextIsHandedOutOneCharacterPerPassInOrder) {
    SDL_Event text = textEvent("q\xC3\xA9Q");
    SDL_Event escape = keyEvent(SDL_KEYDOWN, SDLK_ESCAPE);
    ASSERT_EQ(SDL_PushEvent(&text), 1);
    ASSERT_EQ(SDL_PushEvent(&escape), 1);

    app::SdlInput input;
    std::vector<app::Message> taken;
    app::Message message;
    // Once the four are taken, nothing is left: the poll reports false.
    while (app::pollMessage(input, &message)) {
        taken.push_back(message);
        ASSERT_LT(taken.size(), 10u);
    }
    ASSERT_EQ(taken.size(), 4u);
    EXPECT_EQ(taken[0].kind, app::MessageKind::Char);
    EXPECT_EQ(taken[0].code, 'q');
    EXPECT_EQ(taken[1].code, 0xE9);
    EXPECT_EQ(taken[2].code, 'Q');
    EXPECT_EQ(taken[3].kind, app::MessageKind::KeyDown);
    EXPECT_EQ(taken[3].code, app::kKeyEscape);
}

// Virtual game controllers, driven through SDL's own path: their state is set as a driver would,
// SDL's joystick layer makes the controller and joystick events of it at the next poll, and the
// layer opens, follows and forgets them as it does real pads.
class PadPollTest : public PollTest {
protected:
    void SetUp() override {
        PollTest::SetUp();
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
        game::resetState();
    }

    // Plugs a pad in; the layer opens it at the pass that takes its arrival.
    SDL_JoystickID plugIn() {
        SDL_VirtualJoystickDesc pad{};
        pad.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        pad.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        pad.naxes = SDL_CONTROLLER_AXIS_MAX;
        pad.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        pad.name = "virtual pad";
        const int index = SDL_JoystickAttachVirtualEx(&pad);
        EXPECT_GE(index, 0) << SDL_GetError();
        return SDL_JoystickGetDeviceInstanceID(index);
    }

    void pullOut(SDL_JoystickID id) {
        for (int index = 0; index < SDL_NumJoysticks(); ++index) {
            if (SDL_JoystickGetDeviceInstanceID(index) == id) {
                ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
                return;
            }
        }
        ADD_FAILURE() << "no pad " << id;
    }

    static SDL_Joystick* opened(SDL_JoystickID id) {
        SDL_Joystick* joystick = SDL_JoystickFromInstanceID(id);
        EXPECT_NE(joystick, nullptr) << "pad " << id << " is not open";
        return joystick;
    }

    static void button(SDL_JoystickID id, SDL_GameControllerButton which, bool down) {
        if (SDL_Joystick* joystick = opened(id)) {
            ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, which, down ? 1 : 0), 0);
        }
    }

    static void axis(SDL_JoystickID id, SDL_GameControllerAxis which, Sint16 value) {
        if (SDL_Joystick* joystick = opened(id)) {
            ASSERT_EQ(SDL_JoystickSetVirtualAxis(joystick, which, value), 0);
        }
    }

    // The message of each of `count` passes: "-" for a pass that found nothing.
    Described passes(int count) {
        Described taken;
        for (int i = 0; i < count; ++i) {
            app::Message message;
            taken.push_back(app::pollMessage(input, &message) ? describe(message) : "-");
            if (taken.back() != "-" && taken.back() != "none") {
                handle(message);
            }
        }
        return taken;
    }

    // The game handles what a pass took, as the loop would, so the pointer and the views that
    // the next messages start from are the game's.
    static void handle(const app::Message& message) {
        if (message.kind == app::MessageKind::MouseMove) {
            app::onMouseMove(message.x, message.y);
        } else if (message.kind == app::MessageKind::Char) {
            app::onChar(message.code);
        }
    }

    // Passes until the pads' arrivals and departures so far have been taken.
    void settle() {
        for (int i = 0; i < 10; ++i) {
            app::Message message;
            if (!app::pollMessage(input, &message)) {
                return;
            }
        }
        ADD_FAILURE() << "the pads do not settle";
    }
};

TEST_F(PadPollTest, PressesAreKeysOnceEachAndTheJoystickLayerCostsNoPass) {
    const SDL_JoystickID pad = plugIn();
    settle();
    ASSERT_EQ(input.pads.size(), 1u);

    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(passes(3), (Described{"K 32", "-", "-"}));
    button(pad, SDL_CONTROLLER_BUTTON_A, false);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    EXPECT_EQ(passes(3), (Described{"none", "K 37", "-"}));
    // The left stick past half-way upward, held and wavering there, then pushed right.
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -20000);
    EXPECT_EQ(passes(2), (Described{"K 38", "-"}));
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -15000);
    EXPECT_EQ(passes(2), (Described{"none", "-"}));
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768);
    EXPECT_EQ(passes(2), (Described{"none", "-"}));
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTX, 30000);
    EXPECT_EQ(passes(2), (Described{"K 39", "-"}));

    button(pad, SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(passes(2), (Described{"none", "-"}));
    button(pad, SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(passes(2), (Described{"K 27", "-"}));
}

TEST_F(PadPollTest, ShouldersGoRoundTheViewsThroughTheDigits) {
    const SDL_JoystickID pad = plugIn();
    settle();
    std::vector<int> typed;
    for (const bool next : {true, false, false, true, true}) {
        const SDL_GameControllerButton shoulder =
            next ? SDL_CONTROLLER_BUTTON_RIGHTSHOULDER : SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
        button(pad, shoulder, true);
        app::Message message;
        ASSERT_TRUE(app::pollMessage(input, &message));
        ASSERT_EQ(message.kind, app::MessageKind::Char);
        typed.push_back(message.code);
        handle(message);
        button(pad, shoulder, false);
        settle();
    }
    EXPECT_EQ(typed, (std::vector<int>{'2', '1', '8', '1', '2'}));
    EXPECT_TRUE(game::state.viewFlags[1]);
}

// A held right stick moves the pointer every pass, with no event to carry it, and so does one
// whose motion streams in; a burst of motion costs the keys behind it one pass.
TEST_F(PadPollTest, TheRightStickSteersThePointerWhileHeldAndKeysNeverWaitBehindIt) {
    const SDL_JoystickID pad = plugIn();
    settle();
    app::onMouseMove(100, 300);
    const float angle = game::state.orbitAngle;
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    EXPECT_EQ(passes(4), (Described{"M 101,300", "M 102,300", "M 103,300", "M 104,300"}));
    // The resting left stick's wobble streams in an event a pass; the right stick goes on.
    Described streamed;
    for (int i = 0; i < 4; ++i) {
        axis(pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(i % 2 == 0 ? 900 : -700));
        streamed.push_back(passes(1)[0]);
    }
    EXPECT_EQ(streamed, (Described{"M 105,300", "M 106,300", "M 107,300", "M 108,300"}));
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 0);
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTY, 32767);
    EXPECT_EQ(passes(3), (Described{"M 108,306", "M 108,312", "M 108,318"}));
    EXPECT_EQ(game::state.orbitAngle, angle + 8.0f);
    EXPECT_EQ(game::state.orbitRadius, 318);

    // A burst of motion, with the joystick layer's own events between, ending fully left.
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTY, 0);
    EXPECT_EQ(passes(1), (Described{"none"}));
    SDL_Event motion{};
    motion.type = SDL_CONTROLLERAXISMOTION;
    motion.caxis.which = pad;
    motion.caxis.axis = SDL_CONTROLLER_AXIS_RIGHTX;
    SDL_Event joystickMotion{};
    joystickMotion.type = SDL_JOYAXISMOTION;
    for (int i = 0; i < 300; ++i) {
        motion.caxis.value = static_cast<Sint16>(i % 2 == 0 ? 20000 : -20000);
        push({motion, joystickMotion});
    }
    motion.caxis.value = -32768;
    push({motion, keyEvent(SDL_KEYDOWN, SDLK_SPACE)});
    EXPECT_EQ(passes(3), (Described{"M 107,318", "K 32", "M 106,318"}));
    // The virtual pad's own state catches up with the burst's last event.
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTX, -32768);
    EXPECT_EQ(passes(1), (Described{"M 105,318"}));
    // Let go, the stick stops the pointer at once; a rest short of its dead zone is no motion.
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTX, 0);
    axis(pad, SDL_CONTROLLER_AXIS_RIGHTY, 7000);
    EXPECT_EQ(passes(3), (Described{"none", "-", "-"}));
}

TEST_F(PadPollTest, SeveralPadsComeAndGoWhileTheGameRuns) {
    const SDL_JoystickID first = plugIn();
    settle();
    const SDL_JoystickID second = plugIn();
    settle();
    ASSERT_EQ(input.pads.size(), 2u);
    button(first, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    EXPECT_EQ(passes(2), (Described{"K 38", "-"}));
    button(second, SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    EXPECT_EQ(passes(2), (Described{"K 40", "-"}));
    // Start on one pad and Select on the other are no chord.
    button(first, SDL_CONTROLLER_BUTTON_START, true);
    button(second, SDL_CONTROLLER_BUTTON_BACK, true);
    EXPECT_EQ(passes(3), (Described{"none", "none", "-"}));

    // Pulled out with its right stick held, a pad steers no more; the other still plays.
    app::onMouseMove(100, 300);
    axis(first, SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    EXPECT_EQ(passes(2), (Described{"M 101,300", "M 102,300"}));
    pullOut(first);
    settle();
    ASSERT_EQ(input.pads.size(), 1u);
    EXPECT_EQ(input.pads[0].id, second);
    EXPECT_EQ(passes(2), (Described{"-", "-"}));
    button(second, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(passes(2), (Described{"K 32", "-"}));

    // Plugged in again, it is a new pad, opened and followed like the first time.
    const SDL_JoystickID again = plugIn();
    settle();
    ASSERT_EQ(input.pads.size(), 2u);
    button(again, SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(passes(2), (Described{"K 32", "-"}));
    pullOut(again);
    pullOut(second);
    settle();
    EXPECT_TRUE(input.pads.empty());
}

// Events of the joystick layer between two pointer moves do not keep them apart.
TEST_F(PadPollTest, JoystickEventsDoNotSplitThePointersMoves) {
    SDL_Event joystickButton{};
    joystickButton.type = SDL_JOYBUTTONDOWN;
    push({motionEvent(1, 1), joystickButton, motionEvent(2, 2), keyEvent(SDL_KEYDOWN, SDLK_UP)});
    EXPECT_EQ(describe(drain()), (Described{"M 2,2", "K 38"}));
}

}  // namespace

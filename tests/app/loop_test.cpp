// loop_test.cpp -- the frame loop driven by scripted messages and a counting frame.
#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/dispatch.h"
#include "app/input.h"
#include "app/loop.h"
#include "game/state.h"
#include "game/tick.h"
#include "game/world.h"

namespace {

using app::Message;
using app::MessageKind;
using game::state;

// The fake window system: the messages of the coming passes (an empty entry is a pass that
// finds nothing waiting), and a log of what the loop did.
struct FakePlatform {
    std::deque<std::optional<Message>> script;
    std::vector<std::string> log;
    bool frameTicks = true;  // a frame runs the game tick, as the real one does
    bool hasSurface = true;  // until a close request gives up the context
    int polls = 0;
    int frames = 0;
    int paces = 0;
    std::vector<int> headingAtFrame;
};

FakePlatform fake;

bool fakePoll(Message* message) {
    ++fake.polls;
    if (fake.script.empty()) {
        ADD_FAILURE() << "the loop polled past the end of its script";
        message->kind = MessageKind::Quit;
        return true;
    }
    const std::optional<Message> next = fake.script.front();
    fake.script.pop_front();
    if (!next) {
        return false;
    }
    *message = *next;
    return true;
}

void fakeFrame() {
    ++fake.frames;
    fake.log.push_back("frame");
    fake.headingAtFrame.push_back(state.direction);
    if (fake.frameTicks) {
        game::advanceTick();
    }
}

void fakeClose() {
    fake.hasSurface = false;
}

// The real dispatch and handlers, so that quit keys set quitRequested the way they do in the
// game; closing gives up the fake's surface.
void fakeDispatch(const Message& message) {
    fake.log.push_back("dispatch " + std::to_string(static_cast<int>(message.kind)) + " " +
                       std::to_string(message.code));
    app::dispatchMessage(message, app::WindowHandlers{nullptr, fakeClose, nullptr});
}

bool fakeCanDraw() {
    return fake.hasSurface;
}

void fakePace() {
    ++fake.paces;
}

constexpr app::LoopPlatform kFake{fakePoll, fakeFrame, fakeDispatch, fakePace, fakeCanDraw};

Message message(MessageKind kind, int code = 0) {
    Message made;
    made.kind = kind;
    made.code = code;
    return made;
}

const std::optional<Message> kNothing;
const Message kQuit = message(MessageKind::Quit);

std::string dispatched(MessageKind kind, int code = 0) {
    return "dispatch " + std::to_string(static_cast<int>(kind)) + " " + std::to_string(code);
}

class LoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakePlatform{};
        game::resetState();
        game::setupWorldWithSeed(7);
        // No obstacles: only the walls and the body can stop the snake.
        state.obstacleCount = 0.0f;
        state.obstacleX.clear();
        state.obstacleZ.clear();
    }

    // As the game does before its loop, the quit flag is cleared first.
    int run(std::deque<std::optional<Message>> script) {
        fake.script = std::move(script);
        state.quitRequested = false;
        return app::runLoop(kFake);
    }
};

TEST_F(LoopTest, TheFrameOfAPassComesBeforeItsMessage) {
    const int status = run({kNothing, message(MessageKind::KeyDown, app::kKeyUp), kNothing,
                            message(MessageKind::KeyDown, app::kKeyEscape)});
    EXPECT_EQ(status, app::kKeyEscape);
    EXPECT_EQ(fake.log, (std::vector<std::string>{
                            "frame", "frame", dispatched(MessageKind::KeyDown, app::kKeyUp),
                            "frame", "frame", dispatched(MessageKind::KeyDown, 27)}));
    // The Up pass still draws the old heading; the turn shows from the next frame on.
    EXPECT_EQ(fake.headingAtFrame, (std::vector<int>{game::kHeadingPlusZ, game::kHeadingPlusZ,
                                                     game::kHeadingPlusX, game::kHeadingPlusX}));
}

TEST_F(LoopTest, TheQuitMessageEndsThePassWithoutRenderingAndWithStatusZero) {
    EXPECT_EQ(run({kQuit, message(MessageKind::KeyDown, app::kKeyEscape)}), 0);
    EXPECT_TRUE(fake.log.empty());
    EXPECT_TRUE(state.quitRequested);
    EXPECT_EQ(fake.script.size(), 1u);

    fake = FakePlatform{};
    // A quit message's status is its own code, whatever came before it: 0 after a close
    // request, 1 when the display was lost.
    EXPECT_EQ(run({kNothing, message(MessageKind::Char, '5'), kQuit}), 0);
    EXPECT_EQ(fake.frames, 2);
    EXPECT_EQ(fake.paces, 2);
    EXPECT_EQ(run({message(MessageKind::Char, '5'), message(MessageKind::Quit, 1)}), 1);
}

TEST_F(LoopTest, AQuitKeyEndsTheLoopAfterItsPassWithItsCode) {
    struct Case {
        Message key;
        int status;
    };
    const Case cases[] = {
        {message(MessageKind::KeyDown, app::kKeyEscape), 27},
        {message(MessageKind::Char, 'q'), 113},
        {message(MessageKind::Char, 'Q'), 81},
    };
    for (const Case& quitKey : cases) {
        SCOPED_TRACE(quitKey.status);
        fake = FakePlatform{};
        EXPECT_EQ(run({message(MessageKind::MouseMove), quitKey.key, kNothing, kQuit}),
                  quitKey.status);
        EXPECT_EQ(fake.frames, 2);
        EXPECT_EQ(fake.log.back(), dispatched(quitKey.key.kind, quitKey.key.code));
        // No further poll and no wait once the pass is over.
        EXPECT_EQ(fake.script.size(), 2u);
        EXPECT_EQ(fake.paces, 1);
    }
}

TEST_F(LoopTest, ABacklogOfNMessagesTakesNPassesAndNTicks) {
    constexpr int kBacklog = 7;
    std::deque<std::optional<Message>> script;
    for (int i = 0; i < kBacklog; ++i) {
        script.push_back(message(i % 2 == 0 ? MessageKind::MouseMove : MessageKind::None));
    }
    script.push_back(kQuit);
    const float headZ = state.snakeZ[0];
    EXPECT_EQ(run(script), 0);
    EXPECT_EQ(fake.polls, kBacklog + 1);
    EXPECT_EQ(fake.frames, kBacklog);
    ASSERT_EQ(fake.log.size(), 2u * kBacklog);
    for (int i = 0; i < kBacklog; ++i) {
        EXPECT_EQ(fake.log[2 * i], "frame") << i;
    }
    EXPECT_FLOAT_EQ(state.snakeZ[0], headZ + kBacklog * state.glideSpeed);
}

// After a close request nothing can be drawn, yet each pass until the quit message still runs
// the tick: the game-over latch, the food check, then the move.
TEST_F(LoopTest, AfterACloseThePassesTickButDrawNothing) {
    fake.frameTicks = false;
    state.lives = 0;
    state.glideMode = false;
    state.direction = game::kHeadingPlusX;
    const float headX = state.snakeX[0];
    // Out of reach now, within reach after one step: eaten on the second tick, not the first.
    state.foodX[state.foodIndex] = headX + 6.0f;
    state.foodZ[state.foodIndex] = state.snakeZ[0];
    const int score = state.score;

    EXPECT_EQ(run({message(MessageKind::Close), kNothing, kQuit}), 0);
    EXPECT_EQ(fake.log, (std::vector<std::string>{"frame", dispatched(MessageKind::Close)}));
    EXPECT_TRUE(state.gameOver);
    EXPECT_FLOAT_EQ(state.snakeX[0], headX + state.segmentSpacing);
    EXPECT_EQ(state.score, score);

    fake.frames = 0;
    fake.hasSurface = true;
    EXPECT_EQ(run({message(MessageKind::Close), message(MessageKind::Close), kNothing, kQuit}), 0);
    EXPECT_EQ(fake.frames, 1);
    EXPECT_GT(state.score, score);
}

}  // namespace

// input_test.cpp -- the key-down, character and pointer handlers against the game state.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "app/input.h"
#include "game/state.h"
#include "game/world.h"

namespace {

using game::state;

class InputTest : public ::testing::Test {
protected:
    void SetUp() override {
        game::resetState();
        game::setupWorldWithSeed(7);
        state.quitRequested = false;
    }
};

struct Arrow {
    int key;
    int heading;
    int refused;
};

constexpr std::array<Arrow, 4> kArrows{{
    {app::kKeyLeft, game::kHeadingMinusZ, game::kHeadingPlusZ},
    {app::kKeyUp, game::kHeadingPlusX, game::kHeadingMinusX},
    {app::kKeyRight, game::kHeadingPlusZ, game::kHeadingMinusZ},
    {app::kKeyDown, game::kHeadingMinusX, game::kHeadingPlusX},
}};

int selectedView() {
    int selected = 0;
    int count = 0;
    for (int i = 0; i < game::kViewModes; ++i) {
        if (state.viewFlags[i]) {
            selected = i + 1;
            ++count;
        }
    }
    return count == 1 ? selected : -count;
}

TEST_F(InputTest, EveryArrowTurnsUnlessItPointsBack) {
    for (const Arrow& arrow : kArrows) {
        SCOPED_TRACE(arrow.key);
        state.direction = arrow.refused;
        state.glideMode = true;
        app::onKeyDown(arrow.key);
        EXPECT_EQ(state.direction, arrow.refused);
        EXPECT_TRUE(state.glideMode);

        for (int from = 0; from < 4; ++from) {
            if (from == arrow.refused)
                continue;
            state.direction = from;
            state.glideMode = true;
            app::onKeyDown(arrow.key);
            EXPECT_EQ(state.direction, arrow.heading) << "from heading " << from;
            EXPECT_FALSE(state.glideMode);
        }
    }
}

TEST_F(InputTest, TurnsAreTakenWhileDeadOrOver) {
    state.snakeDead = true;
    app::onKeyDown(app::kKeyUp);
    EXPECT_EQ(state.direction, game::kHeadingPlusX);
    state.gameOver = true;
    app::onKeyDown(app::kKeyLeft);
    EXPECT_EQ(state.direction, game::kHeadingMinusZ);
}

TEST_F(InputTest, SpaceContinuesOnlyAfterADeathBeforeTheGameIsOver) {
    // Held Space while alive: every repeat is ignored.
    for (int repeat = 0; repeat < 5; ++repeat)
        app::onKeyDown(app::kKeySpace);
    EXPECT_EQ(state.lives, 3);

    state.snakeDead = true;
    state.direction = game::kHeadingMinusX;
    app::onKeyDown(app::kKeySpace);
    EXPECT_EQ(state.lives, 2);
    EXPECT_FALSE(state.snakeDead);
    EXPECT_EQ(state.direction, game::kHeadingPlusZ);
    EXPECT_TRUE(state.glideMode);
    app::onKeyDown(app::kKeySpace);
    EXPECT_EQ(state.lives, 2);

    // The third death: Space spends the last life and the game ends.
    state.lives = 1;
    state.snakeDead = true;
    app::onKeyDown(app::kKeySpace);
    EXPECT_EQ(state.lives, 0);
    EXPECT_TRUE(state.gameOver);
    EXPECT_TRUE(state.snakeDead);
    app::onKeyDown(app::kKeySpace);
    EXPECT_EQ(state.lives, 0);
}

TEST_F(InputTest, EscapeQuitsAndOtherKeyCodesDoNothing) {
    const game::GameState before = state;
    for (int code : std::initializer_list<int>{app::kKeyUnbound, 'Q', 'q', '1', 65, 255, 256, -1,
                                               -1000, 0x7FFFFFFF}) {
        app::onKeyDown(code);
    }
    EXPECT_FALSE(state.quitRequested);
    EXPECT_EQ(state.direction, before.direction);
    EXPECT_EQ(state.glideMode, before.glideMode);
    EXPECT_EQ(state.viewFlags, before.viewFlags);
    app::onKeyDown(app::kKeyEscape);
    EXPECT_TRUE(state.quitRequested);
}

TEST_F(InputTest, DigitsSelectExactlyOneView) {
    EXPECT_EQ(selectedView(), 1);
    for (int mode = 8; mode >= 1; --mode) {
        app::onChar('0' + mode);
        EXPECT_EQ(selectedView(), mode);
        app::onChar('0' + mode);
        EXPECT_EQ(selectedView(), mode);
    }
    app::onChar('3');
    // Neither neighbouring digits, letters nor wide or negative codes change the view.
    for (int code : std::initializer_list<int>{'0', '9', 'a', 'Z', ' ', 0, -1, -200, 256,
                                               0x31 + 256, 0x1F600}) {
        app::onChar(code);
        EXPECT_EQ(selectedView(), 3) << code;
    }
    EXPECT_FALSE(state.quitRequested);
}

TEST_F(InputTest, BothCasesOfQQuit) {
    for (int code : {'q', 'Q'}) {
        state.quitRequested = false;
        app::onChar(code);
        EXPECT_TRUE(state.quitRequested) << code;
    }
}

TEST_F(InputTest, PointerHeightSetsAClampedRadius) {
    app::onMouseMove(0, 3);
    EXPECT_EQ(state.orbitRadius, 5);
    app::onMouseMove(0, 700);
    EXPECT_EQ(state.orbitRadius, 600);
    app::onMouseMove(0, 321);
    EXPECT_EQ(state.orbitRadius, 321);
    app::onMouseMove(0, 65535);
    EXPECT_EQ(state.orbitRadius, 600);
    EXPECT_FLOAT_EQ(state.orbitAngle, 0.0f);  // purely vertical motion
}

TEST_F(InputTest, PointerMovesTurnTheOrbitOneDegreeEach) {
    app::onMouseMove(1, 100);  // lastMouseX starts at 0
    EXPECT_FLOAT_EQ(state.orbitAngle, 1.0f);
    app::onMouseMove(301, 100);  // a far jump still counts one degree
    EXPECT_FLOAT_EQ(state.orbitAngle, 2.0f);
    EXPECT_EQ(state.lastMouseX, 301);
    app::onMouseMove(300, 100);
    EXPECT_FLOAT_EQ(state.orbitAngle, 1.0f);
    app::onMouseMove(65535, 100);
    EXPECT_EQ(state.lastMouseX, 65535);
    // 400 steps the same way: the angle grows past 360 without being wrapped.
    for (int x = 1; x <= 400; ++x)
        app::onMouseMove(static_cast<std::uint16_t>(x), 50);
    EXPECT_FLOAT_EQ(state.orbitAngle, 400.0f);
}

}  // namespace

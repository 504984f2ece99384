// movement_test.cpp -- glide and step moves and the body, obstacle and wall tests.
#include <gtest/gtest.h>

#include "game/movement.h"
#include "game_support.h"

using game::state;

namespace {

// A living snake of 40 on X = 10 from Z = 10 back along -Z, 2.8 apart, and nothing else.
void livingSnake() {
    game_test::emptyField();
    game_test::layLine(10.0f, 10.0f, 2.8f);
}

// Glide mode with no speed moves nothing, so the tests judge the position as placed.
void holdStill() {
    state.glideMode = true;
    state.glideSpeed = 0.0f;
}

bool diesWithHeadAt(float x, float z) {
    livingSnake();
    holdStill();
    state.snakeX[0] = x;
    state.snakeZ[0] = z;
    game::moveSnake();
    return state.snakeDead;
}

// Places body segment `index` at the given offset from the head, then judges the head.
bool diesWithSegmentAt(int index, float dx, float dz) {
    livingSnake();
    holdStill();
    state.snakeX[index] = state.snakeX[0] + dx;
    state.snakeZ[index] = state.snakeZ[0] + dz;
    game::moveSnake();
    return state.snakeDead;
}

bool diesNearObstacleAt(float x, float z) {
    livingSnake();
    holdStill();
    game_test::singleObstacle(50.0f, 50.0f);
    state.snakeX[0] = x;
    state.snakeZ[0] = z;
    game::moveSnake();
    return state.snakeDead;
}

}  // namespace

TEST(Movement, GlideSlidesEverySegmentInUseAndLeavesTheRest) {
    livingSnake();
    state.stepMoved = false;
    state.prevSnakeZ.fill(3.0f);
    const auto before = state.snakeZ;
    game::moveSnake();
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(state.snakeZ[i], static_cast<float>(double{before[i]} + double{0.08f})) << i;
        EXPECT_EQ(state.snakeX[i], 10.0f);
    }
    for (int i = 40; i < game::kSnakeCapacity; ++i)
        EXPECT_EQ(state.snakeZ[i], before[i]) << i;
    EXPECT_FALSE(state.stepMoved);
    EXPECT_EQ(state.prevSnakeZ[0], 3.0f);

    // Each heading glides its own way.
    const struct {
        int heading;
        float dx, dz;
    } cases[] = {{0, 0, -0.5f}, {1, 0, 0.5f}, {2, 0.5f, 0}, {3, -0.5f, 0}};
    for (const auto& c : cases) {
        livingSnake();
        state.glideSpeed = 0.5f;
        state.direction = c.heading;
        game::moveSnake();
        EXPECT_EQ(state.snakeX[39], 10.0f + c.dx) << c.heading;
        EXPECT_EQ(state.snakeZ[39], 10.0f - 2.8f * 39 + c.dz) << c.heading;
    }
}

TEST(Movement, StepMovesTheHeadOnceAndTheBodyFollowsItsTrail) {
    livingSnake();
    state.glideMode = false;
    state.stepMoved = false;
    const auto beforeZ = state.snakeZ;
    game::moveSnake();
    EXPECT_EQ(state.snakeZ[0], 12.8f);  // one step of segmentSpacing, not two
    for (int i = 1; i < 40; ++i)
        EXPECT_EQ(state.snakeZ[i], beforeZ[i - 1]) << i;
    for (int i = 40; i < game::kSnakeCapacity; ++i)
        EXPECT_EQ(state.snakeZ[i], beforeZ[i]) << i;
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(state.prevSnakeZ[i], beforeZ[i]) << i;
    EXPECT_TRUE(state.stepMoved);
    EXPECT_FALSE(state.snakeDead);

    // Each heading steps its own way. The bonus joins the spacing in double precision: a float
    // sum would put a -Z step on 7.1000004 instead of 7.0999999.
    const double d = double{0.1f} + double{2.8f};
    const struct {
        int heading;
        double dx, dz;
    } cases[] = {{0, 0, -d}, {1, 0, d}, {2, d, 0}, {3, -d, 0}};
    for (const auto& c : cases) {
        livingSnake();
        state.glideMode = false;
        state.speedBonus = 0.1f;
        state.direction = c.heading;
        game::moveSnake();
        EXPECT_EQ(state.snakeX[0], static_cast<float>(10 + c.dx)) << c.heading;
        EXPECT_EQ(state.snakeZ[0], static_cast<float>(10 + c.dz)) << c.heading;
        EXPECT_EQ(state.snakeX[1], 10.0f);
        EXPECT_EQ(state.snakeZ[1], 10.0f);
    }
}

TEST(Movement, DeadSnakeStaysWhereItDiedInBothModes) {
    for (bool glide : {true, false}) {
        livingSnake();
        state.glideMode = glide;
        state.snakeZ[0] = 166.0f;  // just past the wall
        state.snakeDead = true;
        state.stepMoved = false;
        const auto x = state.snakeX;
        const auto z = state.snakeZ;
        game::moveSnake();
        EXPECT_EQ(state.snakeX, x);
        EXPECT_EQ(state.snakeZ, z);
        EXPECT_FALSE(state.stepMoved);
        EXPECT_TRUE(state.snakeDead);
    }
}

TEST(Movement, WallsKillAtExactly165AndMinus135) {
    EXPECT_TRUE(diesWithHeadAt(165.0f, 0.0f));
    EXPECT_TRUE(diesWithHeadAt(-135.0f, 0.0f));
    EXPECT_TRUE(diesWithHeadAt(0.0f, 165.0f));
    EXPECT_TRUE(diesWithHeadAt(0.0f, -135.0f));
    EXPECT_FALSE(diesWithHeadAt(164.99f, 0.0f));
    EXPECT_FALSE(diesWithHeadAt(-134.99f, 0.0f));
    EXPECT_FALSE(diesWithHeadAt(0.0f, 164.99f));
    EXPECT_FALSE(diesWithHeadAt(0.0f, -134.99f));
}

TEST(Movement, BodyKillsWithin2OnBothAxesButNotTheHiddenTail) {
    EXPECT_TRUE(diesWithSegmentAt(10, 2.0f, 2.0f));
    EXPECT_TRUE(diesWithSegmentAt(10, -2.0f, -2.0f));
    EXPECT_TRUE(diesWithSegmentAt(1, 0.0f, 0.0f));
    EXPECT_FALSE(diesWithSegmentAt(10, 2.01f, 0.0f));
    EXPECT_FALSE(diesWithSegmentAt(10, 0.0f, -2.01f));
    // Of 40 segments, 34 is the last one tested; 35..39 are the hidden tail.
    EXPECT_TRUE(diesWithSegmentAt(34, 0.0f, 0.0f));
    for (int tail = 35; tail < 40; ++tail)
        EXPECT_FALSE(diesWithSegmentAt(tail, 0.0f, 0.0f));
    // The tail follows the length: at 45 segments, 39 is visible.
    livingSnake();
    holdStill();
    state.snakeLength = 45.0f;
    state.snakeX[39] = state.snakeX[0];
    state.snakeZ[39] = state.snakeZ[0];
    game::moveSnake();
    EXPECT_TRUE(state.snakeDead);
}

TEST(Movement, UTurnPutsTheHeadBesideTheBodyWithoutDying) {
    livingSnake();
    state.glideMode = false;
    game::moveSnake();
    state.direction = game::kHeadingPlusX;
    game::moveSnake();
    state.direction = game::kHeadingMinusZ;
    for (int i = 0; i < 20; ++i)
        game::moveSnake();
    EXPECT_FALSE(state.snakeDead);
    EXPECT_EQ(state.snakeX[0], 12.8f);
}

TEST(Movement, ObstacleZoneReaches5BackAnd16AheadInXAnd10InZ) {
    EXPECT_TRUE(diesNearObstacleAt(45.0f, 50.0f));
    EXPECT_TRUE(diesNearObstacleAt(66.0f, 50.0f));
    EXPECT_TRUE(diesNearObstacleAt(50.0f, 40.0f));
    EXPECT_TRUE(diesNearObstacleAt(50.0f, 60.0f));
    EXPECT_TRUE(diesNearObstacleAt(66.0f, 60.0f));
    EXPECT_FALSE(diesNearObstacleAt(44.99f, 50.0f));
    EXPECT_FALSE(diesNearObstacleAt(66.01f, 50.0f));
    EXPECT_FALSE(diesNearObstacleAt(50.0f, 39.99f));
    EXPECT_FALSE(diesNearObstacleAt(50.0f, 60.01f));
}

TEST(Movement, UnturnedStartGlidesIntoTheFarWall) {
    livingSnake();
    int ticks = 0;
    while (!state.snakeDead && ticks < 5000) {
        game::moveSnake();
        ++ticks;
    }
    // (165 - 10) / 0.08 is about 1937 ticks, give or take float rounding.
    EXPECT_GE(ticks, 1930);
    EXPECT_LE(ticks, 1945);
    EXPECT_GE(state.snakeZ[0], 165.0f);
    EXPECT_LT(state.snakeZ[0], 165.1f);
}

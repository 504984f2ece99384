// world_test.cpp -- world setup from a seed and the round restart.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "game_support.h"

using game::state;

namespace {

constexpr int kBandLow = -5;  // obstacle coordinates a head at 10 pushes away
constexpr int kBandHigh = 25;

float draw() {
    return static_cast<float>(std::rand() % 260 - 130);
}

// What setup must produce from a seed, drawn independently in the documented order.
struct ExpectedWorld {
    std::vector<float> obstacleX, obstacleZ, colour;
    std::vector<int> points;
    float firstFoodX = 0, firstFoodZ = 0;
};

bool inBand(float v) {
    return v >= kBandLow && v <= kBandHigh;
}

ExpectedWorld replay(unsigned seed) {
    ExpectedWorld w;
    std::srand(seed);
    const int obstacles = std::rand() % 3 + 5;
    for (int i = 0; i < obstacles; ++i) {
        float x = draw();
        float z = draw();
        while (inBand(x))
            x = draw();
        while (inBand(z))
            z = draw();
        w.obstacleX.push_back(x);
        w.obstacleZ.push_back(z);
    }
    const int food = std::rand() % 10 + 980;
    for (int i = 0; i < food; ++i) {
        w.colour.push_back(static_cast<float>(std::rand() % 10));
        w.points.push_back(std::rand() % 30 + 100);
    }
    w.firstFoodX = draw();
    w.firstFoodZ = draw();
    return w;
}

// The first draw of obstacle 0's X (skip = 1) or Z (skip = 2) for a seed.
int firstObstacleDraw(unsigned seed, int skip) {
    std::srand(seed);
    for (int i = 0; i < skip; ++i)
        std::rand();
    return std::rand() % 260 - 130;
}

unsigned seedWhoseFirstDrawIs(int value, int skip) {
    for (unsigned seed = 1; seed < 1000000; ++seed) {
        if (firstObstacleDraw(seed, skip) == value)
            return seed;
    }
    return 0;
}

// Entries from..to-1 lie on X = 10, each `spacing` behind the one ahead, rounded to a float
// at every link so that rounding accumulates along the chain.
void expectLine(int from, int to, double spacing) {
    for (int k = from; k < to; ++k) {
        EXPECT_EQ(state.snakeX[k], 10.0f) << k;
        EXPECT_EQ(state.snakeZ[k], static_cast<float>(double{state.snakeZ[k - 1]} - spacing)) << k;
    }
}

}  // namespace

TEST(WorldSetup, LaysTheSnakeAlongAFloatChainAndDefinesEveryEntry) {
    game::resetState();
    state.snakeX.fill(99.0f);
    state.snakeZ.fill(99.0f);
    state.prevSnakeX.fill(7.0f);
    state.prevSnakeZ.fill(7.0f);
    state.foodIndex = 5;  // a rebuilt world starts the food list again
    game::setupWorldWithSeed(3);

    EXPECT_EQ(state.foodIndex, 0);
    EXPECT_EQ(state.snakeX[0], 10.0f);
    EXPECT_EQ(state.snakeZ[0], 10.0f);
    // Up to the entry behind the tail the spacing is the float 2.8f, so that entry is not -102;
    // past it the line goes on with the restart's double-precision spacing.
    EXPECT_EQ(state.snakeZ[40], -102.00003f);
    expectLine(1, 41, 2.8f);
    expectLine(41, game::kSnakeCapacity, 2.8);
    for (int k = 0; k < game::kSnakeCapacity; ++k) {
        EXPECT_EQ(state.prevSnakeX[k], 0.0f) << k;
        EXPECT_EQ(state.prevSnakeZ[k], 0.0f) << k;
    }
}

TEST(WorldSetup, FollowsTheDrawOrderOfItsSeed) {
    for (unsigned seed : {1u, 42u, 777u, 20240601u}) {
        const ExpectedWorld want = replay(seed);
        game_test::freshWorld(seed);
        EXPECT_EQ(state.obstacleX, want.obstacleX) << seed;
        EXPECT_EQ(state.obstacleZ, want.obstacleZ) << seed;
        EXPECT_EQ(state.obstacleCount, static_cast<float>(want.obstacleX.size())) << seed;
        EXPECT_EQ(state.foodColour, want.colour) << seed;
        EXPECT_EQ(state.foodPoints, want.points) << seed;
        EXPECT_EQ(state.foodCount, static_cast<float>(want.points.size())) << seed;
        EXPECT_EQ(state.foodX[0], want.firstFoodX) << seed;
        EXPECT_EQ(state.foodZ[0], want.firstFoodZ) << seed;
    }
}

TEST(WorldSetup, ObstacleBandsRedrawMinus5And25ButKeepMinus6And26) {
    for (int skip : {1, 2}) {  // 1: the X draw, 2: the Z draw of obstacle 0
        for (int value : {-6, -5, 25, 26}) {
            const unsigned seed = seedWhoseFirstDrawIs(value, skip);
            ASSERT_NE(seed, 0u) << value;
            game_test::freshWorld(seed);
            const float got = skip == 1 ? state.obstacleX[0] : state.obstacleZ[0];
            if (inBand(static_cast<float>(value))) {
                EXPECT_FALSE(inBand(got)) << "draw " << value << " must be redrawn";
            } else {
                EXPECT_EQ(got, static_cast<float>(value)) << "draw " << value << " must stand";
            }
        }
    }
}

// Over many seeds every obstacle count turns up, and no obstacle is left near the head even
// when a redraw lands in the band again.
TEST(WorldSetup, ManySeedsRollEveryObstacleCountAndKeepEveryObstacleAway) {
    bool seenCount[8] = {};
    for (unsigned seed = 1; seed <= 300; ++seed) {
        game_test::freshWorld(seed);
        ASSERT_GE(state.obstacleCount, 5.0f);
        ASSERT_LE(state.obstacleCount, 7.0f);
        seenCount[static_cast<int>(state.obstacleCount)] = true;
        for (size_t i = 0; i < state.obstacleX.size(); ++i) {
            ASSERT_FALSE(inBand(state.obstacleX[i])) << seed;
            ASSERT_FALSE(inBand(state.obstacleZ[i])) << seed;
        }
    }
    EXPECT_TRUE(seenCount[5] && seenCount[6] && seenCount[7]);
}

TEST(RoundRestart, LaysAll300EntriesAndKeepsScoreFoodAndObstacles) {
    game_test::freshWorld(11);
    state.snakeLength = 65.0f;
    state.direction = game::kHeadingMinusX;
    state.glideMode = false;
    state.stepMoved = false;
    state.speedBonus = 0.25f;
    state.glideSpeed = 1.0f;
    state.snakeDead = true;
    state.lives = 2;
    state.score = 1234;
    state.foodIndex = 17;
    state.foodX[17] = -40.0f;
    state.foodZ[17] = 55.0f;
    state.snakeX.fill(-3.0f);
    state.snakeZ.fill(140.0f);
    state.prevSnakeX.fill(6.0f);
    state.prevSnakeZ.fill(8.0f);
    const auto obstaclesX = state.obstacleX;
    const auto obstaclesZ = state.obstacleZ;

    game::restartRound();

    EXPECT_EQ(state.snakeLength, 40.0f);
    EXPECT_EQ(state.direction, game::kHeadingPlusZ);
    EXPECT_TRUE(state.glideMode);
    EXPECT_FALSE(state.snakeDead);
    EXPECT_FALSE(state.gameOver);
    EXPECT_EQ(state.speedBonus, 0.0f);
    EXPECT_EQ(state.glideSpeed, 0.08f);
    // Untouched by a restart.
    EXPECT_FALSE(state.stepMoved);
    EXPECT_EQ(state.lives, 2);
    EXPECT_EQ(state.score, 1234);
    EXPECT_EQ(state.foodIndex, 17);
    EXPECT_EQ(state.foodX[17], -40.0f);
    EXPECT_EQ(state.foodZ[17], 55.0f);
    EXPECT_EQ(state.obstacleX, obstaclesX);
    EXPECT_EQ(state.obstacleZ, obstaclesZ);
    EXPECT_EQ(state.prevSnakeX[0], 6.0f);
    EXPECT_EQ(state.prevSnakeZ[0], 8.0f);

    // The spacing is the double 2.8, chained through floats: a float 2.8f gives other values.
    EXPECT_EQ(state.snakeX[0], 10.0f);
    EXPECT_EQ(state.snakeZ[0], 10.0f);
    expectLine(1, game::kSnakeCapacity, 2.8);
    for (int k = 1; k < game::kSnakeCapacity; ++k) {
        EXPECT_EQ(state.prevSnakeX[k], 0.0f) << k;
        EXPECT_EQ(state.prevSnakeZ[k], 0.0f) << k;
    }
}

TEST(RoundRestart, ThreeDeathsEndTheGameAndFreezeIt) {
    game_test::freshWorld(21);
    for (int expectedLives : {2, 1}) {
        state.snakeDead = true;
        state.lives -= 1;  // what Space does before it restarts
        game::restartRound();
        EXPECT_EQ(state.lives, expectedLives);
        EXPECT_FALSE(state.snakeDead);
        EXPECT_FALSE(state.gameOver);
    }
    state.snakeDead = true;
    state.snakeLength = 55.0f;
    state.snakeZ[0] = 170.0f;
    state.lives -= 1;
    game::restartRound();
    EXPECT_EQ(state.lives, 0);
    EXPECT_TRUE(state.gameOver);
    EXPECT_TRUE(state.snakeDead);
    EXPECT_EQ(state.snakeLength, 55.0f);
    EXPECT_EQ(state.snakeZ[0], 170.0f);

    // Once over, a restart changes nothing even with a life left.
    state.lives = 1;
    game::restartRound();
    EXPECT_TRUE(state.gameOver);
    EXPECT_TRUE(state.snakeDead);
    EXPECT_EQ(state.snakeZ[0], 170.0f);
}

// soak_test.cpp -- a million ticks of play with random turns, deaths, restarts and meals.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "app/input.h"
#include "game/tick.h"
#include "game_support.h"

using game::state;

namespace {

constexpr int kTicks = 1000000;
constexpr float kWallMargin = 25.0f;  // a careful player turns away this close to a wall

// How a player behaves for one life: some only glide and eat, others turn a lot.
struct Style {
    double turnChance;
    double mealChance;
    bool careful;
};

struct Tally {
    long meals = 0, restarts = 0, gameOvers = 0, listWraps = 0, ticksAtFullLength = 0;
};

int opposite(int heading) {
    constexpr int kOpposite[] = {1, 0, 3, 2};
    return kOpposite[heading];
}

// The arrow key that asks for each heading, pressed through the game's own key handler.
void pressArrow(int heading) {
    constexpr int kArrowFor[] = {app::kKeyLeft, app::kKeyRight, app::kKeyUp, app::kKeyDown};
    app::onKeyDown(kArrowFor[heading]);
}

float roomAhead(int heading) {
    const float x = state.snakeX[0], z = state.snakeZ[0];
    switch (heading) {
        case game::kHeadingMinusZ:
            return z - game::kWallLow;
        case game::kHeadingPlusZ:
            return game::kWallHigh - z;
        case game::kHeadingPlusX:
            return game::kWallHigh - x;
        default:
            return x - game::kWallLow;
    }
}

// Turns aside, toward the side with more room, when the head runs close to a wall.
void steerFromWalls() {
    const float step = state.segmentSpacing + state.speedBonus;
    if (roomAhead(state.direction) > kWallMargin + step)
        return;
    const bool alongZ = state.direction <= game::kHeadingPlusZ;
    const int left = alongZ ? game::kHeadingPlusX : game::kHeadingMinusZ;
    pressArrow(roomAhead(left) > roomAhead(opposite(left)) ? left : opposite(left));
}

Style pickStyle(std::mt19937& rng) {
    constexpr Style kStyles[] = {
        {0.0, 0.7, false},  // never turns: eats while gliding, runs through the food list
        {0.02, 0.3, true},  // long straight runs, grows to full length
        {0.3, 0.1, false},  // jittery: runs into its own body
        {0.0, 0.5, true},   // eats often and only turns at walls
    };
    return kStyles[std::uniform_int_distribution<int>(0, 3)(rng)];
}

void checkInvariants(long tick) {
    const float length = state.snakeLength;
    ASSERT_EQ(length, std::floor(length)) << tick;
    ASSERT_GE(length, 40.0f) << tick;
    ASSERT_LE(length, 300.0f) << tick;
    ASSERT_GE(state.foodIndex, 0) << tick;
    ASSERT_LT(state.foodIndex, state.foodCount) << tick;
    ASSERT_GE(state.direction, 0) << tick;
    ASSERT_LE(state.direction, 3) << tick;
    ASSERT_GE(state.lives, 0) << tick;
    ASSERT_LE(state.lives, 3) << tick;
    ASSERT_TRUE(!state.gameOver || state.snakeDead) << tick;
    ASSERT_TRUE(!state.glideMode || state.direction == game::kHeadingPlusZ) << tick;
}

}  // namespace

TEST(Soak, AMillionTicksKeepTheGameStateConsistent) {
    std::mt19937 rng(20240611);  // the player's choices; the game draws from rand() as always
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    unsigned worldSeed = 1;
    game_test::freshWorld(worldSeed);
    Style style = pickStyle(rng);
    Tally tally;

    for (long tick = 0; tick < kTicks; ++tick) {
        if (state.snakeDead && chance(rng) < 0.2) {
            if (!state.gameOver) {
                app::onKeyDown(app::kKeySpace);
                ++tally.restarts;
                tally.gameOvers += state.gameOver ? 1 : 0;
                style = pickStyle(rng);
            } else {
                game_test::freshWorld(++worldSeed);
            }
        }
        if (chance(rng) < style.turnChance) {
            pressArrow(std::uniform_int_distribution<int>(0, 3)(rng));
        }
        if (style.careful && !state.glideMode)
            steerFromWalls();
        if (chance(rng) < style.mealChance) {
            state.foodX[state.foodIndex] = state.snakeX[0];
            state.foodZ[state.foodIndex] = state.snakeZ[0];
        }

        const int itemBefore = state.foodIndex;
        const int scoreBefore = state.score;
        game::advanceTick();

        if (state.foodIndex != itemBefore) {
            ++tally.meals;
            tally.listWraps += state.foodIndex == 0 ? 1 : 0;
            ASSERT_GT(state.score, scoreBefore);
            const int item = state.foodIndex;
            ASSERT_TRUE(state.foodX[item] >= -130.0f && state.foodX[item] <= 129.0f) << tick;
            ASSERT_TRUE(state.foodZ[item] >= -130.0f && state.foodZ[item] <= 129.0f) << tick;
        } else {
            ASSERT_EQ(state.score, scoreBefore) << tick;
        }
        tally.ticksAtFullLength += state.snakeLength == 300.0f ? 1 : 0;
        checkInvariants(tick);
        if (HasFatalFailure())
            return;
    }

    // The run must have reached the limits it is meant to exercise.
    EXPECT_GT(tally.restarts, 0);
    EXPECT_GT(tally.gameOvers, 0);
    EXPECT_GT(tally.listWraps, 0);
    EXPECT_GT(tally.ticksAtFullLength, 0);
    std::printf("meals %ld, restarts %ld, games over %ld, list wraps %ld, ticks at 300: %ld\n",
                tally.meals, tally.restarts, tally.gameOvers, tally.listWraps,
                tally.ticksAtFullLength);
}

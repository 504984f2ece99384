// food_test.cpp -- eating, scoring, the next item's position, speed-up and growth.
#include <gtest/gtest.h>

#include <cstdlib>

#include "game/food.h"
#include "game/movement.h"
#include "game_support.h"

using game::state;

namespace {

constexpr float kFarAway = 1000.0f;  // no coordinate on the field is within 25 of this

float draw() {
    return static_cast<float>(std::rand() % 260 - 130);
}

// A world whose obstacles can never cause a redraw of the next item.
void worldWithFarObstacles(unsigned seed) {
    game_test::freshWorld(seed);
    state.obstacleX.assign(state.obstacleX.size(), kFarAway);
    state.obstacleZ.assign(state.obstacleZ.size(), kFarAway);
}

void foodOnHead() {
    state.foodX[state.foodIndex] = state.snakeX[0];
    state.foodZ[state.foodIndex] = state.snakeZ[0];
}

bool eatsWithHeadAt(float x, float z) {
    worldWithFarObstacles(4);
    state.foodX[0] = 20.0f;
    state.foodZ[0] = 20.0f;
    state.snakeX[0] = x;
    state.snakeZ[0] = z;
    game::checkFood();
    return state.foodIndex == 1;
}

// Places every segment and every obstacle, eats once from `seed`, and returns the new item.
struct Spot {
    float x, z;
};
Spot nextItemFrom(unsigned seed, Spot headSegments, Spot restSegments, Spot obstacles) {
    game_test::freshWorld(1);
    state.obstacleCount = 5.0f;
    state.obstacleX.assign(5, obstacles.x);
    state.obstacleZ.assign(5, obstacles.z);
    for (int i = 0; i < game::kSnakeCapacity; ++i) {
        const Spot s = i < 5 ? headSegments : restSegments;
        state.snakeX[i] = s.x;
        state.snakeZ[i] = s.z;
    }
    foodOnHead();
    std::srand(seed);
    game::checkFood();
    return {state.foodX[1], state.foodZ[1]};
}

bool near(float v, float centre) {
    return v >= centre - 10 && v <= centre + 10;
}

float addSteps(float bonus, int steps) {
    for (int i = 0; i < steps; ++i)
        bonus = bonus + 0.01f;
    return bonus;
}

}  // namespace

TEST(Food, EatSquareReaches5InclusiveOnBothAxes) {
    EXPECT_TRUE(eatsWithHeadAt(25.0f, 15.0f));
    EXPECT_TRUE(eatsWithHeadAt(15.0f, 25.0f));
    EXPECT_FALSE(eatsWithHeadAt(25.01f, 20.0f));
    EXPECT_FALSE(eatsWithHeadAt(20.0f, 14.99f));

    // A miss on one axis changes nothing at all.
    eatsWithHeadAt(20.0f, 25.5f);
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.foodIndex, 0);
    EXPECT_EQ(state.speedBonus, 0.0f);
    EXPECT_EQ(state.snakeLength, 40.0f);
    EXPECT_TRUE(state.stepMoved);
    EXPECT_EQ(state.foodX[0], 20.0f);
}

TEST(Food, MealCreditsTheEatenItemAndDrawsTheNextPositionXFirst) {
    worldWithFarObstacles(8);
    state.foodPoints[0] = 111;
    state.foodPoints[1] = 122;
    state.score = 1000;
    foodOnHead();
    std::srand(77);
    const float x = draw();
    const float z = draw();
    std::srand(77);
    game::checkFood();
    EXPECT_EQ(state.score, 1111);
    EXPECT_EQ(state.foodIndex, 1);
    EXPECT_EQ(state.foodX[1], x);
    EXPECT_EQ(state.foodZ[1], z);
}

TEST(Food, KeepAwayRedrawsOnlyNearASegmentAndItsOwnObstacle) {
    const Spot origin{0, 0}, corner{-120, -120}, far{kFarAway, kFarAway};
    bool landedNearWithoutObstacle = false;
    bool landedNearUnpairedSegments = false;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        // Segment and obstacle together push the item out of reach on both axes.
        Spot item = nextItemFrom(seed, origin, origin, origin);
        ASSERT_FALSE(near(item.x, 0)) << seed;
        ASSERT_FALSE(near(item.z, 0)) << seed;
        for (float v : {item.x, item.z}) {
            ASSERT_GE(v, -130.0f);
            ASSERT_LE(v, 129.0f);
        }
        // A segment alone does not.
        item = nextItemFrom(seed, origin, origin, far);
        landedNearWithoutObstacle |= near(item.x, 0) || near(item.z, 0);
        // Segments past the obstacle list are paired with no obstacle.
        item = nextItemFrom(seed, corner, origin, origin);
        landedNearUnpairedSegments |= near(item.x, 0) || near(item.z, 0);
    }
    EXPECT_TRUE(landedNearWithoutObstacle);
    EXPECT_TRUE(landedNearUnpairedSegments);
}

TEST(Food, SpeedUpFollowsTheLengthBeforeTheMeal) {
    const struct {
        float length;
        int steps;
    } table[] = {{0, 0},    {40, 0},   {41, 1},  {45, 5},  {49, 9},  {50, 10}, {175, 10},
                 {300, 10}, {301, 10}, {302, 9}, {305, 6}, {310, 1}, {311, 0}};
    for (const auto& row : table)
        EXPECT_EQ(game::speedUpSteps(row.length), row.steps) << row.length;

    // Meals at 40, 45 and 50 with a step between: 0, 0.05, 0.10, each 0.01 a float add.
    worldWithFarObstacles(9);
    float want = 0.0f;
    for (int steps : {0, 5, 10}) {
        state.stepMoved = true;
        foodOnHead();
        game::checkFood();
        want = addSteps(want, steps);
        EXPECT_EQ(state.speedBonus, want);
    }
    EXPECT_EQ(state.snakeLength, 55.0f);
    EXPECT_NEAR(state.speedBonus, 0.15f, 1e-6);
}

TEST(Food, GrowthOnlyAfterAStepMoveButTheFirstMealGrowsWhileGliding) {
    worldWithFarObstacles(12);
    ASSERT_TRUE(state.glideMode);
    foodOnHead();
    game::checkFood();
    EXPECT_EQ(state.snakeLength, 45.0f);
    EXPECT_FALSE(state.stepMoved);
    EXPECT_EQ(state.speedBonus, 0.0f);

    // Gliding sets no step, so the next meal does not grow; it still speeds up at 45.
    game::moveSnake();
    ASSERT_FALSE(state.stepMoved);
    foodOnHead();
    game::checkFood();
    EXPECT_EQ(state.snakeLength, 45.0f);
    EXPECT_EQ(state.speedBonus, addSteps(0.0f, 5));
    EXPECT_EQ(state.foodIndex, 2);

    state.glideMode = false;
    game::moveSnake();
    ASSERT_FALSE(state.snakeDead);
    foodOnHead();
    game::checkFood();
    EXPECT_EQ(state.snakeLength, 50.0f);
}

TEST(Food, LengthStopsAt300WhileTheMealStillCounts) {
    worldWithFarObstacles(13);
    state.snakeLength = 295.0f;
    foodOnHead();
    game::checkFood();
    EXPECT_EQ(state.snakeLength, 300.0f);

    state.stepMoved = true;
    state.speedBonus = 0.0f;
    const int points = state.foodPoints[1];
    foodOnHead();
    game::checkFood();
    EXPECT_EQ(state.snakeLength, 300.0f);
    EXPECT_EQ(state.foodIndex, 2);
    EXPECT_EQ(state.score, state.foodPoints[0] + points);
    EXPECT_EQ(state.speedBonus, addSteps(0.0f, 10));
    EXPECT_FALSE(state.stepMoved);
}

TEST(Food, EndOfTheListWrapsToItemZeroWithAFreshPosition) {
    worldWithFarObstacles(14);
    const int last = static_cast<int>(state.foodCount) - 1;
    state.foodIndex = last;
    state.foodPoints[last] = 101;
    state.foodPoints[0] = 128;
    foodOnHead();
    std::srand(31);
    const float x = draw();
    const float z = draw();
    std::srand(31);
    game::checkFood();
    EXPECT_EQ(state.score, 101);
    EXPECT_EQ(state.foodIndex, 0);
    EXPECT_EQ(state.foodX[0], x);
    EXPECT_EQ(state.foodZ[0], z);

    foodOnHead();
    game::checkFood();
    EXPECT_EQ(state.score, 101 + 128);
    EXPECT_EQ(state.foodIndex, 1);
}

TEST(Food, NothingHappensBeforeTheWorldExists) {
    game::resetState();
    game::checkFood();
    EXPECT_EQ(state.score, 0);
    EXPECT_EQ(state.foodIndex, 0);
}

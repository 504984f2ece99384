// food.h -- eating, scoring, the next food item, speed-up and growth.
#pragma once

namespace game {

// Eats the current item if the head is within 5 units of it on both axes.
void checkFood();

// How many 0.01 steps a meal adds to speedBonus when the snake is `length` segments long
// before the meal: one per whole k in 40..300 with k < length <= k + 10.
int speedUpSteps(float length);

}  // namespace game

// food.h -- eating, scoring, the next food item, speed-up and growth.
#pragma once

namespace game {

// Eats the current item if the head is within 5 units of it on both axes.
void checkFood();

}  // namespace game

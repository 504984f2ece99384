// movement.h -- one tick of snake movement and the collision tests.
#pragma once

namespace game {

// Glides or steps the snake by one tick, then tests the head against body, obstacles and walls.
void moveSnake();

}  // namespace game

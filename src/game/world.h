// world.h -- world generation at start-up and the round restart after a death.
#pragma once

namespace game {

// A whole number from -130 to 129, drawn with one call of rand().
float randomCoordinate();

// Seeds rand() from the clock and builds the world: snake, obstacles, food list, first item.
void setupWorld();

// The same, from a given seed, so that a world can be rebuilt exactly.
void setupWorldWithSeed(unsigned seed);

// Starts the next life after a death, or ends the game when no life is left.
void restartRound();

}  // namespace game

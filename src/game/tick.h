// tick.h -- one game tick: the game-over latch, then eating, then the move.
#pragma once

namespace game {

// Latches gameOver once no life is left, then runs checkFood and moveSnake. Every frame runs
// it once, whether or not the frame can be drawn.
void advanceTick();

}  // namespace game

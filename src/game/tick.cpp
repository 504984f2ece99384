// tick.cpp -- one game tick: the game-over latch, then eating, then the move.
#include "game/tick.h"

#include "game/food.h"
#include "game/movement.h"
#include "game/state.h"

namespace game {

void advanceTick() {
    if (state.lives < 1) {
        state.gameOver = true;
    }
    checkFood();
    moveSnake();
}

}  // namespace game

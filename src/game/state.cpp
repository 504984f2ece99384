// state.cpp -- the one GameState instance.
#include "game/state.h"

namespace game {

GameState state;

void resetState() {
    state = GameState{};
}

}  // namespace game

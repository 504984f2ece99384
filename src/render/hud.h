// hud.h -- the overlay: points, game-over message and one heart per life.
#pragma once

namespace render {

void drawHud();

}  // namespace render

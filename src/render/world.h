// world.h -- the 3D scene of one frame, with the game tick inside it, and its primitives.
#pragma once

namespace render {

// Floor, game-over latch, game tick, obstacles, food, visible snake, backdrop.
void drawWorld();

// A textured box spanning 0..1 on X and Y and -0.4..0.6 on Z, offset by (x, y, z);
// s and t are the texture repeat counts.
void drawBox(float x, float y, float z, float s, float t);

// 27 + 27 lines forming 26 x 26 unit cells in the plane y = 0.
void drawGrid();

// A sphere of radius 4 centred at (x, y, z).
void drawSphere(int x, int y, int z);

}  // namespace render

// snapshot_scene.h -- a scripted run of the game from a seed, for snapshots and golden images.
#pragma once

#include <vector>

namespace snapshot {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Before frame `tick` (counted from 0), the snake turns to `heading` as an accepted arrow
// key would make it: the heading changes and gliding ends.
struct Turn {
    int tick = 0;
    int heading = 0;
};

struct Scene {
    unsigned seed = 1;
    int view = 1;     // 1..8
    int frames = 60;  // each frame is one game tick; the last one is the picture
    int lives = 3;
    bool gameOver = false;
    int orbitRadius = 300;
    float orbitAngle = 45.0f;
    std::vector<Turn> turns;
};

// Needs a current 800 x 600 context. Resets the game, runs the start-up with the scene's
// seed (textures from the asset root), sets view, orbit, lives and game over, then renders
// the frames. The last frame is left in the colour buffer.
void renderScene(const Scene& scene);

}  // namespace snapshot

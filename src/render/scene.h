// scene.h -- the render state set once at start-up.
#pragma once

#include <GL/glu.h>

namespace render {

// The quadric from which every sphere is drawn.
extern GLUquadric* sphereQuadric;

// Render state, font, world, light and material, textures, fog and the sphere quadric.
// Needs a current GL context; runs once before the first frame.
void initScene();

// The same start-up, with the world built from `seed` instead of the clock, so that a
// picture can be rebuilt exactly (snapshots, golden images, benchmarks).
void initSceneWithSeed(unsigned seed);

}  // namespace render

// scene.h -- the render state set once at start-up.
#pragma once

#include <GL/glu.h>

namespace render {

// Every sphere of the world (food and snake) is this one GLU sphere.
constexpr GLdouble kSphereRadius = 4.0;
constexpr GLint kSphereSlices = 20;
constexpr GLint kSphereStacks = 20;

// The quadric from which every sphere is drawn.
extern GLUquadric* sphereQuadric;

// A display list holding gluSphere on sphereQuadric, compiled once at start-up right after the
// quadric; 0 when none could be made, and then each sphere is tessellated by GLU as it is drawn.
extern GLuint sphereList;

// Render state, font, world, light and material, textures, fog, the sphere quadric and the
// sphere's display list.
// Needs a current GL context; runs once before the first frame.
void initScene();

// The same start-up, with the world built from `seed` instead of the clock, so that a
// picture can be rebuilt exactly (snapshots, golden images, benchmarks).
void initSceneWithSeed(unsigned seed);

}  // namespace render

// frame_scene.h -- what the frame benchmarks set up in the world, above all the late game: a
// full-length snake coiled inside the walls, every sphere on the field. The native benchmark
// (OSMesa) and the browser's benchmark page (WebGL) draw it from this one code, so that their
// figures compare.
#pragma once

#include <vector>

namespace frame_scene {

// The world's seed of both benchmarks.
constexpr unsigned kSeed = 7;
// The coiled snake steps one tick a frame; it is coiled again (untimed) after this many frames,
// well before its head, 70 units from the -X wall, gets there.
constexpr int kCoilTicksPerRun = 20;

// Keeps every obstacle's zone off the line X = 10, and the current food item out of the way;
// they are still drawn, only elsewhere.
void clearThePath();

// Lays all 300 segments in a square spiral around the middle of the field, the head on the
// outside heading -X, stepping (not gliding), alive.
void coilSnake();

// Selects `view` (1..8), with the orbit of the golden pictures for view 2.
void useView(int view);

// The coil in `view`, from the world as the start-up left it (the caller restores that first).
void setUpCoil(int view);

// Whether the coil is still as laid out: alive and of full length.
bool coilIntact();

double median(std::vector<double> values);
double mean(const std::vector<double>& values);

}  // namespace frame_scene

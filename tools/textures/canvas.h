// canvas.h -- a float RGB picture and the deterministic noise the generator paints with.
#pragma once

#include <cstdint>
#include <vector>

namespace textures_gen {

struct Colour {
    float r = 0;
    float g = 0;
    float b = 0;
};

// Rows from the top of the picture down; channels 0..1.
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> texels;
};

Canvas makeCanvas(int width, int height, Colour fill);
Colour& at(Canvas& canvas, int x, int y);

Colour mix(Colour a, Colour b, float t);
Colour scaled(Colour c, float factor);
float clamp01(float v);
float smoothstep(float edge0, float edge1, float x);

// A hash of two integers and a seed to [0, 1): the only source of "randomness", so the
// pictures come out the same on every run.
float hash01(int x, int y, std::uint32_t seed);

// Smooth value noise in [0, 1) that repeats every `period` units on both axes.
float valueNoise(float x, float y, int period, std::uint32_t seed);

// Four octaves of valueNoise, still repeating every `period` units.
float fractalNoise(float x, float y, int period, std::uint32_t seed);

// RGB bytes, bottom row first, as a BMP stores them. An opaque picture never holds exact
// black, which the game would make see-through: such texels become (1, 1, 1).
std::vector<std::uint8_t> toBottomUpRgb(const Canvas& canvas, bool opaque);

}  // namespace textures_gen

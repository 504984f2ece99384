// offscreen_gl.h -- a software GL context (OSMesa) for tests that draw or query GL state.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_gl {

using Rgba = std::array<std::uint8_t, 4>;

// Creates (or re-creates) a current context with an RGBA colour buffer and a 16-bit depth
// buffer of the given size. Returns false when no context can be made.
bool makeOffscreenContext(int width, int height);

// Destroys the context made by makeOffscreenContext.
void destroyOffscreenContext();

int contextWidth();
int contextHeight();

// The pixel at (x, y), counted from the bottom-left corner as GL does. Calls glFinish first.
Rgba pixelAt(int x, int y);

// The whole colour buffer, bottom row first, four bytes per pixel.
const std::vector<std::uint8_t>& colourBuffer();

// Writes the colour buffer as a PNG (top row first), for looking at a failure.
bool writePng(const std::string& path);

}  // namespace testing_gl

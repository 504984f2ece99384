// render_fixture.h -- an 800 x 600 offscreen context with a seeded world, and picture helpers.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "offscreen_gl.h"

namespace render_test {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr unsigned kSeed = 20240611;

// A pixel rectangle, bottom-left origin as GL counts, half-open on the high side.
struct PixelRect {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
};

// Selects view mode 1..8, clearing every other flag.
void selectView(int mode);

// Pixels in `rect` (clipped to the buffer) whose red, green or blue exceeds `threshold`.
int countLitPixels(const PixelRect& rect, int threshold = 40);

// The mean x of the pixels in `rect` that countLitPixels counts; -1 when there are none.
double litCentreX(const PixelRect& rect, int threshold = 40);

// Mean red, green and blue over the pixels of `rect` that are not black.
std::array<double, 3> meanLitColour(const PixelRect& rect);

// Where a point of world space lands on screen under the current model-view and projection.
std::array<double, 2> projectToPixel(double x, double y, double z);

// A square of pixels around a point, clipped to the buffer.
PixelRect squareAround(const std::array<double, 2>& centre, int halfSide);

// Writes the colour buffer under the test output folder, for looking at a failure.
std::string dumpPicture(const std::string& name);

// Fresh context, viewport and projection for 800 x 600, state reset, and the start-up run with
// the world built from kSeed. Textures come from `assetRoot` (the source tree by default).
class RenderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void startUp(const std::string& assetRoot);
    // Takes the picture of one whole frame (camera, world with its tick, HUD).
    std::vector<std::uint8_t> renderPicture();
};

}  // namespace render_test

// mipmap.h -- the mipmap levels the desktop's gluBuild2DMipmaps makes from an RGBA picture.
#pragma once

#include <cstdint>
#include <vector>

namespace fixedgl {

struct ImageLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows from the bottom, four bytes a texel
};

// Level 0 down to 1 x 1, each halved from the one before with libGLU's box filter and its
// rounding. Level 0 is the picture, or, when a side is not a power of two, the picture scaled
// as libGLU scales it to the nearest powers of two.
std::vector<ImageLevel> buildMipmapLevels(const ImageLevel& base);

// libGLU's nearest power of two: 3 goes to 4, 5 to 4, 6 to 8, 48 to 64.
int nearestPowerOfTwo(int value);

// The picture scaled to width x height with libGLU's box filter.
ImageLevel scaleImage(const ImageLevel& from, int width, int height);

}  // namespace fixedgl

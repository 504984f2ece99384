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

// Level 0 (the picture itself) down to 1 x 1, each halved from the one before with libGLU's
// box filter and its rounding. The picture's sides must be powers of two; otherwise only
// level 0 is returned.
std::vector<ImageLevel> buildMipmapLevels(const ImageLevel& base);

bool isPowerOfTwo(int value);

}  // namespace fixedgl

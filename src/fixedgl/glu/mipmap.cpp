// mipmap.cpp -- libGLU's halving of unsigned-byte pictures.
#include "mipmap.h"

#include <cstddef>

namespace fixedgl {

namespace {

constexpr int kChannels = 4;

// Both sides halve: each texel is the rounded mean of a 2 x 2 block.
ImageLevel halveBoth(const ImageLevel& from) {
    ImageLevel to;
    to.width = from.width / 2;
    to.height = from.height / 2;
    to.rgba.resize(static_cast<std::size_t>(to.width) * to.height * kChannels);
    const std::size_t row = static_cast<std::size_t>(from.width) * kChannels;
    for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
            const std::size_t source =
                2 * static_cast<std::size_t>(y) * row + 2 * static_cast<std::size_t>(x) * kChannels;
            const std::size_t target = (static_cast<std::size_t>(y) * to.width + x) * kChannels;
            for (int k = 0; k < kChannels; ++k) {
                const int sum = from.rgba[source + k] + from.rgba[source + kChannels + k] +
                                from.rgba[source + row + k] +
                                from.rgba[source + row + kChannels + k];
                to.rgba[target + k] = static_cast<std::uint8_t>((sum + 2) / 4);
            }
        }
    }
    return to;
}

// One side is down to 1: pairs along the other side, averaged without rounding up.
ImageLevel halveOne(const ImageLevel& from) {
    ImageLevel to;
    const bool alongX = from.height == 1;
    to.width = alongX ? from.width / 2 : 1;
    to.height = alongX ? 1 : from.height / 2;
    const std::size_t count = static_cast<std::size_t>(to.width) * to.height;
    to.rgba.resize(count * kChannels);
    for (std::size_t t = 0; t < count; ++t) {
        const std::size_t first = 2 * t * kChannels;
        for (int k = 0; k < kChannels; ++k) {
            const int sum = from.rgba[first + k] + from.rgba[first + kChannels + k];
            to.rgba[t * kChannels + k] = static_cast<std::uint8_t>(sum / 2);
        }
    }
    return to;
}

}  // namespace

int nearestPowerOfTwo(int value) {
    int power = 1;
    if (value <= 0) {
        return -1;
    }
    for (;;) {
        if (value == 1) {
            return power;
        }
        if (value == 3) {
            return power * 4;
        }
        value >>= 1;
        power *= 2;
    }
}

std::vector<ImageLevel> buildMipmapLevels(const ImageLevel& base) {
    const int width = nearestPowerOfTwo(base.width);
    const int height = nearestPowerOfTwo(base.height);
    std::vector<ImageLevel> levels;
    if (width == base.width && height == base.height) {
        levels.push_back(base);
    } else if (width * 2 == base.width && height * 2 == base.height) {
        levels.push_back(halveBoth(base));
    } else {
        levels.push_back(scaleImage(base, width, height));
    }
    while (levels.back().width > 1 || levels.back().height > 1) {
        const ImageLevel& last = levels.back();
        levels.push_back(last.width == 1 || last.height == 1 ? halveOne(last) : halveBoth(last));
    }
    return levels;
}

}  // namespace fixedgl

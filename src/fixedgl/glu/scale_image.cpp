// scale_image.cpp -- libGLU's box filter for scaling an unsigned-byte picture to other sides,
// kept step for step (its float weights and its truncation), so that a picture whose sides are
// not powers of two gets the desktop's levels.
#include <array>
#include <cmath>
#include <cstddef>

#include "mipmap.h"

namespace fixedgl {

namespace {

constexpr int kChannels = 4;

struct Box {
    int lowX, highX, lowY, highY;
    float lowXFraction, highXFraction, lowYFraction, highYFraction;
};

class Scaler {
public:
    Scaler(const ImageLevel& from, std::array<float, kChannels>& totals)
        : from_(from), totals_(totals) {}

    // Adds `weight` times the texel at (x, y).
    void add(int x, int y, float weight) {
        const std::size_t at = offset(x, y);
        for (std::size_t k = 0; k < kChannels; ++k) {
            totals_[k] += static_cast<float>(from_.rgba[at + k]) * weight;
        }
    }

    void addBox(const Box& b) {
        if (b.highY > b.lowY && b.highX > b.lowX) {
            addRowEnds(b, b.lowY, 1 - b.lowYFraction);
            addRowEnds(b, b.highY, b.highYFraction);
            for (int y = b.lowY + 1; y < b.highY; ++y) {
                addEdges(b, y);
            }
        } else if (b.highY > b.lowY) {
            const float xShare = b.highXFraction - b.lowXFraction;
            add(b.lowX, b.lowY, (1 - b.lowYFraction) * xShare);
            for (int y = b.lowY + 1; y < b.highY; ++y) {
                add(b.lowX, y, xShare);
            }
            add(b.lowX, b.highY, xShare * b.highYFraction);
        } else if (b.highX > b.lowX) {
            const float yShare = b.highYFraction - b.lowYFraction;
            add(b.lowX, b.lowY, (1 - b.lowXFraction) * yShare);
            for (int x = b.lowX + 1; x < b.highX; ++x) {
                add(x, b.lowY, yShare);
            }
            add(b.highX, b.lowY, yShare * b.highXFraction);
        } else {
            add(b.lowX, b.lowY,
                (b.highYFraction - b.lowYFraction) * (b.highXFraction - b.lowXFraction));
        }
        for (int y = b.lowY + 1; y < b.highY; ++y) {
            for (int x = b.lowX + 1; x < b.highX; ++x) {
                add(x, y, 1.0f);
            }
        }
    }

private:
    std::size_t offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(from_.width) +
                static_cast<std::size_t>(x)) *
               kChannels;
    }

    // The first and last column of a middle row, summed before they are added. (libGLU's
    // pointers for these drift one texel a row from the second middle row on; a box never
    // spans two middle rows when the sides go to the nearest powers of two.)
    void addEdges(const Box& b, int y) {
        const std::size_t left = offset(b.lowX, y);
        const std::size_t right = offset(b.highX, y);
        for (std::size_t k = 0; k < kChannels; ++k) {
            totals_[k] += static_cast<float>(from_.rgba[left + k]) * (1 - b.lowXFraction) +
                          static_cast<float>(from_.rgba[right + k]) * b.highXFraction;
        }
    }

    void addRowEnds(const Box& b, int y, float yShare) {
        add(b.lowX, y, yShare * (1 - b.lowXFraction));
        for (int x = b.lowX + 1; x < b.highX; ++x) {
            add(x, y, yShare);
        }
        add(b.highX, y, yShare * b.highXFraction);
    }

    const ImageLevel& from_;
    std::array<float, kChannels>& totals_;
};

// One step along a side: the box's far edge moves on by the whole and fractional parts.
void advance(int& lowInt, float& lowFraction, int& highInt, float& highFraction, int stepInt,
             float stepFraction) {
    lowInt = highInt;
    lowFraction = highFraction;
    highInt += stepInt;
    highFraction += stepFraction;
    if (highFraction > 1) {
        highFraction -= 1.0f;
        ++highInt;
    }
}

}  // namespace

ImageLevel scaleImage(const ImageLevel& from, int width, int height) {
    ImageLevel to;
    to.width = width;
    to.height = height;
    to.rgba.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * kChannels);
    const float convY = static_cast<float>(from.height) / static_cast<float>(height);
    const float convX = static_cast<float>(from.width) / static_cast<float>(width);
    const auto convYInt = static_cast<int>(std::floor(convY));
    const float convYFraction = convY - static_cast<float>(convYInt);
    const auto convXInt = static_cast<int>(std::floor(convX));
    const float convXFraction = convX - static_cast<float>(convXInt);
    const float area = convX * convY;
    Box b{};
    b.lowY = 0;
    b.lowYFraction = 0;
    b.highY = convYInt;
    b.highYFraction = convYFraction;
    for (int i = 0; i < height; ++i) {
        if (b.highY >= from.height) {
            b.highY = from.height - 1;
        }
        b.lowX = 0;
        b.lowXFraction = 0;
        b.highX = convXInt;
        b.highXFraction = convXFraction;
        for (int j = 0; j < width; ++j) {
            std::array<float, kChannels> totals{};
            Scaler(from, totals).addBox(b);
            const std::size_t out =
                (static_cast<std::size_t>(j) + static_cast<std::size_t>(i) * width) * kChannels;
            for (std::size_t k = 0; k < kChannels; ++k) {
                to.rgba[out + k] = static_cast<std::uint8_t>(totals[k] / area);
            }
            advance(b.lowX, b.lowXFraction, b.highX, b.highXFraction, convXInt, convXFraction);
        }
        advance(b.lowY, b.lowYFraction, b.highY, b.highYFraction, convYInt, convYFraction);
    }
    return to;
}

}  // namespace fixedgl

// make-icon.cpp -- draws the 48x48 application icon: a green snake of spheres chasing a red
// food sphere on a dark rounded tile. Usage: make-icon OUT.png
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "png_writer.h"

namespace {

constexpr int kSize = 48;
constexpr int kSubsamples = 4;  // per axis, for smooth edges
constexpr float kCornerRadius = 9.0f;

struct Colour {
    float r, g, b;
};

struct Disc {
    float x, y, radius;
    Colour colour;
};

constexpr Colour kTile{18.0f, 28.0f, 54.0f};
constexpr Colour kBody{60.0f, 190.0f, 80.0f};
constexpr Colour kHead{120.0f, 230.0f, 110.0f};
constexpr Colour kFood{230.0f, 50.0f, 40.0f};
constexpr Colour kEye{10.0f, 10.0f, 10.0f};

// Inside the tile with rounded corners?
bool insideTile(float x, float y) {
    const float cx = std::clamp(x, kCornerRadius, kSize - kCornerRadius);
    const float cy = std::clamp(y, kCornerRadius, kSize - kCornerRadius);
    const float dx = x - cx;
    const float dy = y - cy;
    return dx * dx + dy * dy <= kCornerRadius * kCornerRadius;
}

// The snake runs along an S from the lower left towards the food at the upper right; later
// discs are drawn over earlier ones, so the head comes last.
std::vector<Disc> scene() {
    std::vector<Disc> discs;
    constexpr int kSegments = 9;
    for (int i = 0; i < kSegments; ++i) {
        const float t = static_cast<float>(i) / (kSegments - 1);
        const float x = 9.0f + 26.0f * t;
        const float y = 33.0f - 12.0f * t + 6.0f * std::sin(t * 6.2831853f);
        const bool head = i == kSegments - 1;
        discs.push_back({x, y, head ? 6.0f : 4.6f, head ? kHead : kBody});
    }
    const Disc& head = discs.back();
    discs.push_back({head.x + 1.5f, head.y - 2.5f, 1.3f, kEye});
    discs.push_back({39.0f, 10.0f, 4.2f, kFood});
    return discs;
}

// A little shading makes the discs read as spheres: lighter towards the upper left.
Colour shade(const Disc& disc, float x, float y) {
    const float light = 1.15f - 0.35f * ((x - disc.x) + (y - disc.y)) / (2.0f * disc.radius);
    return {disc.colour.r * light, disc.colour.g * light, disc.colour.b * light};
}

std::array<float, 4> sample(const std::vector<Disc>& discs, float x, float y) {
    if (!insideTile(x, y)) {
        return {0.0f, 0.0f, 0.0f, 0.0f};
    }
    Colour colour = kTile;
    for (const Disc& disc : discs) {
        const float dx = x - disc.x;
        const float dy = y - disc.y;
        if (dx * dx + dy * dy <= disc.radius * disc.radius) {
            colour = shade(disc, x, y);
        }
    }
    return {colour.r, colour.g, colour.b, 255.0f};
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

std::vector<std::uint8_t> drawIcon() {
    const std::vector<Disc> discs = scene();
    std::vector<std::uint8_t> pixels(kSize * kSize * 4);
    for (int py = 0; py < kSize; ++py) {
        for (int px = 0; px < kSize; ++px) {
            std::array<float, 4> sum{};
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const auto s = sample(discs, px + (sx + 0.5f) / kSubsamples,
                                          py + (sy + 0.5f) / kSubsamples);
                    // Premultiply so that transparent samples do not darken the edges.
                    for (int c = 0; c < 3; ++c)
                        sum[c] += s[c] * s[3] / 255.0f;
                    sum[3] += s[3];
                }
            }
            std::uint8_t* out = &pixels[(py * kSize + px) * 4];
            const float alpha = sum[3] / (kSubsamples * kSubsamples);
            for (int c = 0; c < 3; ++c) {
                out[c] = alpha > 0.0f
                             ? toByte(sum[c] / (kSubsamples * kSubsamples) * 255.0f / alpha)
                             : 0;
            }
            out[3] = toByte(alpha);
        }
    }
    return pixels;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icon OUT.png\n");
        return 2;
    }
    const std::vector<std::uint8_t> pixels = drawIcon();
    if (!png::writeRgba(argv[1], pixels.data(), kSize, kSize, false)) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}

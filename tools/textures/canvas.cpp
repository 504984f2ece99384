// canvas.cpp -- float pictures, colour helpers and seeded value noise.
#include "canvas.h"

#include <cmath>

namespace textures_gen {

namespace {

int wrap(int v, int period) {
    return ((v % period) + period) % period;
}

std::uint8_t toByte(float v) {
    return static_cast<std::uint8_t>(std::lround(clamp01(v) * 255));
}

}  // namespace

Canvas makeCanvas(int width, int height, Colour fill) {
    return Canvas{width, height,
                  std::vector<Colour>(static_cast<std::size_t>(width) * height, fill)};
}

Colour& at(Canvas& canvas, int x, int y) {
    return canvas.texels[static_cast<std::size_t>(y) * canvas.width + x];
}

Colour mix(Colour a, Colour b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Colour scaled(Colour c, float factor) {
    return {c.r * factor, c.g * factor, c.b * factor};
}

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float smoothstep(float edge0, float edge1, float x) {
    const float t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

float hash01(int x, int y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9U;
    h ^= static_cast<std::uint32_t>(x) * 0x85EBCA6BU;
    h = (h ^ (h >> 15)) * 0x2C1B3C6DU;
    h ^= static_cast<std::uint32_t>(y) * 0xC2B2AE35U;
    h = (h ^ (h >> 12)) * 0x297A2D39U;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) / static_cast<float>(1U << 24);
}

float valueNoise(float x, float y, int period, std::uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const float fx = smoothstep(0, 1, x - x0);
    const float fy = smoothstep(0, 1, y - y0);
    const auto corner = [&](int dx, int dy) {
        return hash01(wrap(x0 + dx, period), wrap(y0 + dy, period), seed);
    };
    const float top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * fx;
    const float bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * fx;
    return top + (bottom - top) * fy;
}

float fractalNoise(float x, float y, int period, std::uint32_t seed) {
    float sum = 0;
    float amplitude = 0.5F;
    float total = 0;
    for (int octave = 0; octave < 4; ++octave) {
        sum += amplitude * valueNoise(x, y, period, seed + static_cast<std::uint32_t>(octave));
        total += amplitude;
        x *= 2;
        y *= 2;
        period *= 2;
        amplitude *= 0.5F;
    }
    return sum / total;
}

std::vector<std::uint8_t> toBottomUpRgb(const Canvas& canvas, bool opaque) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(canvas.texels.size() * 3);
    for (int y = canvas.height - 1; y >= 0; --y) {
        for (int x = 0; x < canvas.width; ++x) {
            const Colour& c = canvas.texels[static_cast<std::size_t>(y) * canvas.width + x];
            std::uint8_t r = toByte(c.r);
            std::uint8_t g = toByte(c.g);
            std::uint8_t b = toByte(c.b);
            if (opaque && r == 0 && g == 0 && b == 0) {
                r = g = b = 1;
            }
            rgb.insert(rgb.end(), {r, g, b});
        }
    }
    return rgb;
}

}  // namespace textures_gen

// pictures.cpp -- paints the textures from code: shapes, gradients and seeded noise only.
#include "pictures.h"

#include <cmath>

namespace textures_gen {

namespace {

constexpr float kPi = 3.14159265F;
constexpr int kCrateSide = 128;
constexpr int kSkinSide = 128;
constexpr int kHeartSide = 64;
constexpr int kGridSide = 64;
constexpr int kBackdropSide = 256;
constexpr int kSphereSide = 128;
constexpr int kFaceSide = 128;
constexpr int kHeartSamples = 4;  // per axis, for the coverage of the heart's edge

// Inside the heart x^2 + (1.25 y - sqrt|x|)^2 <= 1, y up: two round lobes and a sharp tip.
bool insideHeart(float x, float y) {
    const float lift = 1.25F * y - std::sqrt(std::fabs(x));
    return x * x + lift * lift <= 1;
}

float heartCoverage(int px, int py) {
    int inside = 0;
    for (int sy = 0; sy < kHeartSamples; ++sy) {
        for (int sx = 0; sx < kHeartSamples; ++sx) {
            const float u = (px + (sx + 0.5F) / kHeartSamples) / kHeartSide;
            const float v = (py + (sy + 0.5F) / kHeartSamples) / kHeartSide;
            inside += insideHeart((u - 0.5F) * 2.4F, (0.5F - v) * 2.4F + 0.23F) ? 1 : 0;
        }
    }
    return static_cast<float>(inside) / (kHeartSamples * kHeartSamples);
}

float distance(float ax, float ay, float bx, float by) {
    return std::sqrt((ax - bx) * (ax - bx) + (ay - by) * (ay - by));
}

// Distance from (x, y) to the segment a-b.
float segmentDistance(float x, float y, float ax, float ay, float bx, float by) {
    const float dx = bx - ax;
    const float dy = by - ay;
    const float t = clamp01(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy));
    return distance(x, y, ax + t * dx, ay + t * dy);
}

// Wood: long grain along x, rings bent by noise.
Colour wood(float x, float y, std::uint32_t seed) {
    const Colour light{0.78F, 0.55F, 0.30F};
    const Colour dark{0.45F, 0.28F, 0.12F};
    const float bend = fractalNoise(x / 32, y / 8, 4, seed) * 6;
    const float rings = 0.5F + 0.5F * std::sin((y + bend) * 1.7F);
    const float streak = fractalNoise(x / 64, y / 2, 2, seed + 7);
    return mix(light, dark, clamp01(0.55F * rings + 0.6F * streak - 0.2F));
}

// The skin's scales: rows 8 texels apart, every other row shifted by half a scale.
constexpr int kScaleStep = 16;
constexpr int kScaleRow = 8;
constexpr float kScaleRadius = 11.5F;

// Which scale covers (x, y): the front-most (lowest) row whose circle holds it.
void nearestScale(int x, int y, float& depth, int& row, int& column) {
    depth = 2;
    for (int r = y / kScaleRow + 2; r >= y / kScaleRow - 2; --r) {
        const int shift = (((r % 2) + 2) % 2) * kScaleStep / 2;
        for (int c = (x - shift) / kScaleStep - 1; c <= (x - shift) / kScaleStep + 1; ++c) {
            const float cx = static_cast<float>(c * kScaleStep + shift + kScaleStep / 2);
            const float cy = static_cast<float>(r * kScaleRow);
            const float d =
                distance(static_cast<float>(x), static_cast<float>(y), cx, cy) / kScaleRadius;
            if (d < 1 && y <= cy + kScaleRadius * 0.2F) {
                depth = d;
                row = r;
                column = c;
                return;
            }
        }
    }
}

}  // namespace

Canvas paintSphere() {
    Canvas canvas = makeCanvas(kSphereSide, kSphereSide, {});
    for (int y = 0; y < kSphereSide; ++y) {
        for (int x = 0; x < kSphereSide; ++x) {
            const float n = fractalNoise(x / 32.0F, y / 32.0F, 4, 31);
            const float veins = std::fabs(std::sin((x / 16.0F + n * 6) * kPi / 2));
            const Colour stone = mix({0.18F, 0.30F, 0.62F}, {0.85F, 0.90F, 0.98F}, veins);
            at(canvas, x, y) = scaled(stone, 0.75F + 0.25F * n);
        }
    }
    return canvas;
}

Canvas paintBackdrop() {
    Canvas canvas = makeCanvas(kBackdropSide, kBackdropSide, {});
    const Colour zenith{0.05F, 0.06F, 0.22F};
    const Colour horizon{0.95F, 0.52F, 0.30F};
    for (int y = 0; y < kBackdropSide; ++y) {
        for (int x = 0; x < kBackdropSide; ++x) {
            const float v = static_cast<float>(y) / kBackdropSide;
            Colour c = mix(zenith, horizon, smoothstep(0.05F, 0.75F, v));
            if (v < 0.45F && hash01(x, y, 5) > 0.994F) {
                c = mix(c, {1, 1, 0.9F}, 1 - v * 2);  // stars fade towards the horizon
            }
            const float sun = distance(x, y, 170, 150);
            c = mix(c, {1.0F, 0.85F, 0.55F}, 1 - smoothstep(14, 18, sun));
            const float far = 140 + 40 * fractalNoise(x / 64.0F, 0.5F, 4, 11);
            const float near = 175 + 45 * fractalNoise(x / 48.0F, 2.5F, 5, 12);
            if (y > far) {
                c = mix({0.30F, 0.22F, 0.38F}, {0.20F, 0.15F, 0.28F}, (y - far) / 80);
            }
            if (y > near) {
                c = mix({0.12F, 0.16F, 0.14F}, {0.05F, 0.08F, 0.06F}, (y - near) / 80);
            }
            at(canvas, x, y) = c;
        }
    }
    return canvas;
}

Canvas paintCrate() {
    constexpr float kFrame = 14;
    constexpr int kPlanks = 4;
    Canvas canvas = makeCanvas(kCrateSide, kCrateSide, {});
    const float side = kCrateSide;
    for (int y = 0; y < kCrateSide; ++y) {
        for (int x = 0; x < kCrateSide; ++x) {
            const float fx = static_cast<float>(x) + 0.5F;
            const float fy = static_cast<float>(y) + 0.5F;
            const float edge = std::fmin(std::fmin(fx, side - fx), std::fmin(fy, side - fy));
            const float brace =
                segmentDistance(fx, fy, kFrame, side - kFrame, side - kFrame, kFrame);
            Colour c;
            if (edge < kFrame) {
                // The frame: planks along its side, darker towards the outside.
                const bool vertical = std::fmin(fx, side - fx) < std::fmin(fy, side - fy);
                c = vertical ? wood(fy, fx, 3) : wood(fx, fy, 4);
                c = scaled(
                    c, 0.7F + 0.3F * smoothstep(0, 4, edge) - 0.25F * smoothstep(10, kFrame, edge));
            } else if (brace < 9) {
                c = scaled(wood(fx + fy, fy - fx, 5), 0.95F - 0.35F * smoothstep(6, 9, brace));
            } else {
                const int plank = static_cast<int>((fy - kFrame) / ((side - 2 * kFrame) / kPlanks));
                c = scaled(wood(fx, fy, 20 + static_cast<std::uint32_t>(plank)), 0.8F);
                const float seam = std::fmod(fy - kFrame, (side - 2 * kFrame) / kPlanks);
                c = scaled(c, 0.55F + 0.45F * smoothstep(0, 2, seam));
            }
            // Nails at the frame's corners.
            for (float nx : {kFrame / 2, side - kFrame / 2}) {
                for (float ny : {kFrame / 2, side - kFrame / 2}) {
                    const float d = distance(fx, fy, nx, ny);
                    if (d < 3) {
                        c = mix({0.75F, 0.75F, 0.78F}, {0.30F, 0.30F, 0.32F}, d / 3);
                    }
                }
            }
            at(canvas, x, y) = c;
        }
    }
    return canvas;
}

Canvas paintHeart() {
    Canvas canvas = makeCanvas(kHeartSide, kHeartSide, {});
    for (int y = 0; y < kHeartSide; ++y) {
        for (int x = 0; x < kHeartSide; ++x) {
            // A texel is either heart or see-through: a blended edge would be a dark opaque rim.
            if (heartCoverage(x, y) < 0.5F) {
                continue;
            }
            const float glint = distance(x, y, 20, 18);
            Colour c = mix({1.0F, 0.25F, 0.30F}, {0.62F, 0.02F, 0.08F},
                           smoothstep(0, 44, distance(x, y, 22, 20)));
            c = mix(c, {1, 0.85F, 0.88F}, 1 - smoothstep(2, 6, glint));
            at(canvas, x, y) = c;
        }
    }
    return canvas;
}

Canvas paintGrid() {
    Canvas canvas = makeCanvas(kGridSide, kGridSide, {});
    for (int y = 0; y < kGridSide; ++y) {
        for (int x = 0; x < kGridSide; ++x) {
            // Distance to the nearest cell border of a 2 x 2 tiling that repeats seamlessly.
            const float cell = kGridSide / 2.0F;
            const float fx = std::fmod(x + 0.5F, cell);
            const float fy = std::fmod(y + 0.5F, cell);
            const float line = std::fmin(std::fmin(fx, cell - fx), std::fmin(fy, cell - fy));
            const Colour tile =
                mix({0.10F, 0.22F, 0.55F}, {0.05F, 0.12F, 0.38F}, (fx + fy) / (2 * cell));
            const float glow = 1 - smoothstep(0.5F, 4.5F, line);
            at(canvas, x, y) = mix(tile, {0.55F, 0.85F, 1.0F}, glow);
        }
    }
    return canvas;
}

Canvas paintFace() {
    Canvas canvas = makeCanvas(kFaceSide, kFaceSide, {});
    for (int y = 0; y < kFaceSide; ++y) {
        for (int x = 0; x < kFaceSide; ++x) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            float depth = 0;
            int row = 0;
            int column = 0;
            nearestScale(x, y, depth, row, column);
            Colour c = mix({0.45F, 0.75F, 0.25F}, {0.18F, 0.40F, 0.12F}, depth * depth);
            for (float ex : {40.0F, 88.0F}) {
                const float eye = distance(fx, fy, ex, 50);
                if (eye < 15) {
                    c = mix({1.0F, 0.85F, 0.15F}, {0.75F, 0.50F, 0.05F}, eye / 15);
                    if (std::fabs(fx - ex) < 2.5F && eye < 13) {
                        c = {0.04F, 0.04F, 0.04F};  // slit pupil
                    }
                    c = mix(c, {1, 1, 1}, 1 - smoothstep(1, 3, distance(fx, fy, ex - 5, 44)));
                }
            }
            for (float nx : {56.0F, 72.0F}) {
                if (distance(fx, fy, nx, 92) < 3) {
                    c = {0.08F, 0.15F, 0.05F};
                }
            }
            const float mouth = std::fabs(fy - (108 - 0.004F * (fx - 64) * (fx - 64)));
            if (mouth < 1.5F && std::fabs(fx - 64) < 40) {
                c = {0.10F, 0.20F, 0.06F};
            }
            at(canvas, x, y) = c;
        }
    }
    return canvas;
}

Canvas paintSkin() {
    Canvas canvas = makeCanvas(kSkinSide, kSkinSide, {});
    const Colour belly{0.78F, 0.86F, 0.35F};
    const Colour back{0.20F, 0.55F, 0.18F};
    const Colour rim{0.06F, 0.20F, 0.06F};
    for (int y = 0; y < kSkinSide; ++y) {
        for (int x = 0; x < kSkinSide; ++x) {
            float depth = 0;
            int row = 0;
            int column = 0;
            nearestScale(x, y, depth, row, column);
            // A diamond band along the body: scales whose row and column meet on a diagonal.
            const int wrappedColumn = ((column % 8) + 8) % 8;
            const int wrappedRow = ((row % 16) + 16) % 16;
            const bool band = std::abs(wrappedColumn * 2 - (wrappedRow % 16)) <= 1 ||
                              std::abs(wrappedColumn * 2 - (16 - wrappedRow % 16)) <= 1;
            const Colour base = band ? Colour{0.10F, 0.30F, 0.10F} : back;
            Colour c =
                mix(mix(belly, base, 0.6F + 0.4F * depth), rim, smoothstep(0.75F, 1.0F, depth));
            c = scaled(c, 0.9F + 0.2F * hash01(((column % 8) + 8) % 8, wrappedRow, 9));
            at(canvas, x, y) = c;
        }
    }
    return canvas;
}

}  // namespace textures_gen

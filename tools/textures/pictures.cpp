// pictures.cpp -- paints the textures from code: shapes, gradients and seeded noise only.
#include "pictures.h"

#include <cmath>
#include <utility>

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

// The game multiplies every picture by the light and by the colour of what wears it: the food
// wears the crate, lit at about 0.4 to 0.73 of its class colour, and the snake wears its skin
// at only 0.32 to 0.59 (grey 0.8 under that light). A channel a picture lacks cannot show
// through, so the crate is pale wood, bright in all three channels, and the skin a bright
// lime; dark tones are kept to thin lines that draw the shapes.
struct WoodTones {
    Colour light;
    Colour dark;
};

constexpr WoodTones kPlankWood{{1.0F, 0.98F, 0.95F}, {0.97F, 0.92F, 0.84F}};
constexpr WoodTones kFrameWood{{0.99F, 0.95F, 0.87F}, {0.92F, 0.84F, 0.71F}};
constexpr Colour kCrateLine{0.50F, 0.35F, 0.20F};  // seams, joints and the crate's outline
constexpr Colour kNailHead{0.86F, 0.86F, 0.88F};
constexpr Colour kNailRim{0.48F, 0.47F, 0.50F};

// Wood: long grain along x, rings bent by noise.
Colour wood(float x, float y, std::uint32_t seed, const WoodTones& tones) {
    const float bend = fractalNoise(x / 32, y / 8, 4, seed) * 6;
    const float rings = 0.5F + 0.5F * std::sin((y + bend) * 1.7F);
    const float streak = fractalNoise(x / 64, y / 2, 2, seed + 7);
    return mix(tones.light, tones.dark, clamp01(0.55F * rings + 0.6F * streak - 0.2F));
}

// A dark line of the given half width, softened over one texel.
Colour withLine(Colour c, float distanceToLine, float halfWidth) {
    return mix(c, kCrateLine, 1 - smoothstep(halfWidth - 0.5F, halfWidth + 0.5F, distanceToLine));
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
    constexpr float kFrame = 16;  // width of the frame's boards
    constexpr int kPlanks = 4;
    constexpr float kBraceHalf = 9;
    constexpr float kNailRadius = 2.6F;
    Canvas canvas = makeCanvas(kCrateSide, kCrateSide, {});
    const float side = kCrateSide;
    const float plankHeight = (side - 2 * kFrame) / kPlanks;
    for (int y = 0; y < kCrateSide; ++y) {
        for (int x = 0; x < kCrateSide; ++x) {
            const float fx = static_cast<float>(x) + 0.5F;
            const float fy = static_cast<float>(y) + 0.5F;
            const float toSide = std::fmin(fx, side - fx);
            const float toTopOrBottom = std::fmin(fy, side - fy);
            const float edge = std::fmin(toSide, toTopOrBottom);
            const float brace =
                segmentDistance(fx, fy, kFrame, side - kFrame, side - kFrame, kFrame);
            Colour c;
            if (edge < kFrame) {
                // The frame: a board along each side, mitred at the corners.
                const bool vertical = toSide < toTopOrBottom;
                c = vertical ? wood(fy, fx, 3, kFrameWood) : wood(fx, fy, 4, kFrameWood);
                c = withLine(c, edge, 1.5F);                               // the outline
                c = withLine(c, kFrame - edge, 1.0F);                      // the inner edge
                c = withLine(c, std::fabs(toSide - toTopOrBottom), 0.7F);  // the mitre
            } else if (brace < kBraceHalf + 1) {
                c = wood(fx + fy, fy - fx, 5, kFrameWood);
                c = withLine(c, std::fabs(kBraceHalf - brace), 1.0F);
            } else {
                const int plank = static_cast<int>((fy - kFrame) / plankHeight);
                c = wood(fx, fy, 20 + static_cast<std::uint32_t>(plank), kPlankWood);
                const float seam = std::fmod(fy - kFrame, plankHeight);
                c = withLine(c, std::fmin(seam, plankHeight - seam), 0.9F);
            }
            // Nails: at the frame's corners and at both ends of the brace.
            for (const auto& [nx, ny] : {std::pair{kFrame / 2, kFrame / 2},
                                         {side - kFrame / 2, kFrame / 2},
                                         {kFrame / 2, side - kFrame / 2},
                                         {side - kFrame / 2, side - kFrame / 2},
                                         {kFrame + 6, side - kFrame - 6},
                                         {side - kFrame - 6, kFrame + 6}}) {
                const float d = distance(fx, fy, nx, ny);
                if (d < kNailRadius + 0.5F) {
                    c = mix(kNailHead, kNailRim, smoothstep(0.8F, kNailRadius, d));
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

// The floor's lines carry no texture coordinate of their own: each keeps the one the heads-up
// display left behind, (0, 1) under the hearts, (1/16, 1) under "GAME OVER!!!", (0, 0) in the
// very first frame. All of these sample the tile's border, so the border's blue is the
// brightness of every line (their colour is pure blue). It is kept at about 60 %, so that the
// floor stays behind the crates, the food and the snake.
Canvas paintGrid() {
    constexpr float kBorderHalf = 6;  // wider than the 1/16 the game-over line reaches in
    const Colour border{0.34F, 0.48F, 0.62F};
    Canvas canvas = makeCanvas(kGridSide, kGridSide, {});
    const float side = kGridSide;
    for (int y = 0; y < kGridSide; ++y) {
        for (int x = 0; x < kGridSide; ++x) {
            const float fx = static_cast<float>(x) + 0.5F;
            const float fy = static_cast<float>(y) + 0.5F;
            const float line = std::fmin(std::fmin(fx, side - fx), std::fmin(fy, side - fy));
            const Colour tile = mix({0.05F, 0.09F, 0.20F}, {0.03F, 0.06F, 0.14F},
                                    fractalNoise(fx / 16, fy / 16, 4, 41));
            at(canvas, x, y) = mix(border, tile, smoothstep(kBorderHalf, kBorderHalf + 2, line));
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
    const Colour belly{0.90F, 1.0F, 0.50F};
    const Colour back{0.62F, 1.0F, 0.34F};
    const Colour bandScale{0.34F, 0.90F, 0.26F};
    const Colour rim{0.30F, 0.68F, 0.18F};
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
            const Colour base = band ? bandScale : back;
            // Each scale is lighter at its free edge and has a thin darker rim.
            Colour c =
                mix(mix(belly, base, 0.55F + 0.45F * depth), rim, smoothstep(0.82F, 1.0F, depth));
            c = scaled(c, 0.94F + 0.06F * hash01(wrappedColumn, wrappedRow, 9));
            at(canvas, x, y) = c;
        }
    }
    return canvas;
}

}  // namespace textures_gen

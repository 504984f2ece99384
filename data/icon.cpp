// icon.cpp -- draws the application icon: the game's field seen from above, shaded spheres and
// a crate, sampled several times per pixel for smooth edges.
#include "icon.h"

#include <algorithm>
#include <cmath>

namespace icon {
namespace {

// The picture is laid out on a unit square, y pointing down; only the grid is placed in pixels,
// so that its lines stay sharp at every size.
constexpr int kSubsamples = 4;  // per axis
constexpr float kCornerRadius = 0.17f;
constexpr float kGridMargin = 0.11f;
constexpr int kDetailSize = 48;  // from here on the crate has its plank and the snake its eyes
constexpr int kTinySize = 16;    // where a bright grid would drown the rest
constexpr float kSegmentRadius = 0.085f;
constexpr float kHeadRadius = 0.1f;
constexpr float kFoodRadius = 0.11f;
constexpr float kEyeRadius = 0.02f;

struct Colour {
    float r, g, b;
};

constexpr Colour kTile{8.0f, 8.0f, 12.0f};
constexpr Colour kGrid{40.0f, 70.0f, 255.0f};
constexpr Colour kTinyGrid{26.0f, 44.0f, 170.0f};
constexpr Colour kBody{60.0f, 190.0f, 70.0f};
constexpr Colour kHead{100.0f, 220.0f, 90.0f};
constexpr Colour kFood{255.0f, 210.0f, 30.0f};
constexpr Colour kWood{228.0f, 196.0f, 140.0f};
constexpr Colour kWoodEdge{150.0f, 104.0f, 58.0f};
constexpr Colour kEye{10.0f, 10.0f, 10.0f};

struct Point {
    float x, y;
};

// The snake crosses the field from the lower left and turns up towards the food.
constexpr std::array<Point, 7> kSnake{{{0.16f, 0.76f},
                                       {0.28f, 0.77f},
                                       {0.40f, 0.77f},
                                       {0.52f, 0.76f},
                                       {0.63f, 0.72f},
                                       {0.70f, 0.63f},
                                       {0.72f, 0.52f}}};
constexpr Point kFoodCentre{0.72f, 0.27f};
constexpr Point kCrateCentre{0.30f, 0.31f};
constexpr float kCrateHalf = 0.13f;
constexpr float kCrateEdge = 0.03f;

struct Sample {
    Colour colour;
    float alpha;  // 0 or 1: coverage comes from averaging the samples
};

bool insideTile(Point p) {
    const float cx = std::clamp(p.x, kCornerRadius, 1.0f - kCornerRadius);
    const float cy = std::clamp(p.y, kCornerRadius, 1.0f - kCornerRadius);
    const float dx = p.x - cx;
    const float dy = p.y - cy;
    return dx * dx + dy * dy <= kCornerRadius * kCornerRadius;
}

// Grid lines start on whole pixels and are at least one pixel wide.
struct Grid {
    std::vector<float> lines;  // left or top edge of each line
    Colour colour{};
    float width = 0.0f;
    float first = 0.0f;
    float last = 0.0f;
};

// Fewer, wider cells at the small sizes, where six would blur into a blue square.
int gridCells(int size) {
    if (size <= kTinySize) {
        return 3;
    }
    return size < kDetailSize ? 4 : 6;
}

Grid gridFor(int size) {
    const int cells = gridCells(size);
    const float pixel = 1.0f / static_cast<float>(size);
    Grid grid;
    grid.colour = size <= kTinySize ? kTinyGrid : kGrid;
    grid.width = std::max(1.0f, std::round(static_cast<float>(size) / 64.0f)) * pixel;
    for (int i = 0; i <= cells; ++i) {
        const float at = kGridMargin + (1.0f - 2.0f * kGridMargin) * static_cast<float>(i) / cells;
        grid.lines.push_back(std::round(at * static_cast<float>(size)) * pixel);
    }
    grid.first = grid.lines.front();
    grid.last = grid.lines.back() + grid.width;
    return grid;
}

bool onGrid(const Grid& grid, Point p) {
    if (p.x < grid.first || p.x >= grid.last || p.y < grid.first || p.y >= grid.last) {
        return false;
    }
    return std::any_of(grid.lines.begin(), grid.lines.end(), [&](float line) {
        return (p.x >= line && p.x < line + grid.width) || (p.y >= line && p.y < line + grid.width);
    });
}

struct Vector {
    float x, y, z;
};

float dot(Vector a, Vector b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector normalised(Vector v) {
    const float length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

// The light comes from the upper left and in front; the viewer looks along -z.
const Vector kLight = normalised({-0.45f, -0.55f, 0.7f});
const Vector kHalfway = normalised({kLight.x, kLight.y, kLight.z + 1.0f});

// A lit sphere seen from the front, with a highlight.
bool shadeSphere(Point centre, float radius, Colour base, Point p, Colour& out) {
    const float nx = (p.x - centre.x) / radius;
    const float ny = (p.y - centre.y) / radius;
    const float squared = nx * nx + ny * ny;
    if (squared > 1.0f) {
        return false;
    }
    const Vector normal{nx, ny, std::sqrt(1.0f - squared)};
    const float diffuse = std::max(0.0f, dot(normal, kLight));
    const float specular = std::pow(std::max(0.0f, dot(normal, kHalfway)), 24.0f);
    const float light = 0.3f + 0.8f * diffuse;
    out = {base.r * light + 160.0f * specular, base.g * light + 160.0f * specular,
           base.b * light + 160.0f * specular};
    return true;
}

bool shadeCrate(Point p, bool detailed, Colour& out) {
    const float dx = std::fabs(p.x - kCrateCentre.x);
    const float dy = std::fabs(p.y - kCrateCentre.y);
    if (dx > kCrateHalf || dy > kCrateHalf) {
        return false;
    }
    const bool edge = dx > kCrateHalf - kCrateEdge || dy > kCrateHalf - kCrateEdge;
    // One plank across, from the upper left corner to the lower right.
    const float across = std::fabs((p.x - kCrateCentre.x) - (p.y - kCrateCentre.y));
    const bool plank = detailed && across < kCrateEdge;
    out = edge || plank ? kWoodEdge : kWood;
    return true;
}

Sample sample(const Grid& grid, bool detailed, Point p) {
    if (!insideTile(p)) {
        return {{0.0f, 0.0f, 0.0f}, 0.0f};
    }
    Colour colour = onGrid(grid, p) ? grid.colour : kTile;
    Colour shaded{};
    if (shadeCrate(p, detailed, shaded)) {
        colour = shaded;
    }
    if (shadeSphere(kFoodCentre, kFoodRadius, kFood, p, shaded)) {
        colour = shaded;
    }
    // Tail first, so that each segment lies over the one behind it.
    for (std::size_t i = 0; i < kSnake.size(); ++i) {
        const bool head = i + 1 == kSnake.size();
        if (shadeSphere(kSnake[i], head ? kHeadRadius : kSegmentRadius, head ? kHead : kBody, p,
                        shaded)) {
            colour = shaded;
        }
    }
    if (detailed) {
        const Point head = kSnake.back();
        for (const float side : {-1.0f, 1.0f}) {
            const Point eye{head.x + side * 0.042f, head.y - 0.04f};
            const float ex = p.x - eye.x;
            const float ey = p.y - eye.y;
            if (ex * ex + ey * ey <= kEyeRadius * kEyeRadius) {
                colour = kEye;
            }
        }
    }
    return {colour, 1.0f};
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

}  // namespace

std::vector<std::uint8_t> draw(int size) {
    const Grid grid = gridFor(size);
    const bool detailed = size >= kDetailSize;
    const float step = 1.0f / static_cast<float>(size * kSubsamples);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(size) * size * 4);
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            float r = 0.0f, g = 0.0f, b = 0.0f, covered = 0.0f;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const Point p{(px * kSubsamples + sx + 0.5f) * step,
                                  (py * kSubsamples + sy + 0.5f) * step};
                    const Sample s = sample(grid, detailed, p);
                    // Only covered samples count towards the colour, so edges do not darken.
                    r += s.colour.r * s.alpha;
                    g += s.colour.g * s.alpha;
                    b += s.colour.b * s.alpha;
                    covered += s.alpha;
                }
            }
            std::uint8_t* out = &pixels[(static_cast<std::size_t>(py) * size + px) * 4];
            if (covered > 0.0f) {
                out[0] = toByte(r / covered);
                out[1] = toByte(g / covered);
                out[2] = toByte(b / covered);
            }
            out[3] = toByte(255.0f * covered / (kSubsamples * kSubsamples));
        }
    }
    return pixels;
}

}  // namespace icon

// look_measures.h -- figures taken from rendered pictures: pixel sets, colours, contrast, edges.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace look {

// A colour buffer as GL reads it: bottom row first, four bytes per pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Pixel indices (y * width + x) into a picture.
using Region = std::vector<std::size_t>;

// Red, green and blue on the 0..255 scale.
using Rgb = std::array<double, 3>;

// The pixels whose colour differs between two pictures of the same size.
Region differing(const Picture& a, const Picture& b);

Rgb meanColour(const Picture& picture, const Region& region);

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double luminance(const Rgb& colour);

// The contrast ratio of two colours, (L1 + 0.05) / (L2 + 0.05) with L1 the lighter: 1 for
// equal colours, 21 for black against white. 3 is the usual least for shapes to be told apart.
double contrastRatio(const Rgb& a, const Rgb& b);

// The CIE 1976 colour difference of two sRGB colours: about 2.3 is just noticeable, 30 and
// more is another colour at a glance.
double colourDifference(const Rgb& a, const Rgb& b);

// The brightest floor-line pixel (drawn in blue alone) within `margin` pixels of the region's
// bounding box; black when there is none.
Rgb floorLineColour(const Picture& picture, const Region& region, int margin);

struct Spread {
    double low = 0;   // 10th percentile
    double high = 0;  // 90th percentile
};

// How far the luma (0..255) of the region's pixels spreads.
Spread lumaSpread(const Picture& picture, const Region& region);

// A pixel rectangle counted from the bottom-left, half-open on the high side.
struct Rect {
    int left = 0;
    int bottom = 0;
    int right = 0;
    int top = 0;
};

// The mean width in pixels of the edges in some rectangles, from the luma gradient g along
// rows and columns: sum(|g|) * H / sum(g * g), with H the full step from black to white.
// A step from black to white across one pixel counts 1; the same step blurred over w pixels
// counts w, and so does a stroke that reaches only 1 / w of white.
double edgeWidth(const Picture& picture, const std::vector<Rect>& rects);

}  // namespace look

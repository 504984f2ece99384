// look_measures.cpp -- figures taken from rendered pictures.
#include "look_measures.h"

#include <algorithm>
#include <cmath>

namespace look {

namespace {

constexpr int kChannels = 4;
constexpr double kFullStep = 255.0;
constexpr int kLineTint = 8;  // floor lines carry no red or green beyond a trace of specular

Rgb colourAt(const Picture& picture, std::size_t pixel) {
    const std::size_t at = pixel * kChannels;
    return {static_cast<double>(picture.rgba[at]), static_cast<double>(picture.rgba[at + 1]),
            static_cast<double>(picture.rgba[at + 2])};
}

// Rec. 709 luma on the 0..255 scale, without linearising: what edge figures are taken on.
double luma(const Picture& picture, int x, int y) {
    const Rgb c = colourAt(picture, static_cast<std::size_t>(y) * picture.width + x);
    return 0.2126 * c[0] + 0.7152 * c[1] + 0.0722 * c[2];
}

double linear(double channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
}

// CIE L*a*b* under the D65 white of sRGB.
std::array<double, 3> lab(const Rgb& colour) {
    const double r = linear(colour[0]);
    const double g = linear(colour[1]);
    const double b = linear(colour[2]);
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) {
        constexpr double kEdge = 216.0 / 24389.0;
        return t > kEdge ? std::cbrt(t) : (24389.0 / 27.0 * t + 16.0) / 116.0;
    };
    return {116.0 * f(y) - 16.0, 500.0 * (f(x) - f(y)), 200.0 * (f(y) - f(z))};
}

}  // namespace

Region differing(const Picture& a, const Picture& b) {
    Region region;
    const std::size_t pixels = static_cast<std::size_t>(a.width) * a.height;
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::size_t at = p * kChannels;
        if (!std::equal(a.rgba.begin() + at, a.rgba.begin() + at + 3, b.rgba.begin() + at)) {
            region.push_back(p);
        }
    }
    return region;
}

Rgb meanColour(const Picture& picture, const Region& region) {
    Rgb sum{};
    for (std::size_t p : region) {
        const Rgb c = colourAt(picture, p);
        for (int i = 0; i < 3; ++i) {
            sum[i] += c[i];
        }
    }
    for (double& channel : sum) {
        channel = region.empty() ? 0.0 : channel / static_cast<double>(region.size());
    }
    return sum;
}

double luminance(const Rgb& colour) {
    return 0.2126 * linear(colour[0]) + 0.7152 * linear(colour[1]) + 0.0722 * linear(colour[2]);
}

double contrastRatio(const Rgb& a, const Rgb& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double colourDifference(const Rgb& a, const Rgb& b) {
    const auto la = lab(a);
    const auto lb = lab(b);
    return std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
}

Rgb floorLineColour(const Picture& picture, const Region& region, int margin) {
    int left = picture.width;
    int right = -1;
    int bottom = picture.height;
    int top = -1;
    for (std::size_t p : region) {
        const int x = static_cast<int>(p % picture.width);
        const int y = static_cast<int>(p / picture.width);
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    }
    Rgb brightest{};
    for (int y = std::max(0, bottom - margin); y <= std::min(picture.height - 1, top + margin);
         ++y) {
        for (int x = std::max(0, left - margin); x <= std::min(picture.width - 1, right + margin);
             ++x) {
            const Rgb c = colourAt(picture, static_cast<std::size_t>(y) * picture.width + x);
            if (c[0] <= kLineTint && c[1] <= kLineTint && c[2] > brightest[2]) {
                brightest = c;
            }
        }
    }
    return brightest;
}

Spread lumaSpread(const Picture& picture, const Region& region) {
    std::vector<double> values;
    values.reserve(region.size());
    for (std::size_t p : region) {
        values.push_back(luma(picture, static_cast<int>(p % picture.width),
                              static_cast<int>(p / picture.width)));
    }
    if (values.empty()) {
        return {};
    }
    std::sort(values.begin(), values.end());
    const auto at = [&](double share) {
        return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
    };
    return {at(0.1), at(0.9)};
}

double edgeWidth(const Picture& picture, const std::vector<Rect>& rects) {
    double sumAbs = 0;
    double sumSquares = 0;
    const auto add = [&](double step) {
        sumAbs += std::fabs(step);
        sumSquares += step * step;
    };
    for (const Rect& rect : rects) {
        for (int y = rect.bottom; y < rect.top; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                if (x + 1 < rect.right) {
                    add(luma(picture, x + 1, y) - luma(picture, x, y));
                }
                if (y + 1 < rect.top) {
                    add(luma(picture, x, y + 1) - luma(picture, x, y));
                }
            }
        }
    }
    return sumSquares > 0 ? sumAbs * kFullStep / sumSquares : 0.0;
}

}  // namespace look

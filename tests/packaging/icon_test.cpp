// icon_test.cpp -- every size of the icon shows the game's field: the snake, the grid, the food
// and the crate, each in its place, on a tile with see-through corners; the Windows .ico layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "ico.h"
#include "icon.h"

namespace {

struct Pixel {
    int r, g, b, a;
};

class Picture {
public:
    explicit Picture(int size) : size_(size), rgba_(icon::draw(size)) {}

    int size() const { return size_; }

    Pixel at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * size_ + x) * 4;
        return {rgba_[i], rgba_[i + 1], rgba_[i + 2], rgba_[i + 3]};
    }

    std::size_t bytes() const { return rgba_.size(); }

private:
    int size_;
    std::vector<std::uint8_t> rgba_;
};

// The installed sizes and the browser page's.
std::vector<int> everySize() {
    std::vector<int> sizes(icon::kSizes.begin(), icon::kSizes.end());
    sizes.insert(sizes.end(), icon::kPageSizes.begin(), icon::kPageSizes.end());
    return sizes;
}

// Colour classes of opaque pixels, wide enough for the shading of the spheres.
bool snake(Pixel p) {
    return p.g > 120 && p.g > p.r + 40 && p.g > p.b + 40;
}
bool grid(Pixel p) {
    return p.b > 140 && p.b > p.r + 60 && p.b > p.g + 60;
}
bool food(Pixel p) {
    return p.r > 180 && p.g > 140 && p.b < 90;
}
bool crate(Pixel p) {
    return p.r > 190 && p.g > 150 && p.b > 100 && p.b < 180 && p.r > p.g && p.g > p.b;
}

struct Element {
    const char* name;
    bool (*is)(Pixel);
    // Where its pixels gather, as a fraction of the side: the centroid lies in this box.
    float left, top, right, bottom;
};

const Element kElements[] = {
    {"snake", snake, 0.1f, 0.5f, 0.9f, 0.9f},
    {"grid", grid, 0.3f, 0.3f, 0.7f, 0.7f},
    {"food", food, 0.5f, 0.0f, 1.0f, 0.5f},
    {"crate", crate, 0.0f, 0.0f, 0.5f, 0.5f},
};

TEST(Icon, EveryElementShowsInItsPlaceAtEverySize) {
    for (const int size : everySize()) {
        const Picture picture(size);
        ASSERT_EQ(picture.bytes(), static_cast<std::size_t>(size) * size * 4);
        for (const Element& element : kElements) {
            SCOPED_TRACE(std::to_string(size) + " px, " + element.name);
            int count = 0;
            double sumX = 0.0;
            double sumY = 0.0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const Pixel p = picture.at(x, y);
                    if (p.a == 255 && element.is(p)) {
                        ++count;
                        sumX += x + 0.5;
                        sumY += y + 0.5;
                    }
                }
            }
            // Half a percent of the picture, and never less than three pixels.
            EXPECT_GE(count, std::max(3, size * size / 200));
            if (count == 0) {
                continue;
            }
            const double cx = sumX / count / size;
            const double cy = sumY / count / size;
            EXPECT_TRUE(cx > element.left && cx < element.right && cy > element.top &&
                        cy < element.bottom)
                << "centroid at " << cx << ", " << cy;
        }
    }
}

TEST(Icon, RoundedTileWithSeeThroughCorners) {
    for (const int size : everySize()) {
        SCOPED_TRACE(std::to_string(size) + " px");
        const Picture picture(size);
        const int last = size - 1;
        const int middle = size / 2;
        // At 16 px the rounding is under three pixels wide: the corner pixel keeps a trace.
        for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}}) {
            EXPECT_LT(picture.at(x, y).a, 32) << "corner " << x << "," << y;
        }
        for (const auto& [x, y] : {std::pair{middle, 0},
                                   {0, middle},
                                   {last, middle},
                                   {middle, last},
                                   {middle, middle}}) {
            EXPECT_EQ(picture.at(x, y).a, 255) << "edge or centre " << x << "," << y;
        }
    }
}

// The grid's lines cover whole pixels, so they do not blur into two dim rows at 16 px: the
// top line is a run of one blue, with no blue at all in the row above it.
TEST(Icon, GridLinesAreSharp) {
    for (const int size : everySize()) {
        SCOPED_TRACE(std::to_string(size) + " px");
        const Picture picture(size);
        int top = -1;
        for (int y = 0; y < size && top < 0; ++y) {
            for (int x = 0; x < size; ++x) {
                if (grid(picture.at(x, y))) {
                    top = y;
                    break;
                }
            }
        }
        ASSERT_GT(top, 0);
        int first = -1;
        int last = -1;
        for (int x = 0; x < size; ++x) {
            if (grid(picture.at(x, top))) {
                last = x;
                first = first < 0 ? x : first;
            }
        }
        ASSERT_GT(last - first, size / 2);
        const Pixel blue = picture.at(first, top);
        int same = 0;
        for (int x = first; x <= last; ++x) {
            const Pixel p = picture.at(x, top);
            same += p.r == blue.r && p.g == blue.g && p.b == blue.b && p.a == 255;
            EXPECT_LT(picture.at(x, top - 1).b, 60) << "above the top line at " << x;
        }
        // The food may overlap the line at the smallest sizes.
        EXPECT_GE(same, (last - first + 1) * 3 / 4);
    }
}

std::uint32_t le(const std::vector<std::uint8_t>& bytes, std::size_t at, int width) {
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i) {
        value = (value << 8) | bytes.at(at + i);
    }
    return value;
}

// A 2x2 picture and a 256x256 one: the directory, the bottom-up BGRA rows and the mask.
TEST(Ico, DirectoryAndBottomUpImages) {
    const icon::Square small{2,
                             {10, 20, 30, 255, 0, 0, 0, 0,  // top row: opaque, transparent
                              40, 50, 60, 255, 70, 80, 90, 128}};
    icon::Square large{256, std::vector<std::uint8_t>(256 * 256 * 4, 255)};
    large.rgba[3] = 0;  // the top-left pixel is see-through
    const std::vector<std::uint8_t> ico = icon::encodeIco({small, large});

    const std::uint32_t smallBytes = 40 + 2 * 2 * 4 + 4 * 2;
    const std::uint32_t largeBytes = 40 + 256 * 256 * 4 + 32 * 256;
    ASSERT_EQ(ico.size(), 6 + 2 * 16 + smallBytes + largeBytes);
    EXPECT_EQ(le(ico, 0, 2), 0u);
    EXPECT_EQ(le(ico, 2, 2), 1u);  // an icon, not a cursor
    EXPECT_EQ(le(ico, 4, 2), 2u);
    // Entries: width, height (0 stands for 256), planes, bits, bytes, offset.
    EXPECT_EQ(ico[6], 2);
    EXPECT_EQ(ico[7], 2);
    EXPECT_EQ(le(ico, 10, 2), 1u);
    EXPECT_EQ(le(ico, 12, 2), 32u);
    EXPECT_EQ(le(ico, 14, 4), smallBytes);
    EXPECT_EQ(le(ico, 18, 4), 38u);
    EXPECT_EQ(ico[22], 0);
    EXPECT_EQ(ico[23], 0);
    EXPECT_EQ(le(ico, 30, 4), largeBytes);
    EXPECT_EQ(le(ico, 34, 4), 38 + smallBytes);

    // The 2x2 image: a 40-byte header of twice the height, then the bottom row first, in BGRA.
    const std::size_t image = 38;
    EXPECT_EQ(le(ico, image, 4), 40u);
    EXPECT_EQ(le(ico, image + 4, 4), 2u);
    EXPECT_EQ(le(ico, image + 8, 4), 4u);
    EXPECT_EQ(le(ico, image + 14, 2), 32u);
    const std::vector<std::uint8_t> pixels(ico.begin() + image + 40, ico.begin() + image + 56);
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{60, 50, 40, 255, 90, 80, 70, 128,  //
                                                 30, 20, 10, 255, 0, 0, 0, 0}));
    // The mask, bottom row first, each row a 32-bit word: only the top-right pixel is set.
    EXPECT_EQ(le(ico, image + 56, 4), 0u);
    EXPECT_EQ(le(ico, image + 60, 4), 0x40u);
    // The large one's mask: its last row is the top one, where only the first pixel is clear.
    const std::size_t largeMaskTop = 38 + smallBytes + 40 + 256 * 256 * 4 + 32 * 255;
    EXPECT_EQ(ico[largeMaskTop], 0x80);
    EXPECT_EQ(ico[largeMaskTop - 32], 0);
}

}  // namespace

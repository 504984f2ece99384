// golden_test.cpp -- views 1, 2 and 3 of one seeded game, against stored pictures; and a stored
// picture saved again in another form still reads as the same colours.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "assets/textures.h"
#include "offscreen_gl.h"
#include "png_file.h"
#include "snapshot_scene.h"

namespace {

// The stored pictures were made with tools/snapshot from exactly this scene; see
// tests/render/golden/README.md to make them again.
snapshot::Scene goldenScene(int view) {
    snapshot::Scene scene;
    scene.seed = 7;
    scene.view = view;
    scene.frames = 40;
    scene.turns = {{10, 2}};
    return scene;
}

// The same renderer gives the same picture to the bit; a newer one may round a few edge pixels
// differently. A drawing step that goes wrong shows as more, or larger, differences: even a
// snake a shade darker changes hundreds of pixels by more than 8.
constexpr int kChannelTolerance = 8;
constexpr int kMaxDifferentPixels = 200;

struct Difference {
    int pixels = 0;
    int largest = 0;
};

Difference compare(const std::vector<std::uint8_t>& bottomUp, const png::Image& golden) {
    Difference difference;
    const int width = golden.width;
    for (int y = 0; y < golden.height; ++y) {
        const int sourceRow = golden.height - 1 - y;  // the PNG is stored top row first
        for (int x = 0; x < width; ++x) {
            const std::size_t gl = (static_cast<std::size_t>(sourceRow) * width + x) * 4;
            const std::size_t png = (static_cast<std::size_t>(y) * width + x) * 4;
            int worst = 0;
            for (int c = 0; c < 3; ++c) {
                worst = std::max(worst, std::abs(bottomUp[gl + c] - golden.rgba[png + c]));
            }
            difference.largest = std::max(difference.largest, worst);
            difference.pixels += worst > kChannelTolerance ? 1 : 0;
        }
    }
    return difference;
}

class GoldenTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::makeOffscreenContext(snapshot::kWidth, snapshot::kHeight));
        assets::setAssetRoot(VANTORIX_SOURCE_DIR);
    }
    void TearDown() override {
        glFinish();
        testing_gl::destroyOffscreenContext();
    }
};

TEST_P(GoldenTest, MatchesTheStoredPicture) {
    const int view = GetParam();
    const std::string name = "view" + std::to_string(view);
    snapshot::renderScene(goldenScene(view));
    const std::string actual = std::string(VANTORIX_TEST_OUTPUT_DIR) + "/" + name + ".png";
    testing_gl::writePng(actual);

    png::Image golden;
    const std::string path =
        std::string(VANTORIX_SOURCE_DIR) + "/tests/render/golden/" + name + ".png";
    ASSERT_TRUE(png::readRgba(path, golden)) << "cannot read " << path;
    ASSERT_EQ(golden.width, snapshot::kWidth);
    ASSERT_EQ(golden.height, snapshot::kHeight);
    const Difference difference = compare(testing_gl::colourBuffer(), golden);
    EXPECT_LE(difference.pixels, kMaxDifferentPixels)
        << "largest channel difference " << difference.largest << "; this run's picture is "
        << actual;
}

INSTANTIATE_TEST_SUITE_P(Views, GoldenTest, ::testing::Values(1, 2, 3));

// Saves the picture's colours again as 8-bit RGB without alpha, as an image editor may when
// someone touches up a stored picture.
bool saveAsRgb(const png::Image& picture, const std::string& path) {
    std::vector<std::uint8_t> rgb;
    rgb.reserve(picture.rgba.size() / 4 * 3);
    for (std::size_t i = 0; i < picture.rgba.size(); i += 4) {
        rgb.insert(rgb.end(), picture.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                   picture.rgba.begin() + static_cast<std::ptrdiff_t>(i + 3));
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.format = PNG_FORMAT_RGB;
    image.width = static_cast<png_uint_32>(picture.width);
    image.height = static_cast<png_uint_32>(picture.height);
    const bool written = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return written;
}

TEST(GoldenFile, ReadsAStoredPictureSavedWithoutAlphaAsTheSameColours) {
    const std::string stored = std::string(VANTORIX_SOURCE_DIR) + "/tests/render/golden/view1.png";
    png::Image golden;
    ASSERT_TRUE(png::readRgba(stored, golden));
    const std::string path = std::string(VANTORIX_TEST_OUTPUT_DIR) + "/view1-rgb.png";
    ASSERT_TRUE(saveAsRgb(golden, path));

    png::Image resaved;
    ASSERT_TRUE(png::readRgba(path, resaved));
    ASSERT_EQ(resaved.width, golden.width);
    ASSERT_EQ(resaved.height, golden.height);
    ASSERT_EQ(resaved.rgba.size(), golden.rgba.size());
    int changed = 0;
    for (std::size_t i = 0; i < golden.rgba.size(); i += 4) {
        const bool same = std::equal(golden.rgba.begin() + static_cast<std::ptrdiff_t>(i),
                                     golden.rgba.begin() + static_cast<std::ptrdiff_t>(i + 3),
                                     resaved.rgba.begin() + static_cast<std::ptrdiff_t>(i));
        changed += same && resaved.rgba[i + 3] == 255 ? 0 : 1;
    }
    EXPECT_EQ(changed, 0) << "pixels read differently from " << path;

    // Cut short in the middle of its pixels, the file is refused and nothing is kept.
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    EXPECT_FALSE(png::readRgba(path, resaved));
    EXPECT_TRUE(resaved.rgba.empty());
}

}  // namespace

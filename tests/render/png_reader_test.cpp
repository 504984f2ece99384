// png_reader_test.cpp -- the reader gets back what the writer wrote, and refuses broken files.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "png_reader.h"
#include "png_writer.h"

namespace {

std::string outputPath(const std::string& name) {
    return std::string(VANTORIX_TEST_OUTPUT_DIR) + "/" + name;
}

std::vector<std::uint8_t> gradient(int width, int height) {
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.insert(pixels.end(),
                          {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 13),
                           static_cast<std::uint8_t>(x + y), static_cast<std::uint8_t>(255 - x)});
        }
    }
    return pixels;
}

TEST(PngReader, ReadsBackWhatTheWriterWroteTopRowFirst) {
    const int width = 37;
    const int height = 11;
    const auto pixels = gradient(width, height);
    const std::string path = outputPath("roundtrip.png");
    ASSERT_TRUE(png::writeRgba(path, pixels.data(), width, height, /*bottomUp=*/false));
    png::Image image;
    ASSERT_TRUE(png::readRgba(path, image));
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    EXPECT_EQ(image.rgba, pixels);

    // Written bottom-up, the first row read is the last row in memory.
    ASSERT_TRUE(png::writeRgba(path, pixels.data(), width, height, /*bottomUp=*/true));
    ASSERT_TRUE(png::readRgba(path, image));
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    EXPECT_TRUE(std::equal(image.rgba.begin(),
                           image.rgba.begin() + static_cast<std::ptrdiff_t>(row),
                           pixels.end() - static_cast<std::ptrdiff_t>(row)));
}

TEST(PngReader, RefusesMissingTruncatedAndForeignFiles) {
    png::Image image;
    EXPECT_FALSE(png::readRgba(outputPath("no-such-file.png"), image));

    const auto pixels = gradient(8, 8);
    const std::string good = outputPath("good.png");
    ASSERT_TRUE(png::writeRgba(good, pixels.data(), 8, 8, false));
    std::ifstream in(good, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());

    const std::string cut = outputPath("cut.png");
    for (std::size_t keep :
         {std::size_t{4}, std::size_t{30}, bytes.size() - 20, bytes.size() - 1}) {
        SCOPED_TRACE(keep);
        std::ofstream(cut, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(keep));
        EXPECT_FALSE(png::readRgba(cut, image));
        EXPECT_TRUE(image.rgba.empty());
    }

    // A chunk length that points past the end of the file.
    std::vector<char> lying = bytes;
    lying[8] = 0x7f;
    std::ofstream(cut, std::ios::binary)
        .write(lying.data(), static_cast<std::streamsize>(lying.size()));
    EXPECT_FALSE(png::readRgba(cut, image));

    const std::string text = outputPath("text.png");
    std::ofstream(text) << "not a picture";
    EXPECT_FALSE(png::readRgba(text, image));
}

}  // namespace

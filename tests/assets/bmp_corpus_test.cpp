// bmp_corpus_test.cpp -- replays the fuzzer's seed corpus and every saved crash input through
// the reader under the sanitizers, from memory and from the file.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/bmp.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputsIn(const fs::path& folder) {
    std::vector<fs::path> inputs;
    if (fs::is_directory(folder)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file()) {
                inputs.push_back(entry.path());
            }
        }
    }
    return inputs;
}

void replay(const fs::path& input) {
    SCOPED_TRACE(input.filename().string());
    std::ifstream in(input, std::ios::binary);
    const std::vector<std::uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    const assets::Bitmap fromMemory = assets::loadBitmapRgba(bytes.data(), bytes.size());
    const assets::Bitmap fromFile = assets::loadBitmapRgba(input.string());
    EXPECT_EQ(fromMemory.error, fromFile.error);
    EXPECT_EQ(fromMemory.pixels, fromFile.pixels);
    if (fromMemory.error.empty()) {
        EXPECT_EQ(fromMemory.pixels.size(), static_cast<std::size_t>(fromMemory.info.width) *
                                                static_cast<std::size_t>(fromMemory.info.height) *
                                                4U);
    } else {
        EXPECT_TRUE(fromMemory.pixels.empty());
    }
    // Seeds say in their name whether they are meant to load.
    const std::string name = input.filename().string();
    if (name.rfind("hostile-", 0) == 0) {
        EXPECT_NE(fromMemory.error, "");
    } else if (name.rfind("valid-", 0) == 0) {
        EXPECT_EQ(fromMemory.error, "");
    }
}

TEST(BmpCorpus, EverySeedAndRegressionInputReplaysCleanly) {
    const fs::path fuzz = fs::path(VANTORIX_SOURCE_DIR) / "fuzz";
    std::vector<fs::path> inputs = inputsIn(fuzz / "corpus");
    ASSERT_GE(inputs.size(), 10U) << "the seed corpus is missing";
    const std::vector<fs::path> regressions = inputsIn(fuzz / "regressions");
    inputs.insert(inputs.end(), regressions.begin(), regressions.end());
    for (const fs::path& input : inputs) {
        replay(input);
    }
}

}  // namespace

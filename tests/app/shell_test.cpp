// shell_test.cpp -- the frame clock, the stats line and the search for the textures folder.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/asset_root.h"
#include "app/pacing.h"

namespace {

using namespace std::chrono_literals;
using app::Clock;

TEST(Pacing, DeadlinesKeepTheirPhaseWhenPassesAreOnTime) {
    const Clock::time_point start{};
    Clock::time_point deadline = start;
    for (int pass = 1; pass <= 600; ++pass) {
        // Work of varying length, always finishing within the period, never shifts the grid.
        const Clock::time_point now = deadline + std::chrono::milliseconds(pass % 16);
        deadline = app::nextDeadline(deadline, now, app::kPassPeriod);
        ASSERT_EQ(deadline, start + pass * app::kPassPeriod) << pass;
    }
}

TEST(Pacing, ALatePassReanchorsInsteadOfBursting) {
    const Clock::time_point start{};
    const Clock::time_point stalledUntil = start + 1s;
    Clock::time_point deadline = app::nextDeadline(start, stalledUntil, app::kPassPeriod);
    EXPECT_EQ(deadline, stalledUntil);
    // From there on the passes are a full period apart again, not crowded to catch up.
    Clock::time_point now = stalledUntil;
    for (int pass = 1; pass <= 10; ++pass) {
        const Clock::time_point next = app::nextDeadline(deadline, now, app::kPassPeriod);
        EXPECT_EQ(next - deadline, app::kPassPeriod);
        deadline = next;
        now = deadline + 2ms;
    }
}

TEST(Pacing, StatsLineReadsAsDocumented) {
    EXPECT_EQ(app::statsLine(360, 6.01), "Vantorix: 360 frames in 6.01 s (59.9 fps)");
    EXPECT_EQ(app::statsLine(0, 0.0), "Vantorix: 0 frames in 0.00 s (0.0 fps)");
}

class AssetRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = std::filesystem::temp_directory_path() /
               ("vantorix-assets-" + std::to_string(::getpid()));
        std::filesystem::remove_all(base);
        std::filesystem::create_directories(base);
        previous = std::filesystem::current_path();
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(base);
    }
    std::string folder(const std::string& name, bool withTextures) {
        const std::filesystem::path path = base / name;
        std::filesystem::create_directories(withTextures ? path / "textures" : path);
        return path.string();
    }
    std::filesystem::path base;
    std::filesystem::path previous;
};

TEST_F(AssetRootTest, TheFirstFolderWithTexturesServes) {
    const std::string empty = folder("empty", false);
    const std::string second = folder("second", true);
    const std::string third = folder("third", true);
    std::filesystem::current_path(empty);
    EXPECT_EQ(app::findAssetRoot({"", empty, second, third}), second);
    EXPECT_EQ(app::findAssetRoot({third, second}), third);

    // A plain file called "textures" is not a folder of textures.
    const std::string decoy = folder("decoy", false);
    std::ofstream(std::filesystem::path(decoy) / "textures") << "x";
    EXPECT_EQ(app::findAssetRoot({decoy, third}), third);

    // Nothing found: the working directory, so missing files are named as usual.
    EXPECT_EQ(app::findAssetRoot({empty, decoy, (base / "missing").string()}), "");
}

TEST_F(AssetRootTest, TheWorkingDirectoryComesFirst) {
    const std::string here = folder("here", true);
    const std::string exe = folder("exe", true);
    std::filesystem::current_path(here);
    EXPECT_EQ(app::findAssetRoot(app::assetRootCandidates(exe, "")), "");
}

TEST_F(AssetRootTest, ARelocatedInstallIsFoundNextToTheBinary) {
    const std::string bin = folder("prefix/bin", false);
    folder("prefix/share/vantorix", true);
    const std::string elsewhere = folder("elsewhere", false);
    std::filesystem::current_path(elsewhere);
    EXPECT_EQ(app::findAssetRoot(app::assetRootCandidates(bin, "/nonexistent/share/vantorix")),
              (base / "prefix/share/vantorix").string());
}

TEST(AssetRootCandidates, ComeInSearchOrder) {
    EXPECT_EQ(app::assetRootCandidates("/opt/v/bin", "/usr/share/vantorix"),
              (std::vector<std::string>{"", "/opt/v/bin", "/opt/v/share/vantorix",
                                        "/usr/share/vantorix"}));
    EXPECT_EQ(app::assetRootCandidates("", "/usr/share/vantorix"),
              (std::vector<std::string>{"", "/usr/share/vantorix"}));
}

}  // namespace

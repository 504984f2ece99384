// asset_root_test.cpp -- the search for the folder that serves the game's textures.
#include "app/asset_root.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "assets/textures.h"

namespace {

namespace fs = std::filesystem;

class AssetRootTest : public ::testing::Test {
protected:
    void SetUp() override {
        base = fs::temp_directory_path() / ("vantorix-assets-" + std::to_string(::getpid()));
        fs::remove_all(base);
        fs::create_directories(base);
        base = fs::canonical(base);
        previous = fs::current_path();
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(base);
    }
    // A folder `name` whose textures/ holds the given files (none: no textures/ at all).
    std::string folder(const std::string& name, std::initializer_list<const char*> files) {
        const fs::path path = base / name;
        fs::create_directories(path);
        for (const char* file : files) {
            fs::create_directories((path / file).parent_path());
            std::ofstream(path / file) << "x";
        }
        return path.string();
    }
    std::string withAllFiles(const std::string& name) {
        const std::string path = folder(name, {});
        for (const assets::TextureFile& file : assets::kTextureFiles) {
            fs::create_directories((fs::path(path) / file.path).parent_path());
            std::ofstream(fs::path(path) / file.path) << "x";
        }
        return path;
    }
    std::string withEmptyTextures(const std::string& name) {
        const std::string path = folder(name, {});
        fs::create_directories(fs::path(path) / "textures");
        return path;
    }
    fs::path base;
    fs::path previous;
};

TEST_F(AssetRootTest, TheFirstCandidateHoldingAnyOfTheGamesFilesServes) {
    const std::string empty = withEmptyTextures("empty");
    const std::string unrelated = folder("unrelated", {"textures/notes.txt", "textures/wall.bmp"});
    const std::string none = folder("none", {});
    const std::string decoy = folder("decoy", {});
    std::ofstream(fs::path(decoy) / "textures") << "not a folder";
    // One of the eight is enough: the folder is the game's, and the files it lacks are reported
    // against it rather than fetched from elsewhere.
    const std::string partial = folder("partial", {"textures/box.bmp"});
    const std::string full = withAllFiles("full");

    EXPECT_EQ(app::findAssetRoot({empty, unrelated, none, decoy, partial, full}), partial);
    EXPECT_EQ(app::findAssetRoot({empty, full, partial}), full);
}

TEST_F(AssetRootTest, TheWorkingDirectoryComesFirstAndIsNamedInFull) {
    const std::string here = withAllFiles("here");
    const std::string exe = withAllFiles("exe");
    fs::current_path(here);
    EXPECT_EQ(app::findAssetRoot(app::assetRootCandidates(exe, "", "share/vantorix")), here);
}

TEST_F(AssetRootTest, AnUnrelatedTexturesFolderInTheWorkingDirectoryHidesNothing) {
    const std::string installed = withAllFiles("share/vantorix");
    for (const std::string& here :
         {withEmptyTextures("empty"), folder("unrelated", {"textures/wall.bmp"})}) {
        SCOPED_TRACE(here);
        fs::current_path(here);
        EXPECT_EQ(app::findAssetRoot(app::assetRootCandidates("", installed, "share/vantorix")),
                  installed);
    }
}

TEST_F(AssetRootTest, ARelocatedInstallIsFoundNextToTheBinary) {
    const std::string bin = folder("prefix/bin", {});
    const std::string share = withAllFiles("prefix/share/vantorix");
    fs::current_path(folder("elsewhere", {}));
    EXPECT_EQ(app::findAssetRoot(
                  app::assetRootCandidates(bin, "/nonexistent/share/vantorix", "share/vantorix")),
              share);
}

// Nothing found anywhere: one line names every folder searched, and the files are then
// reported missing from the working directory.
TEST_F(AssetRootTest, WithNoFilesAnywhereEveryFolderSearchedIsNamedOnce) {
    const std::string here = withEmptyTextures("here");
    fs::current_path(here);
    const std::vector<std::string> candidates = app::assetRootCandidates(
        (base / "bin").string(), (base / "missing").string(), "share/vantorix");
    std::FILE* err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(app::chooseAssetRoot(candidates, err), here);
    std::rewind(err);
    std::string said(4096, '\0');
    said.resize(std::fread(said.data(), 1, said.size(), err));
    std::fclose(err);
    const std::string b = base.string();
    EXPECT_EQ(said, "Vantorix: found none of the game's textures; searched " + here +
                        "/textures, " + b + "/bin/textures, " + b + "/share/vantorix/textures, " +
                        b + "/missing/textures\n");
    EXPECT_EQ(app::findAssetRoot({}), "");

    // Once a folder holds one of the files, nothing is said.
    withAllFiles("missing");
    err = std::tmpfile();
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(app::chooseAssetRoot(candidates, err), b + "/missing");
    EXPECT_EQ(std::ftell(err), 0L);
    std::fclose(err);
}

// The prefix's data folder follows the install's layout (Debian's games keep theirs under
// share/games); a folder that comes up twice is searched once.
TEST_F(AssetRootTest, CandidatesComeInSearchOrder) {
    const std::string here = folder("here", {});
    fs::current_path(here);
    EXPECT_EQ(app::assetRootCandidates("/opt/v/bin", "/usr/share/vantorix", "share/vantorix"),
              (std::vector<std::string>{here, "/opt/v/bin", "/opt/v/share/vantorix",
                                        "/usr/share/vantorix"}));
    EXPECT_EQ(
        app::assetRootCandidates("/usr/games", "/usr/share/games/vantorix", "share/games/vantorix"),
        (std::vector<std::string>{here, "/usr/games", "/usr/share/games/vantorix"}));
    EXPECT_EQ(app::assetRootCandidates(here, "/usr/share/vantorix", ""),
              (std::vector<std::string>{here, "/usr/share/vantorix"}));
}

}  // namespace

// textures_gl_test.cpp -- texture creation read back from a software GL context.
#include "assets/textures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bmp_bytes.h"
#include "offscreen_gl.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::array<const char*, 8> kFiles = {"sphTex.bmp",    "bg.bmp",    "box.bmp",
                                               "czcionka2.bmp", "heart.bmp", "blueC.bmp",
                                               "face.bmp",      "body.bmp"};

std::array<GLuint, 8> namesInTableOrder() {
    const assets::TextureSet& t = assets::textures;
    return {t.texSphere, t.texBackdrop, t.texBox,  t.texFont,
            t.texHeart,  t.texGrid,     t.texFace, t.texBody};
}

// A 4x4 picture of one colour, except a pure-black bottom-left texel.
Bytes pictureOf(std::uint8_t value) {
    Bytes bgr(4 * 4 * 3, value);
    bgr[0] = bgr[1] = bgr[2] = 0;
    return bmp_bytes::picture(4, 4, bgr);
}

GLint boundTexture() {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

GLint levelWidth(GLuint name, int level) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    return width;
}

std::vector<std::uint8_t> level0(GLuint name) {
    const GLint width = levelWidth(name, 0);
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(width) * height * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

void expectGameParameters(GLuint name) {
    glBindTexture(GL_TEXTURE_2D, name);
    const std::array<std::pair<GLenum, GLint>, 4> expected = {{
        {GL_TEXTURE_WRAP_S, GL_REPEAT},
        {GL_TEXTURE_WRAP_T, GL_REPEAT},
        {GL_TEXTURE_MAG_FILTER, GL_LINEAR},
        {GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST},
    }};
    for (const auto& [parameter, value] : expected) {
        GLint actual = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, parameter, &actual);
        EXPECT_EQ(actual, value) << "texture " << name << " parameter " << parameter;
    }
}

class TexturesGl : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(testing_gl::makeOffscreenContext(64, 64));
        root = fs::temp_directory_path() / ("vantorix-tex-" + std::to_string(::getpid()));
        fs::create_directories(root / "textures");
        assets::setAssetRoot(root.string());
        assets::textures = assets::TextureSet{};
    }
    void TearDown() override {
        assets::setAssetRoot("");
        fs::remove_all(root);
        testing_gl::destroyOffscreenContext();
    }
    void writeAll() {
        for (std::size_t i = 0; i < kFiles.size(); ++i) {
            bmp_bytes::writeFile((root / "textures" / kFiles[i]).string(),
                                 pictureOf(static_cast<std::uint8_t>(10 * (i + 1))));
        }
    }
    fs::path root;
};

TEST_F(TexturesGl, LoadsTheEightFilesInTableOrderAndLeavesTheBodyBound) {
    writeAll();
    testing::internal::CaptureStderr();
    assets::loadTextures();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_EQ(boundTexture(), static_cast<GLint>(assets::textures.texBody));
    const std::array<GLuint, 8> names = namesInTableOrder();
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(kFiles[i]);
        ASSERT_NE(names[i], 0U);
        if (i > 0) {
            EXPECT_GT(names[i], names[i - 1]) << "generated out of table order";
        }
        expectGameParameters(names[i]);
        // Each member holds its own file: the texel after the black corner carries its value.
        const std::vector<std::uint8_t> texels = level0(names[i]);
        ASSERT_EQ(texels.size(), 4U * 4U * 4U);
        const auto value = static_cast<std::uint8_t>(10 * (i + 1));
        EXPECT_EQ(texels[4], value);
        EXPECT_EQ(texels[7], 255) << "a coloured texel is opaque";
        EXPECT_EQ(texels[3], 0) << "the black texel is transparent";
        EXPECT_EQ(levelWidth(names[i], 1), 2) << "the mipmap chain is built";
        EXPECT_EQ(levelWidth(names[i], 2), 1);
    }
}

TEST_F(TexturesGl, AFailedFileGetsAWhitePlaceholderAndOneLineNamingItsFullPath) {
    writeAll();
    const fs::path folder = root / "textures";
    fs::remove(folder / "box.bmp");
    Bytes truncated = pictureOf(99);
    truncated.resize(truncated.size() - 5);
    bmp_bytes::writeFile((folder / "heart.bmp").string(), truncated);
    fs::remove(folder / "blueC.bmp");
    fs::create_directory(folder / "blueC.bmp");
    Bytes oversized = pictureOf(77);
    bmp_bytes::put32(oversized, bmp_bytes::kWidthAt, 4096);
    bmp_bytes::writeFile((folder / "bg.bmp").string(), oversized);

    testing::internal::CaptureStderr();
    assets::loadTextures();
    const std::string where = folder.string();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Vantorix: cannot load " + where +
                  "/bg.bmp: picture too large: 4096x4 (sides above 2048 are not read)\n"
                  "Vantorix: cannot load " +
                  where +
                  "/box.bmp: no such file\n"
                  "Vantorix: cannot load " +
                  where +
                  "/heart.bmp: pixel data runs past the end of the file\n"
                  "Vantorix: cannot load " +
                  where + "/blueC.bmp: not a regular file\n");

    for (GLuint failed : {assets::textures.texBackdrop, assets::textures.texBox,
                          assets::textures.texHeart, assets::textures.texGrid}) {
        expectGameParameters(failed);
        EXPECT_EQ(level0(failed), (std::vector<std::uint8_t>{255, 255, 255, 255}));
    }
    // The files after a failure still load.
    EXPECT_EQ(level0(assets::textures.texBody).at(4), 80);
}

// A picture as image editors write it, 2 texels wide (rows padded from 6 bytes to 8) and
// stored top row first, reaches GL with its own size and its bottom row at t = 0.
TEST_F(TexturesGl, APaddedTopDownPictureReachesGlTheRightWayUp) {
    const Bytes texels = bmp_bytes::numberedTexels(2, 4);
    Bytes file = bmp_bytes::picture(2, 4, texels);
    bmp_bytes::storeTopDown(file);
    bmp_bytes::writeFile((root / "textures" / "body.bmp").string(), file);
    GLuint name = 0;
    testing::internal::CaptureStderr();
    assets::createTexture("textures/body.bmp", &name);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    glBindTexture(GL_TEXTURE_2D, name);
    GLint height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(levelWidth(name, 0), 2);
    EXPECT_EQ(height, 4);
    Bytes expected;
    const Bytes rgb = bmp_bytes::rgbOf(texels);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        expected.insert(expected.end(), {rgb[i], rgb[i + 1], rgb[i + 2], 255});
    }
    EXPECT_EQ(level0(name), expected);
}

TEST_F(TexturesGl, PathsResolveAgainstTheAssetRootWithOrWithoutATrailingSlash) {
    bmp_bytes::writeFile((root / "textures" / "box.bmp").string(), pictureOf(42));
    GLuint name = 0;
    for (const std::string& base : {root.string(), root.string() + "/"}) {
        assets::setAssetRoot(base);
        testing::internal::CaptureStderr();
        assets::createTexture("textures/box.bmp", &name);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(boundTexture(), static_cast<GLint>(name));
        EXPECT_EQ(level0(name).at(4), 42);
    }
}

TEST_F(TexturesGl, TheCommittedPicturesLoadWithoutAPlaceholder) {
    assets::setAssetRoot(VANTORIX_SOURCE_DIR);
    testing::internal::CaptureStderr();
    assets::loadTextures();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    for (GLuint name : namesInTableOrder()) {
        EXPECT_GE(levelWidth(name, 0), 64) << "texture " << name;
    }
}

}  // namespace

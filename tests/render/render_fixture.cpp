// render_fixture.cpp -- shared set-up and pixel helpers of the render tests.
#include "render_fixture.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "assets/textures.h"
#include "game/state.h"
#include "render/frame.h"
#include "render/scene.h"

namespace render_test {

void selectView(int mode) {
    auto& flags = game::state.viewFlags;
    flags.fill(false);
    flags[static_cast<std::size_t>(mode - 1)] = true;
}

namespace {

PixelRect clipped(const PixelRect& rect) {
    return {std::max(rect.left, 0), std::max(rect.bottom, 0), std::min(rect.right, kWidth),
            std::min(rect.top, kHeight)};
}

template <typename Visit>
void forEachPixel(const PixelRect& rect, Visit visit) {
    const auto& buffer = testing_gl::colourBuffer();
    const PixelRect area = clipped(rect);
    for (int y = area.bottom; y < area.top; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const std::size_t at = (static_cast<std::size_t>(y) * kWidth + x) * 4;
            visit(buffer[at], buffer[at + 1], buffer[at + 2]);
        }
    }
}

}  // namespace

int countLitPixels(const PixelRect& rect, int threshold) {
    int count = 0;
    forEachPixel(rect, [&](int r, int g, int b) {
        if (r > threshold || g > threshold || b > threshold) {
            ++count;
        }
    });
    return count;
}

double litCentreX(const PixelRect& rect, int threshold) {
    const PixelRect area = clipped(rect);
    double sum = 0.0;
    int count = 0;
    int x = area.left;
    int y = area.bottom;
    forEachPixel(area, [&](int r, int g, int b) {
        if (r > threshold || g > threshold || b > threshold) {
            sum += x;
            ++count;
        }
        if (++x == area.right) {
            x = area.left;
            ++y;
        }
    });
    return count > 0 ? sum / count : -1.0;
}

std::array<double, 3> meanLitColour(const PixelRect& rect) {
    std::array<double, 3> sum{};
    int count = 0;
    forEachPixel(rect, [&](int r, int g, int b) {
        if (r + g + b > 0) {
            sum[0] += r;
            sum[1] += g;
            sum[2] += b;
            ++count;
        }
    });
    for (double& channel : sum) {
        channel = count > 0 ? channel / count : 0.0;
    }
    return sum;
}

std::array<double, 2> projectToPixel(double x, double y, double z) {
    std::array<GLdouble, 16> model{};
    std::array<GLdouble, 16> projection{};
    std::array<GLint, 4> viewport{};
    glGetDoublev(GL_MODELVIEW_MATRIX, model.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    GLdouble px = 0.0;
    GLdouble py = 0.0;
    GLdouble pz = 0.0;
    gluProject(x, y, z, model.data(), projection.data(), viewport.data(), &px, &py, &pz);
    return {px, py};
}

PixelRect squareAround(const std::array<double, 2>& centre, int halfSide) {
    const int x = static_cast<int>(centre[0]);
    const int y = static_cast<int>(centre[1]);
    return clipped({x - halfSide, y - halfSide, x + halfSide + 1, y + halfSide + 1});
}

std::string dumpPicture(const std::string& name) {
    const std::string path = std::string(VANTORIX_TEST_OUTPUT_DIR) + "/" + name + ".png";
    testing_gl::writePng(path);
    return path;
}

void RenderTest::SetUp() {
    startUp(VANTORIX_SOURCE_DIR);
}

void RenderTest::startUp(const std::string& assetRoot) {
    ASSERT_TRUE(testing_gl::makeOffscreenContext(kWidth, kHeight));
    game::resetState();
    assets::setAssetRoot(assetRoot);
    render::resizeViewport(kWidth, kHeight);
    render::initSceneWithSeed(kSeed);
}

void RenderTest::TearDown() {
    // The software renderer can crash when a context with unfinished drawing is destroyed.
    glFinish();
    testing_gl::destroyOffscreenContext();
}

std::vector<std::uint8_t> RenderTest::renderPicture() {
    render::renderFrame();
    return testing_gl::colourBuffer();
}

}  // namespace render_test

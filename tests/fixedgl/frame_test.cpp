// frame_test.cpp -- a real frame of the game (render::renderFrame, compiled against the layer's
// GL) through the recording backend: how many draws it makes, at the start and in the late game.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "assets/textures.h"
#include "game/state.h"
#include "recording_backend.h"
#include "render/frame.h"
#include "render/scene.h"

namespace {

using recording::record;

constexpr unsigned kSeed = 7;
constexpr int kWidth = 800;
constexpr int kHeight = 600;
// The layer's budget for one frame of the game.
constexpr std::size_t kMaxDraws = 12;

class FixedglFrame : public ::testing::Test {
protected:
    void SetUp() override {
        recording::start();
        render::resizeViewport(kWidth, kHeight);
        assets::setAssetRoot(VANTORIX_SOURCE_DIR);
        game::resetState();
        render::initSceneWithSeed(kSeed);
    }

    // The frame's draws, from its clear to its end.
    static std::vector<recording::DrawRecord> drawFrame() {
        record().draws.clear();
        render::renderFrame();
        glFlush();
        return record().draws;
    }
};

std::size_t instancesOf(const std::vector<recording::DrawRecord>& draws) {
    std::size_t most = 0;
    for (const auto& d : draws) {
        most = std::max(most, d.instances.size());
    }
    return most;
}

// Every visible segment is an instance of the one sphere draw, whatever the snake's length, and
// the sphere's vertices stay where the start-up put them.
TEST_F(FixedglFrame, ASnakeOfAnyLengthIsOneDraw) {
    const auto start = drawFrame();
    const int buffers = record().buffersMade;
    EXPECT_LE(start.size(), kMaxDraws);
    const auto visible = static_cast<std::size_t>(game::kStartLength) - game::kHiddenTail;
    EXPECT_EQ(instancesOf(start), visible);

    auto& state = game::state;
    state.snakeLength = static_cast<float>(game::kSnakeCapacity);
    for (int i = 0; i < game::kSnakeCapacity; ++i) {
        state.snakeX[i] = static_cast<float>(i % 30) * 8.0f - 100.0f;
        state.snakeZ[i] = static_cast<float>(i / 30) * 8.0f - 100.0f;
    }
    state.glideMode = false;
    const auto late = drawFrame();
    EXPECT_EQ(late.size(), start.size());
    EXPECT_EQ(instancesOf(late),
              static_cast<std::size_t>(game::kSnakeCapacity - game::kHiddenTail));
    EXPECT_EQ(record().buffersMade, buffers);
}

// The frame draws in the game's order: the floor's smooth lines first, the HUD last, its
// texts and hearts without depth testing against the world where the game turns it off.
TEST_F(FixedglFrame, KeepsTheGamesOrder) {
    const auto draws = drawFrame();
    ASSERT_GE(draws.size(), 4u);
    EXPECT_EQ(draws.front().draw.primitive, fixedgl::backend::Primitive::SmoothLines);
    EXPECT_FALSE(draws[draws.size() - 2].draw.state.fixed.depthTest);  // the texts
    EXPECT_TRUE(draws.back().draw.state.fixed.depthTest);              // the hearts
    EXPECT_TRUE(draws.back().draw.state.fragment.alphaTest);
}

}  // namespace

// state.h -- the one record of game, view and orbit state, and the rules' constants.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace game {

constexpr int kSnakeCapacity = 300;        // entries in each of the four snake arrays
constexpr float kStartLength = 40.0f;      // segments in use at the start of every round
constexpr int kHiddenTail = 5;             // last segments neither drawn nor tested
constexpr int kGrowth = 5;                 // segments added by a qualifying meal
constexpr float kStartCoordinate = 10.0f;  // head X and Z at setup and restart
constexpr float kWallLow = -135.0f;        // the head dies at or beyond these
constexpr float kWallHigh = 165.0f;
constexpr int kViewModes = 8;

// Headings: where `direction` points the snake.
constexpr int kHeadingMinusZ = 0;
constexpr int kHeadingPlusZ = 1;
constexpr int kHeadingPlusX = 2;
constexpr int kHeadingMinusX = 3;

struct GameState {
    // Snake and movement. Index 0 is the head.
    std::array<float, kSnakeCapacity> snakeX{};
    std::array<float, kSnakeCapacity> snakeZ{};
    std::array<float, kSnakeCapacity> prevSnakeX{};
    std::array<float, kSnakeCapacity> prevSnakeZ{};
    float snakeLength = kStartLength;  // whole number, hidden tail included
    int direction = kHeadingPlusZ;
    bool glideMode = true;
    bool stepMoved = true;  // a step move has happened since the last meal
    float segmentSpacing = 2.8f;
    float glideSpeed = 0.08f;
    float speedBonus = 0.0f;
    float snakeYOffset = 4.0f;

    // Round and score.
    int lives = 3;
    bool snakeDead = false;
    bool gameOver = false;
    int score = 0;
    bool quitRequested = false;

    // Obstacles and food: sized once by world setup, never resized.
    float obstacleCount = 0.0f;
    std::vector<float> obstacleX;
    std::vector<float> obstacleZ;
    float foodCount = 0.0f;
    std::vector<float> foodX;
    std::vector<float> foodZ;
    std::vector<float> foodColour;
    std::vector<int> foodPoints;
    int foodIndex = 0;

    // View and orbit. viewFlags[0] is mode 1; exactly one flag is set.
    std::array<bool, kViewModes> viewFlags{true, false, false, false, false, false, false, false};
    float orbitAngle = 0.0f;
    int orbitRadius = 0;
    int lastMouseX = 0;
    bool showBackdrop = true;
};

// The single instance, read and written directly by every subsystem.
extern GameState state;

// Puts every field back to its start value (before world setup).
void resetState();

}  // namespace game

// input.h -- keyboard and pointer handlers: they turn input into changes of the game state.
#pragma once

#include <cstdint>

namespace app {

// Key codes the key-down handler understands (the classic virtual-key numbers).
constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;
constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kKeyRight = 39;
constexpr int kKeyDown = 40;
constexpr int kKeyUnbound = 0;

// Turns, Space to continue after a death, Escape to quit.
void onKeyDown(int keyCode);

// Digits 1..8 choose the view mode; Q or q quits.
void onChar(int character);

// Pointer motion in client coordinates: orbit radius from y, one degree of angle per move in x.
void onMouseMove(std::uint16_t x, std::uint16_t y);

}  // namespace app

// icon.h -- the application icon, drawn from code at each size of the hicolor theme.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace icon {

// The sizes installed under share/icons/hicolor/SIZExSIZE/apps.
constexpr std::array<int, 6> kSizes{16, 32, 48, 64, 128, 256};

// The sizes the browser's page offers for installing it (its web app manifest).
constexpr std::array<int, 2> kPageSizes{192, 512};

// RGBA pixels, top row first, not premultiplied: a snake of green spheres on a blue grid
// heading for a yellow food sphere, beside a pale wooden crate, on a black rounded tile.
std::vector<std::uint8_t> draw(int size);

}  // namespace icon

// ico.h -- the Windows icon file format: several sizes of one picture in one .ico file.
#pragma once

#include <cstdint>
#include <vector>

namespace icon {

// One square picture: RGBA pixels, top row first, not premultiplied.
struct Square {
    int size = 0;  // 1 to 256
    std::vector<std::uint8_t> rgba;
};

// An .ico file holding each picture as a 32-bit bottom-up DIB (BGRA) with its 1-bit mask, set
// where the picture is fully transparent, in the order given.
std::vector<std::uint8_t> encodeIco(const std::vector<Square>& pictures);

}  // namespace icon

// ico.cpp -- writes .ico files: a directory of entries, then one DIB per size.
#include "ico.h"

namespace icon {
namespace {

constexpr std::uint32_t kDirectoryBytes = 6;
constexpr std::uint32_t kEntryBytes = 16;
constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint16_t kIconType = 1;
constexpr std::uint16_t kBitsPerPixel = 32;
constexpr int kLargestSize = 256;  // stored as 0 in the directory's one-byte width and height

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value);
    put16(out, value >> 16);
}

// The mask's rows are padded to whole 32-bit words.
std::uint32_t maskRowBytes(int size) {
    return static_cast<std::uint32_t>((size + 31) / 32 * 4);
}

std::uint32_t imageBytes(int size) {
    const auto side = static_cast<std::uint32_t>(size);
    return kInfoHeaderBytes + side * side * 4 + maskRowBytes(size) * side;
}

// The info header gives twice the height: the colour rows and then the mask's.
void putImage(std::vector<std::uint8_t>& out, const Square& picture) {
    const int size = picture.size;
    put32(out, kInfoHeaderBytes);
    put32(out, static_cast<std::uint32_t>(size));
    put32(out, static_cast<std::uint32_t>(size * 2));
    put16(out, 1);  // planes
    put16(out, kBitsPerPixel);
    put32(out, 0);  // uncompressed
    put32(out, imageBytes(size) - kInfoHeaderBytes);
    for (int i = 0; i < 4; ++i) {
        put32(out, 0);  // resolution and palette: unused
    }
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* pixel = &picture.rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            out.insert(out.end(), {pixel[2], pixel[1], pixel[0], pixel[3]});
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> bits(maskRowBytes(size), 0);
        for (int x = 0; x < size; ++x) {
            if (picture.rgba[(static_cast<std::size_t>(y) * size + x) * 4 + 3] == 0) {
                bits[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), bits.begin(), bits.end());
    }
}

}  // namespace

std::vector<std::uint8_t> encodeIco(const std::vector<Square>& pictures) {
    std::vector<std::uint8_t> out;
    put16(out, 0);
    put16(out, kIconType);
    put16(out, static_cast<std::uint32_t>(pictures.size()));
    auto offset = static_cast<std::uint32_t>(kDirectoryBytes + kEntryBytes * pictures.size());
    for (const Square& picture : pictures) {
        const auto side =
            static_cast<std::uint8_t>(picture.size == kLargestSize ? 0 : picture.size);
        out.insert(out.end(), {side, side, 0, 0});  // width, height, no palette, reserved
        put16(out, 1);
        put16(out, kBitsPerPixel);
        put32(out, imageBytes(picture.size));
        put32(out, offset);
        offset += imageBytes(picture.size);
    }
    for (const Square& picture : pictures) {
        putImage(out, picture);
    }
    return out;
}

}  // namespace icon

// png_writer.cpp -- minimal PNG encoder over zlib: one IDAT chunk, no filtering.
#include "png_writer.h"

#include <zlib.h>

#include <array>
#include <fstream>
#include <vector>

namespace png {

namespace {

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void writeChunk(std::ofstream& file, const char* type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> chunk;
    appendBigEndian(chunk, static_cast<std::uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    chunk.insert(chunk.end(), data.begin(), data.end());
    // The CRC covers the type and the data, not the length.
    const auto crc = crc32(0L, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4));
    appendBigEndian(chunk, static_cast<std::uint32_t>(crc));
    file.write(reinterpret_cast<const char*>(chunk.data()),
               static_cast<std::streamsize>(chunk.size()));
}

}  // namespace

bool writeRgba(const std::string& path, const std::uint8_t* pixels, int width, int height,
               bool bottomUp) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
    for (int row = 0; row < height; ++row) {
        const int source = bottomUp ? height - 1 - row : row;
        const std::uint8_t* begin = pixels + static_cast<std::size_t>(source) * rowBytes;
        raw.push_back(0);  // filter type: none
        raw.insert(raw.end(), begin, begin + rowBytes);
    }

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_BEST_SPEED) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);

    std::ofstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    file.write(reinterpret_cast<const char*>(kSignature.data()), kSignature.size());

    std::vector<std::uint8_t> header;
    appendBigEndian(header, static_cast<std::uint32_t>(width));
    appendBigEndian(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    writeChunk(file, "IHDR", header);
    writeChunk(file, "IDAT", packed);
    writeChunk(file, "IEND", {});
    return static_cast<bool>(file);
}

}  // namespace png

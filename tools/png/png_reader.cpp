// png_reader.cpp -- minimal PNG decoder over zlib, for the pictures our own tools write.
#include "png_reader.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace png {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr int kColourRgb = 2;
constexpr int kColourRgba = 6;
// Beyond any picture we render; keeps a damaged header from asking for gigabytes.
constexpr std::uint32_t kMaxSide = 16384;

std::uint32_t bigEndian(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
           (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

struct Header {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;
};

bool parseHeader(const std::vector<std::uint8_t>& data, Header& header) {
    if (data.size() != 13) {
        return false;
    }
    header.width = bigEndian(data.data());
    header.height = bigEndian(data.data() + 4);
    const int depth = data[8];
    const int colour = data[9];
    const bool plain = data[10] == 0 && data[11] == 0 && data[12] == 0;
    if (depth != 8 || !plain || header.width == 0 || header.height == 0 ||
        header.width > kMaxSide || header.height > kMaxSide) {
        return false;
    }
    header.channels = colour == kColourRgba ? 4 : (colour == kColourRgb ? 3 : 0);
    return header.channels != 0;
}

// Walks the chunks after the signature, collecting the header and the compressed data.
bool readChunks(const std::vector<std::uint8_t>& file, Header& header,
                std::vector<std::uint8_t>& packed) {
    std::size_t at = kSignature.size();
    bool haveHeader = false;
    while (at + 12 <= file.size()) {
        const std::size_t length = bigEndian(&file[at]);
        if (length > file.size() - at - 12) {
            return false;
        }
        const std::string type(file.begin() + static_cast<std::ptrdiff_t>(at + 4),
                               file.begin() + static_cast<std::ptrdiff_t>(at + 8));
        const auto begin = file.begin() + static_cast<std::ptrdiff_t>(at + 8);
        const auto end = begin + static_cast<std::ptrdiff_t>(length);
        if (type == "IHDR") {
            haveHeader = parseHeader(std::vector<std::uint8_t>(begin, end), header);
            if (!haveHeader) {
                return false;
            }
        } else if (type == "IDAT") {
            packed.insert(packed.end(), begin, end);
        } else if (type == "IEND") {
            return haveHeader && !packed.empty();
        }
        at += length + 12;
    }
    return false;  // no IEND: truncated
}

std::uint8_t paeth(int left, int up, int upLeft) {
    const int estimate = left + up - upLeft;
    const int toLeft = std::abs(estimate - left);
    const int toUp = std::abs(estimate - up);
    const int toUpLeft = std::abs(estimate - upLeft);
    if (toLeft <= toUp && toLeft <= toUpLeft) {
        return static_cast<std::uint8_t>(left);
    }
    return static_cast<std::uint8_t>(toUp <= toUpLeft ? up : upLeft);
}

// Undoes the per-row filter in place; `previous` is null for the first row.
bool unfilterRow(int filter, std::uint8_t* row, const std::uint8_t* previous, std::size_t bytes,
                 int channels) {
    for (std::size_t i = 0; i < bytes; ++i) {
        const int left = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0;
        const int up = previous != nullptr ? previous[i] : 0;
        const int upLeft = previous != nullptr && i >= static_cast<std::size_t>(channels)
                               ? previous[i - channels]
                               : 0;
        int predicted = 0;
        switch (filter) {
            case 0:
                predicted = 0;
                break;
            case 1:
                predicted = left;
                break;
            case 2:
                predicted = up;
                break;
            case 3:
                predicted = (left + up) / 2;
                break;
            case 4:
                predicted = paeth(left, up, upLeft);
                break;
            default:
                return false;
        }
        row[i] = static_cast<std::uint8_t>(row[i] + predicted);
    }
    return true;
}

bool decode(const Header& header, const std::vector<std::uint8_t>& packed, Image& image) {
    const std::size_t rowBytes = static_cast<std::size_t>(header.width) * header.channels;
    uLongf rawSize = static_cast<uLongf>((rowBytes + 1) * header.height);
    std::vector<std::uint8_t> raw(rawSize);
    if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) !=
            Z_OK ||
        rawSize != raw.size()) {
        return false;
    }
    image.width = static_cast<int>(header.width);
    image.height = static_cast<int>(header.height);
    image.rgba.assign(static_cast<std::size_t>(header.width) * header.height * 4, 0);
    const std::uint8_t* previous = nullptr;
    for (std::size_t y = 0; y < header.height; ++y) {
        std::uint8_t* row = &raw[y * (rowBytes + 1)];
        if (!unfilterRow(row[0], row + 1, previous, rowBytes, header.channels)) {
            return false;
        }
        previous = row + 1;
        for (std::size_t x = 0; x < header.width; ++x) {
            std::uint8_t* out = &image.rgba[(y * header.width + x) * 4];
            const std::uint8_t* in = row + 1 + x * header.channels;
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = header.channels == 4 ? in[3] : 255;
        }
    }
    return true;
}

}  // namespace

bool readRgba(const std::string& path, Image& image) {
    image = Image{};
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        return false;
    }
    const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(stream)),
                                         std::istreambuf_iterator<char>());
    if (file.size() < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
        return false;
    }
    Header header;
    std::vector<std::uint8_t> packed;
    if (!readChunks(file, header, packed) || !decode(header, packed, image)) {
        image = Image{};
        return false;
    }
    return true;
}

}  // namespace png

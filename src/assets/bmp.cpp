// bmp.cpp -- reads 24-bit BMP bytes into RGB/RGBA buffers; every size is checked before use.
#include "assets/bmp.h"

#include <cstring>
#include <iterator>
#include <limits>
#include <utility>

#include "assets/file.h"

namespace assets {

namespace {

constexpr std::size_t kRgbBytes = 3;
constexpr std::size_t kRgbaBytes = 4;
constexpr std::size_t kRowAlignment = 4;
constexpr std::uint32_t kUncompressed = 0;
constexpr const char* kPastTheEnd = "pixel data runs past the end of the file";

// Where the rows of a checked picture lie in its source, and how many bytes each takes there.
struct RowLayout {
    std::size_t width = 0;  // texels per row
    std::size_t rows = 0;
    bool topDown = false;  // the first stored row is the top of the picture
    std::uint64_t firstRow = 0;
    std::uint64_t stride = 0;  // the row's bytes rounded up to a multiple of 4
};

std::uint16_t read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t readSigned32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(read32(p));
}

void write16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void write32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    write16(out, value);
    write16(out, value >> 16);
}

Bitmap failure(std::string reason) {
    Bitmap result;
    result.error = std::move(reason);
    return result;
}

std::string bitCountReason(std::uint16_t bitCount) {
    return std::to_string(bitCount) + (bitCount == 1 ? " bit" : " bits") +
           " per pixel: only 24-bit pictures are read";
}

std::string compressionReason(std::uint32_t compression) {
    constexpr const char* kMethods[] = {"", "RLE8", "RLE4", "bit fields", "JPEG", "PNG"};
    const std::string method = compression < std::size(kMethods)
                                   ? kMethods[compression]
                                   : "method " + std::to_string(compression);
    return "compressed pixel data (" + method + "): only uncompressed pictures are read";
}

// The header checks, in the order a reader needs their answers; fills `layout` when they pass.
std::string describeRows(const BitmapFileHeader& file, const BitmapInfoHeader& info,
                         std::uint64_t sourceBytes, RowLayout* layout) {
    if (file.signature != kBmpSignature) {
        return "not a BMP file";
    }
    if (info.bitCount != kBitsPerTexel) {
        return bitCountReason(info.bitCount);
    }
    if (info.compression != kUncompressed) {
        return compressionReason(info.compression);
    }
    // A negative height stands for rows stored top first. INT32_MIN has no positive
    // counterpart, so it is refused before anything is negated.
    if (info.width <= 0 || info.height == 0 ||
        info.height == std::numeric_limits<std::int32_t>::min()) {
        return "bad picture size " + std::to_string(info.width) + "x" + std::to_string(info.height);
    }
    const std::uint64_t width = static_cast<std::uint64_t>(info.width);
    const std::uint64_t rows = info.height > 0 ? static_cast<std::uint64_t>(info.height)
                                               : static_cast<std::uint64_t>(-info.height);
    if (width > kMaxBitmapSide || rows > kMaxBitmapSide) {
        return "picture too large: " + std::to_string(width) + "x" + std::to_string(rows) +
               " (sides above " + std::to_string(kMaxBitmapSide) + " are not read)";
    }
    const std::uint64_t rowBytes = width * kRgbBytes;
    const std::uint64_t stride = (rowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    // The last row's padding is never read, so a file may leave it out and state the size
    // without it; imageSize 0, which the format allows for uncompressed pictures, stands for
    // the padded size.
    const std::uint64_t readExtent = stride * (rows - 1) + rowBytes;
    const std::uint64_t stated = info.imageSize != 0 ? info.imageSize : stride * rows;
    if (stated < readExtent) {
        return "pixel data too small for the picture size";
    }
    if (static_cast<std::uint64_t>(file.pixelOffset) + stated > sourceBytes) {
        return kPastTheEnd;
    }
    layout->width = static_cast<std::size_t>(width);
    layout->rows = static_cast<std::size_t>(rows);
    layout->topDown = info.height < 0;
    layout->firstRow = file.pixelOffset;
    layout->stride = stride;
    return "";
}

// One stored row of `width` BGR triples into RGB triples or RGBA quadruples at `out`.
void convertRow(const std::uint8_t* bgr, std::size_t width, std::size_t texelBytes,
                std::uint8_t* out) {
    if (texelBytes == kRgbBytes) {
        std::memcpy(out, bgr, width * kRgbBytes);
        swapBlueRed(out, width * kRgbBytes);
        return;
    }
    constexpr std::uint8_t kOpaque = 255;
    constexpr std::uint8_t kTransparent = 0;
    for (std::size_t t = 0; t < width; ++t, bgr += kRgbBytes, out += kRgbaBytes) {
        const std::uint8_t b = bgr[0];
        const std::uint8_t g = bgr[1];
        const std::uint8_t r = bgr[2];
        out[0] = r;
        out[1] = g;
        out[2] = b;
        out[3] = (r == 0 && g == 0 && b == 0) ? kTransparent : kOpaque;
    }
}

// Converts the rows of a checked picture into `result`, bottom row first. `fetchRow(offset,
// &row)` points `row` at the row's file bytes, or returns why it cannot (nullptr when it can).
template <typename FetchRow>
Bitmap decodeRows(Bitmap result, const RowLayout& layout, std::size_t texelBytes,
                  FetchRow fetchRow) {
    const std::size_t outRow = layout.width * texelBytes;
    std::vector<std::uint8_t> pixels(outRow * layout.rows);
    for (std::size_t stored = 0; stored < layout.rows; ++stored) {
        const std::uint8_t* row = nullptr;
        if (const char* why = fetchRow(layout.firstRow + stored * layout.stride, &row)) {
            return failure(why);
        }
        const std::size_t fromBottom = layout.topDown ? layout.rows - 1 - stored : stored;
        convertRow(row, layout.width, texelBytes, pixels.data() + fromBottom * outRow);
    }
    result.pixels = std::move(pixels);
    result.info.height = static_cast<std::int32_t>(layout.rows);
    return result;
}

Bitmap decodeMemory(const std::uint8_t* data, std::size_t size, std::size_t texelBytes) {
    if (data == nullptr || size < kHeaderBytes) {
        return failure("file too short");
    }
    const BitmapFileHeader file = parseFileHeader(data);
    Bitmap result;
    result.info = parseInfoHeader(data + kFileHeaderBytes);
    RowLayout layout;
    result.error = describeRows(file, result.info, size, &layout);
    if (!result.error.empty()) {
        return result;
    }
    // describeRows put every row inside the `size` bytes.
    return decodeRows(std::move(result), layout, texelBytes,
                      [data](std::uint64_t offset, const std::uint8_t** row) -> const char* {
                          *row = data + offset;
                          return nullptr;
                      });
}

// Only a regular file is read, row by row, so that a file's pixel memory is its result and one
// row of file bytes.
Bitmap decodeFile(const std::string& path, std::size_t texelBytes) {
    File file;
    std::uint64_t size = 0;
    const std::string refused = openRegularFile(path, &file, &size);
    if (!refused.empty()) {
        return failure(refused);
    }
    std::uint8_t headers[kHeaderBytes];
    if (const char* why = readFileAt(file.get(), headers, kHeaderBytes, 0, "file too short")) {
        return failure(why);
    }
    Bitmap result;
    result.info = parseInfoHeader(headers + kFileHeaderBytes);
    RowLayout layout;
    result.error = describeRows(parseFileHeader(headers), result.info, size, &layout);
    if (!result.error.empty()) {
        return result;
    }
    std::vector<std::uint8_t> row(layout.width * kRgbBytes);
    return decodeRows(std::move(result), layout, texelBytes,
                      [&](std::uint64_t offset, const std::uint8_t** fetched) {
                          *fetched = row.data();
                          return readFileAt(file.get(), row.data(), row.size(), offset,
                                            kPastTheEnd);
                      });
}

}  // namespace

BitmapFileHeader parseFileHeader(const std::uint8_t* bytes) {
    BitmapFileHeader header;
    header.signature = read16(bytes);
    header.fileSize = read32(bytes + 2);
    header.reserved1 = read16(bytes + 6);
    header.reserved2 = read16(bytes + 8);
    header.pixelOffset = read32(bytes + 10);
    return header;
}

BitmapInfoHeader parseInfoHeader(const std::uint8_t* bytes) {
    BitmapInfoHeader info;
    info.headerSize = read32(bytes);
    info.width = readSigned32(bytes + 4);
    info.height = readSigned32(bytes + 8);
    info.planes = read16(bytes + 12);
    info.bitCount = read16(bytes + 14);
    info.compression = read32(bytes + 16);
    info.imageSize = read32(bytes + 20);
    info.xPixelsPerMeter = readSigned32(bytes + 24);
    info.yPixelsPerMeter = readSigned32(bytes + 28);
    info.coloursUsed = read32(bytes + 32);
    info.coloursImportant = read32(bytes + 36);
    return info;
}

Bitmap loadBitmap(const std::uint8_t* data, std::size_t size) {
    return decodeMemory(data, size, kRgbBytes);
}

Bitmap loadBitmap(const std::string& path) {
    return decodeFile(path, kRgbBytes);
}

Bitmap loadBitmapRgba(const std::uint8_t* data, std::size_t size) {
    return decodeMemory(data, size, kRgbaBytes);
}

Bitmap loadBitmapRgba(const std::string& path) {
    return decodeFile(path, kRgbaBytes);
}

void swapBlueRed(std::uint8_t* bytes, std::size_t count) {
    for (std::size_t i = 0; i + 2 < count; i += 3) {
        std::swap(bytes[i], bytes[i + 2]);
    }
}

void swapBlueRed(std::vector<std::uint8_t>& bytes) {
    swapBlueRed(bytes.data(), bytes.size());
}

std::vector<std::uint8_t> encodeBitmap(int width, int height,
                                       const std::vector<std::uint8_t>& rgb) {
    constexpr std::uint16_t kPlanes = 1;
    constexpr std::uint32_t kPixelsPerMeter = 2835;  // 72 dpi
    const std::size_t rows = height > 0 ? static_cast<std::size_t>(height) : 0;
    const std::size_t rowBytes = width > 0 ? static_cast<std::size_t>(width) * kRgbBytes : 0;
    const std::size_t stride = (rowBytes + kRowAlignment - 1) / kRowAlignment * kRowAlignment;
    const auto imageSize = static_cast<std::uint32_t>(stride * rows);
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + imageSize);
    write16(out, kBmpSignature);
    write32(out, static_cast<std::uint32_t>(kHeaderBytes) + imageSize);
    write16(out, 0);
    write16(out, 0);
    write32(out, static_cast<std::uint32_t>(kHeaderBytes));
    write32(out, static_cast<std::uint32_t>(kInfoHeaderBytes));
    write32(out, static_cast<std::uint32_t>(width));
    write32(out, static_cast<std::uint32_t>(height));
    write16(out, kPlanes);
    write16(out, kBitsPerTexel);
    write32(out, kUncompressed);
    write32(out, imageSize);
    write32(out, kPixelsPerMeter);
    write32(out, kPixelsPerMeter);
    write32(out, 0);
    write32(out, 0);
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t i = row * rowBytes; i < (row + 1) * rowBytes; i += kRgbBytes) {
            out.push_back(rgb.at(i + 2));
            out.push_back(rgb.at(i + 1));
            out.push_back(rgb.at(i));
        }
        out.insert(out.end(), stride - rowBytes, 0);
    }
    return out;
}

}  // namespace assets

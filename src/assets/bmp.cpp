// bmp.cpp -- reads 24-bit BMP bytes into RGB/RGBA buffers; every size is checked before use.
#include "assets/bmp.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

namespace assets {

namespace {

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

std::string openFailureReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return "no such file";
        case EACCES:
            return "permission denied";
        default:
            return "cannot open";
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The length of an open file, or -1 when it cannot be told (a directory, a pipe).
long long fileLength(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    const long long length = std::ftell(file);
    return length;
}

Bitmap widened(Bitmap bitmap) {
    if (bitmap.error.empty()) {
        bitmap.pixels = widenToRgba(bitmap.pixels);
    }
    return bitmap;
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

std::string checkHeaders(const BitmapFileHeader& file, const BitmapInfoHeader& info,
                         std::uint64_t sourceBytes) {
    if (file.signature != kBmpSignature) {
        return "not a BMP file";
    }
    // Compared, never negated: INT32_MIN has no positive counterpart.
    if (info.width <= 0 || info.height <= 0 || info.width > kMaxBitmapSide ||
        info.height > kMaxBitmapSide) {
        return "bad picture size " + std::to_string(info.width) + "x" + std::to_string(info.height);
    }
    if (info.imageSize % 3 != 0) {
        return "pixel data size is not a multiple of 3";
    }
    const std::uint64_t needed =
        static_cast<std::uint64_t>(info.width) * static_cast<std::uint64_t>(info.height) * 3U;
    if (info.imageSize < needed) {
        return "pixel data too small for the picture size";
    }
    const std::uint64_t end = static_cast<std::uint64_t>(file.pixelOffset) + info.imageSize;
    if (end > sourceBytes) {
        return "pixel data runs past the end of the file";
    }
    return "";
}

std::size_t rgbByteCount(const BitmapInfoHeader& info) {
    return static_cast<std::size_t>(info.width) * static_cast<std::size_t>(info.height) * 3U;
}

Bitmap loadBitmap(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < kHeaderBytes) {
        return failure("file too short");
    }
    const BitmapFileHeader file = parseFileHeader(data);
    Bitmap result;
    result.info = parseInfoHeader(data + kFileHeaderBytes);
    result.error = checkHeaders(file, result.info, size);
    if (!result.error.empty()) {
        return result;
    }
    const std::uint8_t* begin = data + file.pixelOffset;
    result.pixels.assign(begin, begin + rgbByteCount(result.info));
    swapBlueRed(result.pixels);
    return result;
}

Bitmap loadBitmap(const std::string& path) {
    errno = 0;
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return failure(openFailureReason(errno));
    }
    std::uint8_t headers[kHeaderBytes];
    if (std::fread(headers, 1, kHeaderBytes, file.get()) != kHeaderBytes) {
        return failure(std::ferror(file.get()) ? "cannot read" : "file too short");
    }
    const BitmapFileHeader fileHeader = parseFileHeader(headers);
    Bitmap result;
    result.info = parseInfoHeader(headers + kFileHeaderBytes);
    const long long length = fileLength(file.get());
    if (length < 0) {
        return failure("cannot read");
    }
    result.error = checkHeaders(fileHeader, result.info, static_cast<std::uint64_t>(length));
    if (!result.error.empty()) {
        return result;
    }
    // checkHeaders put pixelOffset + imageSize within the file length, which fits a long.
    if (std::fseek(file.get(), static_cast<long>(fileHeader.pixelOffset), SEEK_SET) != 0) {
        return failure("cannot read");
    }
    result.pixels.resize(rgbByteCount(result.info));
    if (std::fread(result.pixels.data(), 1, result.pixels.size(), file.get()) !=
        result.pixels.size()) {
        return failure("pixel data runs past the end of the file");
    }
    swapBlueRed(result.pixels);
    return result;
}

Bitmap loadBitmapRgba(const std::uint8_t* data, std::size_t size) {
    return widened(loadBitmap(data, size));
}

Bitmap loadBitmapRgba(const std::string& path) {
    return widened(loadBitmap(path));
}

void swapBlueRed(std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        std::swap(bytes[i], bytes[i + 2]);
    }
}

std::vector<std::uint8_t> widenToRgba(const std::vector<std::uint8_t>& rgb) {
    constexpr std::uint8_t kOpaque = 255;
    constexpr std::uint8_t kTransparent = 0;
    const std::size_t texels = rgb.size() / 3;
    std::vector<std::uint8_t> rgba(texels * 4);
    for (std::size_t t = 0; t < texels; ++t) {
        const std::uint8_t r = rgb[3 * t];
        const std::uint8_t g = rgb[3 * t + 1];
        const std::uint8_t b = rgb[3 * t + 2];
        rgba[4 * t] = r;
        rgba[4 * t + 1] = g;
        rgba[4 * t + 2] = b;
        rgba[4 * t + 3] = (r == 0 && g == 0 && b == 0) ? kTransparent : kOpaque;
    }
    return rgba;
}

std::vector<std::uint8_t> encodeBitmap(int width, int height,
                                       const std::vector<std::uint8_t>& rgb) {
    constexpr std::uint16_t kPlanes = 1;
    constexpr std::uint16_t kBitsPerTexel = 24;
    constexpr std::uint32_t kPixelsPerMeter = 2835;  // 72 dpi
    const std::uint32_t imageSize = static_cast<std::uint32_t>(rgb.size());
    std::vector<std::uint8_t> out;
    out.reserve(kHeaderBytes + rgb.size());
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
    write32(out, 0);  // uncompressed
    write32(out, imageSize);
    write32(out, kPixelsPerMeter);
    write32(out, kPixelsPerMeter);
    write32(out, 0);
    write32(out, 0);
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) {
        out.push_back(rgb[i + 2]);
        out.push_back(rgb[i + 1]);
        out.push_back(rgb[i]);
    }
    return out;
}

}  // namespace assets

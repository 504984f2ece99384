// bmp_test.cpp -- the byte-level reader: conversion rules, row layouts, what it refuses and why,
// which files it opens at all, and how much memory a load takes.
#include "assets/bmp.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <malloc.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include "bmp_bytes.h"

// Heap accounting for the memory test: every operator new of this test program is counted.
namespace {
std::size_t liveHeapBytes = 0;
std::size_t peakHeapBytes = 0;
}  // namespace

void* operator new(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    liveHeapBytes += malloc_usable_size(block);
    peakHeapBytes = std::max(peakHeapBytes, liveHeapBytes);
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        liveHeapBytes -= malloc_usable_size(block);
        std::free(block);
    }
}

void operator delete(void* block, std::size_t) noexcept {
    operator delete(block);
}

namespace {

namespace fs = std::filesystem;
using assets::Bitmap;
using Bytes = std::vector<std::uint8_t>;

Bitmap load(const Bytes& bytes) {
    return assets::loadBitmap(bytes.data(), bytes.size());
}
Bitmap loadRgba(const Bytes& bytes) {
    return assets::loadBitmapRgba(bytes.data(), bytes.size());
}

class Scratch : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vantorix-bmp-test-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string file(const char* name, const Bytes& bytes) const {
        const std::string path = (dir / name).string();
        bmp_bytes::writeFile(path, bytes);
        return path;
    }
    // Every way the reader gives pixels for these bytes, which must all agree: from memory and
    // from a file, as RGB and as RGBA (compared by its first three bytes per texel).
    void expectLoads(const Bytes& bytes, const Bytes& rgb, std::int32_t width,
                     std::int32_t height) const {
        const std::string path = file("loaded.bmp", bytes);
        for (const Bitmap& loaded : {load(bytes), assets::loadBitmap(path)}) {
            ASSERT_EQ(loaded.error, "");
            EXPECT_EQ(loaded.info.width, width);
            EXPECT_EQ(loaded.info.height, height);
            EXPECT_EQ(loaded.pixels, rgb);
        }
        for (const Bitmap& loaded : {loadRgba(bytes), assets::loadBitmapRgba(path)}) {
            ASSERT_EQ(loaded.error, "");
            ASSERT_EQ(loaded.pixels.size(), rgb.size() / 3 * 4);
            for (std::size_t t = 0; t < rgb.size() / 3; ++t) {
                ASSERT_EQ(0, std::memcmp(&loaded.pixels[4 * t], &rgb[3 * t], 3)) << "texel " << t;
            }
        }
    }
    void expectRefused(const Bytes& bytes, const std::string& reason) const {
        const std::string path = file("refused.bmp", bytes);
        for (const Bitmap& refused : {loadRgba(bytes), assets::loadBitmapRgba(path), load(bytes),
                                      assets::loadBitmap(path)}) {
            EXPECT_EQ(refused.error, reason);
            EXPECT_TRUE(refused.pixels.empty());
        }
    }
    fs::path dir;
};

TEST(BmpReader, SwapsBlueAndRedAndMakesOnlyExactBlackTransparent) {
    // File order is blue, green, red; rows stay bottom-up as stored.
    const Bytes bgr = {0x10, 0x20, 0x30, 0, 0, 0, 0, 0, 1, 1, 0, 0,   // bottom row
                       9,    8,    7,    0, 1, 0, 4, 5, 6, 0, 0, 0};  // top row
    const Bytes file = bmp_bytes::picture(4, 2, bgr);

    const Bitmap rgb = load(file);
    ASSERT_EQ(rgb.error, "");
    EXPECT_EQ(rgb.info.width, 4);
    EXPECT_EQ(rgb.info.height, 2);
    EXPECT_EQ(rgb.pixels, (Bytes{0x30, 0x20, 0x10, 0, 0, 0, 1, 0, 0, 0, 0, 1,  //
                                 7,    8,    9,    0, 1, 0, 6, 5, 4, 0, 0, 0}));

    const Bitmap rgba = loadRgba(file);
    ASSERT_EQ(rgba.error, "");
    EXPECT_EQ(rgba.pixels, (Bytes{0x30, 0x20, 0x10, 255, 0, 0, 0, 0,   1, 0, 0, 255, 0, 0, 1, 255,
                                  7,    8,    9,    255, 0, 1, 0, 255, 6, 5, 4, 255, 0, 0, 0, 0}));
}

// An off-by-one in the bound of the swap leaves the last texel of a buffer, or of a row, as it
// was, or reaches past the end.
TEST(BmpReader, TheSwapReachesTheLastTexelAndNoFurther) {
    Bytes exact = {1, 2, 3, 4, 5, 6};
    assets::swapBlueRed(exact);
    EXPECT_EQ(exact, (Bytes{3, 2, 1, 6, 5, 4}));
    Bytes stray = {1, 2, 3, 4, 5, 6, 7, 8};  // two bytes of an incomplete triple stay as they are
    assets::swapBlueRed(stray);
    EXPECT_EQ(stray, (Bytes{3, 2, 1, 6, 5, 4, 7, 8}));
    Bytes part = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    assets::swapBlueRed(part.data(), 6);  // only the first two triples
    EXPECT_EQ(part, (Bytes{3, 2, 1, 6, 5, 4, 7, 8, 9}));
    // Through the reader, the full comparisons of the layout tests below see every texel.
}

// Layouts that hold the same 8x4 picture: each loads the same pixels, from memory and from a file.
TEST_F(Scratch, FindsThePixelsWhereverTheHeadersSayAndKeepsOnlyThePicture) {
    const Bytes plain = bmp_bytes::numbered(8, 4);
    const Bytes expected = bmp_bytes::rgbOf(bmp_bytes::numberedTexels(8, 4));
    struct Layout {
        const char* name;
        void (*edit)(Bytes&);
    };
    const Layout layouts[] = {
        {"as written", [](Bytes&) {}},
        {"a palette between headers and pixels",
         [](Bytes& b) { bmp_bytes::insertBeforePixels(b, 1024); }},
        {"a 124-byte header, of which only the first 40 bytes are read",
         [](Bytes& b) {
             bmp_bytes::insertBeforePixels(b, 84);
             bmp_bytes::put32(b, bmp_bytes::kHeaderSizeAt, 124);
         }},
        {"surplus pixel data after the picture",
         [](Bytes& b) {
             b.insert(b.end(), {1, 2, 3, 4, 5, 6});
             bmp_bytes::put32(b, bmp_bytes::kImageSizeAt, 8 * 4 * 3 + 6);
         }},
        {"surplus pixel data that is not a whole texel",
         [](Bytes& b) {
             b.push_back(7);
             bmp_bytes::put32(b, bmp_bytes::kImageSizeAt, 8 * 4 * 3 + 1);
         }},
        {"imageSize 0, as the format allows for uncompressed pictures",
         [](Bytes& b) { bmp_bytes::put32(b, bmp_bytes::kImageSizeAt, 0); }},
        {"rows stored top to bottom", bmp_bytes::storeTopDown},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        Bytes bytes = plain;
        layout.edit(bytes);
        expectLoads(bytes, expected, 8, 4);
    }
}

// Rows of 24-bit pictures are padded to 4 bytes; the padding is skipped, whatever it holds.
TEST_F(Scratch, ReadsPaddedRowsAsImageEditorsWriteThem) {
    struct Size {
        int width;
        int height;
    };
    for (const Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{5, 3}, Size{63, 63}}) {
        SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height));
        const Bytes texels = bmp_bytes::numberedTexels(size.width, size.height);
        const Bytes expected = bmp_bytes::rgbOf(texels);
        Bytes bytes = bmp_bytes::picture(size.width, size.height, texels);
        const std::size_t stride = (static_cast<std::size_t>(size.width) * 3 + 3) / 4 * 4;
        ASSERT_EQ(bytes.size(), assets::kHeaderBytes + stride * size.height);
        expectLoads(bytes, expected, size.width, size.height);

        Bytes topDown = bytes;
        bmp_bytes::storeTopDown(topDown);
        expectLoads(topDown, expected, size.width, size.height);

        bmp_bytes::put32(bytes, bmp_bytes::kImageSizeAt, 0);
        expectLoads(bytes, expected, size.width, size.height);
    }
    // A single row needs no padding after it: the 3-byte 1x1 picture loads as it always did.
    Bytes unpadded = bmp_bytes::numbered(1, 1);
    unpadded.pop_back();
    bmp_bytes::put32(unpadded, bmp_bytes::kImageSizeAt, 3);
    expectLoads(unpadded, Bytes{3, 2, 1}, 1, 1);
}

TEST_F(Scratch, RefusesRowsWithoutTheirPadding) {
    // As a writer that forgets the padding stores a 5x3 picture: 45 bytes, not 3 x 16.
    Bytes bytes = bmp_bytes::numbered(4, 3);
    bmp_bytes::put32(bytes, bmp_bytes::kWidthAt, 5);
    bytes.resize(assets::kHeaderBytes + 45);
    bmp_bytes::put32(bytes, bmp_bytes::kImageSizeAt, 45);
    expectRefused(bytes, "pixel data too small for the picture size");
    // imageSize 0 stands for the padded size, which the file must then hold.
    bmp_bytes::put32(bytes, bmp_bytes::kImageSizeAt, 0);
    expectRefused(bytes, "pixel data runs past the end of the file");
}

TEST_F(Scratch, RefusesOtherBitDepthsAndCompressionWithTheTrueReason) {
    // A genuine 4x4 32-bit picture: 64 bytes of pixel data.
    Bytes deep = bmp_bytes::numbered(4, 4);
    deep.resize(assets::kHeaderBytes + 64, 9);
    bmp_bytes::put16(deep, bmp_bytes::kBitCountAt, 32);
    bmp_bytes::put32(deep, bmp_bytes::kImageSizeAt, 64);
    expectRefused(deep, "32 bits per pixel: only 24-bit pictures are read");
    for (const std::uint16_t bits : {0, 4, 8, 16, 48}) {
        Bytes bytes = bmp_bytes::numbered(4, 4);
        bmp_bytes::put16(bytes, bmp_bytes::kBitCountAt, bits);
        expectRefused(bytes,
                      std::to_string(bits) + " bits per pixel: only 24-bit pictures are read");
    }
    Bytes mono = bmp_bytes::numbered(4, 4);
    bmp_bytes::put16(mono, bmp_bytes::kBitCountAt, 1);
    expectRefused(mono, "1 bit per pixel: only 24-bit pictures are read");
    struct Compression {
        std::uint32_t code;
        const char* reason;
    };
    const Compression compressions[] = {
        {1, "compressed pixel data (RLE8): only uncompressed pictures are read"},
        {2, "compressed pixel data (RLE4): only uncompressed pictures are read"},
        {3, "compressed pixel data (bit fields): only uncompressed pictures are read"},
        {4, "compressed pixel data (JPEG): only uncompressed pictures are read"},
        {5, "compressed pixel data (PNG): only uncompressed pictures are read"},
        {0xFFFFFFFF,
         "compressed pixel data (method 4294967295): only uncompressed pictures are "
         "read"},
    };
    for (const Compression& compression : compressions) {
        Bytes bytes = bmp_bytes::numbered(4, 4);
        bmp_bytes::put32(bytes, bmp_bytes::kCompressionAt, compression.code);
        expectRefused(bytes, compression.reason);
    }
}

TEST_F(Scratch, SidesUpTo2048AreReadAndLargerOnesAreRefusedWithTheirSize) {
    const Bytes wide = bmp_bytes::numbered(2048, 1);
    expectLoads(wide, bmp_bytes::rgbOf(bmp_bytes::numberedTexels(2048, 1)), 2048, 1);
    Bytes tall = bmp_bytes::numbered(1, 2048);
    bmp_bytes::storeTopDown(tall);
    expectLoads(tall, bmp_bytes::rgbOf(bmp_bytes::numberedTexels(1, 2048)), 1, 2048);

    struct Oversized {
        std::int32_t width;
        std::int32_t height;
        const char* reason;
    };
    const Oversized sizes[] = {
        {2049, 1, "picture too large: 2049x1 (sides above 2048 are not read)"},
        {4, 2049, "picture too large: 4x2049 (sides above 2048 are not read)"},
        {4, -2049, "picture too large: 4x2049 (sides above 2048 are not read)"},
        {8192, 8192, "picture too large: 8192x8192 (sides above 2048 are not read)"},
        {std::numeric_limits<std::int32_t>::max(), 1,
         "picture too large: 2147483647x1 (sides above 2048 are not read)"},
    };
    for (const Oversized& size : sizes) {
        SCOPED_TRACE(size.reason);
        Bytes bytes = bmp_bytes::numbered(4, 4);
        bmp_bytes::put32(bytes, bmp_bytes::kWidthAt, static_cast<std::uint32_t>(size.width));
        bmp_bytes::put32(bytes, bmp_bytes::kHeightAt, static_cast<std::uint32_t>(size.height));
        expectRefused(bytes, size.reason);
    }
}

struct Hostile {
    const char* name;
    Bytes bytes;
    const char* reason;
};

Bytes with32(std::size_t offset, std::uint32_t value) {
    Bytes bytes = bmp_bytes::numbered(4, 4);
    bmp_bytes::put32(bytes, offset, value);
    return bytes;
}

std::vector<Hostile> hostileFiles() {
    using bmp_bytes::kHeightAt;
    using bmp_bytes::kImageSizeAt;
    using bmp_bytes::kPixelOffsetAt;
    using bmp_bytes::kWidthAt;
    const Bytes valid = bmp_bytes::numbered(4, 4);
    const auto intMin = static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::min());
    Bytes wrongSignature = valid;
    wrongSignature[0] = 'M';
    wrongSignature[1] = 'B';
    Bytes truncated = valid;
    truncated.pop_back();
    Bytes truncatedNoSize = truncated;
    bmp_bytes::put32(truncatedNoSize, kImageSizeAt, 0);
    return {
        {"empty", {}, "file too short"},
        {"shorter than the headers", Bytes(valid.begin(), valid.begin() + 53), "file too short"},
        {"wrong signature", wrongSignature, "not a BMP file"},
        {"zero width", with32(kWidthAt, 0), "bad picture size 0x4"},
        {"negative width", with32(kWidthAt, static_cast<std::uint32_t>(-4)),
         "bad picture size -4x4"},
        {"INT32_MIN width", with32(kWidthAt, intMin), "bad picture size -2147483648x4"},
        {"zero height", with32(kHeightAt, 0), "bad picture size 4x0"},
        {"INT32_MIN height", with32(kHeightAt, intMin), "bad picture size 4x-2147483648"},
        {"imageSize one texel short", with32(kImageSizeAt, 4 * 4 * 3 - 3),
         "pixel data too small for the picture size"},
        {"largest picture, tiny imageSize",
         [] {
             Bytes b = with32(kWidthAt, 2048);
             bmp_bytes::put32(b, kHeightAt, 2048);
             return b;
         }(),
         "pixel data too small for the picture size"},
        {"truncated pixel data", truncated, "pixel data runs past the end of the file"},
        {"truncated pixel data, imageSize 0", truncatedNoSize,
         "pixel data runs past the end of the file"},
        {"pixelOffset past the end", with32(kPixelOffsetAt, 0xFFFFFFFFU),
         "pixel data runs past the end of the file"},
        {"imageSize past the end", with32(kImageSizeAt, 0xFFFFFFFFU),
         "pixel data runs past the end of the file"},
    };
}

TEST_F(Scratch, RefusesHostileFilesWithAReason) {
    for (const Hostile& hostile : hostileFiles()) {
        SCOPED_TRACE(hostile.name);
        expectRefused(hostile.bytes, hostile.reason);
    }
}

TEST_F(Scratch, NamesWhyAFileCannotBeOpened) {
    const std::string plain = file("plain-file", {1, 2, 3});
    EXPECT_EQ(assets::loadBitmap((dir / "missing.bmp").string()).error, "no such file");
    EXPECT_EQ(assets::loadBitmap(plain + "/below-a-file.bmp").error, "no such file");
    fs::create_symlink(dir / "nowhere.bmp", dir / "dangling.bmp");
    EXPECT_EQ(assets::loadBitmap((dir / "dangling.bmp").string()).error, "no such file");
}

// Loads `path` on another thread. A load that blocks is reported as "still reading after 5 s"
// and then released by opening and closing the FIFO's writing end, so the test ends either way.
std::string errorWithin5s(const std::string& path, int* writer) {
    std::future<Bitmap> loading =
        std::async(std::launch::async, [path] { return assets::loadBitmapRgba(path); });
    if (loading.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        return loading.get().error;
    }
    if (*writer < 0) {
        *writer = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    }
    ::close(*writer);
    *writer = -1;
    loading.wait();
    return "still reading after 5 s";
}

TEST_F(Scratch, OpensOnlyRegularFilesAndNeverWaitsForData) {
    const std::string fifo = (dir / "fifo.bmp").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    int noWriter = -1;
    EXPECT_EQ(errorWithin5s(fifo, &noWriter), "not a regular file") << "a FIFO with no writer";

    // A writer that holds the FIFO open and never writes.
    int silentWriter = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(silentWriter, 0);
    EXPECT_EQ(errorWithin5s(fifo, &silentWriter), "not a regular file") << "a silent writer";
    if (silentWriter >= 0) {
        ::close(silentWriter);
    }

    fs::create_directory(dir / "folder.bmp");
    fs::create_symlink("/dev/zero", dir / "zero.bmp");
    const std::string socketPath = (dir / "socket.bmp").string();
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof(address.sun_path) - 1);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    for (const char* name : {"folder.bmp", "zero.bmp", "socket.bmp"}) {
        SCOPED_TRACE(name);
        int none = -1;
        EXPECT_EQ(errorWithin5s((dir / name).string(), &none), "not a regular file");
        EXPECT_EQ(assets::loadBitmap((dir / name).string()).error, "not a regular file");
    }
    ::close(listening);

    // A link to a regular file is that file.
    file("real.bmp", bmp_bytes::numbered(4, 4));
    fs::create_symlink(dir / "real.bmp", dir / "link.bmp");
    EXPECT_EQ(assets::loadBitmapRgba((dir / "link.bmp").string()).error, "");
}

// The reader holds the picture it returns and at most one row besides: no RGB copy next to the
// RGBA one, no buffer of the whole file.
TEST_F(Scratch, APathLoadHoldsItsPixelsAndOneRowAtMost) {
    constexpr int kSide = 512;
    constexpr std::size_t kRow = kSide * 3;
    constexpr std::size_t kSmallAllocations = 2048;  // the path, the result's strings
    const std::string path = file("large.bmp", bmp_bytes::numbered(kSide, kSide));
    struct Case {
        Bitmap (*load)(const std::string&);
        std::size_t pixelBytes;
    };
    for (const Case& c : {Case{assets::loadBitmapRgba, std::size_t{kSide} * kSide * 4},
                          Case{assets::loadBitmap, std::size_t{kSide} * kSide * 3}}) {
        const std::size_t before = liveHeapBytes;
        peakHeapBytes = before;
        const Bitmap loaded = c.load(path);
        const std::size_t peak = peakHeapBytes - before;
        ASSERT_EQ(loaded.error, "");
        EXPECT_EQ(loaded.pixels.size(), c.pixelBytes);
        EXPECT_LE(peak, c.pixelBytes + kRow + kSmallAllocations);
    }
}

}  // namespace

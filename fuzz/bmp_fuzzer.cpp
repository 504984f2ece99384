// bmp_fuzzer.cpp -- libFuzzer entry: arbitrary bytes through the BMP reader, from memory and,
// as the game reads its textures, from a file on disk; both must give the same result.
#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "assets/bmp.h"

namespace {

// One scratch file per fuzzing process, rewritten for every input and removed at exit; in
// memory-backed /dev/shm when there is one, which makes the writes cheap. The name is never
// destroyed, so the exit handler can still use it.
const std::string& scratchPath() {
    static const std::string* const path = [] {
        std::error_code error;
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm", error)
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        const auto* p = new std::string(
            (folder / ("vantorix-bmp-fuzz-" + std::to_string(::getpid()) + ".bmp")).string());
        std::atexit([] { ::unlink(scratchPath().c_str()); });
        return p;
    }();
    return *path;
}

void writeScratch(const std::uint8_t* data, std::size_t size) {
    const int fd = ::open(scratchPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::abort();
    }
    std::size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0) {
            std::abort();
        }
        written += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

// A picture that is accepted must hold exactly the texels GL will read, and a refused one
// none; anything else is a finding.
void checkShape(const assets::Bitmap& bitmap, std::size_t texelBytes) {
    if (bitmap.error.empty()) {
        const std::size_t texels = static_cast<std::size_t>(bitmap.info.width) *
                                   static_cast<std::size_t>(bitmap.info.height);
        if (bitmap.pixels.size() != texels * texelBytes || bitmap.info.width <= 0 ||
            bitmap.info.height <= 0 || bitmap.info.width > assets::kMaxBitmapSide ||
            bitmap.info.height > assets::kMaxBitmapSide) {
            std::abort();
        }
    } else if (!bitmap.pixels.empty()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const assets::Bitmap fromMemory = assets::loadBitmapRgba(data, size);
    checkShape(fromMemory, 4);
    writeScratch(data, size);
    const assets::Bitmap fromFile = assets::loadBitmapRgba(scratchPath());
    checkShape(fromFile, 4);
    if (fromFile.error != fromMemory.error || fromFile.pixels != fromMemory.pixels) {
        std::abort();
    }
    // The RGB reader takes the same decisions and gives the same colours.
    const assets::Bitmap rgb = assets::loadBitmap(scratchPath());
    checkShape(rgb, 3);
    if (rgb.error != fromMemory.error) {
        std::abort();
    }
    for (std::size_t t = 0; t < rgb.pixels.size() / 3; ++t) {
        for (std::size_t c = 0; c < 3; ++c) {
            if (rgb.pixels[3 * t + c] != fromMemory.pixels[4 * t + c]) {
                std::abort();
            }
        }
    }
    return 0;
}

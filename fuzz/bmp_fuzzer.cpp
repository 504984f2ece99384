// bmp_fuzzer.cpp -- libFuzzer entry: arbitrary bytes through the BMP reader.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const assets::Bitmap bitmap = assets::loadBitmapRgba(data, size);
    // A picture that is accepted must hold exactly the texels GL will read, and a refused one
    // none; anything else is a finding.
    if (bitmap.error.empty()) {
        const std::size_t texels = static_cast<std::size_t>(bitmap.info.width) *
                                   static_cast<std::size_t>(bitmap.info.height);
        if (bitmap.pixels.size() != texels * 4 || bitmap.info.width <= 0 ||
            bitmap.info.height <= 0) {
            std::abort();
        }
    } else if (!bitmap.pixels.empty()) {
        std::abort();
    }
    return 0;
}

// make-icon.cpp -- writes the application icon at one size as a PNG.
// Usage: make-icon SIZE OUT.png, with SIZE one of the hicolor sizes the game installs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "icon.h"
#include "png_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-icon SIZE OUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (std::find(icon::kSizes.begin(), icon::kSizes.end(), size) == icon::kSizes.end()) {
        std::fprintf(stderr, "make-icon: %s is not one of the icon sizes\n", argv[1]);
        return 2;
    }
    const std::vector<std::uint8_t> pixels = icon::draw(size);
    if (!png::writeRgba(argv[2], pixels.data(), size, size, false)) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

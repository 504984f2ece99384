// make-icon.cpp -- writes the application icon: one size as a PNG, or every size as a Windows
// .ico file.
// Usage: make-icon SIZE OUT.png, with SIZE one of the hicolor sizes the game installs or of the
//        browser page's sizes; make-icon ico OUT.ico
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ico.h"
#include "icon.h"
#include "png_file.h"

namespace {

int writeIco(const char* path) {
    std::vector<icon::Square> pictures(icon::kSizes.size());
    std::transform(icon::kSizes.begin(), icon::kSizes.end(), pictures.begin(), [](int size) {
        return icon::Square{size, icon::draw(size)};
    });
    const std::vector<std::uint8_t> bytes = icon::encodeIco(pictures);
    std::FILE* out = std::fopen(path, "wb");
    bool written =
        out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out != nullptr) {
        written = std::fclose(out) == 0 && written;
    }
    if (!written) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-icon SIZE OUT.png | make-icon ico OUT.ico\n");
        return 2;
    }
    if (std::strcmp(argv[1], "ico") == 0) {
        return writeIco(argv[2]);
    }
    const int size = std::atoi(argv[1]);
    const auto listed = [size](const auto& sizes) {
        return std::find(sizes.begin(), sizes.end(), size) != sizes.end();
    };
    if (!listed(icon::kSizes) && !listed(icon::kPageSizes)) {
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
